#include "model/KTV_OutData.h"

#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "model/DataDefine.h"
#include "model/DelayMath.h"
#include "model/ImageFrames.h"
#include "model/SpeakerType.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"

#include <algorithm>
#include <cstring>

namespace {

int Online() { return g_bDeviceOnline.load(); }

void Put16(std::uint8_t *p, int v)
{
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

int GetU16(const std::uint8_t *p) { return p[0] | (p[1] << 8); }

std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(v & 0xFF); }

void FillAtomic(std::span<std::atomic<std::uint8_t>> a, std::uint8_t v)
{
    for (auto &b : a)
        b = v;
}

// High-pass drag modes: the tweeter limits and the ordinary ones.
constexpr int kTweeterDragMode = 11;
constexpr int kPlainDragMode = 12;

// Link values the device may hand back: a group number 1..10, or a member bit mask that holds
// the output's own bit. Anything else means "not linked".
int CheckedLinkValue(int value, int channel)
{
    if (value <= 10)
        return value;
    return (value >> channel) & 1 ? value : 0;
}

} // namespace

// ---- CrossoverRecord ----------------------------------------------------------------------------

std::array<std::uint8_t, 8> CrossoverRecord::ToBytes() const
{
    std::array<std::uint8_t, 8> b{};
    Put16(&b[0], highFreq);
    b[2] = highFamily;
    b[3] = highSlope;
    Put16(&b[4], lowFreq);
    b[6] = lowFamily;
    b[7] = lowSlope;
    return b;
}

CrossoverRecord CrossoverRecord::FromBytes(const std::uint8_t *src)
{
    CrossoverRecord r;
    r.highFreq = static_cast<std::uint16_t>(GetU16(&src[0]));
    r.highFamily = src[2];
    r.highSlope = src[3];
    r.lowFreq = static_cast<std::uint16_t>(GetU16(&src[4]));
    r.lowFamily = src[6];
    r.lowSlope = src[7];
    return r;
}

// ---- construction -----------------------------------------------------------------------------

CKTV_OutData::CKTV_OutData()
{
    FillAtomic(m_group34, 100);
    FillAtomic(m_group34Alt, 0);
    FillAtomic(m_group33, 100);
    FillAtomic(m_extra, 100);
}

void CKTV_OutData::InitEQ(int lastBand, int crossoverIndex, int dragMode, int highPassFreq, int lowPassFreq)
{
    m_eq.InitOutBands(lastBand, crossoverIndex, dragMode, highPassFreq, lowPassFreq);
}

// ---- link copies ----------------------------------------------------------------------------------

void CKTV_OutData::ForEachLinked(const std::function<void(CKTV_OutData &)> &fn)
{
    const int ch = m_nChannel;
    if (ch < 0 || ch >= static_cast<int>(g_LinkGroups.size()))
        return;
    const int group = g_LinkGroups[static_cast<std::size_t>(ch)];
    if (group == 0)
        return;
    for (std::size_t n = 0; n < g_OutChannelTable.size(); ++n) {
        CKTV_OutData *other = g_OutChannelTable[n];
        if (other == nullptr || other == this || g_LinkGroups[n] != group)
            continue;
        fn(*other);
    }
}

void CKTV_OutData::ApplyShortLabels(int mode)
{
    for (int i = 0; i < kBands; ++i) {
        if (CFilter *f = m_eq.GetAt(i))
            f->SetShortLabel(mode);
    }
}

void CKTV_OutData::LinkCopyBasic()
{
    const int gain = m_nGain;
    const int mode = m_nEqMode;
    ForEachLinked([&](CKTV_OutData &o) {
        o.m_nGain = gain;
        o.m_nMuted = gain == 0 ? 1 : 0;
        if (o.m_nEqMode != mode) {
            o.m_nEqMode = mode;
            o.ApplyShortLabels(mode);
        }
        o.m_nBasicStamp = Online();
    });
}

