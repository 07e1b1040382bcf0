#include "model/PresetFiles.h"

#include "model/InitGlobalData.h"
#include "model/KTV_Data.h"
#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Everything a loader may change: the images, the system blocks, the speaker types, the mode
// table and the crossover table.
std::vector<std::uint8_t> GlobalsSnapshot()
{
    std::vector<std::uint8_t> s;
    std::lock_guard lock(g_csImage);
    s.insert(s.end(), g_CurImage.bytes.begin(), g_CurImage.bytes.end());
    for (const auto &p : g_MachinePresets)
        s.insert(s.end(), p.bytes.begin(), p.bytes.end());
    for (auto *block : {&g_SysBlock2, &g_SysBlock5, &g_SpeakerTypes}) {
        const auto b = ReadSysBlock(*block);
        s.insert(s.end(), b.begin(), b.end());
    }
    for (const auto &b : g_ModeTable)
        s.push_back(b);
    for (const auto &x : g_CrossoverTable) {
        const auto b = x.ToBytes();
        s.insert(s.end(), b.begin(), b.end());
    }
    return s;
}

bool LinkLockIsFree()
{
    return std::async(std::launch::async, [] {
               if (!g_csLink.try_lock())
                   return false;
               g_csLink.unlock();
               return true;
           }).get();
}

class PresetFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitGlobalData();
        tree = std::make_unique<CKTV_Data>();
    }
    void TearDown() override { tree.reset(); }

    std::vector<std::uint8_t> Save(int (*op)(CKTV_Data &, PresetArchive &))
    {
        auto ar = PresetArchive::ForStoring();
        EXPECT_EQ(op(*tree, ar), 1);
        return ar.bytes;
    }
    int Load(int (*op)(CKTV_Data &, PresetArchive &), std::vector<std::uint8_t> bytes)
    {
        auto ar = PresetArchive::ForLoading(std::move(bytes));
        return op(*tree, ar);
    }

    std::unique_ptr<CKTV_Data> tree;
};

TEST_F(PresetFiles, SavedFilesHaveTheirSizesAndMagics)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::size_t size;
        std::string magic;
    };
    g_nPresetSlot = 2;
    auto mode = PresetArchive::ForStoring();
    ASSERT_EQ(SerializeModeFile(mode), 1);
    const Case cases[] = {
        {Save(SerializePresetFile), 4409, "VRX5300_File_2.0"},
        {Save(SerializeAllPresetsFile), 30787, "VRX5300_ALLFile_2.0"},
        {Save(SerializeOutputMapFile), 84, "VRX5300_Map"},
        {mode.bytes, 27, "Mode_File"},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(c.bytes.size(), c.size) << c.magic;
        EXPECT_EQ(c.bytes[0], c.magic.size()) << c.magic;
        EXPECT_EQ(std::string(c.bytes.begin() + 1, c.bytes.begin() + 1 + c.magic.size()), c.magic);
    }
    EXPECT_EQ(mode.bytes[10], 2);
}

TEST_F(PresetFiles, PresetSaveLoadKeepsTheTreeButNotTheEffect)
{
    tree->GetOut(3)->SetGain(321);
    tree->GetMusicIn(1)->SetDelay(44);
    tree->GetEffect().SetGroup2Byte0(77);
    const auto file = Save(SerializePresetFile);  // packs the tree first

    tree = std::make_unique<CKTV_Data>();
    tree->GetEffect().SetGroup2Byte0(5);
    ASSERT_EQ(Load(SerializePresetFile, file), 1);
    EXPECT_EQ(tree->GetOut(3)->GetGain(), 321);
    EXPECT_EQ(tree->GetMusicIn(1)->GetDelay(), 44);
    EXPECT_EQ(tree->GetEffect().GetGroup2Byte0(), 5);  // the effect is not taken from a preset file
    // Saved again, the file differs only in the effect block, which the tree's effect fills.
    auto again = Save(SerializePresetFile);
    const std::size_t effect = 17 + DeviceImage::kEffectOffset;
    std::copy(file.begin() + effect, file.begin() + effect + DeviceImage::kEffectSize, again.begin() + effect);
    EXPECT_EQ(again, file);
    EXPECT_TRUE(LinkLockIsFree());
}

