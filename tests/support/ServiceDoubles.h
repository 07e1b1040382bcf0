#pragma once
// Stand-ins for the view's channel-send and device-sync services (services/Services.h), for page and
// dialog tests and for the gallery. The quiet ones do nothing; a test that needs to see one call
// derives from them and overrides only that call. Header only: the Qt-free doubles library does
// not link the application's interfaces.
#include "services/Services.h"
#include "model/DeviceImage.h"

#include <string>
#include <vector>

class CQuietChannelSends : public IChannelSends {
public:
    void SendInputChannel(int) override {}
    void SendOutputChannelLinked(int, int) override {}
    void SendOutputChannel(int) override {}
    void SendOutputChannelState(int) override {}
    void SendSpeakerType(int, int) override {}
    void CopyOutputChannel(int, int) override {}
    void CopyOutputChannelEq(int, int) override {}
    void CopyOutputChannelLimited(int, int) override {}
    void ResetOutputEqLinked() override {}
    void ResetInputEq(int) override {}
    void MuteOutputsForCopy(unsigned, bool) override {}
};

class CQuietDeviceSync : public IDeviceSync {
public:
    void QueueDeviceCommand(int, int) override {}
    void SetPendingBlock5(int) override {}
    void SetPendingBlock2(int) override {}
    void ReadPresetFromDevice(int) override {}
    void StorePresetToDevice(int, int) override {}
    void RecallDevicePreset(int) override {}
    void PushAllPresetsToDevice() override {}
    int RequestAllPresets() override { return 0; }
    void RestoreSpeakerTypes(int) override {}
};

// Every channel send as a line of text ("copy-all 2,5", "mute 36", "reset 3" with the selected
// output), in the order they came.
class CRecordingChannelSends : public IChannelSends {
public:
    std::vector<std::string> calls;
    void Log(const std::string &what, int a, int b = -1)
    {
        calls.push_back(what + " " + std::to_string(a) + (b >= 0 ? "," + std::to_string(b) : ""));
    }
    void SendInputChannel(int input) override { Log("input", input); }
    void SendOutputChannelLinked(int output, int) override { Log("linked", output); }
    void SendOutputChannel(int output) override { Log("channel", output); }
    void SendOutputChannelState(int output) override { Log("state", output); }
    void SendSpeakerType(int output, int) override { Log("speaker", output); }
    void CopyOutputChannel(int s, int t) override { Log("copy-eq", s, t); }
    void CopyOutputChannelEq(int s, int t) override { Log("copy-all", s, t); }
    void CopyOutputChannelLimited(int s, int t) override { Log("copy-limited", s, t); }
    void ResetOutputEqLinked() override { Log("reset", g_nSelOutput.load()); }
    void ResetInputEq(int input) override { Log("reset-input", input); }
    void MuteOutputsForCopy(unsigned mask, bool mute) override { Log(mute ? "mute" : "unmute", int(mask)); }
};

// Message boxes that answer No to every question.
class CAnswerNoBoxes : public IMessageBoxService {
public:
    int ShowMessage(const std::string &, unsigned, int) override { return IDNO; }
};

// Output 0 selected, no output linked or bridged.
inline void ResetOutputLinks()
{
    g_nSelOutput = 0;
    for (auto &v : g_LinkGroups)
        v = 0;
    for (auto &v : g_BtlPair)
        v = 0;
}
