#include "model/PresetFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

FileImage PatternImage(std::uint8_t seed)
{
    FileImage img;
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(seed + i * 7);
    return img;
}

std::unique_ptr<AllPresetsFileData> SampleAll()
{
    auto d = std::make_unique<AllPresetsFileData>();
    for (int p = 0; p < kFileMachinePresets; ++p)
        d->presets[p] = PatternImage(static_cast<std::uint8_t>(p * 31));
    d->current = PatternImage(200);
    d->sys = {1, 2, 0x0102 & 0x3F, 2, 1, 3, 1, 0xFF, 55, 108, 30, 1, 7, 1, {3, 1, 7, 24, 0, 9, 19, 22}};
    return d;
}

OutputMapFileData SampleMap()
{
    OutputMapFileData d;
    d.speakerTypes = {1, 7, 3, 9, 19, 20, 22, 23};
    for (int n = 0; n < 8; ++n)
        d.crossovers[n] = {static_cast<std::uint16_t>(20 + n), static_cast<std::uint8_t>(n),
                           static_cast<std::uint8_t>(n % 3), static_cast<std::uint16_t>(20000 - n),
                           8, 2};
    return d;
}

TEST(PresetFileCodec, SizesAndLeadingBytes)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::size_t size;
        std::string_view magic;
    };
    const Case cases[] = {
        {EncodePresetFile(PatternImage(1)), 4409, "VRX5300_File_2.0"},
        {EncodeAllPresetsFile(*SampleAll()), 30787, "VRX5300_ALLFile_2.0"},
        {EncodeOutputMapFile(SampleMap()), 84, "VRX5300_Map"},
        {EncodeModeFile({2, {}}), 27, "Mode_File"},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(c.bytes.size(), c.size) << c.magic;
        EXPECT_EQ(c.bytes[0], c.magic.size());
        EXPECT_EQ(std::string(c.bytes.begin() + 1, c.bytes.begin() + 1 + c.magic.size()), c.magic);
    }
}

TEST(PresetFileCodec, FieldsLieAtTheirOffsets)
{
    const auto all = SampleAll();
    const auto bytes = EncodeAllPresetsFile(*all);
    EXPECT_EQ(bytes[20], all->presets[0][0]);
    EXPECT_EQ(bytes[26372], all->current[0]);
    EXPECT_EQ(bytes[30764], all->sys.inputSource);
    EXPECT_EQ(bytes[30766] | (bytes[30767] << 8), all->sys.masterVolume);
    EXPECT_EQ(bytes[30770], all->sys.inputSourceAgain);
    EXPECT_EQ(bytes[30778], all->sys.masterOn);
    EXPECT_EQ(bytes[30779], all->sys.speakerTypes[0]);
    EXPECT_EQ(bytes[30786], all->sys.speakerTypes[7]);

    // The map file keeps slope before family.
    const auto map = EncodeOutputMapFile(SampleMap());
    const std::size_t out3 = 20 + 8 * 3;
    EXPECT_EQ(map[12], 1);
    EXPECT_EQ(map[out3] | (map[out3 + 1] << 8), 23);
    EXPECT_EQ(map[out3 + 2], 3);  // high-pass slope
    EXPECT_EQ(map[out3 + 3], 0);  // high-pass family
    EXPECT_EQ(map[out3 + 6], 8);  // low-pass slope
    EXPECT_EQ(map[out3 + 7], 2);  // low-pass family

    ModeFileData mode{3, {}};
    mode.row[0] = 0xAB;
    mode.row[15] = 0xCD;
    const auto m = EncodeModeFile(mode);
    EXPECT_EQ(m[10], 3);
    EXPECT_EQ(m[11], 0xAB);
    EXPECT_EQ(m[26], 0xCD);
}

