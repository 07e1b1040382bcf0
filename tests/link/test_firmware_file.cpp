#include "link/FirmwareFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Tagged(const char *tag, std::size_t bodyLength, std::uint8_t seed = 0)
{
    Bytes b(tag, tag + 4);
    for (std::size_t i = 0; i < bodyLength; ++i)
        b.push_back(static_cast<std::uint8_t>(seed + i));
    return b;
}

// "WDSP", the DSP image, one unread byte, then optionally "WMCU" and an MCU image.
Bytes Combined(std::size_t mcuLength, bool withMcuTag = true)
{
    Bytes b = Tagged("WDSP", kDspImageLength, 7);
    b.push_back(0xEE);  // offset 0x40003, never read
    if (withMcuTag) {
        const Bytes mcu = Tagged("WMCU", mcuLength, 0x30);
        b.insert(b.end(), mcu.begin(), mcu.end());
    }
    return b;
}

}  // namespace

TEST(FirmwareFile, McuOnlyFilesAndTheirBlockCounts)
{
    struct Case {
        std::size_t body;
        int blocks;
    } cases[] = {{100, 104 / 48}, {5, 9 / 48}, {4, 0}, {48 * 10, (48 * 10 + 4) / 48}};
    for (const Case &c : cases) {
        FirmwareFile f;
        ASSERT_EQ(FirmwareFile::Parse(Tagged("WMCU", c.body), f), FirmwareFile::Result::Ok) << c.body;
        EXPECT_TRUE(f.mcuPresent);
        EXPECT_FALSE(f.dspPresent);
        EXPECT_EQ(f.mcu.size(), c.body);
        EXPECT_EQ(f.dataBlocks, c.blocks) << c.body;
        EXPECT_EQ(f.blockTotal, c.blocks + 6);
    }
}

TEST(FirmwareFile, ChecksumSkipsTheFourStartBytes)
{
    const Bytes mcu = {0x00, 0x01, 0x02, 0x03, 'a', 'b', 'c'};
    EXPECT_EQ(FirmwareFile::McuChecksum(mcu), 0x72);
    Bytes file = {'W', 'M', 'C', 'U'};
    file.insert(file.end(), mcu.begin(), mcu.end());
    FirmwareFile f;
    ASSERT_EQ(FirmwareFile::Parse(file, f), FirmwareFile::Result::Ok);
    EXPECT_EQ(f.mcuChecksum, 0x72);
}

TEST(FirmwareFile, CombinedAndDspOnlyFiles)
{
    FirmwareFile both;
    ASSERT_EQ(FirmwareFile::Parse(Combined(100), both), FirmwareFile::Result::Ok);
    EXPECT_TRUE(both.dspPresent);
    EXPECT_TRUE(both.mcuPresent);
    EXPECT_EQ(both.dsp.size(), kDspImageLength);
    EXPECT_EQ(both.dsp.front(), 7);
    ASSERT_EQ(both.mcu.size(), 100u);
    EXPECT_EQ(both.mcu.front(), 0x30);  // the MCU image starts at 0x40008
    // (L - 5 - 0x3FFFF) / 48 + 5957 with L = 0x40008 + 100.
    EXPECT_EQ(both.dataBlocks, static_cast<int>((0x40008 + 100 - 5 - 0x3FFFF) / 48) + 5957);

    // Exactly 0x40004 bytes with no MCU tag: a DSP-only file of 5,957 blocks, range 5,963.
    FirmwareFile dspOnly;
    ASSERT_EQ(FirmwareFile::Parse(Combined(0, false), dspOnly), FirmwareFile::Result::Ok);
    EXPECT_TRUE(dspOnly.dspPresent);
    EXPECT_FALSE(dspOnly.mcuPresent);
    EXPECT_EQ(dspOnly.dataBlocks, 5957);
    EXPECT_EQ(dspOnly.blockTotal, 5963);
}

TEST(FirmwareFile, DspOnlyChecksumComesFromThisFileNotAnEarlierOne)
{
    FirmwareFile f;
    ASSERT_EQ(FirmwareFile::Parse(Tagged("WMCU", 50, 0x55), f), FirmwareFile::Result::Ok);
    ASSERT_NE(f.mcuChecksum, kMcuChecksumSeed);
    ASSERT_EQ(FirmwareFile::Parse(Combined(0, false), f), FirmwareFile::Result::Ok);
    EXPECT_EQ(f.mcuChecksum, kMcuChecksumSeed);
    EXPECT_TRUE(f.mcu.empty());
}

TEST(FirmwareFile, WrongFilesAreRefusedAndChangeNothing)
{
    Bytes longWithoutDsp = Combined(10);
    longWithoutDsp[0] = 'X';
    Bytes lowerCase = Tagged("wmcu", 20);
    Bytes combinedEmptyMcu = Combined(0, true);  // "WMCU" at 0x40004 but no image
    const Bytes cases[] = {
        {}, {'W', 'M', 'C'}, Tagged("WMCU", 3), lowerCase, Tagged("WDSP", 100), longWithoutDsp,
        combinedEmptyMcu,
    };
    FirmwareFile kept;
    ASSERT_EQ(FirmwareFile::Parse(Tagged("WMCU", 60), kept), FirmwareFile::Result::Ok);
    for (const Bytes &c : cases) {
        FirmwareFile f = kept;
        EXPECT_EQ(FirmwareFile::Parse(c, f), FirmwareFile::Result::Wrong) << c.size();
        EXPECT_EQ(f.mcu, kept.mcu);
        EXPECT_EQ(f.blockTotal, kept.blockTotal);
    }
}

TEST(FirmwareFile, LoadFromDiskAndExtensionCheck)
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    const std::filesystem::path dir = std::filesystem::path(out ? out : "/tmp") / "firmware_file";
    std::filesystem::create_directories(dir);
    const auto path = dir / "image.bin";
    {
        const Bytes b = Tagged("WMCU", 100);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(b.data()), b.size());
    }
    FirmwareFile f;
    EXPECT_EQ(FirmwareFile::Load(path.string(), f), FirmwareFile::Result::Ok);
    EXPECT_EQ(f.mcu.size(), 100u);
    EXPECT_EQ(FirmwareFile::Load((dir / "missing.bin").string(), f), FirmwareFile::Result::CannotOpen);
    EXPECT_EQ(FirmwareFile::Load(dir.string(), f), FirmwareFile::Result::CannotOpen);
    const auto fifo = dir / "fifo.bin";
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(FirmwareFile::Load(fifo.string(), f), FirmwareFile::Result::CannotOpen);  // not waited on

    for (auto [p, ok] : {std::pair{"/a/b/fw.bin", true}, {"fw.BIN", false}, {"fw.bin.txt", false},
                         {"/a.bin/fw", false}, {"fw", false}, {"fw.bi", false}})
        EXPECT_EQ(FirmwareFile::HasFirmwareExtension(p), ok) << p;
}
