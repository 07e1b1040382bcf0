#include "app/MachinePresets.h"

#include "model/DeviceImage.h"
#include "model/TextFields.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

// Names are compared on their first 13 bytes, the most the name dialog lets a user type.
constexpr int kNameCompareBytes = 13;

}  // namespace

CMachinePresetActions::CMachinePresetActions(IDeviceSync &sync, ILinkStatus &link, IMessageBoxService &boxes,
                                             std::function<void()> showPresetName)
    : m_sync(sync), m_link(link), m_boxes(boxes), m_showPresetName(std::move(showPresetName))
{
}

std::string CMachinePresetActions::PresetName(int preset)
{
    const DeviceImage *image = MachinePresetImage(preset);
    if (!image)
        return {};
    std::array<std::uint8_t, DeviceImage::kNameSize> name{};
    {
        std::lock_guard lock(g_csImage);
        std::copy(image->Name().begin(), image->Name().end(), name.begin());
    }
    return BufferToCString(name.data(), static_cast<int>(name.size()));
}

void CMachinePresetActions::Say(StrId text)
{
    const bool cn = g_bChinese.load() != 0;
    m_boxes.ShowMessage(Tr(text, cn), MB_OK, cn ? -2 : -3);
}

bool CMachinePresetActions::Load(int preset)
{
    DeviceImage *image = MachinePresetImage(preset);
    if (!image)
        return false;
    if (!g_bDeviceOnline.load()) {
        Say(StrId::PresetDeviceOffline);
        return false;
    }
    {
        // The read-back's current-name frame carries the preset's name.
        std::lock_guard lock(g_csImage);
        std::copy(image->Name().begin(), image->Name().end(), g_CurImage.Name().begin());
    }
    m_sync.ReadPresetFromDevice(preset);
    return true;
}

CMachinePresetActions::SaveResult CMachinePresetActions::SaveAs(int preset, const std::string &name)
{
    DeviceImage *image = MachinePresetImage(preset);
    if (!image)
        return SaveResult::NoLink;
    if (name.empty()) {
        Say(StrId::PresetNameEmpty);
        return SaveResult::Empty;
    }
    if (IsBlankString(name)) {
        Say(StrId::PresetNameBlank);
        return SaveResult::Blank;
    }
    std::array<std::uint8_t, DeviceImage::kNameSize> field{};
    if (CStringToBufferTerminated(field.data(), static_cast<int>(field.size()), name) != TextFieldResult::Ok) {
        m_boxes.ShowMessage(CharLenErrorText(), MB_OK, CharLenErrorCode());
        return SaveResult::TooLong;
    }
    if (IsDuplicatePresetName(preset - 1, field.data(), 1, kNameCompareBytes)) {
        Say(StrId::PresetNameDuplicate);
        return SaveResult::Duplicate;
    }
    // Without a link nothing is stored: the name would stand in the list and the current image
    // for a preset the device never received.
    if (!m_link.Connected()) {
        m_link.ShowLinkFailure();
        return SaveResult::NoLink;
    }
    {
        std::lock_guard lock(g_csImage);
        std::copy(field.begin(), field.end(), image->Name().begin());
        std::copy(field.begin(), field.end(), g_CurImage.Name().begin());
    }
    if (m_showPresetName)
        m_showPresetName();
    m_sync.StorePresetToDevice(preset, 1);
    return SaveResult::Stored;
}

bool CMachinePresetActions::Delete(int preset)
{
    DeviceImage *image = MachinePresetImage(preset);
    if (!image)
        return false;
    const bool cn = g_bChinese.load() != 0;
    const std::string ask = TrArgs(StrId::PresetAskDelete, cn, {std::to_string(preset)});
    if (m_boxes.ShowMessage(ask, MB_YESNO, cn ? -2 : -3) != IDYES)
        return false;
    if (!g_bDeviceOnline.load()) {
        Say(StrId::PresetDeviceOffline);
        return false;
    }
    {
        std::lock_guard lock(g_csImage);
        std::fill(image->Name().begin(), image->Name().end(), std::uint8_t{0});
    }
    if (g_nCurPreset.load() == preset)
        m_sync.RecallDevicePreset(preset);
    else
        m_sync.QueueDeviceCommand(SYS_NAME, preset);
    return true;
}
