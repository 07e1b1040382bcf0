#include "panels/input/InPutDlg.h"

#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/CtrlMessages.h"
#include "controls/FontStatic.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "controls/XPButton.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/ModeItemTable.h"
#include "model/Music_InData.h"
#include "panels/input/InMode_Dlg.h"
#include "panels/input/InPutDlgSkins.h"
#include "panels/input/InputChoice.h"
#include "panels/input/InputConnectors.h"
#include "panels/input/InputMessages.h"
#include "panels/output/CFStatic.h"
#include "panels/output/OutputMessages.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/QtGlobals.h"
#include "platform/qt/WindowMessages.h"
#include "protocol/CommandFrame.h"
#include "res/Skins.h"
#include "services/Services.h"

#include <QMenu>
#include <QPainter>

#include <algorithm>

namespace {

bool ValidInput(int n) { return n >= 0 && n < CInPutDlg::kInputs; }

// The main source shown on the button (0..6; another value shows OFF).
int MainSource()
{
    const int s = g_ModeItemTable.mainSource;
    return s >= 0 && s < kModeSourceCount ? s : kModeSourceOff;
}

}  // namespace

CInPutDlg::CInPutDlg(IChannelSends &sends, IDeviceSync &sync, IMessageBoxService &boxes, QWidget *parent)
    : QWidget(parent), m_sends(sends), m_sync(sync), m_boxes(boxes)
{
    setObjectName(QStringLiteral("InPutDlg"));
    RegisterInputPageSkins();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    m_table = CMessageTable::Ensure(this);
    resize(kWidth, kHeight);
    InitControls();
    InstallMessageMap();
    g_pInputPage = this;
    g_pInputRefreshWnd = this;
}

CInPutDlg::~CInPutDlg()
{
    // Nobody may call a page that is gone.
    if (g_pInputPage == this)
        g_pInputPage = nullptr;
}

// ---- geometry --------------------------------------------------------------------------------------

QRect CInPutDlg::InputSlot(int k)
{
    const QRect r = DluRect(23, 27 + 27 * k, 16, 12, kInputPageUnits);
    return QRect(r.topLeft(), Skins::NaturalSize(SkinType::Bitmap, 8100));
}

QRect CInPutDlg::GraphRect()
{
    return DluRect(170, 9, 771, 156, kInputPageUnits);
}

QWidget *CInPutDlg::Control(int id) const
{
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (GetCtrlId(w) == id)
            return w;
    return nullptr;
}

