#include "link/ChangeScheduler.h"

#include "link/LinkMessages.h"
#include "model/TextFields.h"
#include "model/DeviceImage.h"
#include "model/ImageFrames.h"
#include "model/KTV_Data.h"
#include "platform/GlobalData.h"
#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"

#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kCustom = "Custom";

// The current preset's name from the image's name field: at most 15 bytes, trimmed.
std::string ReadImageName()
{
    std::lock_guard lock(g_csImage);
    return BufferToCString(g_CurImage.Name().data(), static_cast<int>(DeviceImage::kNameSize));
}

// "Custom" and its terminating NUL into the name field; the bytes after it stay.
void WriteCustomName()
{
    std::lock_guard lock(g_csImage);
    auto name = g_CurImage.Name();
    std::memcpy(name.data(), kCustom.data(), kCustom.size());
    name[kCustom.size()] = 0;
}

std::unique_ptr<CSendData> RenameFrame()
{
    PostToView(WM_VIEW_PRESET_CUSTOM, 0, 0);
    return BuildSystemValuesFrame(SYS_NAME, 0);
}

// The frame of the first changed equaliser band of a record, its change taken; nothing when no
// band changed.
template <class Record>
std::unique_ptr<CSendData> TakeBandChange(Record &rec, int bands)
{
    for (int j = 0; j < bands; ++j) {
        CFilter *band = rec.GetBand(j);
        if (band && band->GetChanged()) {
            band->StepSendFreq(0);
            g_bParamsDirty = 1;
            return rec.SendBand(j, band->GetBandIndex());
        }
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<CSendData> CChangeScheduler::SendNextChange()
{
    // Each mark is taken (cleared) before its frame reads the values, so an edit that lands
    // while the frame waits marks it again and is sent again.
    if (g_bSysBlock5Pending.exchange(0))
        return BuildSystemValuesFrame(SYS_VOLUME, 0);
    if (g_bSysBlock2Pending.exchange(0))
        return BuildSystemValuesFrame(SYS_INPUT, 0);
    if (g_bNamePending.exchange(0)) {
        g_nCurPreset = 0;
        return BuildSystemValuesFrame(SYS_NAME, 0);
    }
    if (g_bParamsDirty)
        if (auto frame = TakeRename())
            return frame;

    for (int n = 0; n < CKTV_Data::kMusicInputs; ++n)
        if (auto frame = TakeMusicChange(*m_tree.GetMusicIn(n)))
            return frame;
    for (int n = 0; n < CKTV_Data::kOutputs; ++n)
        if (auto frame = TakeOutputChange(*m_tree.GetOut(n)))
            return frame;

    return BuildSystemRequestFrame(SYS_STATUS, 0);
}

// While parameters are dirty, the current preset becomes "Custom". The scheduler records what it
// has sent (the image's name, the preset number, the last automatic name) at once, so each
// rename goes out once instead of on every step until the view has caught up.
std::unique_ptr<CSendData> CChangeScheduler::TakeRename()
{
    const std::string name = ReadImageName();
    m_tree.SetPresetName(name);
    if (name != kCustom) {
        WriteCustomName();
        g_nCurPreset = 0;
        SetLastAutoName(std::string(kCustom));
        return RenameFrame();
    }
    if (g_nCurPreset != 0) {
        g_nCurPreset = 0;
        return RenameFrame();
    }
    if (GetLastAutoName() != kCustom) {
        SetLastAutoName(std::string(kCustom));
        WriteCustomName();
        return RenameFrame();
    }
    return nullptr;
}

std::unique_ptr<CSendData> CChangeScheduler::TakeMusicChange(CMusic_InData &in)
{
    if (in.GetRecordChanged()) {
        in.SetRecordChanged(0);
        g_bParamsDirty = 1;
        return in.SendBasic(true);
    }
    if (in.GetThresholdChanged()) {
        in.SetThresholdChanged(0);
        g_bParamsDirty = 1;
        return in.SendThreshold(true);
    }
    return TakeBandChange(in, CMusic_InData::kBands);
}

std::unique_ptr<CSendData> CChangeScheduler::TakeOutputChange(CKTV_OutData &out)
{
    if (out.GetNameChanged()) {
        out.SetNameStamp(0);
        g_bParamsDirty = 1;
        return out.SendName();
    }
    if (out.GetBasicChanged()) {
        out.SetBasicStamp(0);
        g_bParamsDirty = 1;
        return out.SendBasic(true);
    }
    if (out.TakeCrossoverChanges()) {
        g_bParamsDirty = 1;
        return out.SendCrossoverBlock(true);
    }
    if (out.GetGroup34Changed()) {
        g_bParamsDirty = 1;
        out.SetGroup34Stamp(0);
        return out.SendGroup34(true);
    }
    if (out.GetLimitChanged()) {
        g_bParamsDirty = 1;
        out.SetLimitStamp(0);
        return out.SendLimit(true);
    }
    if (out.GetGroup33Changed()) {
        g_bParamsDirty = 1;
        out.SetGroup33Stamp(0);
        return out.SendGroup33(true);
    }
    return TakeBandChange(out, CKTV_OutData::kBands);
}
