#include "panels/output/OutRoute_Dlg.h"

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "panels/output/GainDlg.h"
#include "panels/output/OutStripMessages.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"
#include "res/StripSkins.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int kBackgroundChinese = 851, kBackgroundEnglish = 852;
constexpr int kRouteOff = 854, kRouteOn = 855, kRouteDisabled = 1048;
constexpr COLORREF kSelectedOutline = RGB(238, 49, 64);
constexpr COLORREF kLabelDim = RGB(105, 108, 105), kLabelLit = RGB(232, 232, 232);
constexpr int kPageHighPassEdit = 1004;

bool isChinese() { return g_bChinese.load() != 0; }

// Source label i: Hi.Level 1..6, AUX 1 and 2, S/PDIF left and right, Bluetooth left and right.
QString sourceLabelText(int i, bool cn)
{
    auto num = [cn](StrId id, int n) { return QString::fromStdString(TrArgs(id, cn, {std::to_string(n)})); };
    static constexpr StrId kNamed[4] = {StrId::SourceSpdifLeft, StrId::SourceSpdifRight, StrId::SourceBluetoothLeft,
                                        StrId::SourceBluetoothRight};
    if (i < 6)
        return num(StrId::SourceHiLevel, i + 1);
    if (i < 8)
        return num(StrId::SourceAux, i - 5);
    return QTr(kNamed[i - 8], cn);
}

// Whether label i belongs to the active input (0 S/PDIF, 1 Hi.Level, 2 Bluetooth, 3 AUX).
bool isSourceLabelLit(int i, int inputMode)
{
    static constexpr std::array<std::array<int, 6>, 4> kLit{{{8, 9, -1, -1, -1, -1},
                                                             {0, 1, 2, 3, 4, 5},
                                                             {10, 11, -1, -1, -1, -1},
                                                             {6, 7, -1, -1, -1, -1}}};
    if (inputMode < 0 || inputMode >= int(kLit.size()))
        return false;
    const auto &lit = kLit[static_cast<std::size_t>(inputMode)];
    return std::find(lit.begin(), lit.end(), i) != lit.end();
}
}  // namespace