TEST(PresetFileCodec, EncodeDecodeIsIdentity)
{
    FileImage img{};
    ASSERT_EQ(DecodePresetFile(EncodePresetFile(PatternImage(9)), img), PresetFileStatus::Ok);
    EXPECT_EQ(img, PatternImage(9));

    const auto all = SampleAll();
    auto back = std::make_unique<AllPresetsFileData>();
    ASSERT_EQ(DecodeAllPresetsFile(EncodeAllPresetsFile(*all), *back), PresetFileStatus::Ok);
    EXPECT_EQ(back->presets, all->presets);
    EXPECT_EQ(back->current, all->current);
    EXPECT_EQ(EncodeAllPresetsFile(*back), EncodeAllPresetsFile(*all));

    OutputMapFileData map;
    ASSERT_EQ(DecodeOutputMapFile(EncodeOutputMapFile(SampleMap()), map), PresetFileStatus::Ok);
    EXPECT_EQ(map.speakerTypes, SampleMap().speakerTypes);
    EXPECT_EQ(map.crossovers, SampleMap().crossovers);

    ModeFileData mode;
    ModeFileData in{1, {}};
    in.row[4] = 77;
    ASSERT_EQ(DecodeModeFile(EncodeModeFile(in), mode), PresetFileStatus::Ok);
    EXPECT_EQ(mode.slot, 1);
    EXPECT_EQ(mode.row, in.row);
}

TEST(PresetFileCodec, ExtraTrailingBytesAreIgnored)
{
    auto bytes = EncodePresetFile(PatternImage(5));
    bytes.insert(bytes.end(), 100, 0xEE);
    FileImage img{};
    EXPECT_EQ(DecodePresetFile(bytes, img), PresetFileStatus::Ok);
    EXPECT_EQ(img, PatternImage(5));
}

// A file cut at any length is refused and leaves the destination untouched.
TEST(PresetFileCodec, EveryTruncationIsRefusedWithoutChange)
{
    const auto preset = EncodePresetFile(PatternImage(3));
    const auto all = EncodeAllPresetsFile(*SampleAll());
    const auto map = EncodeOutputMapFile(SampleMap());
    const auto mode = EncodeModeFile({2, {}});

    const FileImage sentinel = PatternImage(77);
    for (std::size_t n = 0; n < preset.size(); ++n) {
        FileImage img = sentinel;
        ASSERT_NE(DecodePresetFile(std::span(preset.data(), n), img), PresetFileStatus::Ok) << n;
        ASSERT_EQ(img, sentinel) << n;
    }
    auto allDst = std::make_unique<AllPresetsFileData>();
    allDst->current = sentinel;
    for (std::size_t n = 0; n < all.size(); n += (n < 40 || n > all.size() - 40) ? 1 : 97) {
        ASSERT_NE(DecodeAllPresetsFile(std::span(all.data(), n), *allDst), PresetFileStatus::Ok) << n;
        ASSERT_EQ(allDst->current, sentinel) << n;
    }
    for (std::size_t n = 0; n < map.size(); ++n) {
        OutputMapFileData d;
        d.speakerTypes.fill(0x42);
        ASSERT_NE(DecodeOutputMapFile(std::span(map.data(), n), d), PresetFileStatus::Ok) << n;
        ASSERT_EQ(d.speakerTypes[0], 0x42) << n;
    }
    for (std::size_t n = 0; n < mode.size(); ++n) {
        ModeFileData d{9, {}};
        ASSERT_NE(DecodeModeFile(std::span(mode.data(), n), d), PresetFileStatus::Ok) << n;
        ASSERT_EQ(d.slot, 9) << n;
    }
}