void CInPutDlg::InitControls()
{
    // The main-source menu: S/PDIF, Hi.Level, Phone, AUX1..3, OFF as items 174..180.
    m_menuSource = new QMenu(this);
    for (int k = 0; k < kModeSourceCount; ++k) {
        QAction *a = m_menuSource->addAction(QString());
        a->setData(ID_SOURCE_FIRST + k);
        connect(a, &QAction::triggered, this, [this, k] { SetMixerSource(k); });
    }

    InitBandStrips();

    m_btnGeqLabel = new CBitButton(this, IDC_GEQ_LABEL);
    m_btnGeqLabel->SetDisabledBitmaps(797, 796);
    m_btnGeqLabel->setEnabled(false);
    m_btnGeqLabel->move(DluRect(170, 194, 1, 1, kInputPageUnits).topLeft());
    ApplyEqModeLayout(0);

    m_btnSource = new CBitButton(this, IDC_SOURCE);
    m_btnSource->setFont(g_fontArial16Heavy);
    m_btnSource->SetBitmaps(722, 723, 723);
    m_btnSource->move(DluRect(38, 209, 1, 1, kInputPageUnits).topLeft());

    m_btnTitle = new CBitButton(this, IDC_TITLE);
    m_btnTitle->SetDisabledBitmaps(452, 452);
    m_btnTitle->setEnabled(false);
    m_btnTitle->move(DluRect(887, 405, 1, 1, kInputPageUnits).topLeft());

    for (int n = 0; n < kInputs; ++n) {
        auto *b = new CBitButton(this, IDC_INPUT + n);
        b->SetBitmaps(8100 + n, 8110 + n, 8120 + n, 8120 + n, 8120 + n, 8120 + n);
        b->move(InputSlot(n).topLeft());
        m_btnInput[std::size_t(n)] = b;
    }

    m_btnHiLevel1 = new CBitButton(this, IDC_HILEVEL_1WAY);
    m_btnHiLevel1->move(DluRect(38, 264, 1, 1, kInputPageUnits).topLeft());
    m_btnHiLevel2 = new CBitButton(this, IDC_HILEVEL_2WAY);
    m_btnHiLevel2->move(DluRect(38, 291, 1, 1, kInputPageUnits).topLeft());
    static constexpr int kAuxY[3] = {342, 368, 394};
    for (int m = 0; m < 3; ++m) {
        m_btnAuxMode[std::size_t(m)] = new CBitButton(this, IDC_AUX_MODE + m);
        m_btnAuxMode[std::size_t(m)]->move(DluRect(38, kAuxY[m], 1, 1, kInputPageUnits).topLeft());
    }

    m_btnAllBypass = new CBitButton(this, IDC_ALL_BYPASS);
    m_btnAllBypass->move(DluRect(891, 316, 1, 1, kInputPageUnits).topLeft());
    m_btnReset = new CBitButton(this, IDC_EQ_RESET);
    m_btnReset->move(DluRect(891, 339, 1, 1, kInputPageUnits).topLeft());
    m_btnEqMode = new CBitButton(this, IDC_EQ_MODE);
    m_btnEqMode->move(DluRect(891, 361, 1, 1, kInputPageUnits).topLeft());

    m_graph = new CCFStatic(this);
    SetCtrlId(m_graph, IDC_GRAPH);
    m_graph->setGeometry(GraphRect());
    m_graph->SetOwner(this);

    // The input-connector picture below the band strips; its clicks select inputs too.
    auto *picture = new CInMode_Dlg(this);
    picture->InitDialog();
    AttachConnectorPicture(picture, picture);

    ApplyLayoutVariant();
    ApplyLanguageSkin();
}

void CInPutDlg::AttachConnectorPicture(QWidget *picture, IInputConnectors *connectors)
{
    // One picture at a time: the one it replaces goes.
    if (m_picture && m_picture != picture)
        m_picture->deleteLater();
    m_picture = picture;
    m_connectors = picture ? connectors : nullptr;
    if (!picture)
        return;
    picture->setParent(this);
    picture->move(kConnectorX, kConnectorY);
    picture->show();
    ApplyLayoutVariant();
    if (m_connectors) {
        m_connectors->ShowAuxButtons();
        m_connectors->CheckSelectedInput();
    }
}

void CInPutDlg::InstallMessageMap()
{
    CMessageTable &t = *m_table;
    t.On(WM_COMMAND, [this](WPARAM w, LPARAM) { return OnCommand(int(LOWORD(w))); });
    t.On(WM_INMODE_SELECT, [this](WPARAM, LPARAM l) {
        OnInModeSelect(int(l));
        return LRESULT(0);
    });
    t.On(WM_INPUT_SELECT, [this](WPARAM, LPARAM l) {
        SelectInput(int(l));
        return LRESULT(0);
    });
    t.On(WM_INPUT_REFRESH, [this](WPARAM w, LPARAM l) { return OnInputRefresh(int(w), int(l)); });
    t.On(WM_CURVE_BAND_CHANGED, [this](WPARAM w, LPARAM l) {
        if (int(l) == g_nSelInput.load())
            SelectBand(int(w));
        return LRESULT(0);
    });
    t.On(WM_CURVE_KILLFOCUS, [](WPARAM, LPARAM) { return LRESULT(0); });
    t.On(WM_CURVE_FOCUS_BAND, [this](WPARAM w, LPARAM l) {
        const int i = int(w);
        if (int(l) == g_nSelInput.load() && i >= 0 && i < kBands) {
            HighlightLabel(i, true);
            HighlightEdit(i, 2, true);
            m_editGain[std::size_t(i)]->setFocus(Qt::OtherFocusReason);
        }
        return LRESULT(0);
    });
    t.On(WM_SLIDER_POS_CHANGING, [this](WPARAM w, LPARAM) { return OnSliderPos(int(w), false); });
    t.On(WM_SLIDER_POS_CHANGED, [this](WPARAM w, LPARAM) { return OnSliderPos(int(w), true); });
    t.On(WM_NUMEDIT_KEY, [this](WPARAM w, LPARAM l) { return OnNumEditKey(int(w), int(l)); });
    t.On(WM_NUMEDIT_ENTER, [this](WPARAM w, LPARAM) { return OnNumEditEnter(int(w)); });
    t.On(WM_CTRL_MOUSEMOVE, [](WPARAM, LPARAM) { return LRESULT(0); });
}

