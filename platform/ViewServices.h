#pragma once
// The narrow interfaces through which model/ and link/ reach the user interface. The UI
// implements them with Qt (platform/qt); tests install recording fakes. Nothing here needs Qt.

#include "platform/WinCompat.h"

#include <string>

// A window that receives posted messages. Post() may be called from any thread: the message is
// queued for the receiver's own thread, in order, carrying values only.
class IMessageTarget {
public:
    virtual ~IMessageTarget() = default;
    virtual void PostMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) = 0;
};

// Shows the program's message box (text in UTF-8, MB_* button set, help code as the box's close
// timer and caption selector) and returns the IDxxx result. Called on the UI thread only.
class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    virtual int ShowMessage(const std::string &text, unsigned type, int code) = 0;
};

// Installs the message-box service (nullptr removes it). Without one, ShowMessage answers IDOK
// for MB_OK boxes and IDCANCEL otherwise, so nothing blocks in a test or before the UI exists.
void SetMessageBoxService(IMessageBoxService *service);
int ShowMessage(const std::string &text, unsigned type = MB_OK, int code = 0);

// The main view as an object: the operations that the model, the link, the controls and the
// panels call on it. The view implements them on the UI thread; tests install a recording fake
// (platform/TestDoubles.h). Reached through g_pMainView (platform/GlobalData.h).
class IViewServices {
public:
    virtual ~IViewServices() = default;

    // Pages and names after data arrived or groups changed.
    virtual void RefreshChannelAssignments() = 0;
    virtual void RefreshFromImage() = 0;
    virtual void ShowPresetNameLocalized() = 0;
    virtual void RefreshInputPage() = 0;
    // Shows the input-source code 0..3; with flag 1 also stores it and queues it to the device.
    virtual void SetInputSource(int sourceCode, int flag) = 0;

    // Preset files chosen with the file dialog. Each reports success.
    virtual bool SavePresetFile() = 0;
    virtual bool LoadPresetFile() = 0;
    virtual bool WriteAllPresetsFile() = 0;
    virtual bool LoadAllPresetsFile() = 0;
    // Save dialog of the all-presets file: non-zero when a path was chosen.
    virtual int OnChooseAllPresetsFile() = 0;
    virtual void SaveDspMcuSettings() = 0;

    // Device synchronisation. `systemCommand` is a SystemCommand value (protocol/CommandFrame.h).
    virtual void QueueDeviceCommand(int systemCommand, int preset) = 0;
    virtual void SetPendingBlock5(int flag) = 0;
    virtual void SetPendingBlock2(int flag) = 0;
    virtual void SetTransferMute(int flag) = 0;
    virtual void ReadPresetFromDevice(int preset) = 0;
    virtual void StorePresetToDevice(int preset, int fill) = 0;
    virtual void RecallDevicePreset(int preset) = 0;
    virtual void PushAllPresetsToDevice() = 0;
    virtual void RequestAllPresets() = 0;
    virtual void RestoreSpeakerTypes(int flag) = 0;

    // Channel sends, copies and resets.
    virtual void SendInputChannel(int input) = 0;
    virtual void SendOutputChannelLinked(int output, int unused) = 0;
    virtual void SendOutputChannel(int output) = 0;
    virtual void SendOutputChannelState(int output) = 0;
    virtual void SendSpeakerType(int output, int all) = 0;
    virtual void CopyOutputChannel(int source, int target) = 0;
    virtual void CopyOutputChannelEq(int source, int target) = 0;
    virtual void CopyOutputChannelLimited(int source, int target) = 0;
    virtual void ResetOutputEqLinked() = 0;
    virtual void ResetInputEq(int input) = 0;

    // Closes and reopens the link (start page's view-mode commands).
    virtual void ReconnectLink() = 0;
};