COutRoute_Dlg::COutRoute_Dlg(QWidget *parent, int channel) : QWidget(parent), m_pPage(parent), m_nChannel(channel)
{
    Skins::RegisterStripSkins();
    SetCtrlId(this, IDD);
    setFocusPolicy(Qt::ClickFocus);
    resize(StripLayout::kSize);
    m_nLinkMask = (channel >= 0 && channel < 8) ? 1 << channel : 0;
    const QFont editFont = MakeFont(QStringLiteral("Arial"), 14);

    // The source labels, routing toggles 4..12 and the link menu are made when first asked for.
    m_btnChannel = new CBitButton(this, IDC_CHANNEL);
    m_btnChannel->move(StripLayout::kChannelButton);
    connect(m_btnChannel, &QAbstractButton::clicked, this, &COutRoute_Dlg::OnChannelButton);

    m_btnMute = new CBitButton(this, IDC_MUTE);
    m_btnMute->move(StripLayout::kMute);
    connect(m_btnMute, &QAbstractButton::clicked, this, &COutRoute_Dlg::OnMuteButton);

    m_btnLink = new CBitButton(this, IDC_LINK);
    m_btnLink->move(StripLayout::kLink);
    m_btnLink->SetPressReports(true);  // the press reports drive the link; the click itself changes nothing

    for (int k = 1; k <= kShownRoutes; ++k)
        makeRouteButton(k);

    m_editGain = new CNumEdit(this);
    SetCtrlId(m_editGain, IDC_GAIN_EDIT);
    m_editGain->setGeometry(StripLayout::kGainEdit);
    m_editGain->setFont(editFont);
    m_editGain->setAlignment(Qt::AlignCenter);
    m_spinGain = new CNumSpin(this);
    SetCtrlId(m_spinGain, IDC_GAIN_SPIN);
    m_spinGain->hide();
    m_fader = new CBitmapSlider(this);
    SetCtrlId(m_fader, IDC_FADER);
    m_fader->move(StripLayout::kFader);

    m_editDelay = new CNumEdit(this);
    SetCtrlId(m_editDelay, IDC_DELAY_EDIT);
    m_editDelay->setGeometry(StripLayout::kDelayEdit);
    m_editDelay->setFont(editFont);
    m_editDelay->setAlignment(Qt::AlignCenter);
    m_spinDelay = new CNumSpin(this);
    SetCtrlId(m_spinDelay, IDC_DELAY_SPIN);
    m_spinDelay->hide();

    m_btnPhase = new CBitButton(this, IDC_PHASE);
    m_btnPhase->move(StripLayout::kPhase);
    connect(m_btnPhase, &QAbstractButton::clicked, this, &COutRoute_Dlg::OnPhaseButton);

    // Gain: 0..600 shows -60.0..0.0 dB (0 the OFF word); the fader's top is the maximum.
    m_spinGain->SetBuddy(m_editGain);
    m_spinGain->SetRange(0, kGainMax);
    m_editGain->SetScale(0.1);
    m_editGain->SetOffset(60.0);
    m_editGain->SetType(23, QString());
    m_editGain->SetLinkedWnd(m_fader);
    m_fader->SetRange(0, kGainMax);
    m_fader->SetMargin(7, 3, 8, 3);
    m_fader->SetChannelBitmaps(281, 281, 0);
    m_fader->SetThumbBitmaps(358, 280, 0);
    m_fader->SetInvertedPos(0);

    // Delay in 1/48 ms steps, shown in ms until the page picks another unit.
    m_spinDelay->SetBuddy(m_editDelay);
    m_spinDelay->SetRange(0, kDelayMax);
    m_editDelay->SetType(0, QString());
    m_spinDelay->SetPos(0);

    m_btnMute->SetBitmaps(kSoundingLook[0], kSoundingLook[1], kSoundingLook[2]);
    SetChannelButtonBitmaps(818 + 3 * channel, 817 + 3 * channel, 819 + 3 * channel);

    auto *table = CMessageTable::Ensure(this);
    table->On(WM_COMMAND, [this](WPARAM w, LPARAM) -> LRESULT {
        const int id = int(LOWORD(w));
        if (id == IDC_GAIN_EDIT || id == IDC_GAIN_SPIN)
            OnGainEdit();
        else if (id == IDC_DELAY_EDIT || id == IDC_DELAY_SPIN)
            OnDelayEdit();
        return 0;
    });
    table->On(WM_SLIDER_POS_CHANGING, [this](WPARAM w, LPARAM l) { return OnFaderChanging(w, l); });
    table->On(WM_SLIDER_POS_CHANGED, [this](WPARAM w, LPARAM l) { return OnFaderChanged(w, l); });
    table->On(WM_BITBUTTON_PRESS, [this](WPARAM w, LPARAM l) { return OnLinkButtonPress(w, l); });
    table->On(WM_NUMEDIT_KEY, [this](WPARAM w, LPARAM l) { return OnNumEditKey(w, l); });
    table->On(WM_NUMEDIT_ENTER, [this](WPARAM w, LPARAM l) { return OnNumEditEnter(w, l); });
    // Copy and paste of a strip do nothing in this program.
    table->On(WM_OUTSTRIP_COPY, [](WPARAM, LPARAM) -> LRESULT { return 0; });
    table->On(WM_OUTSTRIP_PASTE, [](WPARAM, LPARAM) -> LRESULT { return 0; });

    for (QWidget *w : {static_cast<QWidget *>(m_editGain), static_cast<QWidget *>(m_editDelay)})
        w->installEventFilter(this);
    for (CBitButton *b : {m_btnChannel, m_btnMute, m_btnLink, m_btnPhase})
        b->installEventFilter(this);

    applyLanguage();
    SetSourceLabelColours(g_SysBlock2[0].load());
}

COutRoute_Dlg::~COutRoute_Dlg() = default;

// ---- the link menu ---------------------------------------------------------------------------

QMenu *COutRoute_Dlg::LinkMenu() const
{
    if (!m_menuLink)
        const_cast<COutRoute_Dlg *>(this)->makeLinkMenu();
    return m_menuLink;
}

