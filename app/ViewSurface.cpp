// The main view's surface: template 101's controls at their places with their skins, the initial
// update in its order, the pages in the tab, the keys the view takes, the title drag, the preset
// name, the input-source selector, the mix table and the language switch.

#include "app/VRX530View.h"

#include "app/ViewLogic.h"
#include "controls/BitButton.h"
#include "controls/ComBoxBtn.h"
#include "controls/CtrlMessages.h"
#include "controls/DisplayDlg.h"
#include "controls/EnTabCtrl.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/Show_Link.h"
#include "controls/XPButton.h"
#include "link/LinkState.h"
#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/LinkGroups.h"
#include "model/OutputRoute.h"
#include "model/SpeakerGroups.h"
#include "model/TextFields.h"
#include "panels/level/LevelDelayDlg.h"
#include "platform/Gbk.h"
#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "res/Skins.h"

#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <mutex>

namespace {

// Template 101 is laid out in the dialog units of its font, Arial 8.
DialogUnits TemplateUnits()
{
    static const DialogUnits u = DialogUnitsOf(MakePointFont(QStringLiteral("Arial"), 80));
    return u;
}

QPoint TemplatePos(int x, int y)
{
    return DluRect(x, y, 1, 1, TemplateUnits()).topLeft();
}

// The input-source list's items in the UI language, by list position.
constexpr StrId kSourceItems[kSourcePositions] = {StrId::InputSourceHiLevel, StrId::InputSourceAux,
                                                  StrId::InputSourceSpdif, StrId::InputSourcePhone};

// The background skins 284 (English) and 285 (Chinese): the console panel with the title strip,
// the brand mark at its left end and the product name between the Connect button and the window
// buttons, so no control of the strip covers a word.
void RegisterBackgroundSkins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const auto painter = [](QPainter &p, const QRect &r, bool chinese) {
        SkinSpec panel;
        panel.style = SkinStyle::Panel;
        panel.size = r.size();
        Skins::Paint(p, r, panel, chinese);
        const int strip = TemplatePos(0, 18).y();
        // The brand mark: the logo glyph and the model name, left of the Options button.
        const int left = 6, markH = std::min(18, strip - 8);
        SkinSpec logo;
        logo.style = SkinStyle::Icon;
        logo.size = QSize(markH, markH);
        logo.textEn = "logo";
        Skins::Paint(p, QRect(left, (strip - markH) / 2, markH, markH), logo, chinese);
        QFont brand = MakeFont(QStringLiteral("Arial"), -15, 700);
        p.setFont(brand);
        p.setPen(QColor::fromRgb(Skins::Palette::Accent));
        const int brandRight = TemplatePos(92, 0).x() - 6;
        p.drawText(QRect(left + markH + 6, 0, brandRight - left - markH - 6, strip), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("ZK-470"));
        // The product name, centred in the free part of the strip right of the noise-gate switch
        // (46 pixels wide at 504 units), which the view shows for most input sources.
        const int from = TemplatePos(504, 0).x() + 46 + 12, to = TemplatePos(759, 0).x() - 16;
        QFont title = chinese ? MakeFont(QStringLiteral("SimSun"), -14, 400) : MakeFont(QStringLiteral("Arial"), -13, 700);
        title.setLetterSpacing(QFont::AbsoluteSpacing, chinese ? 2 : 1.5);
        p.setFont(title);
        p.setPen(QColor::fromRgb(Skins::Palette::Text));
        p.drawText(QRect(from, 0, to - from, strip), Qt::AlignCenter,
                   chinese ? QStringLiteral("数字音频处理器 调音软件") : QStringLiteral("DSP TUNER"));
    };
    Skins::RegisterPainter(SkinType::Bitmap, 284, QSize(CVRX530View::kSurfaceWidth, CVRX530View::kSurfaceHeight), painter);
    Skins::RegisterPainter(SkinType::Bitmap, 285, QSize(CVRX530View::kSurfaceWidth, CVRX530View::kSurfaceHeight), painter);
}

