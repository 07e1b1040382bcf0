#pragma once
// The main view: holds the link (command object with its send queue, worker, USB, network and
// serial transports), the connection logic and the device synchronisation, the Connect button,
// the link status indicator and the transfer popup, and handles the link's posted messages. The
// logic lives in CLinkController and CDeviceSync; this class is the Qt shell around them.

#include "app/DeviceSync.h"
#include "app/LinkBackend.h"
#include "app/LinkController.h"
#include "link/ClientSocket.h"
#include "link/KTVCommand.h"
#include "link/UsbMonitor.h"
#include "platform/ViewServices.h"

#include <QWidget>

#include <functional>
#include <memory>

class CBitButton;
class CDisplayDlg;
class CGradientProgressCtrl;
class CKTV_Data;
class CMessageTable;
class CMsgBox;
class CShow_Link;
class IHidBackend;
class QAbstractButton;
class QLineEdit;

class CVRX530View : public QWidget, public IViewServices, public ILinkView, public ISyncHost {
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

    CLinkController &Controller() { return *m_ctrl; }
    CDeviceSync &Sync() { return *m_sync; }
    CLinkBackend &Backend() { return *m_backend; }
    CKTVCommand &Command() { return m_command; }
    IMessageTarget *MessageTarget() const;
    QAbstractButton *ConnectButton() const { return m_connect; }
    CShow_Link *StatusIndicator() const { return m_status; }
    CDisplayDlg *TransferPopup() const { return m_popup; }
    // Controls the view keeps hidden: a progress bar, the preset-name edit and the preset-name button.
    CGradientProgressCtrl *HiddenProgress() const { return m_progress; }
    QLineEdit *PresetNameEdit() const { return m_editPresetName; }
    CBitButton *PresetNameButton() const { return m_btnPresetName; }

    // ---- firmware update ----
    void OnFirmwareUpdate();
    int ChooseFirmwareFile();
    // Loads g_strFirmwareFile into the update engine; 0 (after a message) when it is wrong.
    int LoadFirmwareFile();
    void OnFactoryResetCommand() { m_sync->OnFactoryReset(); }

    // Hooks of the application shell (pages, preset files); unset hooks do nothing.
    struct ShellHooks {
        std::function<void()> refreshChannelAssignments, refreshFromImage, showPresetName, refreshInputPage;
        std::function<void()> refreshOutputEq, selectAssignedChannel, showNetworkSettings;
        std::function<void(int, int)> setInputSource;
        std::function<bool()> savePresetFile, loadPresetFile, writeAllPresetsFile, loadAllPresetsFile;
        std::function<int()> chooseAllPresetsFile;
    };
    ShellHooks &Hooks() { return m_hooks; }

    // ---- IViewServices ----
    void RefreshChannelAssignments() override;
    void RefreshFromImage() override;
    void ShowPresetNameLocalized() override;
    void RefreshInputPage() override;
    void SetInputSource(int sourceCode, int flag) override;
    bool SavePresetFile() override;
    bool LoadPresetFile() override;
    bool WriteAllPresetsFile() override;
    bool LoadAllPresetsFile() override;
    int OnChooseAllPresetsFile() override;
    void SaveDspMcuSettings() override;
    void QueueDeviceCommand(int systemCommand, int preset) override { m_sync->QueueDeviceCommand(systemCommand, preset); }
    void SetPendingBlock5(int flag) override { m_sync->SetPendingBlock5(flag); }
    void SetPendingBlock2(int flag) override { m_sync->SetPendingBlock2(flag); }
    void SetTransferMute(int flag) override { m_sync->SetTransferMute(flag); }
    void ReadPresetFromDevice(int preset) override { m_sync->ReadPresetFromDevice(preset); }
    void StorePresetToDevice(int preset, int fill) override { m_sync->StorePresetToDevice(preset, fill); }
    void RecallDevicePreset(int preset) override { m_sync->RecallDevicePreset(preset); }
    void PushAllPresetsToDevice() override { m_sync->PushAllPresetsToDevice(); }
    void RequestAllPresets() override { m_sync->RequestAllPresets(); }
    void RestoreSpeakerTypes(int flag) override { m_sync->RestoreSpeakerTypes(flag); }
    void SendInputChannel(int input) override { m_sync->SendInputChannel(input); }
    void SendOutputChannelLinked(int output, int unused) override { m_sync->SendOutputChannelLinked(output, unused); }
    void SendOutputChannel(int output) override { m_sync->SendOutputChannel(output); }
    void SendOutputChannelState(int output) override { m_sync->SendOutputChannelState(output); }
    void SendSpeakerType(int output, int all) override { m_sync->SendSpeakerType(output, all); }
    void CopyOutputChannel(int source, int target) override { m_sync->CopyOutputChannel(source, target); }
    void CopyOutputChannelEq(int source, int target) override { m_sync->CopyOutputChannelEq(source, target); }
    void CopyOutputChannelLimited(int source, int target) override { m_sync->CopyOutputChannelLimited(source, target); }
    void ResetOutputEqLinked() override;
    void ResetInputEq(int input) override { m_sync->ResetInputEq(input); }
    void ReconnectLink() override { m_ctrl->ReconnectLink(); }

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

    // The update dialog registers its tip while it is open (null when closed).
    void SetUpdateTipTarget(std::function<void(const std::string &)> tip) { m_updateTip = std::move(tip); }

protected:
    void paintEvent(QPaintEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void InstallMessageHandlers();

    CKTV_Data &m_doc;
    std::unique_ptr<IHidBackend> m_ownHid;
    CKTVCommand m_command;
    LinkSession m_session;
    std::unique_ptr<CDeviceSync> m_sync;
    std::unique_ptr<CLinkBackend> m_backend;
    std::unique_ptr<CLinkController> m_ctrl;
    CUsbMonitor m_usbMonitor;
    CClientSocket m_clientSocket;  // kept for the update steps' send hook; never connected here
    CMessageTable *m_table = nullptr;
    QAbstractButton *m_connect = nullptr;
    CShow_Link *m_status = nullptr;
    CDisplayDlg *m_popup = nullptr;
    CGradientProgressCtrl *m_progress = nullptr;
    QLineEdit *m_editPresetName = nullptr;
    CBitButton *m_btnPresetName = nullptr;
    ShellHooks m_hooks;
    CMsgBox *m_msgBox = nullptr;
    std::function<void(const std::string &)> m_updateTip;
    bool m_shutDown = false;
    bool m_connectedLook = false;  // the state ShowConnectedState last showed
};