void COutRoute_Dlg::makeLinkMenu()
{
    // The link menu of the editor's commands.
    m_menuLink = new QMenu(this);
    for (const auto &[id, text] : {std::pair{IDM_LINK_CREATE, StrId::LinkMenuCreate}, std::pair{IDM_LINK_JOIN, StrId::LinkMenuJoin},
                                   std::pair{IDM_LINK_LEAVE, StrId::LinkMenuLeave},
                                   std::pair{IDM_LINK_DISSOLVE, StrId::LinkMenuDissolve}}) {
        QAction *a = m_menuLink->addAction(QTr(text, true));
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] { OnLinkMenuCommand(id); });
    }
}

void COutRoute_Dlg::OnLinkMenuCommand(int id)
{
    if (!m_pLinkHost || m_nChannel < 0 || m_nChannel > 7)
        return;
    ILinkButtonHost &host = *m_pLinkHost;
    const int c = m_nChannel;
    const int own = 1 << c;
    const int mask = m_nLinkMask;
    const int sel = g_nSelOutput.load();
    switch (id) {
    case IDM_LINK_CREATE:
    case IDM_LINK_JOIN:
        host.OpenLinkEditor(c, id == IDM_LINK_CREATE);
        return;
    case IDM_LINK_LEAVE:
        // This output keeps only its own bit; every other member forgets it.
        for (int i = 0; i < 8; ++i) {
            if (!((mask >> i) & 1))
                continue;
            const int value = i == c ? own : host.LinkMask(i) & ~own;
            host.SyncGroupSelection(i, value);
            host.SetEditorLink(i, value);
        }
        if (c == sel) {
            for (int i = 0; i < 8; ++i)
                if (i != c && ((mask >> i) & 1))
                    host.SetChannelButton(i, false);
        } else {
            host.SetChannelButton(c, false);
        }
        return;
    case IDM_LINK_DISSOLVE:
        for (int i = 0; i < 8; ++i) {
            if (!((mask >> i) & 1))
                continue;
            host.SyncGroupSelection(i, 1 << i);
            host.SetEditorLink(i, 1 << i);
        }
        for (int i = 0; i < 8; ++i)
            if (i != sel && ((mask >> i) & 1))
                host.SetChannelButton(i, false);
        return;
    default:
        return;
    }
}

// ---- setters ---------------------------------------------------------------------------------

void COutRoute_Dlg::SetBackground(int bitmapId)
{
    m_nBackground = bitmapId;
    m_nBackgroundSize = Skins::NaturalSize(SkinType::Bitmap, bitmapId);
    update();
}

void COutRoute_Dlg::SetChannelButtonBitmaps(int normal, int hover, int on)
{
    m_btnChannel->SetBitmaps(normal, hover, on, on, on, on);
}

void COutRoute_Dlg::SetFaderChannelBitmaps(int id, int activeId, int transparent, COLORREF key, int x, int y)
{
    m_fader->SetChannelBitmaps(id, activeId, transparent, key, x, y);
}

void COutRoute_Dlg::SetFaderThumbBitmaps(int id, int activeId, int transparent, COLORREF key, int x, int y)
{
    m_fader->SetThumbBitmaps(id, activeId, transparent, key, x, y);
}

void COutRoute_Dlg::SetSelected(int selected)
{
    m_btnChannel->SetCheck(selected ? 1 : 0);
    update();
}

void COutRoute_Dlg::SetGain(int gain)
{
    gain = std::clamp(gain, 0, kGainMax);
    m_nGain = gain;
    m_fader->SetInvertedPos(gain);
    m_spinGain->SetPos(gain);
}

void COutRoute_Dlg::SetDelay(int delay) { m_spinDelay->SetPos(std::clamp(delay, 0, kDelayMax)); }

void COutRoute_Dlg::SetMute(int on)
{
    m_bOn = on ? 1 : 0;
    showMuteLook();
}

void COutRoute_Dlg::SetPhase(int polarity)
{
    m_nPhase = polarity ? 1 : 0;
    showPhaseLook();
}

void COutRoute_Dlg::SetPhaseNotify(int polarity)
{
    SetPhase(polarity);
    post(WM_OUTSTRIP_PHASE, m_nPhase);
}