TEST(PresetFileCodec, WrongMagicIsRefused)
{
    auto bytes = EncodePresetFile(PatternImage(3));
    FileImage img = PatternImage(1);
    for (std::size_t i = 1; i <= kPresetFileMagic.size(); ++i) {
        auto bad = bytes;
        bad[i] ^= 0x20;  // one character differs (case included)
        EXPECT_EQ(DecodePresetFile(bad, img), PresetFileStatus::BadMagic) << i;
    }
    // The all-presets magic is not a preset magic, and a length prefix that does not match is wrong.
    EXPECT_EQ(DecodePresetFile(EncodeAllPresetsFile(*SampleAll()), img), PresetFileStatus::BadMagic);
    bytes[0] = 15;
    EXPECT_EQ(DecodePresetFile(bytes, img), PresetFileStatus::BadMagic);
    EXPECT_EQ(img, PatternImage(1));
}

// The codec takes values as they stand; the loaders clamp them. Only a mode slot without a row
// is refused.
TEST(PresetFileCodec, SystemValuesAndMapAreClampedIntoTheirRanges)
{
    struct Case { const char *name; void (*spoil)(AllPresetsSystemFields &); int (*get)(const AllPresetsSystemFields &); int expected; };
    const Case cases[] = {
        {"master volume", [](auto &s) { s.masterVolume = 67; }, [](const auto &s) { return int(s.masterVolume); }, 66},
        {"master volume word", [](auto &s) { s.masterVolume = 0xFFFF; }, [](const auto &s) { return int(s.masterVolume); }, 66},
        {"input group", [](auto &s) { s.inputGroupByte = 3; }, [](const auto &s) { return int(s.inputGroupByte); }, 2},
        {"input option", [](auto &s) { s.inputOption = 2; }, [](const auto &s) { return int(s.inputOption); }, 1},
        {"master on", [](auto &s) { s.masterOn = 0xFF; }, [](const auto &s) { return int(s.masterOn); }, 1},
        {"noise seconds low", [](auto &s) { s.noiseParamSec = 1; }, [](const auto &s) { return int(s.noiseParamSec); }, 2},
        {"noise seconds high", [](auto &s) { s.noiseParamSec = 31; }, [](const auto &s) { return int(s.noiseParamSec); }, 30},
        {"speaker type", [](auto &s) { s.speakerTypes[5] = 25; }, [](const auto &s) { return int(s.speakerTypes[5]); }, 0},
        {"unclamped byte", [](auto &s) { s.noiseParam1 = 0xEE; }, [](const auto &s) { return int(s.noiseParam1); }, 0xEE},
    };
    for (const auto &c : cases) {
        auto d = SampleAll();
        c.spoil(d->sys);
        auto dst = std::make_unique<AllPresetsFileData>();
        ASSERT_EQ(DecodeAllPresetsFile(EncodeAllPresetsFile(*d), *dst), PresetFileStatus::Ok) << c.name;
        EXPECT_EQ(EncodeAllPresetsFile(*dst), EncodeAllPresetsFile(*d)) << c.name;  // decoded as it stands
        ClampSystemFields(dst->sys);
        EXPECT_EQ(c.get(dst->sys), c.expected) << c.name;
        ClampSystemFields(dst->sys);  // clamping twice changes nothing more
        EXPECT_EQ(c.get(dst->sys), c.expected) << c.name;
    }
    // In-range values stay as they are.
    auto inRange = SampleAll();
    const auto before = EncodeAllPresetsFile(*inRange);
    ClampSystemFields(inRange->sys);
    EXPECT_EQ(EncodeAllPresetsFile(*inRange), before);

    auto map = SampleMap();
    map.crossovers[2].hpFamily = 3;
    map.crossovers[3].lpSlope = 9;
    map.crossovers[7].lpFreq = 0;  // a low frequency is the device's own, kept
    map.crossovers[6].hpFreq = 30000;
    map.speakerTypes[4] = 25;
    OutputMapFileData mapDst;
    ASSERT_EQ(DecodeOutputMapFile(EncodeOutputMapFile(map), mapDst), PresetFileStatus::Ok);
    ClampOutputMap(mapDst);
    auto expected = SampleMap();
    expected.crossovers[2].hpFamily = 2;
    expected.crossovers[3].lpSlope = 8;
    expected.crossovers[7].lpFreq = 0;
    expected.crossovers[6].hpFreq = 20000;
    expected.speakerTypes[4] = 0;
    EXPECT_EQ(mapDst.crossovers, expected.crossovers);
    EXPECT_EQ(mapDst.speakerTypes, expected.speakerTypes);

    ModeFileData modeDst{1, {}};
    EXPECT_EQ(DecodeModeFile(EncodeModeFile({4, {}}), modeDst), PresetFileStatus::BadValue);
    EXPECT_EQ(modeDst.slot, 1);
}