template <typename T> T *Place(T *ctrl, int x, int y, bool shown)
{
    ctrl->move(TemplatePos(x, y));
    ctrl->setVisible(shown);
    return ctrl;
}

}  // namespace

// ---- controls ------------------------------------------------------------------------------------

void CVRX530View::CreateSurface()
{
    RegisterBackgroundSkins();
    // Template 101's controls at their places; the skins come with SetupControls and the language.
    m_btnOptions = Place(new CXPButton(this, IDC_OPTIONS), 92, 4, true);
    m_btnData = Place(new CXPButton(this, IDC_DATA), 145, 4, true);
    m_btnMixer = Place(new CBitButton(this, IDC_MIXER), 198, 4, true);
    m_connect->move(TemplatePos(308, 4));
    m_cmbSource = Place(new CComBoxBtn(this), 358, 4, false);
    SetCtrlId(m_cmbSource, IDC_SOURCE);
    m_cmbSource->setEnabled(false);
    m_btnSourceBar = Place(new CBitButton(this, IDC_SOURCE_BAR), 434, 2, false);
    m_btnSourceBar->setEnabled(false);
    m_btnAdvSwitch = Place(new CBitButton(this, IDC_ADV_SWITCH), 504, 4, false);
    m_btnAdvSwitch->setEnabled(false);
    m_btnPage[0] = Place(new CBitButton(this, IDC_PAGE_INPUT), 568, 1, false);
    m_status->setGeometry(DluRect(571, 1, 130, 14, TemplateUnits()));
    m_status->setEnabled(false);
    m_btnPage[1] = Place(new CBitButton(this, IDC_PAGE_OUTPUT), 572, 1, false);
    m_btnPage[1]->setEnabled(false);
    m_btnPage[2] = Place(new CBitButton(this, IDC_PAGE_VOLUME), 573, 1, false);
    m_btnReport = Place(new CXPButton(this, IDC_REPORT), 590, 72, false);
    m_btnSystem = Place(new CXPButton(this, IDC_SYSTEM), 663, 71, false);
    m_btnSpare = Place(new CBitButton(this, IDC_SPARE), 697, 1, false);
    m_btnMinimize = Place(new CBitButton(this, IDC_MINIMIZE), 759, 3, true);
    m_btnSlot[3] = Place(new CXPButton(this, IDC_SLOT0 + 0), 767, 56, false);
    m_progress->setGeometry(DluRect(775, 20, 9, 13, TemplateUnits()));
    m_btnClose = Place(new CBitButton(this, IDC_CLOSE), 780, 3, true);
    m_btnSlot[2] = Place(new CXPButton(this, IDC_SLOT0 + 1), 830, 56, false);
    m_btnSlot[1] = Place(new CXPButton(this, IDC_SLOT0 + 2), 830, 56, false);
    m_btnSlot[0] = Place(new CXPButton(this, IDC_SLOT0 + 3), 830, 55, false);
    m_btnPresetName->move(TemplatePos(123, 4));
    m_btnPresetName->setEnabled(false);
    m_btnInputPage = Place(new CBitButton(this, IDC_INPUT_PAGE), 36, 6, false);
    m_btnInputPage->setText(QStringLiteral("Button1"));

    // The tab frames the pages: under the title strip, to the surface's edges.
    m_tab = new CEnTabCtrl(this);
    SetCtrlId(m_tab, IDC_TAB);
    const QRect tab = DluRect(0, 18, 809, 416, TemplateUnits()) & QRect(0, 0, kSurfaceWidth, kSurfaceHeight);
    m_tab->setGeometry(tab.left(), tab.top(), kSurfaceWidth, kSurfaceHeight - tab.top());
    m_tab->lower();

    for (int page = 0; page < 3; ++page)
        connect(m_btnPage[page], &QAbstractButton::clicked, this, [this, page] {
            OnPageButton(GetCtrlId(m_btnPage[page]));
        });
    setFocusPolicy(Qt::ClickFocus);
}