void COutRoute_Dlg::SetRoute(int k, int state)
{
    if (k < 1 || k > kRouteCount)
        return;
    m_nRoute[static_cast<std::size_t>(k - 1)] = state ? 1 : 0;
    showRouteLook(k);
    applyRouteExclusion();
}

void COutRoute_Dlg::SetDelayUnit(int unit)
{
    if (unit < 1 || unit > 3)
        return;
    m_editDelay->SetType(unit - 1, QString());
}

void COutRoute_Dlg::SetLanguage(int chinese)
{
    m_nLanguage = chinese ? 1 : 0;
    showPhaseLook();
}

// The labels' texts and colours are kept as the language and the input they show, and written
// to the labels once they exist.
void COutRoute_Dlg::SetSourceLabelTexts()
{
    m_nLabelLanguage = m_nLanguage;
    if (m_labels[0])
        showSourceLabelTexts();
}

void COutRoute_Dlg::SetSourceLabelColours(int inputMode)
{
    m_nLabelInputMode = inputMode;
    if (m_labels[0])
        showSourceLabelColours();
    update();
}

void COutRoute_Dlg::makeSourceLabels()
{
    // Hidden and disabled; nothing in this program shows them.
    for (int i = 0; i < 12; ++i) {
        auto *l = new CFontStatic(this, IDC_LABEL_FIRST + i);
        l->hide();
        l->setGeometry(4 + (i % 6) * 18, 236 + (i / 6) * 9, 18, 9);
        l->setEnabled(false);
        m_labels[static_cast<std::size_t>(i)] = l;
    }
    showSourceLabelTexts();
    showSourceLabelColours();
}

void COutRoute_Dlg::showSourceLabelTexts()
{
    for (int i = 0; i < 12; ++i)
        m_labels[static_cast<std::size_t>(i)]->SetText(sourceLabelText(i, m_nLabelLanguage != 0));
}

void COutRoute_Dlg::showSourceLabelColours()
{
    for (int i = 0; i < 12; ++i) {
        CFontStatic *l = m_labels[static_cast<std::size_t>(i)];
        l->SetTextColor(isSourceLabelLit(i, m_nLabelInputMode) ? kLabelLit : kLabelDim);
        l->SetFontSize(13);
    }
}

void COutRoute_Dlg::UpdateLinkButtonLook()
{
    const bool cn = isChinese();
    if (cn)
        m_btnLink->SetBitmaps(890, 890, 890, 891, 950, 890);
    else
        m_btnLink->SetBitmaps(892, 892, 892, 893, 951, 892);
    const int value = (m_nChannel >= 0 && m_nChannel < 8) ? g_LinkGroups[static_cast<std::size_t>(m_nChannel)].load() : 0;
    m_btnLink->SetCheckedBitmap(CLinkButtonLogic::BadgeBitmap(value, cn));
}

void COutRoute_Dlg::ShowControls(int show)
{
    for (QWidget *w : {static_cast<QWidget *>(m_btnChannel), static_cast<QWidget *>(m_btnMute),
                       static_cast<QWidget *>(m_btnLink), static_cast<QWidget *>(m_btnPhase),
                       static_cast<QWidget *>(m_editGain), static_cast<QWidget *>(m_fader),
                       static_cast<QWidget *>(m_editDelay)})
        w->setVisible(show != 0);
    for (int k = 1; k <= 3; ++k)
        m_btnRoute[static_cast<std::size_t>(k - 1)]->setVisible(show != 0);
    m_bCompact = show ? 0 : 1;
    if (m_bCompact)
        SetBackground(kBackgroundChinese);
}

void COutRoute_Dlg::SetLinkIndex(int index)
{
    m_nLinkIndex = index;
    m_nSelectedFlag = index;
}

bool COutRoute_Dlg::IsLinkedToOther() const
{
    if (m_nChannel < 0 || m_nChannel >= 8)
        return false;
    const int value = g_LinkGroups[static_cast<std::size_t>(m_nChannel)].load();
    return (value & ~(1 << m_nChannel) & 0xFF) != 0;
}

bool COutRoute_Dlg::AreAllOutputsLinked()
{
    for (const auto &v : g_LinkGroups)
        if (v.load() != 1023)
            return false;
    return true;
}

