#pragma once
// The main view: holds the link (command object with its send queue, worker, USB, network and
// serial transports), the connection logic and the device synchronisation, the Connect button,
// the link status indicator and the transfer popup, and handles the link's posted messages. The
// logic lives in CLinkController, CDeviceSync and CChannelSends; this class is the Qt shell
// around them, and hands the pages and dialogs the services they use (Services(), UpdateLink()).

#include "app/ChannelSends.h"
#include "app/DeviceSync.h"
#include "app/LinkBackend.h"
#include "app/LinkController.h"
#include "app/MachinePresets.h"
#include "services/MixingSwitch.h"
#include "services/PageRegistry.h"
#include "app/PresetFileCommands.h"
#include "services/Services.h"
#include "app/UpdateLink.h"
#include "app/ViewSettings.h"
#include "app/ViewLogic.h"
#include "link/ClientSocket.h"
#include "link/KTVCommand.h"
#include "link/UsbMonitor.h"
#include "platform/ViewServices.h"

#include <QFont>
#include <QWidget>

#include <functional>
#include <memory>

class CBitButton;
class CComBoxBtn;
class CEnTabCtrl;
class CXPButton;
class CDisplayDlg;
class CGradientProgressCtrl;
class CKTV_Data;
class CMessageTable;
class CHiLevelSourceDlg;
class CMixInPutCom;
class CMsgBox;
class COutputDlg;
class CLevel_Delay_Dlg;
class CShow_Link;
class CViewPopupMenu;
class IHidBackend;
class QAbstractButton;
class QLineEdit;

class CVRX530View;
// The main view once its initial update ran, else null. UI thread only.
extern CVRX530View *g_pMainView;

class CVRX530View : public QWidget, public ILinkView, public ISyncHost, public IMixingSwitch {
    Q_OBJECT
public:
    static constexpr int IDC_CONNECT = 1413;
    static constexpr int IDC_LINK_STATUS = 2776;
    static constexpr int IDC_PROGRESS = 1414, IDC_PRESET_NAME_EDIT = 1002, IDC_PRESET_NAME_BUTTON = 2770;

    // hid: where USB devices come from (null: the system's hidapi backend).
    CVRX530View(CKTV_Data &doc, IHidBackend *hid = nullptr, QWidget *parent = nullptr);
    ~CVRX530View() override;

    // Registers the view with the link and the globals, starts watching USB arrivals and posts
    // itself the automatic connection.
    void OnInitialUpdate();
    // Stops the worker, removes the in-use mark and ends the reachability thread.
    void Shutdown();

    // The services a page or dialog is made with; the output page registers with Pages().
    AppServices Services() { return {*m_sends, *m_sync, *m_ctrl, m_boxes, m_pages}; }
    CPageRegistry &Pages() { return m_pages; }
    CUpdateLink &UpdateLink() { return *m_updateLink; }
    // The shell's preset file commands (null: none yet; nothing is chosen or written).
    void SetPresetCommands(IPresetCommands *commands) { m_presetCommands = commands; }

    // The link objects, for the shell and for tests; pages and dialogs use Services().
    CLinkController &Controller() { return *m_ctrl; }
    CDeviceSync &Sync() { return *m_sync; }
    CChannelSends &Sends() { return *m_sends; }
    CLinkBackend &Backend() { return *m_backend; }
    CKTVCommand &Command() { return m_command; }
    IMessageTarget *MessageTarget() const;
    QAbstractButton *ConnectButton() const { return m_connect; }
    CShow_Link *StatusIndicator() const { return m_status; }
    CDisplayDlg *TransferPopup() const { return m_popup; }
    // Controls the view keeps hidden: a progress bar, the preset-name edit and the preset-name button.
    CGradientProgressCtrl *HiddenProgress() const { return m_progress; }
    // The hidden edit that holds the shown preset's name; made when a name is first set.
    QLineEdit *PresetNameEdit() const;
    CBitButton *PresetNameButton() const { return m_btnPresetName; }
    // The output page, made with the view and shown from the start.
    COutputDlg *OutputPage() const { return m_outputPage; }
    // The level and delay page (page 2), made the first time page 2 is shown; null before.
    CLevel_Delay_Dlg *LevelPage() const { return m_levelPage; }

