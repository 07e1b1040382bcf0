// The main view's commands: the Data and Options popups, language, help, version dialog,
// minimise, close with its exit prompt, the settings-change notice and the hidden buttons.

#include "app/VRX530View.h"

#include "app/DataViewDlg.h"
#include "app/HelpFile.h"
#include "app/MixInPutCom.h"
#include "app/InputPageDlg.h"
#include "app/SaveData_Dlg.h"
#include "app/VersionDlg.h"
#include "app/ViewMenus.h"
#include "controls/BitButton.h"
#include "controls/DisplayDlg.h"
#include "controls/MessageBox.h"
#include "model/DeviceImage.h"
#include "panels/input/Adv_Seting.h"
#include "panels/input/CurSYSDlg.h"
#include "panels/input/InputNoise.h"
#include "platform/GlobalData.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Language.h"
#include "platform/qt/WindowMessages.h"
#include "protocol/CommandFrame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {

// Ids of template 101's controls that carry commands.
constexpr int IDC_OPTIONS = 8802, IDC_DATA = 8801, IDC_SYSTEM = 8803, IDC_MIXER = 2821;
constexpr int IDC_MINIMIZE = 2772, IDC_CLOSE = 2773, IDC_INPUT_PAGE = 2819, IDC_SPARE = 2822;
constexpr int IDC_ADV_SWITCH = 2824, IDC_SLOT0 = 2066, kSlots = 4;
// The message box's button set of one "Quit" button.
constexpr unsigned kQuitOnlyBox = 6;

// A child control of the view by its template id, or null.
QWidget *CtrlById(const QWidget *parent, int id)
{
    for (QWidget *w : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (GetCtrlId(w) == id)
            return w;
    }
    return nullptr;
}

void SetButtonCheck(QWidget *w, int check)
{
    if (auto *b = qobject_cast<CBitButton *>(w))
        b->SetCheck(check);
    else if (auto *a = qobject_cast<QAbstractButton *>(w); a && a->isCheckable())
        a->setChecked(check != 0);
}

// The desktop's theme changing on the view's window is the general settings notice (flags 0).
class ThemeWatch : public QObject {
public:
    explicit ThemeWatch(CVRX530View *view) : QObject(view), m_view(view) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::ThemeChange && watched == m_view->window())
            m_view->OnSettingChange(0, QString());
        return QObject::eventFilter(watched, e);
    }

private:
    CVRX530View *m_view;
};

}  // namespace

void CVRX530View::InstallCommandHandlers()
{
    m_table->On(WM_COMMAND, [this](WPARAM w, LPARAM) {
        OnViewCommand(static_cast<int>(LOWORD(w)));
        return LRESULT(0);
    });
    new ThemeWatch(this);
    // A screen's work area changing (a panel added, a display rearranged) is SPI_SETWORKAREA.
    const auto watchScreen = [this](QScreen *screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, [this] { OnSettingChange(SPI_SETWORKAREA, {}); });
    };
    for (QScreen *screen : QGuiApplication::screens())
        watchScreen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, watchScreen);
}

bool CVRX530View::OnViewCommand(int id)
{
    switch (id) {
    case IDC_DATA: OnDataButton(); return true;
    case IDC_OPTIONS: OnOptionsButton(); return true;
    case IDC_MINIMIZE: OnMinimizeButton(); return true;
    case IDC_CLOSE: OnCloseButton(); return true;
    case IDC_MIXER: OnMixerButton(); return true;
    case IDC_SYSTEM: OnSystemButton(); return true;
    case IDC_INPUT_PAGE: OnInputPageButton(); return true;
    case IDC_ADV_SWITCH: OnAdvancedSwitch(); return true;
    case IDC_SPARE: return true;  // the spare button's click does nothing
    case ViewCmd::LoadPresetFile: OnMenuLoadPresetFile(); return true;
    case ViewCmd::SavePresetFile: OnMenuSavePresetFile(); return true;
    case ViewCmd::LoadAllPresets: OnMenuLoadAllPresets(); return true;
    case ViewCmd::SaveAllPresets: OnMenuSaveAllPresets(); return true;
    case ViewCmd::LoadMachinePreset: OnMachinePresetLoad(); return true;
    case ViewCmd::SaveMachinePreset: OnMachinePresetSaveAs(); return true;
    case ViewCmd::DeleteMachinePreset: OnMachinePresetDelete(); return true;
    case ViewCmd::FirmwareUpdate: OnFirmwareUpdate(); return true;
    case ViewCmd::FactoryReset: OnFactoryResetCommand(); return true;
    case ViewCmd::Advanced: OnAdvanced(); return true;
    case ViewCmd::Language: OnToggleLanguage(); return true;
    case ViewCmd::Help: OnHelp(); return true;
    case ViewCmd::About: OnAbout(); return true;
    default:
        if (id >= IDC_SLOT0 && id < IDC_SLOT0 + kSlots) {
            OnSlotButton(id - IDC_SLOT0);
            return true;
        }
        return false;
    }
}

