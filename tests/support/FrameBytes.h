#pragma once
// Byte strings for golden frame tests: Hex("91 91 91 EE a1"), a queued frame's bytes, and the
// envelope every frame shares.

#include "protocol/SendData.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

namespace hexbytes {

using Bytes = std::vector<std::uint8_t>;

// Whitespace-separated hexadecimal bytes.
inline Bytes Hex(const std::string &text)
{
    Bytes out;
    std::istringstream in(text);
    std::string tok;
    while (in >> tok)
        out.push_back(static_cast<std::uint8_t>(std::stoul(tok, nullptr, 16)));
    return out;
}

inline Bytes Cat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Zeros(std::size_t n) { return Bytes(n, 0); }

inline Bytes FrameOf(const std::unique_ptr<CSendData> &item)
{
    if (!item)
        return {};
    return Bytes(item->GetData(), item->GetData() + item->GetLength());
}

// Header, device address, spare byte, payload length, XOR checksum and end byte.
inline void ExpectFrameEnvelope(const Bytes &f)
{
    ASSERT_GE(f.size(), 16u);
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 4), Hex("91 91 91 EE"));
    EXPECT_EQ(f[5], 1) << "device address";
    EXPECT_EQ(f[11], 0) << "spare byte";
    EXPECT_EQ(f[12] | (f[13] << 8), static_cast<int>(f.size()) - 16);
    std::uint8_t x = 0;
    for (std::size_t i = 4; i + 2 < f.size(); ++i)
        x ^= f[i];
    EXPECT_EQ(f[f.size() - 2], x);
    EXPECT_EQ(f.back(), 0xAA);
}

} // namespace hexbytes
