#pragma once
// The services a page or dialog uses, each a narrow interface. The main view owns one object of
// each and hands out the references a page needs when the page is made (CVRX530View::Services());
// the page keeps those references for its life. A page never reaches through the view and never
// takes g_csLink: each operation that queues frames takes the link lock itself for the whole
// change. Everything here runs on the UI thread. Tests give a page recording fakes instead.
//
// Adding a service: declare its interface here (or in its own header in this folder), implement it
// in app/ without Qt where it can be, let the view own the object and add it to AppServices. Pages
// include this folder and never app/.

#include "platform/ViewServices.h"

#include <string>

class CPageRegistry;

// Channel sends, copies between outputs and equaliser resets (app/ChannelSends.h). Without a
// link each queues nothing; copies and resets still change the records.
class IChannelSends {
public:
    virtual ~IChannelSends() = default;
    // A channel's whole block between two state items that switch it off for its duration.
    virtual void SendInputChannel(int input) = 0;
    virtual void SendOutputChannelLinked(int output, int unused) = 0;
    virtual void SendOutputChannel(int output) = 0;
    // Only the output's state item with the switch off; the record keeps its on state.
    virtual void SendOutputChannelState(int output) = 0;
    virtual void SendSpeakerType(int output, int all) = 0;
    // Equaliser and limiter (not the gain) of source into target, then target's block.
    virtual void CopyOutputChannel(int source, int target) = 0;
    // The whole channel of source into target, then target's block.
    virtual void CopyOutputChannelEq(int source, int target) = 0;
    // As CopyOutputChannel, keeping a tweeter's high-pass, with the device muted around the block.
    virtual void CopyOutputChannelLimited(int source, int target) = 0;
    // Resets the selected output's bands and those of its link group; the output page then
    // reloads its equaliser.
    virtual void ResetOutputEqLinked() = 0;
    virtual void ResetInputEq(int input) = 0;
    // Silences (mute true) the outputs of mask on the device while a copy to them is sent, and
    // gives each back its own on state afterwards (mute false). Only while the device is online.
    virtual void MuteOutputsForCopy(unsigned mask, bool mute) = 0;
};

// Single device commands and the preset transfers with the device (app/DeviceSync.h).
class IDeviceSync {
public:
    virtual ~IDeviceSync() = default;
    // One system frame (`systemCommand` is a SystemCommand value) carrying the values current now.
    virtual void QueueDeviceCommand(int systemCommand, int preset) = 0;
    // Marks system block 5 or 2 for the worker's next idle step (only while connected).
    virtual void SetPendingBlock5(int flag) = 0;
    virtual void SetPendingBlock2(int flag) = 0;
    virtual void ReadPresetFromDevice(int preset) = 0;
    // Preset 0 expects the caller's lock (a loaded preset file); 1..6 take it themselves.
    virtual void StorePresetToDevice(int preset, int fill) = 0;
    virtual void RecallDevicePreset(int preset) = 0;
    // After an all-presets file was loaded; the caller holds g_csLink.
    virtual void PushAllPresetsToDevice() = 0;
    // Asks for the all-presets file name, then reads presets 1..6; 0 when nothing started.
    virtual int RequestAllPresets() = 0;
    virtual void RestoreSpeakerTypes(int flag) = 0;
};

// Whether a link is open, and the link operations a page or dialog may ask for
// (app/LinkController.h).
class ILinkStatus {
public:
    virtual ~ILinkStatus() = default;
    virtual bool Connected() const = 0;
    // The connection-failure message of the current link type.
    virtual void ShowLinkFailure() = 0;
    // Reopens the current link (the start page's view-mode commands).
    virtual void ReconnectLink() = 0;
};

// The preset file commands, chosen with the file dialog; each reports success. The view makes
// its own (CPresetFileCommands, app/PresetFileCommands.h); a test may give it another with
// CVRX530View::SetPresetCommands.
class IPresetCommands {
public:
    virtual ~IPresetCommands() = default;
    // 1 saved, 0 the user cancelled the file dialog, -1 the save failed (its message was shown):
    // the exit prompt's Yes closes the program after 1 or 0 and keeps it open after -1.
    virtual int SavePresetFile() = 0;
    virtual bool LoadPresetFile() = 0;
    // Writes the all-presets file chosen before the device's presets were read.
    virtual bool WriteAllPresetsFile() = 0;
    virtual bool LoadAllPresetsFile() = 0;
    // The save dialog of the all-presets file; true when a path was chosen (and kept).
    virtual bool ChooseAllPresetsFile() = 0;
};

// The program's message box (controls/MessageBox.h) as an object: every box goes through the
// installed message-box service, so tests that script the boxes see the pages' boxes too.
class CAppMessageBoxes final : public IMessageBoxService {
public:
    int ShowMessage(const std::string &text, unsigned type, int code) override
    {
        return ::ShowMessage(text, type, code);
    }
};

// The set the view hands out. A page takes the members it uses, by reference.
struct AppServices {
    IChannelSends &sends;
    IDeviceSync &sync;
    ILinkStatus &link;
    IMessageBoxService &boxes;
    CPageRegistry &pages;
};
