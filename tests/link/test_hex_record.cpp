#include "link/HexRecord.h"

#include <gtest/gtest.h>

TEST(HexRecord, ReadsRecordsLatchesTheVersionAndChecksIt)
{
    CHexRecordParser p;
    std::vector<std::uint8_t> image;
    // Extended linear address 0x0800 (mode 0: the upper half of the load address).
    ASSERT_TRUE(p.ParseHexRecord(":020000040800F2", 0, image));
    EXPECT_EQ(p.UpperAddress(), 0x0800);
    EXPECT_EQ(image, (std::vector<std::uint8_t>{0x08, 0x00}));
    // Mode 1 records the lower half from a record's address bytes.
    ASSERT_TRUE(p.ParseHexRecord(":00500000", 1, image));
    // The data record at 0x8000 carries the version text.
    std::string rec = ":0B800000";
    for (char c : std::string("MPQX-DV1.05"))
        rec += "0123456789ABCDEF"[static_cast<unsigned char>(c) >> 4], rec += "0123456789ABCDEF"[c & 15];
    ASSERT_TRUE(p.ParseHexRecord(rec, 0, image));
    EXPECT_TRUE(p.LoadAddressLatched());
    EXPECT_EQ(p.Version(), "MPQX-DV1.05");
    EXPECT_EQ(p.ConfirmFirmwareVersion(), CHexRecordParser::Check::Ok);
    EXPECT_EQ(p.ConfirmText(false), "Firmware Update toMPQX-DV1.05 ?");

    CHexRecordParser bad;
    EXPECT_EQ(bad.ConfirmFirmwareVersion(), CHexRecordParser::Check::BadAddress);
}

TEST(HexRecord, MalformedRecordsChangeNothing)
{
    CHexRecordParser p;
    std::vector<std::uint8_t> image;
    for (const char *r : {"", "020000040800F2", ":0", ":02000004", ":0200000408", ":02000004G800F2", ":FF000000AA"})
        EXPECT_FALSE(p.ParseHexRecord(r, 1, image)) << r;
    EXPECT_TRUE(image.empty());
}
