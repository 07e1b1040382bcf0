#pragma once
// The operations that bring the device and the program into step: the version check that answers
// the handshake, the connection read, machine-preset reads, stores and deletes, the all-presets
// read and push, single system commands, the deferred system blocks, the configuration replies,
// the factory reset and the Wi-Fi reset result. Each builds a run of frames and queues it, in a
// fixed order with fixed batch marks, under the link lock. The main view owns one, calls it from
// its handlers and hands it to the pages and dialogs as their IDeviceSync; nothing here needs a
// display, so tests drive it directly.

#include "services/Services.h"

#include <memory>
#include <string>

class CKTVCommand;
class CSendData;

// The link session the operations read: whether a link is open and the running batch index.
struct LinkSession {
    int connected = 0;   // UI thread only
    int batchIndex = 0;  // UI thread only
};

// What the operations need of the rest of the program (the record tree and the view's windows).
class ISyncHost {
public:
    virtual ~ISyncHost() = default;
    // Record tree.
    virtual void ResetChanges() = 0;              // no change pending
    virtual void FillImage() = 0;                 // records into the current image
    virtual void LoadFromImage(int preset) = 0;   // current image into the records
    virtual void ApplySpeakerTypes() = 0;         // each output takes its working speaker type
    // Transfer popup.
    virtual void SetTransferRange(int upper) = 0;  // bar range 0..upper, position 0
    virtual void ShowTransferPopup(int flag) = 0;
    virtual void SetTransferFactoryResetMode() = 0;
    // Pages.
    virtual void RefreshAfterPresetRead() = 0;     // channel assignments, pages, preset name
    virtual void SetInputSource(int source, int flag) = 0;
    virtual void SelectAssignedChannel() = 0;      // output page, after speaker types changed
    virtual void ShowNetworkSettings() = 0;        // advanced settings dialog, when it exists
    // Dialogs.
    virtual bool ConfirmFactoryReset() = 0;
    virtual bool ChooseAllPresetsFile() = 0;
    // Link.
    virtual void ShowLinkFailure() = 0;
    virtual void Disconnect() = 0;                 // the Connect button while connected
    virtual void ClearNetReachable() = 0;
};

class CDeviceSync final : public IDeviceSync {
public:
    CDeviceSync(CKTVCommand &command, LinkSession &session, ISyncHost &host);

    // Version check of the handshake's answer (WM_DEV_VERSION_RECEIVED).
    void OnDeviceVersion();
    // The warning naming the compatible version range, for the device's version text.
    static std::string VersionMismatchText(const std::string &deviceVersion, bool chinese);
    void ShowVersionMismatch(const std::string &deviceVersion);

    // Handshake requests of every link opening (flag 0) and the names and system blocks read
    // after a matching version (flag 1). The caller holds g_csLink.
    void QueueHandshake(int flag);

    void ReadPresetFromDevice(int preset) override;
    void StorePresetToDevice(int preset, int fill) override;
    void RecallDevicePreset(int preset) override;
    int RequestAllPresets() override;
    void PushAllPresetsToDevice() override;
    void SetTransferMute(int flag);
    void SetTransferProgressRange();

    void QueueDeviceCommand(int systemCommand, int preset) override;
    void SetPendingBlock5(int flag) override;
    void SetPendingBlock2(int flag) override;

    // WM_DEV_CONFIG_RECEIVED: speaker types and mode row applied, the current name queued.
    void OnDeviceConfig();
    void RestoreSpeakerTypes(int flag) override;
    // WM_DEV_PRESET_RECEIVED: the read preset into the records, online again.
    void OnPresetReceived(int preset);
    // WM_DEV_STATUS_RECEIVED: its wParam (StatusNotice, link/LinkMessages.h) and the payload
    // length. A reply asked for before the device answered the program's latest input write reports
    // the input from before that write and changes nothing; a newer one is the device's word, and
    // the program follows the input it reports.
    void OnStatusReceived(WPARAM notice, int length);

    void OnFactoryReset();
    void OnWifiResetDone(int accepted);

    void ResetRecordChanges() { m_host.ResetChanges(); }

private:
    void Add(std::unique_ptr<CSendData> item, bool sendNow = false, bool bump = false);
    // Reads of the eight output blocks of a preset (0: the current image); the last one reports
    // the end of the transfer. The caller holds g_csLink.
    void QueueOutputReads(int preset);

    CKTVCommand &m_command;
    LinkSession &m_session;
    ISyncHost &m_host;
    int m_savedMaster = 1;

    bool TakeImageSpeakerTypes();
};

// The software's expected device version; only "MPQX-DV" and the major digit are compared.
extern const char *const kExpectedDeviceVersion;