    // ---- commands ----
    void OnFirmwareUpdate();
    void OnFactoryResetCommand() { m_sync->OnFactoryReset(); }

    // ---- the view's surface: template 101's controls, initial update, pages, keys, title drag,
    //      preset name, input source, mix table and language switch (app/ViewSurface.cpp) ----
    static constexpr int IDC_OPTIONS = 8802, IDC_DATA = 8801, IDC_SYSTEM = 8803, IDC_REPORT = 8804;
    static constexpr int IDC_MIXER = 2821, IDC_SOURCE = 2820, IDC_SOURCE_BAR = 2823, IDC_ADV_SWITCH = 2824;
    static constexpr int IDC_SPARE = 2822, IDC_MINIMIZE = 2772, IDC_CLOSE = 2773, IDC_INPUT_PAGE = 2819;
    static constexpr int IDC_PAGE_OUTPUT = 2561, IDC_PAGE_INPUT = 2562, IDC_PAGE_VOLUME = 2563;
    static constexpr int IDC_SLOT0 = 2066, IDC_TAB = 1368;
    // The visible surface: the background skin's size.
    static constexpr int kSurfaceWidth = 1200, kSurfaceHeight = 695;
    // Skins, source list, tab and page, fonts, routing table; run by the initial update.
    void SetupControls();
    // Shows page 0 (input), 1 (output) or 2 (volume); with hideOld the current page goes first.
    void ShowPage(int page, int hideOld);
    void SetMainTitle();
    // With toggle non-zero the other language; then every text and skin of the view, saved.
    void SwitchLanguage(int toggle);
    void ApplyLanguage();
    // The current preset takes a typed name or a file's name (UTF-8).
    void SetPresetNameFromText(const std::string &text);
    void ShowPresetName(int sendFlag);
    void OnPresetCustom();
    void OnInputSourcePicked(int notifyId);
    void OnPageButton(int id);
    void OnShowVolumePage();
    // The host of the pages (the tab control) and where a page sits in it.
    QWidget *PageHost() const;
    QRect PageRect() const;
    const CMixTable &MixTable() const { return m_mixTable; }
    // The mixer dialog once the Mixer button opened it, else null.
    CMixInPutCom *Mixer() const { return m_mixer.get(); }
    // The high-level source dialog, made when first asked for.
    CHiLevelSourceDlg *HiLevelSourceDialog() const;
    QWidget *Control(int id) const;
    CComBoxBtn *SourceSelector() const { return m_cmbSource; }

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool focusNextPrevChild(bool next) override;

private:
    void CreateSurface();
    void InstallSurfaceHandlers();
    // The window that shows page 1, or null.
    QWidget *OutputPageWidget() const;
    void ApplyKeyAction(int action);
    void LoadSavedLanguage();
    void SaveLanguage();
    CXPButton *m_btnOptions = nullptr;
    CXPButton *m_btnData = nullptr;
    CXPButton *m_btnSystem = nullptr;
    CXPButton *m_btnReport = nullptr;
    CXPButton *m_btnSlot[4] = {};
    CBitButton *m_btnMixer = nullptr;
    CBitButton *m_btnMinimize = nullptr;
    CBitButton *m_btnClose = nullptr;
    CBitButton *m_btnSourceBar = nullptr;
    CBitButton *m_btnAdvSwitch = nullptr;
    CBitButton *m_btnSpare = nullptr;
    CBitButton *m_btnInputPage = nullptr;
    CBitButton *m_btnPage[3] = {};  // pages 0, 1, 2: controls 2562, 2561, 2563
    CComBoxBtn *m_cmbSource = nullptr;
    CEnTabCtrl *m_tab = nullptr;
    QFont m_fontName;
    CMixTable m_mixTable;
    std::unique_ptr<CMixInPutCom> m_mixer;  // the mixer dialog, made at its first opening
    mutable std::unique_ptr<CHiLevelSourceDlg> m_hiLevelSource;  // held beside the mixer; never shown
    std::string m_szAppDir;
    QRect m_rcDrag;
    bool m_bDragging = false;
    QPoint m_ptDragStart;  // the press, relative to the window's frame
    bool m_surfaceReady = false;  // SetupControls ran: the language may be applied

public:

    // ---- the view's own displays after device data arrived (the application shell fills them) ----
    void RefreshChannelAssignments();
    void RefreshFromImage();
    void ShowPresetNameLocalized();
    // Shows the input-source code 0..3; with flag 1 the user picked it and the input block is
    // written to the device (status replies asked for before the device took it change nothing);
    // with flag 0 the device reported it, and an open input page shows it.
    void SetInputSource(int sourceCode, int flag) override;

    // ---- settings: file-dialog folders, firmware file, language, curve display (app/ViewSettings.cpp) ----
    int LoadFileFolder(int kind);
    int SaveFileFolder(int kind);
    int LoadDspMcuSettings();
    int SaveDspMcuSettings();
    int LoadLineSetting();
    int SaveLineSetting();
    static bool IsNotDirectory(const std::string &path);
    // m_szFolder: the folder of file kind 1..4 (FolderKind), as last loaded or chosen.
    CProgramSettings &FolderSettings() { return m_settings; }

    // ---- ILinkView ----
    void ShowConnectedState(bool connected) override;
    void HideTransferPopup() override;
    int PopupMenu(const std::vector<std::pair<int, std::string>> &items) override;
    void SetUpdateTip(const std::string &text) override;
    bool UpdateDialogOpen() override;
    void ResetHiddenControls() override;

    // ---- ISyncHost ----
    void ResetChanges() override;
    void FillImage() override;
    void LoadFromImage(int preset) override;
    void ApplySpeakerTypes() override { m_sends->ApplySpeakerTypes(); }
    void SetTransferRange(int upper) override;
    void ShowTransferPopup(int flag) override;
    void SetTransferFactoryResetMode() override;
    void RefreshAfterPresetRead() override;
    void SelectAssignedChannel() override;
    void ShowNetworkSettings() override;
    bool ConfirmFactoryReset() override;
    bool ChooseAllPresetsFile() override;
    void ShowLinkFailure() override { m_ctrl->ShowLinkFailure(); }
    void Disconnect() override;
    void ClearNetReachable() override { m_backend->ClearNetReachable(); }

    // ---- commands of the title strip and its popups, help, version dialog and exit prompt
    //      (app/ViewCommands.cpp). The controls report clicks as WM_COMMAND, which reaches
    //      OnViewCommand: connect no clicked signal of these controls as well. ----
    // Carries out the command of a control or a popup item; false when the id is none of these.
    bool OnViewCommand(int id);
    void OnDataButton();
    void OnOptionsButton();
    void OnToggleLanguage();
    void OnHelp();
    void OnAbout();
    // The parameter report over the document's records, modal; no command opens it yet.
    void ShowReportDialog();
    void OnAdvanced();
    void OnMinimizeButton();
    void OnCloseButton();
    // flags: 0 for a general change, SPI_SETWORKAREA (47) when a screen's work area changed.
    void OnSettingChange(unsigned flags, const QString &section);
    void OnMixerButton();
    void OnSystemButton();
    void OnInputPageButton();
    void OnAdvancedSwitch();
    // The Hi.Level mixing switch 2824 and the view's copy of the state (the mixing dialog's switch).
    void SetMixingSwitch(int on) override;
    int MixingSwitch() const { return m_bAdvSwitch; }
    // Runs the advanced settings dialog with the view's services and record tree. No command of
    // the program's menus offers it.
    void RunAdvancedSettings();
    void OnSlotButton(int slot);
    void SelectSlotButton(int slot, int flag);
    // The popups, made at their first opening (null before).
    CViewPopupMenu *DataMenu() const { return m_menuData; }
    CViewPopupMenu *OptionsMenu() const { return m_menuOptions; }
    // Blocks the Data items that need a device (720, 721, 722, 724, 726) unless a link is open.
    void PrepareDataMenu();
    bool Closing() const { return m_bClosing != 0; }
    static constexpr unsigned SPI_SETWORKAREA = 47;