LRESULT CInPutDlg::OnCommand(int id)
{
    if (id >= IDC_INPUT && id < IDC_INPUT + kInputs)
        OnInputButton(id - IDC_INPUT);
    else if (id >= IDC_AUX_MODE && id < IDC_AUX_MODE + 3)
        SetAuxMode(id - IDC_AUX_MODE);
    else if (id == IDC_HILEVEL_1WAY)
        SetHiLevelMode(0);
    else if (id == IDC_HILEVEL_2WAY)
        SetHiLevelMode(1);
    else if (id == IDC_SOURCE)
        OnMixerButton();
    else if (id >= ID_SOURCE_FIRST && id <= ID_SOURCE_LAST)
        SetMixerSource(id - ID_SOURCE_FIRST);
    else
        OnEqCommand(id);
    return 0;
}

// ---- binding and refresh -----------------------------------------------------------------------

void CInPutDlg::SetKTVData(CKTV_Data *root)
{
    m_root = root;
    m_graph->SetData(root, CCFStatic::kDataMusic);
    m_graph->ShowMusicInput(0);
    m_graph->SetMode(CCFStatic::kModeMusic);
}

CMusic_InData *CInPutDlg::ShownInput() const
{
    const int n = m_nStripInput >= 0 ? m_nStripInput : g_nSelInput.load();
    return m_root && ValidInput(n) ? m_root->GetMusicIn(n) : nullptr;
}

void CInPutDlg::RefreshInput()
{
    // A value the user is typing belongs to the input the strips show now: it is stored there
    // before the strips take another input's values, whoever changed the input meanwhile.
    CommitTypedBandValues();
    const int sel = g_nSelInput.load();
    m_nStripInput = ValidInput(sel) ? sel : -1;
    CMusic_InData *in = ShownInput();
    if (in) {
        RefreshBypassAll();
        m_nEqMode = in->GetEqMode() ? 1 : 0;
        m_btnEqMode->SetCheck(m_nEqMode);
        ApplyEqModeLayout(m_nEqMode);
        for (int i = 0; i < kShownBands; ++i)
            LoadStrip(i, true);
    }
    ClearHighlights();
    ShowInputTitle();
    RefreshSourceButton();
    if (in) {
        m_graph->ShowMusicInput(g_nSelInput.load());
        m_graph->SetMode(CCFStatic::kModeMusic);
    }
    update();
}

void CInPutDlg::ShowInputTitle()
{
    const int n = std::clamp(int(g_nSelInput.load()), 0, inchoice::kNone);
    const int id = (g_bChinese.load() ? 459 : 452) + n;
    m_btnTitle->SetDisabledBitmaps(id, id);
}

void CInPutDlg::ShowSelectedInput()
{
    ShowInputTitle();
    UncheckAuxModeButtons();
    if (m_connectors)
        m_connectors->ShowAuxButtons();
    const int group = g_nInputGroup.load();
    if (group >= 0 && group < 3)
        m_btnAuxMode[std::size_t(group)]->SetCheck(1);
    for (int n = 0; n < kInputs; ++n)
        if (inchoice::HiddenByAuxMode(group, n))
            m_btnInput[std::size_t(n)]->hide();
    if (m_connectors)
        m_connectors->CheckSelectedInput();
    if (CBitButton *b = InputButton(g_nSelInput.load()))
        b->SetCheck(1);
    RefreshInput();
}

