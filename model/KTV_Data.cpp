#include "model/KTV_Data.h"

#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "model/DelayText.h"
#include "model/ImageFrames.h"
#include "platform/GlobalData.h"

#include <cstring>
#include <string_view>

std::array<CrossoverRecord, DeviceImage::kOutCount> g_CrossoverTable{};

const std::array<std::uint32_t, 10> g_argbOutCurve = {
    0xFFFF0155u, 0xFFA8FF01u, 0xFF0125FFu, 0xFF01C0FFu, 0xFFE4FF01u,
    0xFFFF9601u, 0xFF8401FFu, 0xFFFF4301u, 0xFFFF01C6u, 0xFF00FF6Cu,
};

namespace {

struct OutputCreation {
    const char *name;
    COLORREF colour;
    int dragMode;
};

constexpr OutputCreation kOutputCreation[CKTV_Data::kOutputs] = {
    {"FL", RGB(255, 0, 0), 10},       {"FR", RGB(0, 192, 0), 10},    {"SL", RGB(128, 128, 192), 9},
    {"SR", RGB(255, 64, 255), 10},    {"Center", RGB(0, 192, 192), 10}, {"ULF", RGB(192, 168, 0), 9},
    {nullptr, RGB(125, 128, 0), 9},   {nullptr, RGB(0, 0, 255), 9},
};

struct MusicCreation {
    const char *name;
    int gain;
    unsigned r, g, b;
    int curveFlag;
};

constexpr MusicCreation kMusicCreation[CKTV_Data::kMusicInputs] = {
    {"Music 1", 450, 0, 255, 255, 1},  {"Music 2", 600, 223, 18, 123, 0}, {"Music 3", 600, 2, 123, 192, 0},
    {"Music 4", 600, 255, 255, 0, 0},  {"Music 5", 600, 255, 102, 102, 0}, {"Music 6", 600, 153, 0, 153, 0},
};

constexpr std::uint32_t Argb(unsigned a, unsigned r, unsigned g, unsigned b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

constexpr std::string_view kCustom = "Custom";

std::unique_ptr<CSendData> StatusRequest() { return BuildImageItemFrame(OBJ_STATUS_REQUEST, 0, 0); }

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

CKTV_Data::CKTV_Data()
{
    m_mic = std::make_unique<CMIC_InData>();
    m_mic->SetName("Mic 1");
    m_mic->SetChannel(0);
    m_mic->SetCurveColor(RGB(255, 128, 51));
    m_mic->SetCurveArgb(kArgbMicCurve);
    m_mic->InitEQ(8, 10, 20000);

    for (int n = 0; n < kMusicInputs; ++n) {
        const auto &c = kMusicCreation[n];
        auto in = std::make_unique<CMusic_InData>();
        in->SetName(c.name);
        in->SetChannel(n);
        in->SetGain(c.gain);
        in->SetCurveColor(RGB(c.r, c.g, c.b));
        in->SetCurveArgb(Argb(255, c.r, c.g, c.b));
        in->SetCurveFlag(c.curveFlag);
        in->InitEQ(30, 32, 20000);
        m_music[n] = std::move(in);
    }

    for (int n = 0; n < kOutputs; ++n) {
        const auto &c = kOutputCreation[n];
        auto out = std::make_unique<CKTV_OutData>();
        out->SetCurveColor(c.colour);
        out->SetCurveArgb(g_argbOutCurve[n]);
        if (c.name)
            out->SetName(c.name);
        out->InitEQ(30, 32, c.dragMode, 20, 20000);
        out->SetChannel(n);
        m_out[n] = std::move(out);
    }

    InitLinkTable();
}

CKTV_Data::~CKTV_Data()
{
    // The link tables point at the outputs; no one may follow them once the tree is gone.
    for (int n = 0; n < kOutputs; ++n)
        if (g_OutChannelTable[n] == m_out[n].get())
            g_OutChannelTable[n] = nullptr;
}

CMIC_InData *CKTV_Data::GetMicIn(int index) { return index == 0 ? m_mic.get() : nullptr; }

CMusic_InData *CKTV_Data::GetMusicIn(int index)
{
    return index >= 0 && index < kMusicInputs ? m_music[index].get() : nullptr;
}

CKTV_OutData *CKTV_Data::GetOut(int index)
{
    return index >= 0 && index < kOutputs ? m_out[index].get() : nullptr;
}

void CKTV_Data::LoadFromImage(const DeviceImage &image, int mode)
{
    // A private copy, so the image lock is not held while the records recompute their curves.
    auto copy = std::make_unique<DeviceImage>();
    {
        std::lock_guard lock(g_csImage);
        *copy = image;
    }
    if (mode == 0 || mode == 6)
        m_effect.LoadFromRecord(copy->Block(OBJ_EFFECT, 0));
    m_mic->LoadFromRecord(copy->Block(OBJ_MIC, 0));
    for (int n = 0; n < kMusicInputs; ++n)
        m_music[n]->LoadFromRecord(copy->Block(OBJ_MUSIC, n));
    for (int n = 0; n < kOutputs; ++n)
        m_out[n]->LoadFromRecord(copy->Block(OBJ_OUTPUT, n));
}

TextFieldResult CKTV_Data::FillImage()
{
    TextFieldResult result = TextFieldResult::Ok;
    auto keep = [&result](TextFieldResult r) {
        if (result == TextFieldResult::Ok)
            result = r;
    };
    keep(m_effect.FillRecord());
    keep(m_mic->FillRecord());
    for (auto &in : m_music)
        keep(in->FillRecord());
    for (auto &out : m_out)
        keep(out->FillRecord());
    return result;
}

void CKTV_Data::ResetChanges(int flag)
{
    m_effect.SetAllChanged(flag);
    m_mic->SetChanged(flag);
    for (auto &in : m_music)
        in->SetChanged(flag);
    for (auto &out : m_out)
        out->SetAllChanged(flag);
    g_bSysBlock5Pending = flag;
    g_bSysBlock2Pending = 0;
}

void CKTV_Data::InitLinkTable()
{
    for (int n = 0; n < kOutputs; ++n)
        g_OutChannelTable[n] = m_out[n].get();

    int anyLink = 0;
    for (int n = 1; n < kOutputs; ++n) {
        const int prev = g_LinkGroups[n - 1], cur = g_LinkGroups[n];
        if (prev != 0 && prev == cur) {
            anyLink = 1;
            break;
        }
    }
    g_bAnyLink = anyLink;

    // Every per-group entry is cleared, groups 9 and 10 included, so no stale mask survives.
    for (std::size_t i = 0; i < kLinkGroupSlots; ++i) {
        g_ChannelModified[i] = 0;
        g_LinkGroupUsed[i] = 0;
        g_BtlPair[i] = 0;
        g_LinkGroupCount[i] = 0;
        g_LinkGroupMask[i] = 0;
    }
}

void CKTV_Data::SetOutPlotRect(const CRect &rect)
{
    for (auto &out : m_out)
        out->SetPlotRect(rect);
}

void CKTV_Data::SetMusicPlotRect(const CRect &rect)
{
    for (auto &in : m_music)
        in->SetPlotRect(rect);
}

void CKTV_Data::SetPlotRect(const CRect &rect)
{
    SetOutPlotRect(rect);
    SetMusicPlotRect(rect);
}

void CKTV_Data::FillCrossoverTable()
{
    for (int n = 0; n < kOutputs; ++n)
        g_CrossoverTable[n] = m_out[n]->GetCrossoverBlock();
}

std::string CKTV_Data::GetPresetName() const
{
    std::lock_guard lock(m_nameMutex);
    return m_strPresetName;
}

void CKTV_Data::SetPresetName(std::string name)
{
    std::lock_guard lock(m_nameMutex);
    m_strPresetName = std::move(name);
}

// ---- the scheduler --------------------------------------------------------------------------------

std::unique_ptr<CSendData> CKTV_Data::SendNextChange()
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

    for (auto &in : m_music)
        if (auto frame = TakeMusicChange(*in))
            return frame;
    for (auto &out : m_out)
        if (auto frame = TakeOutputChange(*out))
            return frame;

    return StatusRequest();
}

// While parameters are dirty, the current preset becomes "Custom". The scheduler records what it
// has sent (the image's name, the preset number, the last automatic name) at once, so each
// rename goes out once instead of on every step until the view has caught up.
std::unique_ptr<CSendData> CKTV_Data::TakeRename()
{
    const std::string name = ReadImageName();
    SetPresetName(name);
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

std::unique_ptr<CSendData> CKTV_Data::TakeMusicChange(CMusic_InData &in)
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

std::unique_ptr<CSendData> CKTV_Data::TakeOutputChange(CKTV_OutData &out)
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