// Each value that reaches the device is clamped into its range; every other byte is kept.
TEST(PresetFileCodec, ImageValuesAreClampedAndTheRestKept)
{
    FileImage base = PatternImage(9);
    ClampImageValues(base);
    FileImage again = base;
    ClampImageValues(again);
    EXPECT_EQ(again, base);  // an image within range is left as it is

    // Bytes that reach no range are kept: the name, the reserved bytes, the effect and microphone
    // blocks, names and limits of the records.
    const FileImage pattern = PatternImage(9);
    const std::size_t out0 = 0x7E8, music0 = 0x128;
    for (std::size_t i : {std::size_t{0}, std::size_t{31}, std::size_t{0x20 + 77}, std::size_t{0xB8 + 100},
                          out0 + 36 * 8 + 3, out0 + 35 * 8, out0 + 33 * 8 + 5, music0 + 35 * 8 + 1})
        EXPECT_EQ(base[i], pattern[i]) << i;

    struct Damage { const char *what; std::size_t offset; std::uint16_t word; std::uint16_t expected; };
    const std::size_t out2 = out0 + 2 * 296, out7 = out0 + 7 * 296, music5 = music0 + 5 * 288;
    const Damage damages[] = {
        {"output gain above 0 dB", out2 + 31 * 8 + 2, 601, 600},
        {"output delay above 20 ms", out2 + 31 * 8 + 4, 0xFFFF, 960},
        {"on and polarity", out2 + 31 * 8, 0x0507, 0x0101},
        {"eq mode and speaker type", out2 + 31 * 8 + 6, 0x1902, 0x0001},
        {"band frequency 0", out2 + 4 * 8, 0, 20},
        {"band frequency negative", out2 + 5 * 8, 0x8001, 20},
        {"band frequency above 20 kHz", music5 + 30 * 8, 20001, 20000},
        {"band gain word above +20 dB", out2 + 30 * 8 + 2, 801, 800},
        {"band gain word below -20 dB", out2 + 7 * 8 + 2, 399, 400},
        {"bandwidth beyond the Q table", music5 + 8 * 8 + 4, 296, 295},
        {"bandwidth negative", music5 + 9 * 8 + 4, 0xFFFF, 0},
        {"crossover frequency", out2 + 32 * 8 + 4, 20001, 20000},
        {"crossover low frequency kept", out2 + 32 * 8, 10, 10},
        {"crossover slope", music5 + 32 * 8 + 6, 0x0900, 0x0800},
        {"crossover family", out2 + 32 * 8 + 2, 0x0003, 0x0002},
        {"link group", out2 + 35 * 8 + 6, 0x000A, 0x000A},
        {"link mask without the output", out2 + 35 * 8 + 6, 0x0011, 0x0000},
        {"link mask with the output", out7 + 35 * 8 + 6, 0x0081, 0x0081},
    };
    for (const auto &d : damages) {
        FileImage image = base;
        image[d.offset] = static_cast<std::uint8_t>(d.word & 0xFF);
        image[d.offset + 1] = static_cast<std::uint8_t>(d.word >> 8);
        ClampImageValues(image);
        EXPECT_EQ(image[d.offset] | (image[d.offset + 1] << 8), d.expected) << d.what;
        image[d.offset] = base[d.offset];
        image[d.offset + 1] = base[d.offset + 1];
        EXPECT_EQ(image, base) << d.what;  // nothing else moved
    }
}