bool COutRoute_Dlg::IsLinkMaskCrossed() const
{
    for (int i = 0; i < 8; ++i) {
        if (m_nLinkMask & (1 << i))
            continue;
        if (g_LinkGroups[static_cast<std::size_t>(i)].load() & m_nLinkMask)
            return true;
    }
    return false;
}

int COutRoute_Dlg::GetRoute(int k) const
{
    return (k >= 1 && k <= kRouteCount) ? m_nRoute[static_cast<std::size_t>(k - 1)] : 0;
}

CBitButton *COutRoute_Dlg::RouteButton(int k) const
{
    if (k < 1 || k > kRouteCount)
        return nullptr;
    CBitButton *b = m_btnRoute[static_cast<std::size_t>(k - 1)];
    return b ? b : const_cast<COutRoute_Dlg *>(this)->makeRouteButton(k);
}

CFontStatic *COutRoute_Dlg::SourceLabel(int i) const
{
    if (i < 0 || i >= 12)
        return nullptr;
    if (!m_labels[0])
        const_cast<COutRoute_Dlg *>(this)->makeSourceLabels();
    return m_labels[static_cast<std::size_t>(i)];
}

CBitButton *COutRoute_Dlg::makeRouteButton(int k)
{
    // Toggles 1..3 sit on the strip; 4..12 stay hidden, and 7..12 disabled.
    auto *b = new CBitButton(this, RouteId(k));
    if (k > kShownRoutes)
        b->hide();
    b->SetBitmaps(kRouteOff, kRouteOn, kRouteOn);
    if (k <= kShownRoutes)
        b->move(StripLayout::kRouteX, StripLayout::kRouteY[k - 1]);
    if (k >= 7)
        b->setEnabled(false);
    if (k == 3 || k == 4)
        b->SetDisabledBitmaps(kRouteDisabled, kRouteDisabled);
    connect(b, &QAbstractButton::clicked, this, [this, k] { OnRouteButton(k); });
    b->installEventFilter(this);
    m_btnRoute[static_cast<std::size_t>(k - 1)] = b;
    // The state the page or the user gave the toggle before it existed.
    if (m_bRouteLook[static_cast<std::size_t>(k - 1)])
        showRouteLook(k);
    if (k == 3 || k == 4)
        applyRouteExclusion();
    return b;
}

// ---- looks -------------------------------------------------------------------------------------

void COutRoute_Dlg::showMuteLook()
{
    const int *look = m_bOn ? kSoundingLook : kMutedLook;
    m_btnMute->SetBitmaps(look[0], look[1], look[2]);
}

void COutRoute_Dlg::showPhaseLook()
{
    // Chinese words or 0° / 180°, by the strip's language flag.
    const int base = m_nLanguage ? 4380 : 4370;
    if (m_nPhase == 0)
        m_btnPhase->SetBitmaps(base, base + 1, base + 3);
    else
        m_btnPhase->SetBitmaps(base + 3, base + 4, base);
}

void COutRoute_Dlg::showRouteLook(int k)
{
    m_bRouteLook[static_cast<std::size_t>(k - 1)] = true;
    CBitButton *b = m_btnRoute[static_cast<std::size_t>(k - 1)];
    if (!b)
        return;  // a toggle not made yet takes its look when it is made
    if (m_nRoute[static_cast<std::size_t>(k - 1)])
        b->SetBitmaps(kRouteOn, kRouteOn, kRouteOff);
    else
        b->SetBitmaps(kRouteOff, kRouteOff, kRouteOn);
}

void COutRoute_Dlg::applyRouteExclusion()
{
    // Toggles 3 and 4 exclude each other: the one that is on disables the other.
    if (m_btnRoute[3])
        m_btnRoute[3]->setEnabled(!m_nRoute[2]);
    if (m_btnRoute[2])
        m_btnRoute[2]->setEnabled(!m_nRoute[3]);
}

void COutRoute_Dlg::applyLanguage()
{
    const bool cn = isChinese();
    if (m_nBackground == 0 || m_nBackground == kBackgroundChinese || m_nBackground == kBackgroundEnglish)
        SetBackground(cn || m_bCompact ? kBackgroundChinese : kBackgroundEnglish);
    SetLanguage(cn ? 1 : 0);
    UpdateLinkButtonLook();
    SetSourceLabelTexts();
    m_editGain->RefreshOffText();
    m_editDelay->RefreshOffText();
}

