// The preset file commands over real files, with the file dialog, the view's displays and the
// device operations replaced by recording fakes: what is written, what a refused file leaves
// alone, which folder is remembered, and which lock is held while the push is queued.
#include "app/PresetFileCommands.h"

#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"
#include "model/PresetFiles.h"
#include "platform/GlobalData.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// True while another thread cannot take g_csLink, i.e. the calling thread holds it.
bool LinkLockHeld()
{
    return std::async(std::launch::async, [] {
               const bool got = g_csLink.try_lock();
               if (got)
                   g_csLink.unlock();
               return !got;
           }).get();
}

struct FakeHost : IPresetFileHost {
    std::map<int, std::string> folders;
    std::vector<std::pair<int, std::string>> remembered;
    struct Ask {
        bool save;
        std::string ext, filter, folder;
    };
    std::vector<Ask> asks;
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> names;
    int channelRefreshes = 0, imageRefreshes = 0, selectionChecks = 0, loadedNames = 0;
    bool lockHeldAtRefresh = false;

    std::string LoadFileFolder(int kind) override { return folders[kind]; }
    void SaveFileFolder(int kind, const std::string &folder) override
    {
        folders[kind] = folder;
        remembered.emplace_back(kind, folder);
    }
    std::optional<std::string> ChooseFile(bool save, const std::string &ext, const std::string &filter,
                                          const std::string &folder) override
    {
        asks.push_back({save, ext, filter, folder});
        if (answers.empty())
            return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    void RefreshChannelAssignments() override
    {
        ++channelRefreshes;
        lockHeldAtRefresh |= LinkLockHeld();
    }
    void SetPresetNameFromText(const std::string &text) override { names.push_back(text); }
    void RefreshFromImage() override
    {
        ++imageRefreshes;
        lockHeldAtRefresh |= LinkLockHeld();
    }
    void CheckChannelSelection() override { ++selectionChecks; }
    void ShowLoadedPresetName() override { ++loadedNames; }
    int Refreshes() const { return channelRefreshes + imageRefreshes + selectionChecks + loadedNames; }
};

struct FakeSync : IDeviceSync {
    std::vector<std::pair<int, int>> stores;
    int pushes = 0;
    std::vector<int> restores;
    bool pushedUnderLock = true;
    void QueueDeviceCommand(int, int) override {}
    void SetPendingBlock5(int) override {}
    void SetPendingBlock2(int) override {}
    void ReadPresetFromDevice(int) override {}
    void StorePresetToDevice(int preset, int fill) override
    {
        stores.emplace_back(preset, fill);
        pushedUnderLock &= LinkLockHeld();
    }
    void RecallDevicePreset(int) override {}
    void PushAllPresetsToDevice() override
    {
        ++pushes;
        pushedUnderLock &= LinkLockHeld();
    }
    int RequestAllPresets() override { return 0; }
    void RestoreSpeakerTypes(int flag) override { restores.push_back(flag); }
};

std::vector<std::uint8_t> Bytes(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path &p, const std::vector<std::uint8_t> &bytes)
{
    std::ofstream(p, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char *>(bytes.data()),
                                                               static_cast<std::streamsize>(bytes.size()));
}

class PresetFileCommandsTest : public ::testing::Test {
protected:
    fs::path dir;
    CScriptedMessageBox boxes;
    CKTV_Data tree;
    FakeHost host;
    FakeSync sync;
    CPresetFileCommands commands{tree, sync, boxes, host};

    void SetUp() override
    {
        ResetDeviceImageGlobals();
        g_bChinese = 0;
        const char *out = std::getenv("ZK_TEST_OUTPUT");
        dir = fs::path(out ? out : "/tmp") / ("preset-files-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
        g_strAllPresetsPath = std::string();
    }
    std::string Path(const std::string &name) const { return (dir / name).string(); }
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> texts;
        for (const auto &b : boxes.Shown())
            texts.push_back(b.text);
        return texts;
    }
};

}  // namespace