void CVRX530View::InstallSurfaceHandlers()
{
    m_table->On(WM_COMBOXBTN_SELECT, [this](WPARAM w, LPARAM) {
        OnInputSourcePicked(int(w));
        return LRESULT(0);
    });
    m_table->On(ViewMsg::MixTable, [this](WPARAM w, LPARAM l) { return LRESULT(m_mixTable.SetFromMessage(w, l)); });
    m_table->On(ViewMsg::ShowVolume, [this](WPARAM, LPARAM) {
        OnShowVolumePage();
        return LRESULT(0);
    });
    m_table->On(WM_VIEW_PRESET_CUSTOM, [this](WPARAM, LPARAM) {
        OnPresetCustom();
        return LRESULT(0);
    });
}

QWidget *CVRX530View::Control(int id) const
{
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (GetCtrlId(w) == id)
            return w;
    }
    return nullptr;
}

QWidget *CVRX530View::PageHost() const { return m_tab; }

QRect CVRX530View::PageRect() const { return m_tab ? m_tab->rect() : QRect(); }

QWidget *CVRX530View::OutputPageWidget() const
{
    return dynamic_cast<QWidget *>(m_pages.OutputPage());
}

void CVRX530View::SetupControls()
{
    m_progress->SetBkColor(RGB(0x80, 0x80, 0x80));
    m_btnMixer->SetBitmaps(1022, 1023, 1023);
    m_btnPresetName->SetDisabledBitmaps(718, 716);
    m_btnPresetName->SetTextColor(RGB(255, 255, 255));
    m_btnPresetName->SetTextFormat(0);
    m_btnPresetName->SetTextOffset(10);
    m_btnPresetName->setText(QString());

    m_cmbSource->SetBitmaps(763, 764);
    m_cmbSource->CreateDropList(this, IDC_SOURCE);
    m_cmbSource->ResetContent();
    for (StrId id : kSourceItems)
        m_cmbSource->AddString(QTr(id, true));
    m_cmbSource->SetHoverOpen(1);

    m_btnSourceBar->SetBitmaps(1046, 1046, 1046);
    m_btnSourceBar->hide();
    m_btnAdvSwitch->SetBitmaps(1044, 1044, 1045, 1045, 1045, 1044);
    m_bAdvSwitch = g_nNoiseGateOn.load() == 0xFF ? 0 : 1;
    m_btnAdvSwitch->SetCheck(m_bAdvSwitch);

    m_status->StartBlink();
    m_btnMinimize->SetBitmaps(4946, 4947, 4947);
    m_btnClose->SetBitmaps(4948, 4949, 4949);

    // The tab shows nothing of its own: the page covers it. Its colour is the console's, so an
    // empty tab (the volume page) reads as the console and not as a light box.
    m_tab->SetBkColor(RGB(0x1B, 0x1E, 0x23));
    m_tab->SetPaintMode(2);
    CEnTabCtrl::EnableCustomLook(true, 31);
    m_tab->update();

    m_fontName = MakeFont(QStringLiteral("Arial"), 17, 400);
    if (m_editPresetName)
        m_editPresetName->setFont(m_fontName);
    m_btnPresetName->SetTextFont(&m_fontName);
    if (QWidget *page = OutputPageWidget()) {
        page->setGeometry(PageRect());
        page->hide();
    }
    if (IOutputPage *page = m_pages.OutputPage())
        page->LoadChannelRecords();

    // The transfer popup was made with the view (hidden); the menus come with the commands.
    m_popup->Hide();
    LoadOutputRouteBits();
    m_surfaceReady = true;
}

// ---- initial update ------------------------------------------------------------------------------