TEST_F(PresetFiles, AllPresetsSaveLoadIsByteIdentical)
{
    // Machine presets as a device holds them: packed images with their own names, reserved bytes,
    // effect and microphone blocks and values, all within range.
    tree->GetOut(4)->SetGain(432);
    tree->GetMusicIn(2)->GetHpf()->SetFreq(80, 0);
    tree->FillImage();
    {
        std::lock_guard lock(g_csImage);
        for (int p = 0; p < 6; ++p) {
            auto &image = g_MachinePresets[p].bytes;
            image = g_CurImage.bytes;
            for (std::size_t i = 0; i < DeviceImage::kMusicOffset; i += 7)
                image[i] = static_cast<std::uint8_t>(p * 13 + i);
            const std::size_t gain = DeviceImage::kOutOffset + p * DeviceImage::kOutSize + 31 * 8 + 2;
            image[gain] = static_cast<std::uint8_t>(p * 40);  // gain 0 .. 200
            image[gain + 1] = 0;
        }
    }
    g_SpeakerTypes[0] = 1;
    g_SpeakerTypes[7] = 23;
    g_nMasterVolume = 0x42;
    g_nNoiseParamSec = 30;
    g_bAltInputMode = 1;
    g_nInputLayout = 3;
    const auto file = Save(SerializeAllPresetsFile);
    const auto saved = GlobalsSnapshot();

    InitGlobalData();
    g_nInputLayout = 3;
    ASSERT_EQ(Load(SerializeAllPresetsFile, file), 1);
    EXPECT_EQ(GlobalsSnapshot(), saved);
    EXPECT_EQ(int(g_nMasterVolume), 0x42);
    EXPECT_EQ(g_SpeakerTypes[7].load(), 23);
    EXPECT_EQ(Save(SerializeAllPresetsFile), file);

    // A device's machine presets carry no music-input blocks (they are never read): the zeros
    // there come back as they were.
    {
        std::lock_guard lock(g_csImage);
        std::fill_n(g_MachinePresets[2].bytes.begin() + DeviceImage::kMusicOffset,
                    DeviceImage::kMusicSize * DeviceImage::kMusicCount, std::uint8_t{0});
    }
    const auto fromDevice = Save(SerializeAllPresetsFile);
    ASSERT_EQ(Load(SerializeAllPresetsFile, fromDevice), 1);
    EXPECT_EQ(Save(SerializeAllPresetsFile), fromDevice);
}

// The all-presets save writes the device's values as they are; the load clamps what reaches the
// device into its range, so files of a device with odd values load.
TEST_F(PresetFiles, AllPresetsSaveKeepsDeviceValuesAndLoadClampsThem)
{
    g_nMasterVolume = 200;
    g_nNoiseParamSec = 0;
    g_nInputGroupByte = 9;
    g_nInputOption = 3;
    g_bMasterOn = 5;
    g_SpeakerTypes[3] = 40;
    g_SpeakerTypes[4] = 24;
    g_nInputLayout = 3;
    const auto file = Save(SerializeAllPresetsFile);
    EXPECT_EQ(file[30766], 200);
    EXPECT_EQ(file[30775], 0);
    EXPECT_EQ(file[30779 + 3], 40);

    InitGlobalData();
    g_nInputLayout = 3;
    ASSERT_EQ(Load(SerializeAllPresetsFile, file), 1);
    EXPECT_EQ(int(g_nMasterVolume), 66);
    EXPECT_EQ(g_nNoiseParamSec.load(), 2);
    EXPECT_EQ(g_nInputGroupByte.load(), 2);
    EXPECT_EQ(g_nInputOption.load(), 1);
    EXPECT_EQ(g_bMasterOn.load(), 1);
    EXPECT_EQ(g_SpeakerTypes[3].load(), 0);  // unknown code: no speaker type
    EXPECT_EQ(g_SpeakerTypes[4].load(), 24);
}