void CKTV_OutData::LinkCopyLimit()
{
    const int threshold = m_nLimitThreshold;
    const int attack = m_nLimitAttack;
    const int release = m_nLimitRelease;
    ForEachLinked([&](CKTV_OutData &o) {
        o.m_nLimitThreshold = threshold;
        o.m_nLimitAttack = attack;
        o.m_nLimitRelease = release;
        o.m_nLimitStamp = Online();
    });
}

void CKTV_OutData::LinkCopyLevels()
{
    ForEachLinked([&](CKTV_OutData &o) {
        o.m_nLevelA = m_nLevelA;
        o.m_nLevelB = m_nLevelB;
        o.m_nLevelF = m_nLevelF;
        o.m_nLevelStamp = Online();
    });
}

// ---- setters that stamp ---------------------------------------------------------------------------

void CKTV_OutData::SetGain(int code)
{
    m_nGain = code;
    m_nMuted = code == 0 ? 1 : 0;
    m_nBasicStamp = Online();
    LinkCopyBasic();
}

void CKTV_OutData::SetPolarity(int polarity)
{
    m_nPolarity = polarity;
    m_nBasicStamp = Online();
    LinkCopyBasic();
}

void CKTV_OutData::SetEqMode(int mode)
{
    m_nEqMode = mode;
    ApplyShortLabels(mode);
    m_nBasicStamp = Online();
    LinkCopyBasic();
}

void CKTV_OutData::SetDelay(int code)
{
    m_nDelay = code;
    m_nBasicStamp = Online();
}

void CKTV_OutData::SetOn(int on)
{
    m_nOn = on;
    m_nBasicStamp = Online();
}

TextFieldResult CKTV_OutData::SetName(const std::string &name)
{
    const TextFieldResult check = CheckTextField(name, kNameBytes);
    if (check != TextFieldResult::Ok)
        return check;
    {
        std::lock_guard lock(m_nameMutex);
        m_strName = name;
    }
    m_nNameStamp = Online();
    return TextFieldResult::Ok;
}

void CKTV_OutData::SetLimitValue(std::atomic<int> &field, int code)
{
    if (field == code)
        return;
    field = code;
    m_nLimitStamp = Online();
    LinkCopyLimit();
}

void CKTV_OutData::SetLimitThreshold(int code) { SetLimitValue(m_nLimitThreshold, code); }
void CKTV_OutData::SetLimitAttack(int code) { SetLimitValue(m_nLimitAttack, code); }
void CKTV_OutData::SetLimitRelease(int code) { SetLimitValue(m_nLimitRelease, code); }

void CKTV_OutData::SetGroup33Byte(int k, int level)
{
    if (k < 0 || k >= 8 || m_group33[static_cast<std::size_t>(k)] == Byte(level))
        return;
    m_group33[static_cast<std::size_t>(k)] = Byte(level);
    m_nGroup33Stamp = Online();
}

void CKTV_OutData::SetGroup34Byte(int k, int level)
{
    if (k < 0 || k >= 8 || m_group34[static_cast<std::size_t>(k)] == Byte(level))
        return;
    m_group34[static_cast<std::size_t>(k)] = Byte(level);
    m_nGroup34Stamp = Online();
}

void CKTV_OutData::SetExtra(int k, int level)
{
    if (k < 0 || k >= 4)
        return;
    m_extra[static_cast<std::size_t>(k)] = Byte(level);
    m_nGroup34Stamp = Online();
}

void CKTV_OutData::LinkGroup34Alt(int)
{
    std::array<std::uint8_t, 8> alt{};
    for (std::size_t i = 0; i < alt.size(); ++i)
        alt[i] = m_group34Alt[i];
    ForEachLinked([&](CKTV_OutData &o) {
        o.SetGroup34Alt(alt);
        o.m_nGroup34Stamp = Online();
    });
    m_nGroup34Stamp = Online();
}