void CInPutDlg::UncheckAuxModeButtons()
{
    for (CBitButton *b : m_btnAuxMode)
        b->SetCheck(0);
}

void CInPutDlg::UncheckInputButton(int input)
{
    if (CBitButton *b = InputButton(input))
        b->SetCheck(0);
}

void CInPutDlg::ApplyLayoutVariant()
{
    const inchoice::LayoutPlan plan = inchoice::PlanLayout(g_nInputLayout.load());
    if (plan.keep)
        return;
    for (int n = 0; n < kInputs; ++n) {
        CBitButton *b = m_btnInput[std::size_t(n)];
        const int slot = plan.slot[std::size_t(n)];
        if (slot < 0) {
            b->hide();
            continue;
        }
        b->move(InputSlot(slot).topLeft());
        b->update();
    }
    if (m_connectors) {
        m_connectors->ShowSpdifButton(plan.slot[inchoice::kSpdif] >= 0);
        m_connectors->ShowPhoneButton(plan.slot[inchoice::kPhone] >= 0);
    }
}

// ---- the input choices ---------------------------------------------------------------------------

void CInPutDlg::SendInputBlock()
{
    m_sync.QueueDeviceCommand(SYS_INPUT, 0);
}

void CInPutDlg::LeaveAltInputMode()
{
    if (!g_bAltInputMode.load())
        return;
    g_bAltInputMode = 0;
    m_btnSource->SetCheck(0);
    m_sync.QueueDeviceCommand(SYS_VOLUME, 0);
    ApplyAltInputMode();
}

void CInPutDlg::PostInputRefresh()
{
    if (g_pInputRefreshWnd)
        PostMessageTo(g_pInputRefreshWnd, WM_INPUT_REFRESH, WPARAM(g_bAltInputMode.load()),
                      LPARAM(g_nSelInput.load()));
    LeaveAltInputMode();
}

LRESULT CInPutDlg::OnInputRefresh(int altFlag, int input)
{
    if (altFlag) {
        m_btnSource->SetCheck(0);
        ApplyAltInputMode();
    }
    if (input == g_nSelInput.load())
        return 0;
    if (input < 0 || input > inchoice::kNone)
        return 0;
    UncheckInputButton(input);
    ShowSelectedInput();
    return 0;
}

void CInPutDlg::OnInputButton(int n)
{
    if (!ValidInput(n))
        return;
    PostInputRefresh();
    if (n == g_nSelInput.load())
        return;
    UncheckInputButton(g_nSelInput.load());
    g_nSelInput = n;
    g_nInputSource = static_cast<std::uint8_t>(n);
    ApplyInputSelection();
    LeaveAltInputMode();
    SendInputBlock();
    ShowSelectedInput();
}

void CInPutDlg::OnInModeSelect(int input)
{
    if (!ValidInput(input))
        return;
    PostInputRefresh();
    if (input != g_nSelInput.load())
        UncheckInputButton(g_nSelInput.load());
    g_nSelInput = input;
    g_nInputSource = static_cast<std::uint8_t>(input);
    ApplyInputSelection();
    SendInputBlock();
    ShowSelectedInput();
}

void CInPutDlg::SelectInput(int input)
{
    const int previous = g_nSelInput.load();
    // Only an input code (or none) may reach the input block.
    if (input == previous || input < 0 || input > inchoice::kNone)
        return;
    if (previous > inchoice::kNone || previous < 0)
        return;
    UncheckInputButton(previous);
    g_nSelInput = input;
    g_nInputSource = static_cast<std::uint8_t>(input);
    ShowSelectedInput();
}

void CInPutDlg::SetInputAndGroup(int mode, int input)
{
    // A mode or an input the device does not know never reaches the input block.
    if (mode < 0 || mode > 2 || !ValidInput(input) || inchoice::HiddenByAuxMode(mode, input))
        return;
    const int previous = g_nInputGroup.load();
    if (mode != previous)
        for (int n = 0; n < kInputs; ++n)
            if (inchoice::HiddenByAuxMode(previous, n))
                m_btnInput[std::size_t(n)]->show();
    UncheckInputButton(g_nSelInput.load());
    g_nInputGroup = mode;
    g_nSelInput = input;
    g_nInputGroupByte = static_cast<std::uint8_t>(mode);
    g_nInputSource = static_cast<std::uint8_t>(input);
    SendInputBlock();
    ShowSelectedInput();
}

