#include "model/ObjectArchive.h"

#include <bit>

void ObjectArchive::Put(std::uint64_t v, int size)
{
    if (!m_storing) {
        m_failed = true;
        return;
    }
    for (int i = 0; i < size; ++i)
        m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

bool ObjectArchive::Take(std::uint64_t &v, int size)
{
    v = 0;
    if (m_storing || m_failed || m_bytes.size() - m_pos < static_cast<std::size_t>(size)) {
        m_failed = true;
        return false;
    }
    for (int i = 0; i < size; ++i)
        v |= static_cast<std::uint64_t>(m_bytes[m_pos + static_cast<std::size_t>(i)]) << (8 * i);
    m_pos += static_cast<std::size_t>(size);
    return true;
}

void ObjectArchive::WriteInt(std::int32_t v)
{
    Put(static_cast<std::uint32_t>(v), 4);
}

void ObjectArchive::WriteDouble(double v)
{
    Put(std::bit_cast<std::uint64_t>(v), 8);
}

std::int32_t ObjectArchive::ReadInt()
{
    std::uint64_t v;
    if (!Take(v, 4))
        return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

double ObjectArchive::ReadDouble()
{
    std::uint64_t v;
    if (!Take(v, 8))
        return 0.0;
    return std::bit_cast<double>(v);
}