void CVRX530View::OnInitialUpdate()
{
    g_pMainView = this;
    m_command.SetOwner(m_table);
    m_szAppDir = QDir::currentPath().toStdString().substr(0, 259);
    g_szStartFolder = m_szAppDir;
    for (auto &link : g_LinkGroups)
        link = 0;
    g_szHelpFileCn = m_szAppDir + "/CH_Help.chm";
    g_szHelpFileEn = m_szAppDir + "/EN_Help.chm";
    // The firmware folder starts as Documents, so a first start saves that as DspMcu/Path.
    m_settings.SetFolder(FOLDER_FIRMWARE, m_settings.Documents());
    LoadSavedLanguage();
    SetupControls();
    SwitchLanguage(0);
    SelectSlotButton(0, 0);
    ShowPage(g_nCurPage.load(), 0);
    StartLinkServices();
    SetMainTitle();
    LoadDspMcuSettings();
    SaveFileFolder(0);
    LoadLineSetting();
    m_rcDrag = rect();
    m_bDragging = false;
    m_table->PostMessage(WM_VIEW_AUTOCONNECT);
}

void CVRX530View::LoadSavedLanguage()
{
    LoadDspMcuSettings();
    const std::string saved = g_strLanguage.Get();
    if (saved.empty()) {
        // A first start saves the locale's choice.
        g_strLanguage = std::string(g_bChinese.load() ? "Chinese" : "English");
        SaveLanguage();
    } else {
        // Exactly "Chinese" picks Chinese; anything else, another letter case included, English.
        SetUiLanguage(saved == "Chinese");
    }
}

void CVRX530View::SaveLanguage()
{
    SaveDspMcuSettings();
}

void CVRX530View::SetMainTitle()
{
    const int mode = g_nViewMode.load();
    if (mode == 1 || mode == 2)
        window()->setWindowTitle(QString::fromStdString(g_strProductName));
}

// ---- pages ---------------------------------------------------------------------------------------

void CVRX530View::ShowPage(int page, int hideOld)
{
    if (hideOld) {
        const int current = g_nCurPage.load();
        if (current >= 0 && current <= 2)
            m_btnPage[current]->SetCheck(0);
        if (current == 1) {
            if (QWidget *w = OutputPageWidget())
                w->hide();
        }
        if (current == 2 && m_levelPage)
            m_levelPage->hide();
        g_nCurPage = page;
    }
    const int shown = g_nCurPage.load();
    if (shown < 0 || shown > 2)
        return;
    // The input page is never made as a window; its button is checked all the same.
    m_btnPage[shown]->SetCheck(1);
    if (shown == 1) {
        if (QWidget *w = OutputPageWidget())
            w->show();
        if (IOutputPage *p = m_pages.OutputPage())
            p->RefreshChannel();
    }
    if (shown == 2) {
        // The level and delay page, loaded afresh from the records and the last status.
        CLevel_Delay_Dlg *level = EnsureLevelPage();
        level->RefreshAll();
        level->RefreshInputs();
        level->UpdateMeters();
        level->show();
        level->FocusMaster();
    }
}

CLevel_Delay_Dlg *CVRX530View::EnsureLevelPage()
{
    if (!m_levelPage) {
        m_levelPage = new CLevel_Delay_Dlg(*m_sync, PageHost());
        m_levelPage->SetKTVData(&m_doc);
        m_levelPage->setGeometry(QRect(PageRect().topLeft(), m_levelPage->size()));
        m_levelPage->hide();
    }
    return m_levelPage;
}

void CVRX530View::ShowStatusOnLevelPage(int selectedInputBefore)
{
    if (!m_levelPage || !m_levelPage->isVisible())
        return;
    m_levelPage->UpdateMeters();
    if (g_nSelInput.load() != selectedInputBefore)
        m_levelPage->RefreshInputs();
}

void CVRX530View::OnPageButton(int id)
{
    const int page = id == IDC_PAGE_OUTPUT ? 1 : id == IDC_PAGE_INPUT ? 0 : id == IDC_PAGE_VOLUME ? 2 : -1;
    if (page >= 0 && page != g_nCurPage.load())
        ShowPage(page, 1);
}