TEST(PresetFilePaths, ExtensionRuleTitleAndFolder)
{
    const struct {
        const char *chosen, *saved, *title;
    } cases[] = {
        {"/d/ABC", "/d/ABC.qxds", "ABC"},
        {"/d/ABC.qxds", "/d/ABC.qxds", "ABC"},
        {"/d/ABC.QXDS", "/d/ABC.QXDS.qxds", "ABC"},  // compared exactly, case and all
        {"/d/my.set.qxds", "/d/my.set.qxds", "my.set"},
        {"/d.x/ABC", "/d.x/ABC.qxds", "ABC"},        // a dot in a folder name is no extension
        {"/d/.qxds", "/d/.qxds.qxds", ".qxds"},      // nor is a leading dot
        {"rel", "rel.qxds", "rel"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CPresetFileCommands::WithExtension(c.chosen, "qxds"), c.saved) << c.chosen;
        EXPECT_EQ(CPresetFileCommands::FileTitle(c.chosen), c.title) << c.chosen;
    }
    EXPECT_EQ(CPresetFileCommands::FolderOf("/a/b/c.qxds"), "/a/b");
    EXPECT_EQ(CPresetFileCommands::FolderOf("/c.qxds"), "/");
    EXPECT_EQ(CPresetFileCommands::FolderOf("c.qxds"), "");
}

