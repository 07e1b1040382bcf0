#pragma once
// The machine-preset actions of the machine-preset dialog, without a window: load one of the six
// presets stored in the device, store the current parameters under a new name, delete one. Each
// checks its input, asks and reports through the message-box service, changes the machine-preset
// names under g_csImage and queues the device operations through IDeviceSync. The dialog
// (app/ProgramDlg.h) is the widget around it. UI thread only.

#include "services/Services.h"
#include "res/Strings.h"

#include <functional>
#include <string>

class CMachinePresetActions {
public:
    // showPresetName: the view shows the current image's name and marks it for sending.
    CMachinePresetActions(IDeviceSync &sync, ILinkStatus &link, IMessageBoxService &boxes,
                          std::function<void()> showPresetName);

    // The stored name of machine preset p (1..6), trimmed of blanks at both ends; empty for a
    // deleted preset or a number out of range.
    static std::string PresetName(int preset);

    // Makes preset p the device's current one and reads it back. False (nothing changes) when
    // the device is not online: the user is told so.
    bool Load(int preset);

    enum class SaveResult {
        Stored,     // name stored, preset p stored in the device and made current
        Empty,      // refused with its message
        Blank,
        Duplicate,  // another preset has the same first 13 bytes
        TooLong,    // the name's GBK form does not fit the field
        NoLink,     // the link failure was shown; nothing changed
    };
    // Stores the current parameters in the device as preset p under `name` (as typed: blanks
    // kept). Nothing changes unless the result is Stored.
    SaveResult SaveAs(int preset, const std::string &name);

    // Asks whether to delete preset p; on Yes, while online, empties its name and tells the
    // device (recalling preset 0 when p is the active one). True when the preset was deleted;
    // offline the user is told that no device is connected.
    bool Delete(int preset);

private:
    void Say(StrId text);

    IDeviceSync &m_sync;
    ILinkStatus &m_link;
    IMessageBoxService &m_boxes;
    std::function<void()> m_showPresetName;
};
