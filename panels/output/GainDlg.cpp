#include "panels/output/GainDlg.h"

#include "services/Services.h"
#include "controls/BitButton.h"
#include "controls/BitmapSlider.h"
#include "controls/ComBoxBtn.h"
#include "controls/NumEdit.h"
#include "controls/NumSpin.h"
#include "model/DeviceImage.h"
#include "panels/output/OutRoute_Dlg.h"
#include "panels/output/OutStripMessages.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"
#include "res/StripSkins.h"
#include "res/Strings.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

CGainDlg::CGainDlg(IDeviceSync &sync, QWidget *parent, int ctrlId) : QWidget(parent), m_sync(sync)
{
    Skins::RegisterStripSkins();
    SetCtrlId(this, ctrlId);
    setFocusPolicy(Qt::ClickFocus);
    resize(MasterLayout::kSize);

    m_edit = new CNumEdit(this);
    SetCtrlId(m_edit, IDC_EDIT);
    m_edit->setGeometry(MasterLayout::kEdit);
    m_edit->setFont(MakeFont(QStringLiteral("Arial"), 14));
    m_edit->setAlignment(Qt::AlignCenter);
    m_spin = new CNumSpin(this);
    SetCtrlId(m_spin, IDC_SPIN);
    m_spin->hide();
    m_btnMute = new CBitButton(this, IDC_MUTE);
    m_btnMute->SetBitmaps(882, 883, 884, 884, 885, 882);
    connect(m_btnMute, &QAbstractButton::clicked, this, &CGainDlg::OnMuteToggle);
    m_fader = new CBitmapSlider(this);
    SetCtrlId(m_fader, IDC_FADER);
    m_fader->move(MasterLayout::kFader);
    m_dropDown = new CComBoxBtn(this);
    SetCtrlId(m_dropDown, IDC_DROPDOWN);
    m_dropDown->setGeometry(MasterLayout::kDropDown);
    m_dropDown->hide();

    m_spin->SetBuddy(m_edit);
    m_spin->SetRange(0, kVolumeMax);
    m_edit->SetScale(1.0);
    m_edit->SetOffset(60.0);
    m_edit->SetType(23, QString());
    m_edit->SetLinkedWnd(m_fader);
    m_fader->SetRange(0, kVolumeMax);
    m_fader->SetMargin(MasterLayout::kMarginLeft, MasterLayout::kMarginTop, MasterLayout::kMarginRight,
                       MasterLayout::kMarginBottom);
    m_fader->SetChannelBitmaps(357, 357, 0);
    m_fader->SetThumbBitmaps(358, 282, 0);
    m_fader->SetInvertedPos(0);
    m_dropDown->CreateDropList(this, IDC_DROPDOWN);
    m_dropDown->SetHoverOpen(1);
    m_edit->RefreshOffText();
    // The mute button sits centred under the fader.
    m_btnMute->move((MasterLayout::kSize.width() - m_btnMute->width()) / 2, MasterLayout::kMute.y());

    auto *table = CMessageTable::Ensure(this);
    table->On(WM_COMMAND, [this](WPARAM w, LPARAM) -> LRESULT {
        const int id = int(LOWORD(w));
        if (id == IDC_EDIT || id == IDC_SPIN)
            OnVolumeEdit();
        return 0;
    });
    table->On(WM_SLIDER_POS_CHANGING, [this](WPARAM w, LPARAM l) { return OnFaderChanging(w, l); });
    table->On(WM_SLIDER_POS_CHANGED, [this](WPARAM w, LPARAM l) { return OnFaderChanged(w, l); });
    table->On(WM_COMBOXBTN_SELECT, [this](WPARAM w, LPARAM l) { return OnDropDownSelect(w, l); });
    table->On(WM_NUMEDIT_KEY, [this](WPARAM w, LPARAM l) { return OnNumEditKey(w, l); });
    table->On(WM_NUMEDIT_ENTER, [this](WPARAM w, LPARAM l) { return OnNumEditEnter(w, l); });
    m_edit->installEventFilter(this);

    SetBackgroundBitmap(g_bChinese.load() ? kBackgroundChinese : kBackgroundEnglish);
}

CGainDlg::~CGainDlg() = default;

// ---- page operations -----------------------------------------------------------------------

void CGainDlg::SetBackgroundBitmap(int bitmapId)
{
    m_nBackground = bitmapId;
    update();
}

void CGainDlg::SetDropDownState(int normalId, int hoverId) { m_dropDown->SetBitmaps(normalId, hoverId); }
void CGainDlg::AddDropDownString(const QString &text) { m_dropDown->AddString(text); }
void CGainDlg::SetDropDownSel(int index) { m_dropDown->SetCurSel(index); }
int CGainDlg::GetDropDownSel() const { return m_dropDown->GetCurSel(); }
void CGainDlg::ResetDropDown() { m_dropDown->ResetContent(); }

void CGainDlg::SetSliderChannelBitmaps(int id, int activeId, int transparent, COLORREF key, int x, int y)
{
    m_fader->SetChannelBitmaps(id, activeId, transparent, key, x, y);
}