void CInPutDlg::SetAuxMode(int mode)
{
    if (mode < 0 || mode > 2)
        return;
    PostInputRefresh();
    const int previous = g_nInputGroup.load();
    if (mode == previous)
        return;
    for (int n = 0; n < kInputs; ++n)
        if (inchoice::HiddenByAuxMode(previous, n))
            m_btnInput[std::size_t(n)]->show();
    g_nInputGroup = mode;
    UncheckAuxModeButtons();
    const int input = inchoice::InputAfterAuxMode(mode, g_nSelInput.load());
    UncheckInputButton(g_nSelInput.load());
    g_nSelInput = input;
    g_nInputGroupByte = static_cast<std::uint8_t>(mode);
    g_nInputSource = static_cast<std::uint8_t>(input);
    ApplyInputSelection();
    SendInputBlock();
    ShowSelectedInput();
}

void CInPutDlg::SetHiLevelMode(int mode)
{
    if (g_nInputOption.load() == mode)
        return;
    m_btnHiLevel1->SetCheck(mode == 0 ? 1 : 0);
    m_btnHiLevel2->SetCheck(mode == 1 ? 1 : 0);
    g_nInputOption = static_cast<std::uint8_t>(mode);
    SendInputBlock();
}

void CInPutDlg::ResetModeControls()
{
    ShowSourceImages();
    m_btnHiLevel1->SetCheck(0);
    m_btnHiLevel2->SetCheck(0);
    HiLevelButton(g_nInputOption.load()) ? HiLevelButton(g_nInputOption.load())->SetCheck(1) : void();
    ApplyLayoutVariant();
    for (int n = 0; n < kInputs; ++n)
        if (inchoice::HiddenByAuxMode(g_nInputGroup.load(), n))
            m_btnInput[std::size_t(n)]->show();
    UncheckInputButton(g_nSelInput.load());
    RefreshSourceButton();
}

// ---- main source ---------------------------------------------------------------------------------

void CInPutDlg::ShowSourceImages()
{
    const int s = MainSource();
    if (g_bChinese.load())
        m_btnSource->SetBitmaps(3100 + s, 3110 + s, 3110 + s);
    else
        m_btnSource->SetBitmaps(3120 + s, 3130 + s, 3130 + s);
}

void CInPutDlg::RefreshSourceButton()
{
    ShowSourceImages();
    if (CBitButton *b = HiLevelButton(g_nInputOption.load()))
        b->SetCheck(1);
}

void CInPutDlg::ApplyInputSelection()
{
    if (!g_ModeItemTable.Select(g_nSelInput.load(), g_nInputGroup.load()))
        ShowSourceImages();
}

void CInPutDlg::ShowDeviceInput()
{
    for (int n = 0; n < kInputs; ++n)
        if (n != g_nSelInput.load())
            UncheckInputButton(n);
    ShowSelectedInput();
}

bool CInPutDlg::SourceItemEnabled(int k)
{
    return k >= 0 && k < kModeSourceCount && g_ModeItemTable.currentRow[k] != 0;
}

void CInPutDlg::OnMixerButton()
{
    static constexpr StrId kNames[kModeSourceCount] = {StrId::InSourceSpdif, StrId::InSourceHiLevel,
                                                       StrId::InSourcePhone, StrId::InSourceAux1,
                                                       StrId::InSourceAux2,  StrId::InSourceAux3,
                                                       StrId::InSourceOff};
    const QList<QAction *> items = m_menuSource->actions();
    for (int k = 0; k < kModeSourceCount && k < items.size(); ++k) {
        items[k]->setText(QTr(kNames[k]));
        items[k]->setEnabled(SourceItemEnabled(k));
    }
    const QRect r = m_btnSource->geometry();
    m_menuSource->popup(mapToGlobal(QPoint(r.left(), r.bottom() + 1 + 2)));
}