void COutRoute_Dlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange)
        applyLanguage();
    QWidget::changeEvent(e);
}

// ---- user changes ------------------------------------------------------------------------------

void COutRoute_Dlg::post(unsigned msg, LPARAM value)
{
    if (m_pPage)
        PostMessageTo(m_pPage, msg, WPARAM(m_nChannel), value);
}

void COutRoute_Dlg::OnMuteButton()
{
    m_bOn = m_bOn ? 0 : 1;
    showMuteLook();
    post(WM_OUTSTRIP_MUTE, m_bOn);
}

void COutRoute_Dlg::OnPhaseButton()
{
    m_nPhase = m_nPhase ? 0 : 1;
    showPhaseLook();
    post(WM_OUTSTRIP_PHASE, m_nPhase);
}

void COutRoute_Dlg::OnChannelButton() { post(WM_OUTSTRIP_SELECT, 0); }

void COutRoute_Dlg::OnRouteButton(int k)
{
    if (k < 1 || k > kRouteCount)
        return;
    int &state = m_nRoute[static_cast<std::size_t>(k - 1)];
    state = state ? 0 : 1;
    showRouteLook(k);
    applyRouteExclusion();
    post(OutStripRouteMessage(k), state);
}

static void markModified(int channel)
{
    if (channel >= 0 && channel < int(g_ChannelModified.size()))
        g_ChannelModified[static_cast<std::size_t>(channel)].store(1);
}

void COutRoute_Dlg::OnGainEdit()
{
    m_nGain = m_spinGain->GetPos();
    m_fader->SetInvertedPos(m_nGain);
    post(WM_OUTSTRIP_GAIN, m_nGain);
    markModified(m_nChannel);
}

void COutRoute_Dlg::OnDelayEdit() { post(WM_OUTSTRIP_DELAY, m_spinDelay->GetPos()); }

void COutRoute_Dlg::onFader(bool done)
{
    m_nGain = m_fader->GetInvertedPos();
    m_spinGain->SetPos(m_nGain);
    if (done)
        m_editGain->setFocus(Qt::OtherFocusReason);
    post(WM_OUTSTRIP_GAIN, m_nGain);
}

LRESULT COutRoute_Dlg::OnFaderChanging(WPARAM id, LPARAM)
{
    if (int(id) == IDC_FADER)
        onFader(false);
    markModified(m_nChannel);
    return 1;
}

LRESULT COutRoute_Dlg::OnFaderChanged(WPARAM id, LPARAM)
{
    if (int(id) == IDC_FADER)
        onFader(true);
    markModified(m_nChannel);
    return 1;
}

LRESULT COutRoute_Dlg::OnLinkButtonPress(WPARAM kind, LPARAM)
{
    LinkClick click;
    switch (kind) {
    case CBitButton::kSingleClick: click = LinkClick::Single; break;
    case CBitButton::kDoubleClick: click = LinkClick::Double; break;
    case CBitButton::kRightClick: click = LinkClick::Right; break;
    default: return 0;
    }
    if (click != LinkClick::Right) {
        m_nClickKind = click == LinkClick::Single ? 1 : 2;
        m_bDoubleClick = click == LinkClick::Double ? 1 : 0;
    }
    if (!m_pLinkHost)
        return 0;
    const LinkPressResult r = CLinkButtonLogic::Press(*m_pLinkHost, m_nChannel, m_btnLink->GetCheck() != 0, click);
    if (!r.changed)
        return 0;
    if (r.checked)
        m_btnLink->SetCheckedBitmap(CLinkButtonLogic::BadgeBitmap(r.linkValue, isChinese()));
    m_btnLink->SetCheck(r.checked ? 1 : 0);
    return 0;
}

// ---- keys and focus ----------------------------------------------------------------------------

COutRoute_Dlg *COutRoute_Dlg::sibling(int channel) const
{
    if (!m_pPage)
        return nullptr;
    for (COutRoute_Dlg *s : m_pPage->findChildren<COutRoute_Dlg *>(Qt::FindDirectChildrenOnly))
        if (s->GetChannel() == channel)
            return s;
    return nullptr;
}

