#pragma once
// The archive form of the parameter objects: a flat run of values that an object stores and
// loads back in the same order. Integers are 32-bit and doubles 64-bit IEEE, both little-endian.
//
// Loading never reads past the end of the bytes: a read that would sets the failed state and
// yields 0, and every later read fails as well. An object therefore reads all of its values
// first, checks Ok() and its ranges, and only then applies them, so a short or damaged archive
// changes nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

class ObjectArchive {
public:
    static ObjectArchive ForStoring() { return ObjectArchive(true, {}); }
    static ObjectArchive ForLoading(std::vector<std::uint8_t> bytes)
    {
        return ObjectArchive(false, std::move(bytes));
    }

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }

    void WriteInt(std::int32_t v);
    void WriteDouble(double v);
    std::int32_t ReadInt();
    double ReadDouble();

    // False once a read ran past the end, a write was made to a loading archive (or a read from
    // a storing one), or an object refused what it read.
    bool Ok() const { return !m_failed; }
    void SetFailed() { m_failed = true; }

    const std::vector<std::uint8_t> &Bytes() const { return m_bytes; }
    // Bytes read so far (loading) or written (storing).
    std::size_t Position() const { return m_storing ? m_bytes.size() : m_pos; }
    bool AtEnd() const { return m_storing || m_pos == m_bytes.size(); }

private:
    ObjectArchive(bool storing, std::vector<std::uint8_t> bytes)
        : m_bytes(std::move(bytes)), m_storing(storing)
    {
    }
    void Put(std::uint64_t v, int size);
    bool Take(std::uint64_t &v, int size);

    std::vector<std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_storing;
    bool m_failed = false;
};