void CKTV_OutData::SetMixZero0(int flag)
{
    m_nZeroA = flag;
    m_nLevelA = flag == 0 ? 1 : 0;
    m_nLevelStamp = Online();
}

void CKTV_OutData::SetMixZero1(int flag)
{
    m_nZeroB = flag;
    m_nLevelB = flag == 0 ? 1 : 0;
    m_nLevelStamp = Online();
}

void CKTV_OutData::SetLevelA(int level)
{
    m_nLevelA = level;
    m_nLevelStamp = Online();
    LinkCopyLevels();
}

void CKTV_OutData::SetLevelB(int level)
{
    m_nLevelB = level;
    m_nLevelStamp = Online();
    LinkCopyLevels();
}

void CKTV_OutData::SetLevelC(int level)
{
    m_nLevelC = level;
    m_nZeroC = level == 0 ? 1 : 0;
    m_nLevelStamp = Online();
    LinkCopyLevels();
}

void CKTV_OutData::SetLevelD(int level)
{
    m_nLevelD = level;
    m_nZeroD = level == 0 ? 1 : 0;
    m_nLevelStamp = Online();
    LinkCopyLevels();
}

void CKTV_OutData::SetLevelF(int level)
{
    m_nLevelF = level;
    m_nLevelStamp = Online();
    LinkCopyLevels();
}

void CKTV_OutData::SetLevelG(int level)
{
    m_nLevelG = level;
    m_nLevelStamp = Online();
}

void CKTV_OutData::SetSwitchBits(int bits)
{
    m_nSwitchBits = bits & 0x1F;
    m_nLevelStamp = Online();
}

void CKTV_OutData::SetZeroC(int flag)
{
    m_nZeroC = flag;
    m_nLevelStamp = Online();
}

void CKTV_OutData::SetZeroD(int flag)
{
    m_nZeroD = flag;
    m_nLevelStamp = Online();
}

void CKTV_OutData::SetZeroF(int flag)
{
    m_nZeroF = flag;
    m_nLevelStamp = Online();
}

// ---- setters without a stamp -----------------------------------------------------------------------

void CKTV_OutData::SetSpeakerType(int code)
{
    m_nSpeakerType = code;
    if (CFilter *hp = GetHpf())
        hp->SetDragMode(IsTweeterSpeakerType(code) ? kTweeterDragMode : kPlainDragMode);
}

void CKTV_OutData::SetEqBypass(int flag)
{
    for (int i = 0; i < m_eq.GetSize(); ++i)
        m_eq.GetAt(i)->SetBypass(flag);
}

void CKTV_OutData::SetChannel(int channel)
{
    m_nChannel = channel;
    if (channel == 0 || channel == 2 || channel == 4) {
        m_nLevelA = 1;
        m_nZeroA = 0;
    } else if (channel == 1 || channel == 3 || channel == 5) {
        m_nLevelB = 1;
        m_nZeroB = 0;
    }
}

// ---- getters ----------------------------------------------------------------------------------------

std::string CKTV_OutData::GetName() const
{
    std::lock_guard lock(m_nameMutex);
    return m_strName;
}

int CKTV_OutData::GetGroup33Byte(int k) const
{
    return k >= 0 && k < 8 ? m_group33[static_cast<std::size_t>(k)].load() : 0;
}

int CKTV_OutData::GetGroup34Byte(int k) const
{
    return k >= 0 && k < 8 ? m_group34[static_cast<std::size_t>(k)].load() : 0;
}

int CKTV_OutData::GetExtra(int k) const
{
    return k >= 0 && k < 4 ? m_extra[static_cast<std::size_t>(k)].load() : 0;
}

int CKTV_OutData::GetGroup34Alt(int k) const
{
    return k >= 0 && k < 8 ? m_group34Alt[static_cast<std::size_t>(k)].load() : 0;
}

