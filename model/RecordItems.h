#pragma once
// Helpers shared by the input and effect records: reading and writing the 8-byte items of their
// blocks in the current image, and the one-item frames that carry them.

#include "protocol/CommandFrame.h"
#include "protocol/SendData.h"
#include "model/TextFields.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"
#include "model/KTVEQ.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <mutex>
#include <span>

namespace record_items {

using Item = std::array<std::uint8_t, DeviceImage::kItemSize>;

inline void Put16(std::uint8_t *p, int v)
{
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// Sixteen-bit values of a block are read back as signed.
inline int Get16(const std::uint8_t *p)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

// A crossover family or slope read from a block outside the element's tables is not taken: the
// element keeps its own, so everything packed later stays within what a file and the device accept.
inline bool FamilyInRange(int family) { return family >= CFilter::kFamilyLinkwitzRiley && family <= CFilter::kFamilyBessel; }
inline bool SlopeInRange(int slope) { return slope >= 0 && slope <= CFilter::kSlopeOff; }

// Reads item k of a block of the current image (zeros when it does not exist).
inline Item ReadImageItem(int objType, int channel, int item)
{
    Item out{};
    std::lock_guard lock(g_csImage);
    auto src = g_CurImage.Item(objType, channel, item);
    if (src.size() == out.size())
        std::memcpy(out.data(), src.data(), out.size());
    return out;
}

// Lets `edit` change item k of a block of the current image in place, under the image lock; the
// bytes it leaves alone keep what the image held. Nothing happens when the item does not exist.
template <class Edit>
void EditImageItem(int objType, int channel, int item, Edit &&edit)
{
    std::lock_guard lock(g_csImage);
    auto dst = g_CurImage.Item(objType, channel, item);
    if (dst.size() == DeviceImage::kItemSize)
        edit(dst.data());
}

// Packs the crossover item: high-pass then low-pass, each a 16-bit send frequency, family, slope.
inline void PutCrossover(std::uint8_t *p, const CFilter::DeviceValues &hp, const CFilter::DeviceValues &lp)
{
    Put16(p, hp.sendFreq);
    p[2] = static_cast<std::uint8_t>(hp.family);
    p[3] = static_cast<std::uint8_t>(hp.slope);
    Put16(p + 4, lp.sendFreq);
    p[6] = static_cast<std::uint8_t>(lp.family);
    p[7] = static_cast<std::uint8_t>(lp.slope);
}

// Takes the crossover item into the two elements as device values (no user mark): frequency,
// then family and slope where they lie in the element's tables, and the change stamp cleared.
inline void TakeCrossover(const std::uint8_t *x, CFilter *hp, CFilter *lp)
{
    CFilter *elements[2] = {hp, lp};
    for (int k = 0; k < 2; ++k) {
        const std::uint8_t *p = x + 4 * k;
        CFilter *e = elements[k];
        e->SetFreq(Get16(p), 0);
        if (FamilyInRange(p[2]))
            e->SetFamily(p[2], 0);
        if (SlopeInRange(p[3]))
            e->SetSlope(p[3], 0);
        e->StepSendFreq(0);
    }
}

// Writes the first `bands` equaliser bands (as far as the equaliser has them) into items 0.. of a
// block of the current image.
inline void WriteImageBands(int objType, int channel, int bands, const CKTVEQ &eq)
{
    for (int i = 0; i < bands && i < eq.GetSize(); ++i) {
        const EqBandPacket packet = eq.GetBandPacket(i);
        EditImageItem(objType, channel, i, [&](std::uint8_t *p) { packet.CopyTo(p); });
    }
}

// Writes a name, terminated within `bytes`, into an item of a block of the current image; says
// whether it fitted (Ok when the item does not exist).
inline TextFieldResult WriteImageName(int objType, int channel, int item, int bytes, const std::string &name)
{
    auto result = TextFieldResult::Ok;
    EditImageItem(objType, channel, item, [&](std::uint8_t *p) { result = CStringToBufferTerminated(p, bytes, name); });
    return result;
}

// printf into a short text (the records' report texts stay well below 64 bytes).
inline std::string Format(const char *fmt, ...)
{
    char buf[64];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

// Bypass of the first `count` elements of an equaliser.
inline void SetEqBypass(CKTVEQ &eq, int count, int flag)
{
    for (int i = 0; i < count && i < eq.GetSize(); ++i)
        eq.GetAt(i)->SetBypass(flag);
}

// Whether the first `count` elements of an equaliser all leave the signal as it is.
inline bool EqAllNeutral(const CKTVEQ &eq, int count)
{
    bool all = true;
    for (int i = 0; i < count && i < eq.GetSize(); ++i)
        if (!eq.GetAt(i)->IsNeutral())
            all = false;
    return all;
}

// Takes the change marks of a crossover pair; true when either had one.
inline bool TakeCrossoverMarks(CFilter *hp, CFilter *lp)
{
    bool any = false;
    for (CFilter *x : {hp, lp}) {
        if (x && x->GetChanged()) {
            x->StepSendFreq(0);
            any = true;
        }
    }
    return any;
}

// ---- report texts of the input records ----

inline std::string GainText(int gain) { return Format("%d", gain - 80) + "dB"; }

inline std::string PolarityText(int polarity)
{
    return Tr(polarity ? StrId::PolarityInverted : StrId::PolarityNormal);
}

inline std::string SwitchText(int on) { return on ? "On" : "OFF"; }

// Tenths of a millisecond up to 10 ms, whole milliseconds above.
inline std::string DelayText(int d) { return Format("%0.1fms", d < 100 ? d * 0.1 : (d - 100) + 10.0); }

inline std::string LimitThresholdText(int v) { return Format("%0.1f", v * 0.1 - 30); }

inline std::string ThresholdText(int t) { return t == 0 ? "OFF" : Format("%0.1fdBu", t - 120.0); }

// A one-item write frame addressed to item `param` of the object that carries the given bytes.
inline std::unique_ptr<CSendData> BuildItemFrame(int objType, int channel, int param, const Item &bytes)
{
    FrameHeader h;
    h.command = CMD_WRITE;
    h.preset = 0;
    h.objType = static_cast<std::uint8_t>(objType);
    h.channel = static_cast<std::uint8_t>(channel);
    h.param = static_cast<std::uint8_t>(param);
    h.link = 0;
    return BuildFrame(h, bytes);
}

}  // namespace record_items