TEST_F(PresetFileCommandsTest, SaveThenLoadOnePresetPushesItUnderTheLockAndRefreshesAfterIt)
{
    host.folders[kFolderPresetFile] = "/start/here";
    tree.GetOut(2)->SetGain(321);
    g_bParamsDirty = 1;
    host.answers.push_back(Path("Club.QXDS"));
    ASSERT_EQ(commands.SavePresetFile(), 1);
    ASSERT_EQ(host.asks.size(), 1u);
    EXPECT_TRUE(host.asks[0].save);
    EXPECT_EQ(host.asks[0].ext, "qxds");
    EXPECT_EQ(host.asks[0].filter, ".qxds|*.qxds||");
    EXPECT_EQ(host.asks[0].folder, "/start/here");
    EXPECT_TRUE(fs::exists(Path("Club.QXDS.qxds")));
    EXPECT_EQ(fs::file_size(Path("Club.QXDS.qxds")), kPresetFileBytes);
    EXPECT_EQ(host.names, std::vector<std::string>{"Club"});
    EXPECT_EQ(g_bParamsDirty.load(), 0);
    EXPECT_EQ(host.remembered, (std::vector<std::pair<int, std::string>>{{kFolderPresetFile, dir.string()}}));
    EXPECT_TRUE(sync.stores.empty()) << "a save queues nothing";

    // Edit, then load the file back.
    tree.GetOut(2)->SetGain(12);
    g_bParamsDirty = 1;
    host.names.clear();
    host.answers.push_back(Path("Club.QXDS.qxds"));
    ASSERT_TRUE(commands.LoadPresetFile());
    EXPECT_FALSE(host.asks.back().save);
    EXPECT_EQ(host.asks.back().folder, dir.string()) << "the folder of the last chosen file";
    EXPECT_EQ(tree.GetOut(2)->GetGain(), 321);
    EXPECT_EQ(g_bParamsDirty.load(), 0);
    EXPECT_EQ(host.names, std::vector<std::string>{"Club.QXDS"});
    EXPECT_EQ(sync.stores, (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_TRUE(sync.pushedUnderLock);
    EXPECT_EQ(host.channelRefreshes, 1);
    EXPECT_EQ(host.imageRefreshes, 1);
    EXPECT_EQ(host.selectionChecks, 1);
    EXPECT_FALSE(host.lockHeldAtRefresh) << "pages are refreshed after the lock is released";
    EXPECT_TRUE(Shown().empty());
}

TEST_F(PresetFileCommandsTest, ACancelledDialogDoesNothingAndRemembersNothing)
{
    g_bParamsDirty = 1;
    EXPECT_EQ(commands.SavePresetFile(), 0);
    EXPECT_FALSE(commands.LoadPresetFile());
    EXPECT_FALSE(commands.ChooseAllPresetsFile());
    EXPECT_FALSE(commands.LoadAllPresetsFile());
    EXPECT_FALSE(commands.SaveOutputMapFile());
    EXPECT_FALSE(commands.LoadOutputMapFile());
    EXPECT_EQ(host.asks.size(), 6u);
    EXPECT_TRUE(host.remembered.empty());
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(g_strAllPresetsPath.empty());
    EXPECT_EQ(g_bParamsDirty.load(), 1);
    EXPECT_EQ(host.Refreshes() + sync.pushes + static_cast<int>(sync.stores.size()), 0);
}

TEST_F(PresetFileCommandsTest, ARefusedFileChangesNothingAndSaysSo)
{
    // A valid pair of files to spoil.
    host.answers.push_back(Path("good.qxds"));
    ASSERT_EQ(commands.SavePresetFile(), 1);
    host.answers.push_back(Path("good.qxda"));
    ASSERT_TRUE(commands.ChooseAllPresetsFile());
    ASSERT_TRUE(commands.WriteAllPresetsFile());
    auto preset = Bytes(Path("good.qxds"));
    auto all = Bytes(Path("good.qxda"));
    ASSERT_EQ(preset.size(), kPresetFileBytes);
    ASSERT_EQ(all.size(), kAllPresetsFileBytes);

    auto badMagic = [](std::vector<std::uint8_t> b) {
        b[3] ^= 0x20;
        return b;
    };
    auto cut = [](std::vector<std::uint8_t> b) {
        b.resize(b.size() - 1);
        return b;
    };
    Write(Path("magic.qxds"), badMagic(preset));
    Write(Path("short.qxds"), cut(preset));
    Write(Path("all-magic.qxda"), badMagic(all));
    Write(Path("all-short.qxda"), cut(all));
    Write(Path("preset-as-all.qxda"), preset);
    ::mkfifo(Path("fifo.qxds").c_str(), 0600);

    const struct {
        const char *file;
        bool all;
    } cases[] = {
        {"magic.qxds", false},     {"short.qxds", false},     {"missing.qxds", false}, {"fifo.qxds", false},
        {"all-magic.qxda", true},  {"all-short.qxda", true},  {"preset-as-all.qxda", true},
        {"missing.qxda", true},
    };
    // Something in every place a load writes, different from the files.
    tree.GetOut(0)->SetGain(77);
    g_nInputSource = 2;
    g_nSelInput = 2;
    g_nInputGroup = 1;
    g_MachinePresets[3].bytes[0] = 'Q';
    const DeviceImage curBefore = g_CurImage;
    const auto presetsBefore = g_MachinePresets;
    for (const auto &c : cases) {
        boxes.Clear();
        g_bParamsDirty = 1;
        host.answers.push_back(Path(c.file));
        EXPECT_FALSE(c.all ? commands.LoadAllPresetsFile() : commands.LoadPresetFile()) << c.file;
        EXPECT_EQ(Shown(), std::vector<std::string>{c.all ? "Read all presets file error!" : "Read presets file  error!"})
            << c.file;
        ASSERT_FALSE(boxes.Shown().empty());
        EXPECT_EQ(boxes.Shown()[0].code, -3);
        EXPECT_EQ(g_bParamsDirty.load(), 1) << c.file << ": the changed mark stays";
        EXPECT_EQ(tree.GetOut(0)->GetGain(), 77) << c.file;
        EXPECT_EQ(g_CurImage.bytes, curBefore.bytes) << c.file;
        EXPECT_EQ(g_MachinePresets[3].bytes, presetsBefore[3].bytes) << c.file;
        EXPECT_EQ(g_nInputSource.load(), 2) << c.file;
        EXPECT_EQ(g_nSelInput.load(), 2) << c.file;
        EXPECT_EQ(g_nInputGroup.load(), 1) << c.file;
        EXPECT_FALSE(LinkLockHeld()) << c.file;
    }
    EXPECT_EQ(host.Refreshes(), 0);
    EXPECT_TRUE(sync.stores.empty());
    EXPECT_EQ(sync.pushes, 0);

    // In the Chinese interface the same refusal speaks Chinese with the Chinese caption.
    boxes.Clear();
    g_bChinese = 1;
    host.answers.push_back(Path("short.qxds"));
    EXPECT_FALSE(commands.LoadPresetFile());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "读场景文件错误!");
    EXPECT_EQ(boxes.Shown()[0].code, -2);
}

TEST_F(PresetFileCommandsTest, AFailedSaveShowsTheErrorAndKeepsTheOldFileTheNameAndTheMark)
{
    host.answers.push_back(Path("keep.qxds"));
    ASSERT_EQ(commands.SavePresetFile(), 1);
    const auto old = Bytes(Path("keep.qxds"));
    host.names.clear();
    fs::create_directories(Path("taken.qxds"));  // a folder stands where the file would go

    tree.GetOut(1)->SetGain(5);
    const bool readOnlyHolds = [&] {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
        const bool holds = ::access(dir.c_str(), W_OK) != 0;  // not for a superuser
        return holds;
    }();
    std::vector<std::string> targets = {Path("taken.qxds"), Path("no/such/folder/x.qxds")};
    if (readOnlyHolds)
        targets.push_back(Path("keep.qxds"));
    for (const auto &target : targets) {
        boxes.Clear();
        g_bParamsDirty = 1;
        host.answers.push_back(target);
        EXPECT_EQ(commands.SavePresetFile(), -1) << target;
        EXPECT_EQ(Shown(), std::vector<std::string>{"Save presets file error!"}) << target;
        EXPECT_EQ(g_bParamsDirty.load(), 1) << target;
    }
    EXPECT_TRUE(host.names.empty()) << "the preset keeps its name";
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);
    EXPECT_EQ(Bytes(Path("keep.qxds")), old) << "the old file is untouched";
    if (!readOnlyHolds)
        GTEST_LOG_(INFO) << "running as a superuser: the read-only folder case was not checked";

    // The all-presets and map saves report their own errors.
    boxes.Clear();
    g_strAllPresetsPath = Path("taken.qxds");
    EXPECT_FALSE(commands.WriteAllPresetsFile());
    host.answers.push_back(Path("no/such/folder/m"));
    EXPECT_FALSE(commands.SaveOutputMapFile());
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Save all presets file error!", "Save output map error!"}));
}

