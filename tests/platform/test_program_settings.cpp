#include "platform/GlobalData.h"
#include "platform/ProgramSettings.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ProgramSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *out = std::getenv("ZK_TEST_OUTPUT");
        root = fs::path(out ? out : fs::temp_directory_path().string()) / "program-settings" /
               std::to_string(::getpid());
        fs::remove_all(root);
        fs::create_directories(root / "presets");
        fs::create_directories(root / "maps");
        g_strFirmwareFile = "";
        g_strLanguage = "";
        g_nLineSet = 1;
    }
    void TearDown() override { fs::remove_all(root); }

    std::string Value(std::string_view group, std::string_view key) const
    {
        return store.ReadString(group, key, "<absent>");
    }

    fs::path root;
    // Documents is named but never created.
    std::string docs = (fs::temp_directory_path() / "zk-no-such-documents").string();
    CMemorySettings store;
    CProgramSettings settings{&store, [this] { return docs; }};
};

}  // namespace

TEST_F(ProgramSettingsTest, FirstStartCreatesEveryGroupWithItsDefaults)
{
    settings.SetFolder(FOLDER_FIRMWARE, docs);
    settings.LoadDspMcuSettings();
    EXPECT_EQ(Value("DspMcu", "Name"), "");
    EXPECT_EQ(Value("DspMcu", "Path"), docs);
    EXPECT_EQ(Value("DspMcu", "Language"), "");
    // The language decision saves the choice into the group that now exists.
    g_strLanguage = "English";
    settings.SaveDspMcuSettings();
    EXPECT_EQ(Value("DspMcu", "Language"), "English");

    settings.SaveFileFolder(0);
    for (const char *key : {"File_Path", "AllFile_Path", "Map_Path", "Hex"})
        EXPECT_EQ(Value("PC_File", key), docs) << key;
    for (int kind = 1; kind <= 4; ++kind)
        EXPECT_EQ(settings.Folder(kind), docs) << kind;

    settings.LoadLineSetting();
    EXPECT_EQ(Value("Line_Set", "Line_Set"), "1");
    EXPECT_FALSE(fs::exists(docs)) << "Documents is never created";
}

TEST_F(ProgramSettingsTest, SavesOfAMissingGroupWriteNothing)
{
    settings.SaveDspMcuSettings();
    settings.SaveLineSetting();
    EXPECT_TRUE(store.Keys("DspMcu").empty());
    EXPECT_TRUE(store.Keys("Line_Set").empty());
}

TEST_F(ProgramSettingsTest, AFolderThatIsGoneFallsBackToDocumentsAndIsRewritten)
{
    const std::string presets = (root / "presets").string();
    const std::string gone = (root / "deleted").string();
    store.Write("PC_File", "File_Path", presets);
    store.Write("PC_File", "AllFile_Path", gone);
    store.Write("PC_File", "Map_Path", (root / "file.txt").string());  // not a folder

    settings.LoadFileFolder(FOLDER_PRESET);
    EXPECT_EQ(settings.Folder(FOLDER_PRESET), presets);
    settings.LoadFileFolder(FOLDER_ALLPRESETS);
    EXPECT_EQ(settings.Folder(FOLDER_ALLPRESETS), docs);
    EXPECT_EQ(Value("PC_File", "AllFile_Path"), docs);
    settings.LoadFileFolder(FOLDER_FIRMWARE);  // Hex missing
    EXPECT_EQ(Value("PC_File", "Hex"), docs);

    // Kinds outside 1..4 change nothing.
    settings.LoadFileFolder(5);
    settings.LoadFileFolder(-1);
    EXPECT_EQ(Value("PC_File", "Map_Path"), (root / "file.txt").string());
}

TEST_F(ProgramSettingsTest, SavingAFolderWritesOnlyItsOwnValue)
{
    settings.SaveFileFolder(0);
    const std::string maps = (root / "maps").string();
    settings.SetFolder(FOLDER_MAP, maps);
    settings.SetFolder(FOLDER_FIRMWARE, "/elsewhere");
    settings.SaveFileFolder(FOLDER_MAP);
    EXPECT_EQ(Value("PC_File", "Map_Path"), maps);
    EXPECT_EQ(Value("PC_File", "Hex"), docs);

    // A write that fails leaves the folder at Documents.
    store.SetFailWrites(true);
    settings.SaveFileFolder(FOLDER_MAP);
    EXPECT_EQ(settings.Folder(FOLDER_MAP), docs);
}

TEST_F(ProgramSettingsTest, DspMcuValuesLoadAndUnusableOnesFallBack)
{
    store.Write("DspMcu", "Name", "/fw/dsp.bin");
    store.Write("DspMcu", "Path", (root / "presets").string());
    store.Write("DspMcu", "Language", "Chinese");
    settings.LoadDspMcuSettings();
    EXPECT_EQ(g_strFirmwareFile.Get(), "/fw/dsp.bin");
    EXPECT_EQ(settings.Folder(FOLDER_FIRMWARE), (root / "presets").string());
    EXPECT_EQ(g_strLanguage.Get(), "Chinese");

    // A folder that is gone reads as Documents without being written back; a language longer
    // than its 10-byte buffer cannot be read and keeps the one in memory.
    store.Write("DspMcu", "Path", (root / "deleted").string());
    store.Write("DspMcu", "Language", "Chinese-Traditional");
    store.Remove("DspMcu", "Name");
    settings.LoadDspMcuSettings();
    EXPECT_EQ(settings.Folder(FOLDER_FIRMWARE), docs);
    EXPECT_EQ(Value("DspMcu", "Path"), (root / "deleted").string());
    EXPECT_EQ(g_strLanguage.Get(), "Chinese");
    EXPECT_EQ(g_strFirmwareFile.Get(), "/fw/dsp.bin");
}

TEST_F(ProgramSettingsTest, LineSettingReadsTheLeadingNumber)
{
    const struct {
        const char *stored;
        int expected;
    } cases[] = {
        {"1", 1}, {"0", 0}, {"abc", 0}, {" 12x", 12}, {"-3", -3}, {"", 0}, {"999999999", 999999999},
    };
    for (const auto &c : cases) {
        g_nLineSet = 77;
        store.Write("Line_Set", "Line_Set", c.stored);
        settings.LoadLineSetting();
        EXPECT_EQ(g_nLineSet.load(), c.expected) << c.stored;
    }
    // Too long for its buffer: unreadable, the setting stays.
    g_nLineSet = 5;
    store.Write("Line_Set", "Line_Set", "1234567890");
    settings.LoadLineSetting();
    EXPECT_EQ(g_nLineSet.load(), 5);

    g_nLineSet = 0;
    settings.SaveLineSetting();
    EXPECT_EQ(Value("Line_Set", "Line_Set"), "0");
}

TEST(LeadingInt, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(LeadingInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(LeadingInt("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(LeadingInt("-2147483648"), INT_MIN);
    EXPECT_EQ(LeadingInt("+7"), 7);
    EXPECT_EQ(LeadingInt("- 7"), 0);
}
