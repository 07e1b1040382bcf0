#include "link/HexRecord.h"

#include "res/Strings.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool HexByte(const std::string &s, std::size_t at, std::uint8_t &out)
{
    if (at + 2 > s.size())
        return false;
    const int hi = HexDigit(s[at]);
    const int lo = HexDigit(s[at + 1]);
    if (hi < 0 || lo < 0)
        return false;
    out = static_cast<std::uint8_t>(hi << 4 | lo);
    return true;
}

}  // namespace

bool CHexRecordParser::ParseHexRecord(const std::string &record, int mode, std::vector<std::uint8_t> &image)
{
    if (record.empty() || record[0] != ':')
        return false;
    std::uint8_t count, addrHi, addrLo, type;
    if (!HexByte(record, 1, count) || !HexByte(record, 3, addrHi) || !HexByte(record, 5, addrLo) ||
        !HexByte(record, 7, type))
        return false;
    std::vector<std::uint8_t> data(count);
    for (int i = 0; i < count; ++i) {
        if (!HexByte(record, 9 + 2 * static_cast<std::size_t>(i), data[static_cast<std::size_t>(i)]))
            return false;
    }
    const int address = addrHi << 8 | addrLo;
    if (mode == 1) {
        image.push_back(addrHi);
        image.push_back(addrLo);
        m_loadAddress[2] = addrHi;
        m_loadAddress[3] = addrLo;
    }
    switch (type) {
    case 0:
        image.insert(image.end(), data.begin(), data.end());
        if (m_upper == 0x0800 && address == 0x8000) {
            m_latched = true;
            m_version.assign(data.begin(), data.begin() + std::min<std::size_t>(11, data.size()));
        }
        break;
    case 4:
        if (data.size() < 2)
            return false;
        if (mode == 0) {
            image.insert(image.end(), data.begin(), data.end());
            m_loadAddress[0] = data[0];
            m_loadAddress[1] = data[1];
        }
        m_upper = data[0] << 8 | data[1];
        break;
    default:
        break;
    }
    return true;
}

CHexRecordParser::Check CHexRecordParser::ConfirmFirmwareVersion() const
{
    if (m_loadAddress != std::array<std::uint8_t, 4>{0x08, 0x00, 0x50, 0x00})
        return Check::BadAddress;
    if (m_version.compare(0, 8, "MPQX-DV1") != 0)
        return Check::BadVersion;
    return Check::Ok;
}

std::string CHexRecordParser::ConfirmText(bool chinese) const
{
    std::string version = m_version;
    version.resize(12, ' ');
    return TrArgs(StrId::AskFirmwareUpdateTo, chinese, {version});
}