// ---- popups --------------------------------------------------------------------------------------

void CVRX530View::EnsureMenus()
{
    if (!m_menuData)
        m_menuData = CViewPopupMenu::CreateDataMenu(this);
    if (!m_menuOptions)
        m_menuOptions = CViewPopupMenu::CreateOptionsMenu(this);
}

void CVRX530View::PrepareDataMenu()
{
    EnsureMenus();
    // By position: 0, 1, 2 (machine presets), 7, 8 (all presets); 3 and 6 are separators and 4, 5
    // (one preset file) are always available.
    const bool connected = m_ctrl->Connected();
    for (int position : {0, 1, 2, 7, 8})
        m_menuData->SetBlockedAt(position, !connected);
}

void CVRX530View::TrackPopup(CViewPopupMenu *menu, int anchorId, int anchorX)
{
    menu->ApplyTexts();
    // At the button's left edge, 2 pixels below it; the template's place while the button is absent.
    QRect anchor;
    if (QWidget *button = CtrlById(this, anchorId))
        anchor = QRect(button->mapTo(this, QPoint(0, 0)), button->size());
    else
        anchor = DluRect(anchorX, 4, 38, 12, DialogUnitsOf(MakePointFont(QStringLiteral("Arial"), 80)));
    QAction *chosen = menu->exec(mapToGlobal(QPoint(anchor.left(), anchor.bottom() + 1 + 2)));
    if (chosen && !CViewPopupMenu::IsBlocked(chosen))
        OnViewCommand(CViewPopupMenu::CommandOf(chosen));
}

void CVRX530View::OnDataButton()
{
    PrepareDataMenu();
    TrackPopup(m_menuData, IDC_DATA, 145);
}

void CVRX530View::OnOptionsButton()
{
    EnsureMenus();
    TrackPopup(m_menuOptions, IDC_OPTIONS, 92);
}

// ---- language, help, version ---------------------------------------------------------------------

void CVRX530View::OnToggleLanguage()
{
    SetUiLanguage(g_bChinese.load() == 0);
    update();
}

void CVRX530View::OnHelp()
{
    const bool chinese = g_bChinese.load() != 0;
    if (!OpenHelpFile(chinese)) {
        // Built here rather than through the message-box service: this box has a caption of its
        // own ("Help") and one button, "Quit".
        CMessageBox box(Tr(StrId::HelpMissing), kQuitOnlyBox, Tr(StrId::HelpCaption), 0);
        box.DoModal();
    }
}

void CVRX530View::OnAbout()
{
    CCVersionDlg dlg(this);
    dlg.DoModal();
}

void CVRX530View::ShowReportDialog()
{
    CDataViewDlg dlg;
    dlg.m_pKTVData = &m_doc;
    dlg.m_pView = this;
    dlg.DoModal();
}

// ---- window commands -----------------------------------------------------------------------------

void CVRX530View::OnMinimizeButton()
{
    // Posted, as the system command is: the click finishes before the window goes.
    QMetaObject::invokeMethod(window(), &QWidget::showMinimized, Qt::QueuedConnection);
}