// Out-of-range values of every image of a file are clamped on load, in the images that are pushed
// to the device and in the tree; the rest of each image is loaded byte for byte.
TEST_F(PresetFiles, OutOfRangeImageValuesLoadClamped)
{
    const auto preset = Save(SerializePresetFile);
    const auto all = Save(SerializeAllPresetsFile);
    struct Damage { const char *what; std::size_t offset; std::uint16_t word; std::uint16_t expected; };
    const std::size_t out2 = DeviceImage::kOutOffset + 2 * DeviceImage::kOutSize;
    const std::size_t music5 = DeviceImage::kMusicOffset + 5 * DeviceImage::kMusicSize;
    const Damage damages[] = {
        {"output gain above 0 dB", out2 + 31 * 8 + 2, 601, 600},
        {"output delay above 20 ms", out2 + 31 * 8 + 4, 961, 960},
        {"band frequency 0", out2 + 4 * 8, 0, 20},
        {"band gain word above +20 dB", out2 + 30 * 8 + 2, 801, 800},
        {"bandwidth beyond the Q table", music5 + 8 * 8 + 4, 296, 295},
        {"crossover family", out2 + 32 * 8 + 2, 0x0003, 0x0002},
        {"reserved bytes kept", 20, 0xBEEF, 0xBEEF},
    };
    auto word = [](const DeviceImage &image, std::size_t offset) {
        std::lock_guard lock(g_csImage);
        return image.bytes[offset] | (image.bytes[offset + 1] << 8);
    };
    for (const auto &d : damages) {
        SCOPED_TRACE(d.what);
        auto put = [&d](std::vector<std::uint8_t> file, std::size_t image) {
            file[image + d.offset] = static_cast<std::uint8_t>(d.word & 0xFF);
            file[image + d.offset + 1] = static_cast<std::uint8_t>(d.word >> 8);
            return file;
        };
        ASSERT_EQ(Load(SerializePresetFile, put(preset, 17)), 1);
        EXPECT_EQ(word(g_CurImage, d.offset), d.expected);

        auto file = put(all, 20 + 6 * DeviceImage::kSize);  // the current image
        for (int p = 0; p < 6; ++p)
            file = put(file, 20 + p * DeviceImage::kSize);
        ASSERT_EQ(Load(SerializeAllPresetsFile, file), 1);
        EXPECT_EQ(word(g_CurImage, d.offset), d.expected);
        // A machine preset's music-input blocks reach neither the device nor the records: kept.
        const bool musicBlock = d.offset >= DeviceImage::kMusicOffset && d.offset < DeviceImage::kOutOffset;
        for (int p = 0; p < 6; ++p)
            EXPECT_EQ(word(g_MachinePresets[p], d.offset), musicBlock ? d.word : d.expected) << "preset " << p + 1;
    }
    // The tree takes the clamped values too.
    auto file = preset;
    for (const auto &d : damages) {
        file[17 + d.offset] = static_cast<std::uint8_t>(d.word & 0xFF);
        file[17 + d.offset + 1] = static_cast<std::uint8_t>(d.word >> 8);
    }
    ASSERT_EQ(Load(SerializePresetFile, file), 1);
    EXPECT_EQ(tree->GetOut(2)->GetGain(), 600);
    EXPECT_EQ(tree->GetOut(2)->GetDelay(), 960);
    EXPECT_EQ(tree->GetOut(2)->GetBand(4)->GetFreq(), 20);
    EXPECT_EQ(tree->GetOut(2)->GetHpf()->GetFamily(), CFilter::kFamilyBessel);
    EXPECT_TRUE(LinkLockIsFree());
}

// Every record loads a name by the same rule: at most 7 bytes of its 8-byte item, so a device or
// file name that fills the whole item saves again without "Char len error!".
TEST_F(PresetFiles, EightByteNamesLoadAsSevenAndSaveAgain)
{
    struct NameItem { int objType; int channels; int item; };
    const NameItem items[] = {
        {OBJ_EFFECT, 1, 18}, {OBJ_MIC, 1, 13}, {OBJ_MUSIC, 6, 35}, {OBJ_OUTPUT, 8, 36},
    };
    {
        std::lock_guard lock(g_csImage);
        for (const auto &n : items)
            for (int c = 0; c < n.channels; ++c)
                std::memcpy(g_CurImage.Item(n.objType, c, n.item).data(), "ABCDEFGH", 8);
    }
    tree->LoadFromImage(g_CurImage, 0);
    EXPECT_EQ(tree->GetEffect().GetName(), "ABCDEFG");
    EXPECT_EQ(tree->GetMicIn()->GetName(), "ABCDEFG");
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(tree->GetMusicIn(c)->GetName(), "ABCDEFG") << c;
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(tree->GetOut(c)->GetName(), "ABCDEFG") << c;

    CScriptedMessageBox boxes;
    ScopedMessageBoxService install(boxes);
    for (auto op : {SerializePresetFile, SerializeAllPresetsFile}) {
        const auto file = Save(op);
        ASSERT_EQ(Load(op, file), 1);
        Save(op);
    }
    EXPECT_TRUE(boxes.Shown().empty());
    std::lock_guard lock(g_csImage);
    for (const auto &n : items)
        for (int c = 0; c < n.channels; ++c) {
            const auto item = g_CurImage.Item(n.objType, c, n.item);
            EXPECT_EQ(std::string(item.begin(), item.end()), std::string("ABCDEFG\0", 8)) << n.objType << " " << c;
        }
}

TEST_F(PresetFiles, AllPresetsInputSourceFixUp)
{
    g_nInputSource = 2;
    const auto file = Save(SerializeAllPresetsFile);
    struct Case { int layout; int expected; };
    for (const auto &c : {Case{0, 4}, Case{3, 2}, Case{2, 4}, Case{1, 2}}) {
        g_nInputLayout = static_cast<std::uint8_t>(c.layout);
        g_nSelInput = 4;
        ASSERT_EQ(Load(SerializeAllPresetsFile, file), 1);
        EXPECT_EQ(g_nInputSource.load(), c.expected) << "layout " << c.layout;
        EXPECT_EQ(g_nInputLayout.load(), c.layout);  // the layout is not in the file
    }
}