void CKTV_OutData::SetGroup34Alt(std::span<const std::uint8_t> bytes)
{
    for (std::size_t i = 0; i < bytes.size() && i < m_group34Alt.size(); ++i)
        m_group34Alt[i] = bytes[i];
}

CFilter *CKTV_OutData::GetBand(int i) const
{
    return i >= 0 && i < m_eq.GetSize() ? m_eq.GetAt(i) : nullptr;
}

// ---- stamps -------------------------------------------------------------------------------------------

void CKTV_OutData::SetAllChanged(int flag)
{
    m_nLevelStamp = flag;
    m_nBasicStamp = flag;
    m_nLimitStamp = flag;
    m_nGroup34Stamp = flag;
    m_nGroup33Stamp = flag;
    for (int i = 0; i < m_eq.GetSize(); ++i)
        m_eq.GetAt(i)->StepSendFreq(flag);
}

bool CKTV_OutData::TakeCrossoverChanges()
{
    bool any = false;
    for (CFilter *f : {GetHpf(), GetLpf()}) {
        if (f != nullptr && f->GetChanged()) {
            f->StepSendFreq(0);
            any = true;
        }
    }
    return any;
}

// ---- copies ---------------------------------------------------------------------------------------------

void CKTV_OutData::CopyChannelFrom(const CKTV_OutData &other)
{
    if (&other == this)
        return;
    m_eq.CopyFrom(other.m_eq);
    m_nPolarity = other.m_nPolarity.load();
    m_nGain = other.m_nGain.load();
    m_nOn = other.m_nOn.load();
    m_nDelay = other.m_nDelay.load();
    m_nEqMode = other.m_nEqMode.load();
    ApplyShortLabels(m_nEqMode);
    m_nSpeakerType = other.m_nSpeakerType.load();
    m_nMuted = m_nGain == 0 ? 1 : 0;
    for (std::size_t i = 0; i < m_group33.size(); ++i)
        m_group33[i] = other.m_group33[i].load();
    for (std::size_t i = 0; i < m_extra.size(); ++i)
        m_extra[i] = other.m_extra[i].load();
    for (std::size_t i = 0; i < m_group34Alt.size(); ++i)
        m_group34Alt[i] = other.m_group34Alt[i].load();
    m_nLimitThreshold = other.m_nLimitThreshold.load();
    m_nLimitAttack = other.m_nLimitAttack.load();
    m_nLimitRelease = other.m_nLimitRelease.load();
}

void CKTV_OutData::CopyEqAndLimitFrom(const CKTV_OutData &other)
{
    if (&other == this)
        return;
    m_eq.CopyFrom(other.m_eq);
    m_nEqMode = other.m_nEqMode.load();
    ApplyShortLabels(m_nEqMode);
    for (std::size_t i = 0; i < m_group34Alt.size(); ++i)
        m_group34Alt[i] = other.m_group34Alt[i].load();
    m_nLimitThreshold = other.m_nLimitThreshold.load();
    m_nLimitAttack = other.m_nLimitAttack.load();
    m_nLimitRelease = other.m_nLimitRelease.load();
    m_nMuted = m_nGain == 0 ? 1 : 0;
}

// ---- block writers ----------------------------------------------------------------------------------------

bool CKTV_OutData::EditItem(int item, const std::function<void(std::uint8_t *)> &edit) const
{
    std::lock_guard lock(g_csImage);
    auto dst = g_CurImage.Item(OBJ_OUTPUT, m_nChannel, item);
    if (dst.size() != DeviceImage::kItemSize)
        return false;
    edit(dst.data());
    return true;
}

std::unique_ptr<CSendData> CKTV_OutData::ItemFrame(int item) const
{
    return BuildImageItemFrame(OBJ_OUTPUT, m_nChannel, item);
}

TextFieldResult CKTV_OutData::WriteName(bool terminated)
{
    const std::string name = GetName();
    TextFieldResult result = TextFieldResult::Ok;
    EditItem(kNameItem, [&](std::uint8_t *p) {
        result = terminated ? CStringToBufferTerminated(p, kNameBytes, name)
                            : CStringToBufferPadded(p, name, kNameBytes);
    });
    return result;
}

