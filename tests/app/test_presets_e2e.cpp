// The preset commands as a user runs them, against the simulated device over loopback TCP: files
// saved and loaded back reach the device, a machine preset is stored under a new name, recalled
// and deleted, and the all-presets file written from the device's presets loads and comes back
// byte for byte.
#include "tests/app/LinkE2EKit.h"

#include "app/MachinePresets.h"
#include "app/PresetFileCommands.h"
#include "model/KTV_OutData.h"
#include "model/PresetFiles.h"

#include <deque>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// The file dialog answers from a list; the view's displays only count.
struct ScriptedFileHost : IPresetFileHost {
    std::deque<std::string> answers;
    std::vector<std::string> names;
    int refreshes = 0;
    std::string LoadFileFolder(int) override { return {}; }
    void SaveFileFolder(int, const std::string &) override {}
    std::optional<std::string> ChooseFile(bool, const std::string &, const std::string &, const std::string &) override
    {
        if (answers.empty())
            return std::nullopt;
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    void RefreshChannelAssignments() override { ++refreshes; }
    void SetPresetNameFromText(const std::string &text) override
    {
        // What the view does with the name: into the current image, to be sent.
        std::lock_guard lock(g_csImage);
        std::fill(g_CurImage.bytes.begin(), g_CurImage.bytes.begin() + DeviceImage::kNameSize, 0);
        std::copy(text.begin(), text.end(), g_CurImage.bytes.begin());
        names.push_back(text);
    }
    void RefreshFromImage() override { ++refreshes; }
    void CheckChannelSelection() override {}
    void ShowLoadedPresetName() override { ++refreshes; }
};

// The low byte of the bandwidth index of output n's first band in an image.
constexpr std::size_t BandwidthByte(int n)
{
    return DeviceImage::kOutOffset + DeviceImage::kOutSize * static_cast<std::size_t>(n) + 4;
}

std::vector<std::uint8_t> Bytes(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class PresetsE2E : public LinkE2E {
protected:
    fs::path dir;
    ScriptedFileHost files;
    std::unique_ptr<CPresetFileCommands> commands;
    std::unique_ptr<CMachinePresetActions> actions;
    int namesShown = 0;

    void SetUp() override
    {
        LinkE2E::SetUp();
        const char *out = std::getenv("ZK_TEST_OUTPUT");
        dir = fs::path(out ? out : "/tmp") / ("presets-e2e-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        commands = std::make_unique<CPresetFileCommands>(*doc, *sync, boxes, files);
        actions = std::make_unique<CMachinePresetActions>(*sync, *ctrl, boxes, [this] { ++namesShown; });
        // The view's part of "save all presets": the file dialog before the reads, the file after.
        host->choose = [this] { return commands->ChooseAllPresetsFile(); };
        otherMessage = [this](unsigned msg) {
            if (msg == WM_DEV_ALLPRESETS_RECEIVED) {
                g_bTransferring = 0;
                commands->WriteAllPresetsFile();
            }
        };
    }
    void TearDown() override
    {
        LinkE2E::TearDown();
        fs::remove_all(dir);
    }
    std::string Path(const std::string &name) const { return (dir / name).string(); }
    // The output blocks of a device image as the program's image holds them.
    static bool SameOutputs(const zksim::Image &device, const DeviceImage &program)
    {
        return std::equal(device.begin() + DeviceImage::kOutOffset, device.end(),
                          program.bytes.begin() + DeviceImage::kOutOffset);
    }
    // A user's edit of an output's gain, waited for until the device has it (and the rename to
    // "Custom" that follows the first edit has gone out).
    void EditGain(int output, int gain)
    {
        const int before = CountRequests(CMD_WRITE, OBJ_OUTPUT, output);
        doc->GetOut(output)->SetGain(gain);
        ASSERT_TRUE(PumpUntil([&] { return Idle() && CountRequests(CMD_WRITE, OBJ_OUTPUT, output) > before; }));
        ASSERT_TRUE(PumpUntil([&] { return Idle() && !g_bNamePending.load(); }));
    }
    // Runs "save all presets" into `name` and waits for the file.
    bool SaveAllPresets(const std::string &name)
    {
        files.answers.push_back(Path(name));
        if (!sync->RequestAllPresets())
            return false;
        return PumpUntil([&] { return fs::exists(Path(name + ".qxda")) && Idle(); });
    }
};

}  // namespace

TEST_F(PresetsE2E, APresetSavedToAFileAndLoadedBackReachesTheDevice)
{
    ASSERT_TRUE(ConnectOverTcp());
    EditGain(4, 432);
    files.answers.push_back(Path("Stage"));
    ASSERT_EQ(commands->SavePresetFile(), 1);
    const auto saved = Bytes(Path("Stage.qxds"));
    ASSERT_EQ(saved.size(), kPresetFileBytes);

    // The user goes on editing; then loads the file back.
    EditGain(4, 100);
    dev.ClearRequests();
    files.answers.push_back(Path("Stage.qxds"));
    ASSERT_TRUE(commands->LoadPresetFile());
    EXPECT_EQ(doc->GetOut(4)->GetGain(), 432);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    // The device received the eight output blocks and the file's title as the current name.
    EXPECT_EQ(CountRequests(CMD_WRITE, OBJ_OUTPUT, 7), 1);
    EXPECT_TRUE(SameOutputs(dev.CurrentImage(), g_CurImage));
    EXPECT_TRUE(std::equal(saved.end() - DeviceImage::kOutCount * DeviceImage::kOutSize, saved.end(),
                           dev.CurrentImage().begin() + DeviceImage::kOutOffset))
        << "the device holds the file's outputs";
    const zksim::Image current = dev.CurrentImage();
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(current.data())), "Stage");

