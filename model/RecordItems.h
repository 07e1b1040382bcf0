#pragma once
// Helpers shared by the input and effect records: reading and writing the 8-byte items of their
// blocks in the current image, and the one-item frames that carry them.

#include "link/CommandFrame.h"
#include "link/SendData.h"
#include "model/DeviceImage.h"
#include "model/Filter.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
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