void COutRoute_Dlg::focusEdit(int channel, bool gain)
{
    if (COutRoute_Dlg *s = sibling(channel))
        (gain ? s->GainEdit() : s->DelayEdit())->setFocus(Qt::TabFocusReason);
}

LRESULT COutRoute_Dlg::OnNumEditKey(WPARAM id, LPARAM key)
{
    const bool left = key == VK_LEFT, right = key == VK_RIGHT;
    if (!left && !right)
        return 0;
    const int c = m_nChannel;
    if (int(id) == IDC_GAIN_EDIT) {
        if (left && c == 0) {
            CGainDlg *master = m_pPage ? m_pPage->findChild<CGainDlg *>() : nullptr;
            if (master)
                master->VolumeEdit()->setFocus(Qt::TabFocusReason);
        } else if (right && c == 7) {
            focusEdit(0, false);
        } else {
            focusEdit(left ? c - 1 : c + 1, true);
        }
    } else if (int(id) == IDC_DELAY_EDIT) {
        if (left && c == 0) {
            focusEdit(7, true);
        } else if (right && c == 7) {
            if (m_pPage)
                for (QWidget *w : m_pPage->findChildren<QWidget *>())
                    if (GetCtrlId(w) == kPageHighPassEdit) {
                        w->setFocus(Qt::TabFocusReason);
                        break;
                    }
        } else {
            focusEdit(left ? c - 1 : c + 1, false);
        }
    }
    return 0;
}

LRESULT COutRoute_Dlg::OnNumEditEnter(WPARAM id, LPARAM) { return OnNumEditKey(id, VK_RIGHT); }

bool COutRoute_Dlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched != m_editGain && watched != m_editDelay) {
        // A press anywhere in the strip takes the focus to the strip (a typed value commits).
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            setFocus(Qt::MouseFocusReason);
        return false;
    }
    if (event->type() != QEvent::KeyPress || (watched != m_editGain && watched != m_editDelay))
        return QWidget::eventFilter(watched, event);
    auto *k = static_cast<QKeyEvent *>(event);
    const WPARAM id = WPARAM(GetCtrlId(static_cast<QWidget *>(watched)));
    auto *table = CMessageTable::Ensure(this);
    if (k->modifiers() & Qt::ControlModifier) {
        if (k->key() == Qt::Key_C)
            table->PostMessage(WM_OUTSTRIP_COPY, 0, 0);
        else if (k->key() == Qt::Key_V)
            table->PostMessage(WM_OUTSTRIP_PASTE, 0, 0);
        return false;
    }
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        table->PostMessage(WM_NUMEDIT_ENTER, id, 0);
        return false;  // the edit still commits its text
    case Qt::Key_Tab:
    case Qt::Key_Right:
        table->PostMessage(WM_NUMEDIT_KEY, id, VK_RIGHT);
        return true;
    case Qt::Key_Left:
        table->PostMessage(WM_NUMEDIT_KEY, id, VK_LEFT);
        return true;
    case Qt::Key_Escape:
        setFocus(Qt::OtherFocusReason);
        return false;
    default: {
        // The typing limit (6 characters for the gain, 5 for the delay) applies to what the user
        // types only: a value the strip shows may be longer ("-12.0dB").
        const auto *edit = static_cast<const CNumEdit *>(watched);
        const int limit = watched == m_editGain ? kGainTypeLimit : kDelayTypeLimit;
        const QString t = k->text();
        return !t.isEmpty() && t.at(0).isPrint() && !edit->hasSelectedText() && edit->text().size() >= limit;
    }
    }
}

void COutRoute_Dlg::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(e);
}

// ---- painting ----------------------------------------------------------------------------------

void COutRoute_Dlg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_nBackground)
        p.drawPixmap(0, 0, Skins::Bitmap(m_nBackground));
    if (g_nSelOutput.load() == m_nChannel) {
        // The selected output's strip is outlined in red, all four edges inside the strip.
        const QSize s = m_nBackgroundSize.isEmpty() ? size() : m_nBackgroundSize.boundedTo(size());
        p.setPen(QPen(ToQColor(kSelectedOutline), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, s.width() - 1, s.height() - 1);
    }
}