void CKTV_OutData::WriteBands()
{
    for (int j = 0; j < kBands && j < m_eq.GetSize(); ++j) {
        const EqBandPacket packet = m_eq.GetBandPacket(j);
        EditItem(j, [&](std::uint8_t *p) { packet.CopyTo(p); });
    }
}

std::unique_ptr<CSendData> CKTV_OutData::SendName()
{
    WriteName(false);
    return ItemFrame(kNameItem);
}

std::unique_ptr<CSendData> CKTV_OutData::SendBasic(bool frame)
{
    const int on = m_nOn;
    const int polarity = m_nPolarity;
    const int gain = GetGain();
    const int delay = m_nDelay;
    const int mode = m_nEqMode;
    const int type = m_nSpeakerType;
    EditItem(kBasicItem, [&](std::uint8_t *p) {
        p[0] = Byte(on);
        p[1] = Byte(polarity);
        Put16(&p[2], gain);
        Put16(&p[4], delay);
        p[6] = Byte(mode);
        p[7] = Byte(type);
    });
    return frame ? ItemFrame(kBasicItem) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::SendCrossoverBlock(bool frame)
{
    const std::array<std::uint8_t, 8> bytes = GetCrossoverBlock().ToBytes();
    EditItem(kCrossoverItem, [&](std::uint8_t *p) { std::memcpy(p, bytes.data(), bytes.size()); });
    return frame ? ItemFrame(kCrossoverItem) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::SendGroup33(bool frame)
{
    std::uint8_t bytes[8];
    GetGroup33(bytes);
    EditItem(kGroup33Item, [&](std::uint8_t *p) { std::memcpy(p, bytes, 8); });
    return frame ? ItemFrame(kGroup33Item) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::SendGroup34(bool frame)
{
    std::uint8_t bytes[8];
    GetGroup34(bytes);
    EditItem(kGroup34Item, [&](std::uint8_t *p) { std::memcpy(p, bytes, 8); });
    return frame ? ItemFrame(kGroup34Item) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::SendLimit(bool frame)
{
    const int threshold = m_nLimitThreshold;
    const int attack = m_nLimitAttack;
    const int release = m_nLimitRelease;
    EditItem(kLimitItem, [&](std::uint8_t *p) {
        Put16(&p[0], threshold);
        Put16(&p[2], attack);
        Put16(&p[4], release);
    });
    return frame ? ItemFrame(kLimitItem) : nullptr;
}

std::unique_ptr<CSendData> CKTV_OutData::SendBand(int j, int item)
{
    if (j < 0 || j >= m_eq.GetSize())
        return nullptr;
    const EqBandPacket packet = m_eq.GetBandPacket(j);
    if (!EditItem(j, [&](std::uint8_t *p) { packet.CopyTo(p); }))
        return nullptr;
    if (item == j)
        return ItemFrame(j);
    // The frame names another item than the one written: it carries the bytes just written.
    FrameHeader h;
    h.command = CMD_WRITE;
    h.objType = OBJ_OUTPUT;
    h.channel = Byte(m_nChannel);
    h.param = Byte(item);
    h.link = static_cast<std::uint8_t>(item == kBasicItem || item >= kGroup34Item ? 0 : IsOutputLinked(m_nChannel));
    return BuildFrame(h, packet.bytes);
}

std::unique_ptr<CSendData> CKTV_OutData::SendCrossover()
{
    for (CFilter *f : {GetHpf(), GetLpf()}) {
        if (f != nullptr) {
            f->SetSendFreq(f->GetFreq());
            f->StepSendFreq(0);  // both frequencies equal: clears the changed mark
        }
    }
    return SendCrossoverBlock(true);
}

TextFieldResult CKTV_OutData::FillRecord()
{
    WriteBands();
    const TextFieldResult name = WriteName(false);
    SendBasic(false);
    SendCrossoverBlock(false);
    SendGroup34(false);
    SendLimit(false);
    SendGroup33(false);
    return name;
}

std::unique_ptr<CSendData> CKTV_OutData::FillRecordAndFrame(int preset)
{
    WriteBands();
    WriteName(true);
    SendBasic(false);
    SendCrossoverBlock(false);
    std::uint8_t alt[8];
    for (std::size_t i = 0; i < 8; ++i)
        alt[i] = m_group34Alt[i];
    EditItem(kGroup34Item, [&](std::uint8_t *p) { std::memcpy(p, alt, 8); });
    SendLimit(false);
    SendGroup33(false);
    return BuildImageBlockFrame(preset, OBJ_OUTPUT, m_nChannel, true);
}

// ---- block readers ----------------------------------------------------------------------------------------

void CKTV_OutData::LoadFromRecord(std::span<const std::uint8_t> block)
{
    if (block.size() < DeviceImage::kOutSize)
        return;
    const std::uint8_t *b = block.data();
    auto item = [b](int k) { return b + k * static_cast<int>(DeviceImage::kItemSize); };
    for (int j = 0; j < kBands && j < m_eq.GetSize(); ++j)
        m_eq.SetBandFromPacket(EqBandPacket::FromBytes(item(j)), j);
    // At most the 7 bytes the writer accepts, so the name can always be written back.
    std::string name = BufferToCString(item(kNameItem), kNameBytes);
    {
        std::lock_guard lock(m_nameMutex);
        m_strName = std::move(name);
    }
    LoadBasic(item(kBasicItem));
    LoadCrossover(item(kCrossoverItem));
    LoadLimit(item(kLimitItem));
    SetGroup33(item(kGroup33Item));
    SetGroup34(item(kGroup34Item));
}

void CKTV_OutData::LoadBasic(const std::uint8_t *p)
{
    m_nOn = p[0] ? 1 : 0;
    m_nPolarity = p[1] ? 1 : 0;
    m_nDelay = std::min(GetU16(&p[4]), kDelayCodeMax);
    const int gain = std::min(GetU16(&p[2]), kGainMax);
    m_nGain = gain;
    m_nMuted = gain == 0 ? 1 : 0;
    const int mode = p[6] ? 1 : 0;
    m_nEqMode = mode;
    ApplyShortLabels(mode);
    // A code the program does not know is taken as no speaker type.
    m_nSpeakerType = p[7] < kSpeakerTypeCount ? static_cast<int>(p[7]) : static_cast<int>(SPK_NULL);
}

void CKTV_OutData::LoadCrossover(const std::uint8_t *p)
{
    const CrossoverRecord r = CrossoverRecord::FromBytes(p);
    auto load = [](CFilter *f, int freq, int family, int slope) {
        if (f == nullptr)
            return;
        f->SetFreq(freq, 0);
        // A family or slope outside the tables is refused: the element keeps its own.
        if (family >= CFilter::kFamilyLinkwitzRiley && family <= CFilter::kFamilyBessel)
            f->SetFamily(family, 0);
        if (slope <= CFilter::kSlopeOff)
            f->SetSlope(slope, 0);
        f->StepSendFreq(0);
    };
    load(GetHpf(), r.highFreq, r.highFamily, r.highSlope);
    load(GetLpf(), r.lowFreq, r.lowFamily, r.lowSlope);
}

void CKTV_OutData::LoadLimit(const std::uint8_t *p)
{
    m_nLimitThreshold = GetU16(&p[0]);
    m_nLimitAttack = GetU16(&p[2]);
    m_nLimitRelease = GetU16(&p[4]);
    const int ch = m_nChannel;
    if (ch >= 0 && ch < static_cast<int>(g_LinkGroups.size()))
        g_LinkGroups[static_cast<std::size_t>(ch)] = CheckedLinkValue(p[6], ch);
}

void CKTV_OutData::SetGroup33(const std::uint8_t *bytes)
{
    for (std::size_t i = 0; i < m_group33.size(); ++i)
        m_group33[i] = bytes[i];
}

void CKTV_OutData::SetGroup34(const std::uint8_t *bytes)
{
    for (std::size_t i = 0; i < m_group34.size(); ++i)
        m_group34[i] = bytes[i];
}

void CKTV_OutData::GetGroup33(std::uint8_t *out) const
{
    for (std::size_t i = 0; i < m_group33.size(); ++i)
        out[i] = m_group33[i];
}

void CKTV_OutData::GetGroup34(std::uint8_t *out) const
{
    for (std::size_t i = 0; i < m_group34.size(); ++i)
        out[i] = m_group34[i];
}

void CKTV_OutData::GetCrossoverBlock(CrossoverRecord &out) const
{
    out = GetCrossoverBlock();
}

CrossoverRecord CKTV_OutData::GetCrossoverBlock() const
{
    CrossoverRecord r;
    if (const CFilter *hp = GetHpf()) {
        const CFilter::DeviceValues v = hp->GetDeviceValues();
        r.highFreq = static_cast<std::uint16_t>(v.sendFreq);
        r.highFamily = Byte(v.family);
        r.highSlope = Byte(v.slope);
    }
    if (const CFilter *lp = GetLpf()) {
        const CFilter::DeviceValues v = lp->GetDeviceValues();
        r.lowFreq = static_cast<std::uint16_t>(v.sendFreq);
        r.lowFamily = Byte(v.family);
        r.lowSlope = Byte(v.slope);
    }
    return r;
}

std::array<std::uint8_t, 8> CKTV_OutData::GetLimitBlock() const
{
    std::array<std::uint8_t, 8> b{};
    Put16(&b[0], m_nLimitThreshold);
    Put16(&b[2], m_nLimitAttack);
    Put16(&b[4], m_nLimitRelease);
    const int ch = m_nChannel;
    if (ch >= 0 && ch < static_cast<int>(g_LinkGroups.size()))
        b[6] = Byte(g_LinkGroups[static_cast<std::size_t>(ch)]);
    return b;
}

// ---- curves ------------------------------------------------------------------------------------------------

void CKTV_OutData::SetPlotRect(const CRect &rect)
{
    SetPlotGeometry(rect);
    UpdateCurve();
}

void CKTV_OutData::SetPlotGeometry(const CRect &rect)
{
    // Laying out 241 points and every element's response again for the same rectangle changes
    // nothing (a graph's resize at its first show asks for it once more).
    if (m_bPlotGeometrySet && rect == m_plotGeometry)
        return;
    m_bPlotGeometrySet = true;
    m_plotGeometry = rect;
    m_nPlotHeight = rect.Height();
    m_nPlotWidth = rect.Width();
    for (int i = 0; i < kFreqPoints; ++i) {
        m_ptCurve[i].x = FreqToSliderPos(g_FreqTable241[i], m_nPlotWidth) + CFilter::kPlotLeft;
        m_ptCurve[i].y = m_nPlotHeight / 2;
        m_ptCurveF[i].x = static_cast<float>(FreqToSliderPosExact(g_FreqTable241[i], m_nPlotWidth) + CFilter::kPlotLeft);
        m_ptCurveF[i].y = static_cast<float>(m_nPlotHeight / 2);
    }
    m_eq.SetPlotRect(rect);
    m_nZeroDbY = GainToIndex(0, m_nPlotHeight) + CFilter::kPlotTop;
}

void CKTV_OutData::UpdateCurve()
{
    m_nZeroDbY = GainToIndex(0, m_nPlotHeight) + CFilter::kPlotTop;
    m_eq.UpdateFloatCurve();
    for (int i = 0; i < kFreqPoints; ++i)
        m_ptCurveF[i].y = m_eq.m_ptCurveF[i].y;
}

void CKTV_OutData::UpdateBandCurve(int i)
{
    if (GetBand(i) == nullptr)
        return;
    m_eq.UpdateBandCurve(i);
    for (int k = 0; k < kFreqPoints; ++k) {
        m_ptCurve[k].y = m_eq.m_ptCurve[k].y;
        m_ptCurveF[k].y = m_eq.m_ptCurveF[k].y;
    }
}

void CKTV_OutData::UpdateEqFlat()
{
    bool flat = true;
    for (int i = 0; i < m_eq.GetSize(); ++i) {
        if (!m_eq.GetAt(i)->IsNeutral())
            flat = false;
    }
    m_nEqFlat = flat ? 1 : 0;
}

int CKTV_OutData::EqFlatAfterBypass(int flag) const
{
    for (int i = 0; i < m_eq.GetSize(); ++i) {
        if (!m_eq.GetAt(i)->IsNeutralAfterBypass(flag))
            return 0;
    }
    return 1;
}

// ---- report texts --------------------------------------------------------------------------------------------

namespace {

std::string Percent(int level, bool zero)
{
    return zero ? "0%" : std::to_string(level) + "%";
}

} // namespace

std::string CKTV_OutData::GetGainText() const
{
    if (m_nMuted)
        return "-60.0dB";
    return FormatFixed(m_nGain * 0.1 - 60, 1) + "dB";
}

std::string CKTV_OutData::GetPolarityText() const
{
    return Tr(m_nPolarity != 0 ? StrId::PolarityInverted : StrId::PolarityNormal);
}

std::string CKTV_OutData::GetOnText() const
{
    return m_nOn ? "On" : "OFF";
}

std::string CKTV_OutData::GetDelayText() const
{
    // The delay code counts 1/48 ms; shown as the output page shows it, in ms to 3 decimals.
    return FormatFixed(DelayCodeToMs(m_nDelay), 3) + "ms";
}

std::string CKTV_OutData::GetThresholdText() const
{
    return FormatFixed(m_nLimitThreshold * 0.1 - 30, 1) + "dBu";
}

std::string CKTV_OutData::GetAttackText() const
{
    const int code = m_nLimitAttack;
    if (code <= 6)
        return FormatFixed((code + 3) * 0.1, 1) + "ms";
    return std::to_string(code - 6) + "ms";
}

std::string CKTV_OutData::GetReleaseText() const
{
    static const char *const kTexts[] = {"Atk * 2", "Atk * 4", "Atk * 6", "Atk * 8", "Atk * 16", "Atk * 32"};
    const int code = m_nLimitRelease;
    return code >= 0 && code < 6 ? kTexts[code] : "";
}

std::string CKTV_OutData::GetSwitchText(int bit) const
{
    if (bit < 0 || bit > 4)
        return {};
    return (m_nSwitchBits >> bit) & 1 ? "On" : "OFF";
}

std::string CKTV_OutData::GetMix0Text() const { return Percent(m_nLevelA, m_nZeroA != 0); }
std::string CKTV_OutData::GetMix1Text() const { return Percent(m_nLevelB, m_nZeroB != 0); }
std::string CKTV_OutData::GetMix2Text() const { return Percent(m_nLevelC, false); }
std::string CKTV_OutData::GetMix3Text() const { return Percent(m_nLevelD, false); }
std::string CKTV_OutData::GetMix4Text() const { return Percent(m_nLevelF, m_nZeroF != 0); }

std::string CKTV_OutData::GetSplitText() const
{
    return std::to_string(m_nLevelG) + "%:" + std::to_string(100 - m_nLevelG) + "%";
}

std::string CKTV_OutData::GetMixOnText0() const { return m_nLevelA ? "ON" : "OFF"; }
std::string CKTV_OutData::GetMixOnText1() const { return m_nLevelB ? "ON" : "OFF"; }