void CVRX530View::OnSettingChange(unsigned flags, const QString &)
{
    if (flags != 0 && flags != SPI_SETWORKAREA)
        return;
    const int mode = g_nViewMode.load();
    if (mode == 1 || mode == 2)
        window()->setWindowTitle(QString::fromStdString(g_strProductName));
    window()->update();
}

void CVRX530View::OnCloseButton()
{
    CSaveData_Dlg dlg(this);
    dlg.DoModal();
    switch (dlg.m_nResult) {
    case IDCANCEL:
        return;
    case IDYES:
        // A cancelled file dialog still closes; a save that failed keeps the program open, so the
        // edits it was to keep are not lost.
        if (SavePresetBeforeExit() < 0)
            return;
        break;
    default:
        break;
    }
    CloseMainWindow();
}

int CVRX530View::SavePresetBeforeExit()
{
    return OnSavePresetFile();
}

void CVRX530View::CloseMainWindow()
{
    m_bClosing = 1;
    // The transfer popup goes first: nothing may show a transfer the link no longer serves.
    m_popup->Hide();
    if (g_pXferDlg.load() == m_popup)
        g_pXferDlg = nullptr;
    Shutdown();
    window()->close();
}

// ---- the mixer and the hidden buttons ------------------------------------------------------------

void CVRX530View::OnMixerButton()
{
    // Its levels go straight into the output records, which mark them for the link to send.
    if (!m_mixer)
        m_mixer = std::make_unique<CMixInPutCom>(this);
    m_mixer->m_pOwnerView = this;
    m_mixer->m_pTree = &m_doc;
    m_mixer->DoModal();
}

void CVRX530View::OnAdvanced()
{
    // Command 728, which the Options menu no longer offers: the Hi.Level mixing dialog.
    CInputNoise dlg(*m_sync, this);
    dlg.m_pView = this;
    dlg.DoModal();
}

void CVRX530View::OnSystemButton()
{
    // Hidden button 8803: the limiter and noise-gate dialog on the record tree; its edits go
    // straight into the records, whose change marks the link sends.
    CCurSYSDlg dlg(m_doc, this);
    dlg.DoModal();
}

void CVRX530View::OnInputPageButton()
{
    // Hidden button 2819: the input page as a dialog of its own, bound to the records. When it
    // has closed, no advanced settings dialog is left behind.
    {
        CInputPageDlg dlg(Services(), m_doc, this);
        dlg.DoModal();
    }
    g_pAdvSetingDlg = nullptr;
}

void CVRX530View::RunAdvancedSettings()
{
    CAdv_Seting dlg(*m_sync, m_pages, m_boxes, this);
    dlg.m_pRoot = &m_doc;
    dlg.m_saveLineSetting = [this] { SaveLineSetting(); };
    dlg.DoModal();
}

void CVRX530View::SetMixingSwitch(int on)
{
    m_bAdvSwitch = on ? 1 : 0;
    SetButtonCheck(CtrlById(this, IDC_ADV_SWITCH), m_bAdvSwitch);
}

void CVRX530View::OnAdvancedSwitch()
{
    SetMixingSwitch(!m_bAdvSwitch);
    g_nNoiseGateOn = m_bAdvSwitch ? 1 : 0xFF;
    m_sync->QueueDeviceCommand(SYS_INPUT, 0);
}

void CVRX530View::OnSlotButton(int slot)
{
    if (g_nPresetSlot.load() == slot)
        return;
    SelectSlotButton(slot, 1);
    m_sync->QueueDeviceCommand(SYS_MODE_TABLE, 0);
}

void CVRX530View::SelectSlotButton(int slot, int flag)
{
    const int current = g_nPresetSlot.load();
    if (flag == 0) {
        SetButtonCheck(CtrlById(this, IDC_SLOT0 + current), 0);
        return;
    }
    if (slot == current || slot < 0 || slot >= kSlots)
        return;
    SetButtonCheck(CtrlById(this, IDC_SLOT0 + current), 0);
    g_nPresetSlot = static_cast<std::uint8_t>(slot);
}