TEST(PresetFileCodec, ArchiveStringLengthPrefixes)
{
    for (std::size_t n : {0u, 254u, 255u, 0xFFFDu, 0xFFFEu, 70000u}) {
        const std::string text(n, 'x');
        std::vector<std::uint8_t> out;
        AppendArchiveString(out, text);
        const std::size_t prefix = n < 255 ? 1 : n < 0xFFFE ? 3 : 7;
        ASSERT_EQ(out.size(), prefix + n) << n;
        std::size_t pos = 0;
        std::string back;
        ASSERT_TRUE(ReadArchiveString(out, pos, back)) << n;
        EXPECT_EQ(back.size(), n);
        EXPECT_EQ(pos, out.size());
        out.pop_back();
        pos = 0;
        EXPECT_FALSE(ReadArchiveString(out, pos, back)) << n;
    }
}

TEST(PresetFileCodec, InputSourceFixUpByLayout)
{
    struct Case { std::uint8_t source; int layout; std::uint8_t expected; };
    const Case cases[] = {
        {0, 0, 4}, {2, 0, 4}, {1, 0, 1}, {3, 0, 3},
        {0, 1, 4}, {2, 1, 2},
        {2, 2, 4}, {0, 2, 0},
        {2, 3, 2}, {0, 3, 0}, {0, 7, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FixUpInputSource(c.source, c.layout, 4), c.expected)
            << "source " << int(c.source) << " layout " << c.layout;
    EXPECT_EQ(FixUpInputSource(0, 0, 0x104), 4);  // the low byte of the selection
}

TEST(PresetFileCodec, FilesAreWrittenWholeAndReadBack)
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    const std::filesystem::path dir =
        std::filesystem::path(out ? out : std::filesystem::temp_directory_path().string()) / "preset_codec";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "one.qxds").string();
    const auto bytes = EncodePresetFile(PatternImage(11));
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, bytes);
    // A file above the limit, a missing file and a folder fail without touching the output.
    EXPECT_FALSE(ReadFileBytes(path, back, 10));
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(ReadFileBytes((dir / "missing.qxds").string(), back));
    EXPECT_FALSE(ReadFileBytes(dir.string(), back));
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(WriteFileBytes((dir / "no" / "such" / "x.qxds").string(), bytes));
}

}  // namespace

namespace {

// A saved file takes the umask when it is new; a replaced one keeps its permission bits but never
// its set-id or sticky bits.
TEST(PresetFileCodec, SavedFilesTakeTheUmaskAndNeverSetIdBits)
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    const std::filesystem::path dir =
        std::filesystem::path(out ? out : std::filesystem::temp_directory_path().string()) / "preset_modes";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto bytes = EncodePresetFile(PatternImage(4));
    auto modeOf = [](const std::filesystem::path &p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_mode & 07777;
    };

    struct Case { mode_t umask; mode_t before; mode_t after; };  // before 0: a new file
    const Case cases[] = {
        {022, 0, 0644},
        {077, 0, 0600},
        {002, 0, 0664},
        {022, 04755, 0755},
        {022, 02640, 0640},
        {077, 0664, 0664},
    };
    int n = 0;
    for (const auto &c : cases) {
        const auto path = dir / ("f" + std::to_string(n++) + ".qxds");
        if (c.before != 0) {
            ASSERT_TRUE(WriteFileBytes(path.string(), bytes));
            ASSERT_EQ(::chmod(path.c_str(), c.before), 0);
        }
        const mode_t saved = ::umask(c.umask);
        const bool written = WriteFileBytes(path.string(), bytes);
        ::umask(saved);
        ASSERT_TRUE(written);
        EXPECT_EQ(modeOf(path), c.after) << std::oct << "umask " << c.umask << " before " << c.before;
    }
    // Nothing but the saved files is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), n);
}

}  // namespace