void CVRX530View::OnShowVolumePage()
{
    ShowPage(2, 1);
}

// ---- keys ----------------------------------------------------------------------------------------

void CVRX530View::keyPressEvent(QKeyEvent *e)
{
    // Enter, Esc and Tab that no field took for itself reach the view here.
    ViewKey key = ViewKey::Other;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: key = ViewKey::Enter; break;
    case Qt::Key_Escape: key = ViewKey::Escape; break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: key = ViewKey::Tab; break;
    default: break;
    }
    const ViewKeyAction action = ViewKeyActionFor(key, g_nCurPage.load());
    if (action == ViewKeyAction::PassOn) {
        QWidget::keyPressEvent(e);
        return;
    }
    ApplyKeyAction(int(action));
    e->accept();
}

bool CVRX530View::focusNextPrevChild(bool)
{
    // Tab is the view's key (keyPressEvent), not a walk along the focus chain; a field that is
    // hidden while it has the focus just loses it.
    return false;
}

void CVRX530View::ApplyKeyAction(int action)
{
    switch (ViewKeyAction(action)) {
    case ViewKeyAction::FocusView: setFocus(Qt::OtherFocusReason); break;
    case ViewKeyAction::FocusFirstBand:
        if (IOutputPage *p = m_pages.OutputPage())
            p->FocusFirstBand();
        break;
    case ViewKeyAction::Swallow:
    case ViewKeyAction::PassOn: break;
    }
}

// ---- title drag ----------------------------------------------------------------------------------

void CVRX530View::mousePressEvent(QMouseEvent *e)
{
    // The whole client area, as it is now: the frame sizes the view after the initial update.
    m_rcDrag = rect();
    if (e->button() == Qt::LeftButton && m_rcDrag.contains(e->position().toPoint())) {
        // The window system moves the window where it can (X11 and Wayland); otherwise the view
        // moves it as the mouse goes.
        QWindow *handle = window()->windowHandle();
        if (handle && handle->startSystemMove()) {
            e->accept();
            return;
        }
        m_bDragging = true;
        // The press relative to the window's frame, so the frame follows the mouse exactly.
        m_ptDragStart = e->globalPosition().toPoint() - window()->pos();
        grabMouse();
    }
    QWidget::mousePressEvent(e);
}

void CVRX530View::mouseMoveEvent(QMouseEvent *e)
{
    if (m_bDragging)
        window()->move(e->globalPosition().toPoint() - m_ptDragStart);
    QWidget::mouseMoveEvent(e);
}

void CVRX530View::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && m_bDragging) {
        m_bDragging = false;
        releaseMouse();
    }
    QWidget::mouseReleaseEvent(e);
}

// ---- link state of the outputs and device-derived state ------------------------------------------

void CVRX530View::RefreshChannelAssignments()
{
    m_doc.InitLinkTable();
    std::array<int, kStripCount> links{};
    for (int i = 0; i < kStripCount; ++i)
        links[std::size_t(i)] = g_LinkGroups[std::size_t(i)].load();
    const ChannelAssignments looks = ComputeChannelAssignments(links, g_nSelOutput.load());
    // The link values just loaded are the groups now: a membership suspended under the old ones
    // would rejoin (and copy from) whatever group took its number since.
    RebuildLinkGroupTables();
    g_bLinkAnchor = looks.anchor ? 1 : 0;
    if (IOutputPage *p = m_pages.OutputPage())
        p->ShowChannelAssignments(looks.strips);
}

void CVRX530View::RefreshFromImage()
{
    RebuildSpeakerGroups();
    m_bAdvSwitch = g_nNoiseGateOn.load() == 0xFF ? 0 : 1;
    m_btnAdvSwitch->SetCheck(m_bAdvSwitch);
    LoadOutputRouteBits();
    if (IOutputPage *p = m_pages.OutputPage())
        p->LoadChannelRecords();
    if (m_levelPage && m_levelPage->isVisible()) {
        m_levelPage->RefreshAll();
        m_levelPage->RefreshInputs();
    }
}