    // A file cut short is refused: the device gets nothing and the records stay.
    std::vector<std::uint8_t> cut(saved.begin(), saved.end() - 1);
    std::ofstream(Path("cut.qxds"), std::ios::binary).write(reinterpret_cast<const char *>(cut.data()), cut.size());
    EditGain(4, 200);
    dev.ClearRequests();
    files.answers.push_back(Path("cut.qxds"));
    EXPECT_FALSE(commands->LoadPresetFile());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Read presets file  error!");
    EXPECT_EQ(doc->GetOut(4)->GetGain(), 200);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(CountRequests(CMD_WRITE, OBJ_OUTPUT, 7), 0);
}

TEST_F(PresetsE2E, AMachinePresetIsStoredUnderANewNameRecalledAndDeleted)
{
    ASSERT_TRUE(ConnectOverTcp());
    EditGain(1, 345);
    ASSERT_EQ(actions->SaveAs(3, "Road Trip"), CMachinePresetActions::SaveResult::Stored);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    const zksim::Image stored = dev.PresetImage(3);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(stored.data())), "Road Trip");
    EXPECT_TRUE(SameOutputs(stored, g_CurImage));
    EXPECT_EQ(dev.CurrentPreset(), 3);
    EXPECT_EQ(namesShown, 1);

    // Another preset is recalled, then preset 3 again: its outputs come back.
    ASSERT_TRUE(actions->Load(1));
    ASSERT_TRUE(PumpUntil([&] { return Idle() && g_bDeviceOnline.load(); }));
    EXPECT_EQ(dev.CurrentPreset(), 1);
    ASSERT_TRUE(actions->Load(3));
    // The deletion below reads which preset is active: wait until the device has told it.
    ASSERT_TRUE(PumpUntil([&] { return Idle() && g_bDeviceOnline.load() && g_nCurPreset.load() == 3; }));
    EXPECT_EQ(dev.CurrentPreset(), 3);
    EXPECT_EQ(doc->GetOut(1)->GetGain(), 345);
    EXPECT_EQ(CMachinePresetActions::PresetName(3), "Road Trip");

    // Deleting the active preset empties its name on the device and leaves none active.
    boxes.PushAnswer(IDYES);
    ASSERT_TRUE(actions->Delete(3));
    ASSERT_TRUE(PumpUntil([&] { return Idle() && dev.CurrentPreset() == 0; }));
    EXPECT_EQ(dev.PresetImage(3)[0], 0);
    EXPECT_EQ(CMachinePresetActions::PresetName(3), "");
}

TEST_F(PresetsE2E, AllPresetsSavedFromTheDeviceLoadBackAndSaveAgainByteForByte)
{
    // Presets the device holds: every value within range, each with a name and outputs of its own.
    doc->FillImage();
    zksim::Image valid;
    std::copy(g_CurImage.bytes.begin(), g_CurImage.bytes.end(), valid.begin());
    dev.SetCurrentImage(valid);
    // The input the device reports in its status is the one its input block names, so the
    // program's input does not follow the status reply between the saves.
    std::array<std::uint8_t, 15> status{};
    status[14] = dev.SysBlock(2)[0];
    dev.SetStatus(status);
    for (int p = 1; p <= 6; ++p) {
        zksim::Image img = valid;
        const std::string name = "Set " + std::to_string(p);
        std::fill(img.begin(), img.begin() + 16, 0);
        std::copy(name.begin(), name.end(), img.begin());
        // Output p's first band: a bandwidth of its own.
        img[BandwidthByte(p)] = static_cast<std::uint8_t>(10 * p);
        img[BandwidthByte(p) + 1] = 0;
        dev.SetPresetImage(p, img);
    }
    ASSERT_TRUE(ConnectOverTcp());
    // The simulator's input block starts with a noise-gate time of 0 s, below the range a file
    // keeps: the device is given one within it.
    g_nNoiseParamSec = 3;
    sync->QueueDeviceCommand(SYS_INPUT, 0);
    ASSERT_TRUE(SaveAllPresets("first"));
    const auto first = Bytes(Path("first.qxda"));
    ASSERT_EQ(first.size(), kAllPresetsFileBytes);
    EXPECT_EQ(CMachinePresetActions::PresetName(4), "Set 4");

    // Cancelling the dialog asks the device for nothing.
    dev.ClearRequests();
    EXPECT_EQ(sync->RequestAllPresets(), 0);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    EXPECT_EQ(CountRequests(CMD_READ, OBJ_OUTPUT, 7), 0);

    // Everything the device holds changes; the file puts it back.
    for (int p = 1; p <= 6; ++p)
        dev.SetPresetImage(p, valid);
    files.answers.push_back(Path("first.qxda"));
    ASSERT_TRUE(commands->LoadAllPresetsFile());
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    for (int p = 1; p <= 6; ++p)
        EXPECT_EQ(dev.PresetImage(p)[BandwidthByte(p)], 10 * p) << p;

    ASSERT_TRUE(SaveAllPresets("second"));
    const auto second = Bytes(Path("second.qxda"));
    ASSERT_EQ(second.size(), first.size());
    const auto diff = std::mismatch(first.begin(), first.end(), second.begin());
    EXPECT_EQ(diff.first, first.end()) << "first difference at byte " << (diff.first - first.begin());
}
