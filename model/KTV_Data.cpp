#include "model/KTV_Data.h"

#include "model/TextFields.h"
#include "platform/GlobalData.h"

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

void CKTV_Data::SetOutPlotGeometry(const CRect &rect)
{
    for (auto &out : m_out)
        out->SetPlotGeometry(rect);
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