// ---- input source --------------------------------------------------------------------------------

void CVRX530View::SetInputSource(int code, int store)
{
    if (IOutputPage *p = m_pages.OutputPage())
        p->SetInputMode(code);
    const int position = PositionOfSourceCode(code);
    if (position >= 0) {
        m_cmbSource->SetCurSel(position);
        // Hi.Level has no noise gate; the other sources show the (disabled) switch.
        const bool gate = code != 1;
        m_btnAdvSwitch->setVisible(gate);
        if (code != 3 || gate)
            m_btnSourceBar->hide();
    }
    if (!store) {
        // The device's input: an open input page must edit the input it shows.
        if (g_pInputPage)
            g_pInputPage->ShowDeviceInput();
        return;
    }
    g_nInputSource = static_cast<std::uint8_t>(code);
    if (g_bAltInputMode.load()) {
        g_bAltInputMode = 0;
        m_sync->QueueDeviceCommand(SYS_VOLUME, 0);
    }
    m_sync->QueueDeviceCommand(SYS_INPUT, 0);
}

void CVRX530View::OnInputSourcePicked(int notifyId)
{
    if (notifyId != IDC_SOURCE)
        return;
    const int code = SourceCodeAtPosition(m_cmbSource->GetCurSel());
    if (code >= 0 && code != g_nInputSource.load())
        SetInputSource(code, 1);
}

// ---- preset name ---------------------------------------------------------------------------------

namespace {

std::string CurrentPresetName()
{
    std::lock_guard lock(g_csImage);
    return BufferToCString(g_CurImage.Name().data(), int(DeviceImage::kNameSize));
}

}  // namespace

QLineEdit *CVRX530View::PresetNameEdit() const
{
    if (!m_editPresetName) {
        // Its font is a size nothing else in the first frame uses: made at start-up, it cost a
        // face loaded only for a hidden control.
        auto *edit = new QLineEdit(const_cast<CVRX530View *>(this));
        SetCtrlId(edit, IDC_PRESET_NAME_EDIT);
        edit->setReadOnly(true);
        edit->hide();
        edit->setGeometry(DluRect(830, 19, 6, 12, TemplateUnits()));
        edit->setAlignment(Qt::AlignCenter);
        edit->setFont(m_fontName);
        m_editPresetName = edit;
    }
    return m_editPresetName;
}

void CVRX530View::ShowPresetName(int sendFlag)
{
    const QString name = QString::fromStdString(CurrentPresetName());
    m_btnPresetName->SetCheck(name.isEmpty() ? 0 : 1);
    if (m_editPresetName || !name.isEmpty())
        PresetNameEdit()->setText(name);
    m_btnPresetName->setText(name);
    g_bNamePending = sendFlag;
}

void CVRX530View::ShowPresetNameLocalized()
{
    const std::string name = CurrentPresetName();
    if (name.empty()) {
        m_btnPresetName->SetCheck(0);
        if (m_editPresetName)
            m_editPresetName->clear();
        m_btnPresetName->setText(QString());
        return;
    }
    m_btnPresetName->SetCheck(1);
    QString shown = QString::fromStdString(name);
    if (name == g_strCustomName && g_bChinese.load() && g_nCurPreset.load() == 0)
        shown = QTr(StrId::PresetCustom, true);
    PresetNameEdit()->setText(shown);
    m_btnPresetName->setText(shown);
}

void CVRX530View::OnPresetCustom()
{
    m_btnPresetName->SetCheck(1);
    const QString shown = g_bChinese.load() ? QTr(StrId::PresetCustom, true) : QString::fromStdString(g_strCustomName);
    PresetNameEdit()->setText(shown);
    m_btnPresetName->setText(shown);
    g_bNamePending = 1;
}