void CGainDlg::SetSliderThumbBitmaps(int id, int activeId, int transparent, COLORREF key, int x, int y)
{
    m_fader->SetThumbBitmaps(id, activeId, transparent, key, x, y);
}

void CGainDlg::SetSliderThumbMask(int bitmapId) { m_fader->SetThumbMaskBitmap(bitmapId); }

void CGainDlg::SetSliderRange(int min, int max, int redraw) { m_fader->SetRange(min, max, redraw); }

int CGainDlg::GetSliderPos() const { return m_fader->GetPos(); }

void CGainDlg::SetGain(int volume)
{
    volume = std::clamp(volume, 0, kVolumeMax);
    m_spin->SetPos(volume);
    m_fader->SetInvertedPos(volume);
    m_edit->SetValue(volume);
    m_btnMute->SetCheck(g_bMasterOn.load() ? 0 : 1);
}

// ---- user changes ----------------------------------------------------------------------------

void CGainDlg::post(unsigned msg, LPARAM value)
{
    if (QWidget *page = parentWidget())
        PostMessageTo(page, msg, WPARAM(GetCtrlId(this)), value);
}

void CGainDlg::OnVolumeEdit()
{
    m_nVolume = m_spin->GetPos();
    m_fader->SetInvertedPos(m_nVolume);
    post(WM_GAINDLG_CHANGED, m_nVolume);
}

void CGainDlg::onFader(bool done)
{
    // The fader's top is the maximum: the volume is its inverted position.
    m_nVolume = m_fader->GetInvertedPos();
    m_spin->SetPos(m_nVolume);
    if (done)
        m_edit->setFocus(Qt::OtherFocusReason);
    post(WM_GAINDLG_CHANGED, m_nVolume);
}

LRESULT CGainDlg::OnFaderChanging(WPARAM id, LPARAM)
{
    if (int(id) == IDC_FADER)
        onFader(false);
    return 1;
}

LRESULT CGainDlg::OnFaderChanged(WPARAM id, LPARAM)
{
    if (int(id) == IDC_FADER)
        onFader(true);
    return 1;
}

void CGainDlg::OnMuteToggle()
{
    // The button is on while the master is muted: clicking it gives the opposite state.
    const int on = m_btnMute->GetCheck() ? 1 : 0;
    m_bMasterOn = on;
    g_bMasterOn.store(static_cast<std::uint8_t>(on));
    m_sync.SetPendingBlock5(1);
    m_btnMute->SetCheck(on ? 0 : 1);
}

LRESULT CGainDlg::OnDropDownSelect(WPARAM, LPARAM)
{
    post(WM_GAINDLG_SELECT, m_dropDown->GetCurSel() + 1);
    return 0;
}

// ---- keys ----------------------------------------------------------------------------------

LRESULT CGainDlg::OnNumEditKey(WPARAM id, LPARAM key)
{
    if (int(id) != IDC_EDIT || (key != VK_LEFT && key != VK_RIGHT))
        return 0;
    QWidget *page = parentWidget();
    if (!page)
        return 0;
    if (key == VK_RIGHT) {
        for (COutRoute_Dlg *s : page->findChildren<COutRoute_Dlg *>(Qt::FindDirectChildrenOnly))
            if (s->GetChannel() == 0) {
                s->GainEdit()->setFocus(Qt::TabFocusReason);
                break;
            }
        return 0;
    }
    for (QWidget *w : page->findChildren<QWidget *>())
        if (GetCtrlId(w) == kPageLastBandGainEdit) {
            w->setFocus(Qt::TabFocusReason);
            break;
        }
    return 0;
}

LRESULT CGainDlg::OnNumEditEnter(WPARAM id, LPARAM) { return OnNumEditKey(id, VK_RIGHT); }

bool CGainDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *k = static_cast<QKeyEvent *>(event);
    auto *table = CMessageTable::Ensure(this);
    switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        table->PostMessage(WM_NUMEDIT_ENTER, IDC_EDIT, 0);
        return false;
    case Qt::Key_Tab:
    case Qt::Key_Right:
        table->PostMessage(WM_NUMEDIT_KEY, IDC_EDIT, VK_RIGHT);
        return true;
    case Qt::Key_Left:
        table->PostMessage(WM_NUMEDIT_KEY, IDC_EDIT, VK_LEFT);
        return true;
    case Qt::Key_Escape:
        setFocus(Qt::OtherFocusReason);
        return true;
    default: return false;
    }
}

// ---- painting and language -------------------------------------------------------------------

void CGainDlg::paintEvent(QPaintEvent *)
{
    if (!m_nBackground)
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, Skins::Bitmap(m_nBackground));
}

void CGainDlg::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LanguageChange && (m_nBackground == kBackgroundChinese || m_nBackground == kBackgroundEnglish))
        SetBackgroundBitmap(g_bChinese.load() ? kBackgroundChinese : kBackgroundEnglish);
    QWidget::changeEvent(e);
}