// Any cut, a wrong magic and a mode slot without a row are refused and change nothing at all.
TEST_F(PresetFiles, RefusedFilesChangeNothing)
{
    tree->GetOut(0)->SetGain(250);
    g_nPresetSlot = 1;
    const auto preset = Save(SerializePresetFile);
    const auto all = Save(SerializeAllPresetsFile);
    const auto map = Save(SerializeOutputMapFile);
    auto modeAr = PresetArchive::ForStoring();
    ASSERT_EQ(SerializeModeFile(modeAr), 1);
    const auto mode = modeAr.bytes;

    // A different state to protect.
    InitGlobalData();
    tree = std::make_unique<CKTV_Data>();
    tree->GetOut(0)->SetGain(17);
    {
        std::lock_guard lock(g_csImage);
        g_CurImage.bytes[1000] = 0x99;
        g_MachinePresets[5].bytes[10] = 0x98;
    }
    g_nMasterVolume = 12;
    g_ModeTable[20] = 7;
    const auto before = GlobalsSnapshot();

    auto loadMode = [](CKTV_Data &, PresetArchive &ar) { return SerializeModeFile(ar); };
    struct Format {
        const char *name;
        std::vector<std::uint8_t> file;
        int (*op)(CKTV_Data &, PresetArchive &);
    };
    const Format formats[] = {
        {"preset", preset, SerializePresetFile},
        {"all presets", all, SerializeAllPresetsFile},
        {"map", map, SerializeOutputMapFile},
        {"mode", mode, loadMode},
    };
    for (const auto &f : formats) {
        SCOPED_TRACE(f.name);
        const std::size_t step = f.file.size() > 5000 ? 61 : 1;
        for (std::size_t n = 0; n < f.file.size(); n += (n < 64 || n + 64 > f.file.size()) ? 1 : step) {
            ASSERT_EQ(Load(f.op, {f.file.begin(), f.file.begin() + n}), 0) << n;
            ASSERT_EQ(GlobalsSnapshot(), before) << n;
        }
        auto bad = f.file;
        bad[3] ^= 0x01;
        EXPECT_EQ(Load(f.op, bad), 0);
        EXPECT_EQ(GlobalsSnapshot(), before);
    }
    EXPECT_EQ(tree->GetOut(0)->GetGain(), 17);

    auto badSlot = mode;
    badSlot[10] = 4;  // a fifth row does not exist
    EXPECT_EQ(Load(loadMode, badSlot), 0);
    EXPECT_EQ(GlobalsSnapshot(), before);
    EXPECT_TRUE(LinkLockIsFree());
}

TEST_F(PresetFiles, MapLoadFillsTablesOnly)
{
    tree->GetOut(2)->GetHpf()->SetFreq(120, 0);
    g_SpeakerTypes[2] = 9;
    g_SpeakerTypes[5] = 99;  // as a device may have sent it
    const auto file = Save(SerializeOutputMapFile);
    EXPECT_EQ(file[12 + 5], 99);  // saved as it is, clamped on load
    InitGlobalData();
    tree = std::make_unique<CKTV_Data>();
    ASSERT_EQ(Load(SerializeOutputMapFile, file), 1);
    EXPECT_EQ(g_SpeakerTypes[2].load(), 9);
    EXPECT_EQ(g_SpeakerTypes[5].load(), 0);
    EXPECT_EQ(g_CrossoverTable[2].highFreq, 120);
    EXPECT_EQ(tree->GetOut(2)->GetHpf()->GetFreq(), 20);  // nothing is applied to the outputs
}

TEST_F(PresetFiles, ModeFileRowsAndSlots)
{
    for (std::size_t i = 0; i < 16; ++i)
        g_ModeTable[3 * 16 + i] = static_cast<std::uint8_t>(0xA0 + i);
    g_nPresetSlot = 3;
    auto store = PresetArchive::ForStoring();
    ASSERT_EQ(SerializeModeFile(store), 1);
    EXPECT_EQ(store.bytes[11], 0xA0);
    EXPECT_EQ(store.bytes[26], 0xAF);

    InitGlobalData();
    auto load = PresetArchive::ForLoading(store.bytes);
    ASSERT_EQ(SerializeModeFile(load), 1);
    EXPECT_EQ(g_nModeFileSlot.load(), 3);
    EXPECT_EQ(g_ModeTable[3 * 16 + 15].load(), 0xAF);
    EXPECT_EQ(g_ModeTable[2 * 16].load(), 0);

    // A device slot byte with no row is not saved.
    g_nPresetSlot = 4;
    auto none = PresetArchive::ForStoring();
    EXPECT_EQ(SerializeModeFile(none), 0);
    EXPECT_TRUE(none.bytes.empty());
}

}  // namespace
