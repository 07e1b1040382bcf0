#include "model/OutputRoute.h"

#include "model/KTV_OutData.h"

#include <cstdint>
#include <mutex>

std::array<std::array<std::atomic<int>, kRouteEntries>, DeviceImage::kOutCount> g_OutRouteBits{};

namespace {

constexpr std::size_t kRouteByte = 7;

}  // namespace

bool SetOutputRouteBit(int c, int entry, int value)
{
    if (c < 0 || c >= static_cast<int>(DeviceImage::kOutCount) || entry < 0 || entry >= kRouteEntries)
        return false;
    const int v = value ? 1 : 0;
    auto &slot = g_OutRouteBits[static_cast<std::size_t>(c)][static_cast<std::size_t>(entry)];
    if (slot.load() == v)
        return false;
    slot = v;
    {
        std::lock_guard lock(g_csImage);
        auto item = g_CurImage.Item(OBJ_OUTPUT, c, CKTV_OutData::kLimitItem);
        if (item.size() > kRouteByte) {
            const auto bit = static_cast<std::uint8_t>(1u << entry);
            item[kRouteByte] = static_cast<std::uint8_t>(v ? (item[kRouteByte] | bit) : (item[kRouteByte] & ~bit));
        }
    }
    if (CKTV_OutData *out = g_OutChannelTable[static_cast<std::size_t>(c)])
        out->SetLimitStamp(1);
    return true;
}

void LoadOutputRouteBits()
{
    std::lock_guard lock(g_csImage);
    for (int c = 0; c < static_cast<int>(DeviceImage::kOutCount); ++c) {
        auto item = g_CurImage.Item(OBJ_OUTPUT, c, CKTV_OutData::kLimitItem);
        const int bits = item.size() > kRouteByte ? item[kRouteByte] : 0;
        for (int e = 0; e < kRouteEntries; ++e)
            g_OutRouteBits[static_cast<std::size_t>(c)][static_cast<std::size_t>(e)] = (bits >> e) & 1;
    }
}