void CInPutDlg::SetMixerSource(int source)
{
    if (source < 0 || source >= kModeSourceCount || source == g_ModeItemTable.mainSource)
        return;
    g_ModeItemTable.mainSource = source;
    RefreshSourceButton();
    SendInputBlock();
}

// ---- alternate input mode ------------------------------------------------------------------------

void CInPutDlg::SetInputButtonImages()
{
    const bool alt = g_bAltInputMode.load() != 0;
    const bool cn = g_bChinese.load() != 0;
    for (int n = 0; n < kInputs; ++n) {
        const int base = cn ? 8130 : 8100;
        const int checked = alt ? (cn ? 8200 : 8210) + n : base + 20 + n;
        m_btnInput[std::size_t(n)]->SetBitmaps(base + n, base + 10 + n, base + 20 + n, checked, checked, checked);
    }
}

void CInPutDlg::ApplyAltInputMode()
{
    const bool alt = g_bAltInputMode.load() != 0;
    for (CBitButton *b : {m_btnAllBypass, m_btnEqMode, m_btnReset})
        b->setEnabled(!alt);
    for (int i = 0; i < kBands; ++i) {
        m_editFreq[std::size_t(i)]->setEnabled(!alt);
        m_editQ[std::size_t(i)]->setEnabled(!alt);
        m_editGain[std::size_t(i)]->setEnabled(!alt);
        m_slider[std::size_t(i)]->Enable(!alt);
        m_btnWork[std::size_t(i)]->setEnabled(!alt);
    }
    SetInputButtonImages();
    if (alt)
        ClearHighlights();
    m_graph->ResetSelection(alt ? 0 : 1);
}

// ---- language and painting -----------------------------------------------------------------------

void CInPutDlg::ApplyLanguageSkin()
{
    const bool cn = g_bChinese.load() != 0;
    if (cn) {
        m_btnReset->SetBitmaps(7004, 7003, 7003, 7004, 7003, 7003);
        m_btnReset->SetDisabledBitmaps(7012, 7013);
        m_btnAllBypass->SetBitmaps(7000, 7005, 7005, 7002, 7001, 7001);
        m_btnAllBypass->SetDisabledBitmaps(7010, 7011);
        m_btnEqMode->SetBitmaps(744, 747, 747, 746, 745, 745);
        m_btnEqMode->SetDisabledBitmaps(753, 755);
    } else {
        m_btnReset->SetBitmaps(359, 360, 360, 359, 360, 360);
        m_btnReset->SetDisabledBitmaps(7022, 7023);
        m_btnAllBypass->SetBitmaps(8820, 8821, 8821, 8822, 8823, 8823);
        m_btnAllBypass->SetDisabledBitmaps(7020, 7021);
        m_btnEqMode->SetBitmaps(740, 743, 743, 742, 741, 741);
        m_btnEqMode->SetDisabledBitmaps(749, 751);
    }
    for (int m = 0; m < 3; ++m) {
        const int base = (cn ? 4420 : 679) + 3 * m;
        m_btnAuxMode[std::size_t(m)]->SetBitmaps(base, base + 1, base + 2, base + 2, base + 2, base + 2);
    }
    const int hi = cn ? 3140 : 3150;
    m_btnHiLevel1->SetBitmaps(hi, hi + 1, hi + 2, hi + 2, hi + 2, hi + 2);
    m_btnHiLevel2->SetBitmaps(hi + 3, hi + 4, hi + 5, hi + 5, hi + 5, hi + 5);
    SetInputButtonImages();
    ShowSourceImages();
    m_btnGeqLabel->SetCheck(cn ? 1 : 0);
    ShowInputTitle();
    if (m_connectors)
        m_connectors->RedrawButtons();
    update();
}

void CInPutDlg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(Skins::Palette::Background));
    p.drawPixmap(0, 0, Skins::Bitmap(g_bChinese.load() ? 389 : 383));
}

void CInPutDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && m_btnEqMode)
        ApplyLanguageSkin();
    QWidget::changeEvent(e);
}