void CVRX530View::SetPresetNameFromText(const std::string &text)
{
    const PresetNameParts parts = SplitPresetName(Utf8ToGbkLossy(text));
    const QString shown = QString::fromStdString(GbkToUtf8(parts.shown));
    PresetNameEdit()->setText(shown);
    m_btnPresetName->setText(shown);
    m_btnPresetName->SetCheck(shown.isEmpty() ? 0 : 1);
    {
        std::lock_guard lock(g_csImage);
        // ASCII only: it always fits the field.
        CStringToBufferTerminated(g_CurImage.Name().data(), int(DeviceImage::kNameSize),
                                  parts.stored.empty() ? g_strCustomName : parts.stored);
    }
    SetLastAutoName(shown.toStdString());
    g_bNamePending = 1;
}

// ---- language ------------------------------------------------------------------------------------

void CVRX530View::SwitchLanguage(int toggle)
{
    // A change is announced to every window; this view applies it in changeEvent.
    if (!(toggle && SetUiLanguage(g_bChinese.load() == 0)))
        ApplyLanguage();
    update();
}

void CVRX530View::ApplyLanguage()
{
    if (!m_surfaceReady)
        return;
    const bool cn = g_bChinese.load() != 0;
    for (CBitButton *b : m_btnPage)
        b->hide();
    m_status->hide();

    cn ? m_btnMixer->SetBitmaps(1022, 1023, 1023) : m_btnMixer->SetBitmaps(1024, 1025, 1025);
    g_strLanguage = std::string(cn ? "Chinese" : "English");
    if (cn) {
        m_btnPage[1]->SetBitmaps(4310, 4311, 4312, 4312, 4312, 4312);
        m_btnPage[0]->SetBitmaps(4313, 4314, 4315, 4315, 4315, 4315);
        m_btnPage[2]->SetBitmaps(4316, 4317, 4318, 4318, 4318, 4318);
    } else {
        m_btnPage[1]->SetBitmaps(4300, 4301, 4302, 4302, 4302, 4302);
        m_btnPage[0]->SetBitmaps(4303, 4304, 4305, 4305, 4305, 4305);
        m_btnPage[2]->SetBitmaps(4306, 4307, 4308, 4308, 4308, 4308);
    }

    m_cmbSource->ResetContent();
    for (StrId id : kSourceItems)
        m_cmbSource->AddString(QTr(id));
    m_cmbSource->SetCurSel(PositionOfSourceCode(g_nInputSource.load()));

    if (cn) {
        m_btnData->SetBitmaps(8701, 8710, 8710, 8710, 8710, 8710);
        m_btnOptions->SetBitmaps(8702, 8711, 8711, 8711, 8711, 8711);
    } else {
        m_btnData->SetBitmaps(8720, 8730, 8730, 8730, 8730, 8730);
        m_btnOptions->SetBitmaps(8721, 8731, 8731, 8731, 8731, 8731);
    }
    ShowConnectedState(m_connectedLook);
    // Bitmap buttons take their skin's size.
    for (CXPButton *b : {m_btnData, m_btnOptions, static_cast<CXPButton *>(m_connect)})
        b->resize(Skins::NaturalSize(SkinType::Bitmap, b->CurrentBitmap()));
    // The Data and Options menus re-read their texts at the same notice.

    if (g_bDeviceOnline.load() && g_nCurPreset.load() == 0) {
        const QString custom = QString::fromStdString(g_strCustomName), customCn = QTr(StrId::PresetCustom, true);
        const QString shown = m_btnPresetName->text();
        if (cn && shown == custom) {
            m_btnPresetName->setText(customCn);
            PresetNameEdit()->setText(customCn);
        } else if (!cn && shown == customCn) {
            m_btnPresetName->setText(custom);
            PresetNameEdit()->setText(custom);
        }
    }
    SaveLanguage();
    if (IOutputPage *p = m_pages.OutputPage())
        p->SwitchLanguage();
}
