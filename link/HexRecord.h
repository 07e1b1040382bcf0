#pragma once
// The Intel HEX record reader of the firmware's former file form, and the check of the load
// address and version it finds. No command of the program loads HEX files any more; the reader is
// kept with the firmware code it belongs to.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CHexRecordParser {
public:
    // Longest data run of one record that is accepted (the form allows 255).
    static constexpr int kMaxRecordBytes = 255;

    // Reads one record ":LLAAAATT<data>" (the record checksum is not read). Mode 0 stores the first
    // two data bytes of an extended-address record as the upper half of the load address; mode 1
    // appends the record's two address bytes to the image and stores them as the lower half. Data
    // records append their bytes to the image. Returns false for a malformed or short record,
    // which changes nothing.
    bool ParseHexRecord(const std::string &record, int mode, std::vector<std::uint8_t> &image);

    const std::array<std::uint8_t, 4> &LoadAddress() const { return m_loadAddress; }
    bool LoadAddressLatched() const { return m_latched; }
    const std::string &Version() const { return m_version; }  // up to 11 characters
    int UpperAddress() const { return m_upper; }

    enum class Check { Ok, BadAddress, BadVersion };
    // The load address must be 08 00 50 00 and the version must begin "MPQX-DV1".
    Check ConfirmFirmwareVersion() const;
    // The question asked before such an update, in the UI language.
    std::string ConfirmText(bool chinese) const;

private:
    std::array<std::uint8_t, 4> m_loadAddress{};
    bool m_latched = false;
    int m_upper = 0;
    std::string m_version;
};