TEST_F(PresetFileCommandsTest, AllPresetsRoundTripByteForByteAndTheLoadPushesAndShowsTheName)
{
    // Presets as a device holds them: every value within range.
    tree.FillImage();
    for (int p = 0; p < kMachinePresetCount; ++p) {
        g_MachinePresets[p] = g_CurImage;
        g_MachinePresets[p].bytes[0] = static_cast<std::uint8_t>('A' + p);
    }
    std::memcpy(g_CurImage.bytes.data(), "Night\0", 6);
    g_nInputGroupByte = 1;
    g_nInputSource = 3;
    host.answers.push_back(Path("all"));
    ASSERT_TRUE(commands.ChooseAllPresetsFile());
    EXPECT_EQ(g_strAllPresetsPath.Get(), Path("all.qxda"));
    EXPECT_EQ(host.asks.back().filter, ".qxda|*.qxda||");
    ASSERT_TRUE(commands.WriteAllPresetsFile());
    const auto first = Bytes(Path("all.qxda"));

    // Everything changes, then the file comes back.
    ResetDeviceImageGlobals();
    g_nSelInput = 0;
    g_nInputGroup = 0;
    g_bParamsDirty = 1;
    host.answers.push_back(Path("all.qxda"));
    ASSERT_TRUE(commands.LoadAllPresetsFile());
    EXPECT_EQ(g_MachinePresets[5].bytes[0], 'F');
    EXPECT_EQ(g_nSelInput.load(), 3);
    EXPECT_EQ(g_nInputGroup.load(), 1);
    EXPECT_EQ(g_bParamsDirty.load(), 0);
    EXPECT_EQ(sync.pushes, 1);
    EXPECT_TRUE(sync.pushedUnderLock);
    EXPECT_EQ(sync.restores, (std::vector<int>{1, 0}));
    EXPECT_EQ(host.loadedNames, 1);
    EXPECT_EQ(host.imageRefreshes, 1);
    EXPECT_FALSE(host.lockHeldAtRefresh);

    g_strAllPresetsPath = Path("again.qxda");
    ASSERT_TRUE(commands.WriteAllPresetsFile());
    const auto again = Bytes(Path("again.qxda"));
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        ASSERT_EQ(again[i], first[i]) << "first difference at byte " << i;
}

TEST_F(PresetFileCommandsTest, EachKindKeepsItsOwnFolderAndMapFilesRoundTrip)
{
    fs::create_directories(dir / "maps");
    host.answers.push_back((dir / "maps" / "front").string());
    ASSERT_TRUE(commands.SaveOutputMapFile());
    EXPECT_TRUE(fs::exists(dir / "maps" / "front.lygc"));
    EXPECT_EQ(host.asks.back().ext, "lygc");
    EXPECT_EQ(host.folders[kFolderOutputMap], (dir / "maps").string());
    EXPECT_TRUE(host.folders[kFolderPresetFile].empty());
    EXPECT_TRUE(host.folders[kFolderAllPresets].empty());

    g_SpeakerTypes[4] = 9;
    host.answers.push_back((dir / "maps" / "front.lygc").string());
    ASSERT_TRUE(commands.LoadOutputMapFile());
    EXPECT_EQ(g_SpeakerTypes[4].load(), kDefaultSpeakerType);
    EXPECT_EQ(host.Refreshes(), 0) << "a map load refreshes nothing";
    EXPECT_EQ(sync.pushes, 0);

    Write(dir / "maps" / "bad.lygc", {1, 2, 3});
    host.answers.push_back((dir / "maps" / "bad.lygc").string());
    EXPECT_FALSE(commands.LoadOutputMapFile());
    EXPECT_EQ(Shown(), std::vector<std::string>{"Read output map error!"});
}

TEST_F(PresetFileCommandsTest, WritingWithoutAChosenFileWritesNothing)
{
    g_strAllPresetsPath = std::string();
    EXPECT_FALSE(commands.WriteAllPresetsFile());
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(fs::is_empty(dir));
}
