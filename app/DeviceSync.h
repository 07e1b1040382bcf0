#pragma once
// The operations that bring the device and the program into step: the version check that answers
// the handshake, the connection read, machine-preset reads, stores and deletes, the all-presets
// read and push, single system commands, the deferred system blocks, the configuration replies,
// the factory reset and the Wi-Fi reset result. Each builds a run of frames and queues it, in a
// fixed order with fixed batch marks, under the link lock. The main view owns one and calls it
// from its handlers; nothing here needs a display, so tests drive it directly.

#include <memory>
#include <string>
#include <utility>

class CKTVCommand;
class CKTV_Data;
class CKTV_OutData;
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

class CDeviceSync {
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

    void ReadPresetFromDevice(int preset);
    void StorePresetToDevice(int preset, int fill);
    void RecallDevicePreset(int preset);
    int RequestAllPresets();
    void PushAllPresetsToDevice();
    void SetTransferMute(int flag);
    void SetTransferProgressRange();

    void QueueDeviceCommand(int systemCommand, int preset);
    void SetPendingBlock5(int flag);
    void SetPendingBlock2(int flag);

    // WM_DEV_CONFIG_RECEIVED: speaker types and mode row applied, the current name queued.
    void OnDeviceConfig();
    void RestoreSpeakerTypes(int flag);
    // WM_DEV_PRESET_RECEIVED: the read preset into the records, online again.
    void OnPresetReceived(int preset);
    // WM_DEV_STATUS_RECEIVED with the payload length: follows the device's input mode.
    void OnStatusReceived(int length);
    // The user picked an input source: the next status reply leaves the source alone.
    void SkipNextSourceChange() { m_skipSourceChange = true; }

    void OnFactoryReset();
    void OnWifiResetDone(int accepted);

    void ResetRecordChanges() { m_host.ResetChanges(); }

    // ---- channel sends, copies and resets (need the record tree) ----
    void SetDocument(CKTV_Data *doc) { m_doc = doc; }
    void SendInputChannel(int input);
    void SendOutputChannelLinked(int output, int unused);
    void SendOutputChannel(int output);
    void SendOutputChannelState(int output);
    void SendSpeakerType(int output, int all);
    void CopyOutputChannel(int source, int target);
    void CopyOutputChannelEq(int source, int target);
    void CopyOutputChannelLimited(int source, int target);
    // Resets the selected output's bands and those of its link group; refresh runs afterwards.
    void ResetOutputEqLinked(void (*refresh)() = nullptr);
    void ResetOutputEq(int output);
    void ResetInputEq(int input);
    // Each output record gets its working speaker type.
    void ApplySpeakerTypes();

    // Applies the working speaker types to the output records (set by the view).
    void SetApplySpeakerTypes(void (*apply)()) { m_applySpeakerTypes = apply; }

private:
    void Add(std::unique_ptr<CSendData> item, bool sendNow = false, bool bump = false);

    CKTVCommand &m_command;
    LinkSession &m_session;
    ISyncHost &m_host;
    int m_savedMaster = 1;
    bool m_skipSourceChange = false;
    void (*m_applySpeakerTypes)() = nullptr;
    CKTV_Data *m_doc = nullptr;
    int m_savedSwitch = 0;

    void SendOutputBetweenStates(int output, bool stateOnly);
    void CopyTail(int target, bool mute);
    bool TakeImageSpeakerTypes();
    std::pair<CKTV_OutData *, CKTV_OutData *> CopyPair(int source, int target) const;
};

// The software's expected device version; only "MPQX-DV" and the major digit are compared.
extern const char *const kExpectedDeviceVersion;