    // ---- preset commands: the Data menu's 720..726, the exit prompt's save, the all-presets file
    //      written when the device's presets arrived (app/ViewPresetCommands.cpp) ----
    void OnMachinePresetLoad();    // 720: the machine-preset dialog in mode 0
    void OnMachinePresetSaveAs();  // 721: mode 1
    void OnMachinePresetDelete();  // 722: mode 2
    void OnMenuLoadPresetFile();   // 723
    void OnMenuLoadAllPresets();   // 724
    void OnMenuSavePresetFile();   // 725
    void OnMenuSaveAllPresets();   // 726: reads presets 1..6, then writes the file
    // 1 saved, 0 cancelled, -1 the save failed.
    int OnSavePresetFile();
    bool OnLoadPresetFile();
    bool OnLoadAllPresetsFile();
    bool OnChooseAllPresetsFile();
    // WM_DEV_ALLPRESETS_RECEIVED: writes the chosen all-presets file; the transfer ends.
    void OnAllPresetsReceived();
    // The output-map commands, which no menu offers.
    bool SaveOutputMapFile();
    bool LoadOutputMapFile();
    // The current image's name on the preset-name button, marked for sending.
    void ShowLoadedPresetName();
    // Runs the machine-preset dialog in a mode; g_pProgramDlg is none once it is closed.
    void RunMachinePresetDialog(int mode);

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void InstallMessageHandlers();
    // Commands, help, version dialog and exit prompt (app/ViewCommands.cpp).
    void InstallCommandHandlers();
    void EnsureMenus();
    void TrackPopup(CViewPopupMenu *menu, int anchorId, int anchorX);
    // The exit prompt's save: 1 saved, 0 the file dialog was cancelled, -1 the save failed.
    int SavePresetBeforeExit();
    // Steps after the exit prompt: the link goes down and the main window closes.
    void CloseMainWindow();
    CViewPopupMenu *m_menuData = nullptr;
    CViewPopupMenu *m_menuOptions = nullptr;
    int m_bClosing = 0;
    int m_bAdvSwitch = 0;
    // The link side of the initial update: notices, globals, USB arrivals.
    void StartLinkServices();

    CKTV_Data &m_doc;
    std::unique_ptr<IHidBackend> m_ownHid;
    CKTVCommand m_command;
    LinkSession m_session;
    CPageRegistry m_pages;
    CAppMessageBoxes m_boxes;
    IPresetCommands *m_presetCommands = nullptr;
    std::unique_ptr<CDeviceSync> m_sync;
    std::unique_ptr<CChannelSends> m_sends;
    std::unique_ptr<CLinkBackend> m_backend;
    std::unique_ptr<CLinkController> m_ctrl;
    std::unique_ptr<CUpdateLink> m_updateLink;
    CUsbMonitor m_usbMonitor;
    CClientSocket m_clientSocket;  // kept for the update steps' send hook; never connected here
    CMessageTable *m_table = nullptr;
    QAbstractButton *m_connect = nullptr;
    CShow_Link *m_status = nullptr;
    CDisplayDlg *m_popup = nullptr;
    CGradientProgressCtrl *m_progress = nullptr;
    mutable QLineEdit *m_editPresetName = nullptr;
    CBitButton *m_btnPresetName = nullptr;
    CMsgBox *m_msgBox = nullptr;
    COutputDlg *m_outputPage = nullptr;  // the output page (a child widget)
    CLevel_Delay_Dlg *m_levelPage = nullptr;  // page 2 (a child widget), made when first shown
    // Page 2's window, made and bound to the records the first time.
    CLevel_Delay_Dlg *EnsureLevelPage();
    // After a status reply: the level page's meters, and its input buttons when the selected
    // input changed with the reply.
    void ShowStatusOnLevelPage(int selectedInputBefore);
    bool m_shutDown = false;
    bool m_connectedLook = false;  // the state ShowConnectedState last showed
    // Preset commands (app/ViewPresetCommands.cpp); made last, they go first.
    void InstallPresetCommands();
    std::unique_ptr<IPresetFileHost> m_presetHost;
    std::unique_ptr<CPresetFileCommands> m_presetFiles;
    std::unique_ptr<CMachinePresetActions> m_machinePresets;
    // Settings of app/ViewSettings.cpp; the file-dialog folders are its m_szFolder.
    CProgramSettings m_settings{nullptr, UserDocumentsFolder};
};
