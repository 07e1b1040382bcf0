#include "app/VRX530Doc.h"

#include "model/InitGlobalData.h"
#include "platform/GlobalData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <sys/stat.h>

namespace {

std::filesystem::path ScratchDir()
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    auto dir = std::filesystem::path(out ? out : std::filesystem::temp_directory_path().string()) / "vrx530_doc";
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(VRX530Doc, SavesAndLoadsEveryFileKindThroughTheTree)
{
    InitGlobalData();
    CVRX530Doc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetTitle(), "");
    EXPECT_EQ(doc.GetKTVData(), &doc.GetData());

    const auto dir = ScratchDir();
    struct Case { CVRX530Doc::FileKind kind; const char *file; std::uintmax_t size; };
    const Case cases[] = {
        {CVRX530Doc::FileKind::Preset, "a.qxds", 4409},
        {CVRX530Doc::FileKind::AllPresets, "a.qxda", 30787},
        {CVRX530Doc::FileKind::OutputMap, "a.lygc", 84},
        {CVRX530Doc::FileKind::Mode, "a.mode", 27},
    };
    doc.GetData().GetOut(1)->SetDelay(480);
    for (const auto &c : cases) {
        const auto path = (dir / c.file).string();
        ASSERT_TRUE(doc.SaveFile(c.kind, path)) << c.file;
        EXPECT_EQ(std::filesystem::file_size(path), c.size) << c.file;
    }

    doc.GetData().GetOut(1)->SetDelay(0);
    ASSERT_TRUE(doc.LoadFile(CVRX530Doc::FileKind::Preset, (dir / "a.qxds").string()));
    EXPECT_EQ(doc.GetData().GetOut(1)->GetDelay(), 480);
    for (const auto &c : cases)
        EXPECT_TRUE(doc.LoadFile(c.kind, (dir / c.file).string())) << c.file;
}

TEST(VRX530Doc, ShortOrMissingFilesAreRefusedAndChangeNothing)
{
    InitGlobalData();
    CVRX530Doc doc;
    const auto dir = ScratchDir();
    const auto good = (dir / "good.qxds").string();
    doc.GetData().GetOut(0)->SetGain(100);
    ASSERT_TRUE(doc.SaveFile(CVRX530Doc::FileKind::Preset, good));

    // The same file cut after 1,000 bytes.
    const auto cut = (dir / "cut.qxds").string();
    {
        std::ifstream in(good, std::ios::binary);
        std::vector<char> bytes(1000);
        in.read(bytes.data(), bytes.size());
        std::ofstream(cut, std::ios::binary).write(bytes.data(), bytes.size());
    }
    doc.GetData().GetOut(0)->SetGain(555);
    std::vector<std::uint8_t> before;
    {
        std::lock_guard lock(g_csImage);
        before.assign(g_CurImage.bytes.begin(), g_CurImage.bytes.end());
    }
    EXPECT_FALSE(doc.LoadFile(CVRX530Doc::FileKind::Preset, cut));
    EXPECT_FALSE(doc.LoadFile(CVRX530Doc::FileKind::Preset, (dir / "none.qxds").string()));
    // An all-presets load of a one-preset file is a wrong magic.
    EXPECT_FALSE(doc.LoadFile(CVRX530Doc::FileKind::AllPresets, good));
    // A FIFO is refused at once, never waited on; so is a file far larger than any preset file.
    const auto fifo = dir / "fifo.qxds";
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(doc.LoadFile(CVRX530Doc::FileKind::Preset, fifo.string()));
    const auto huge = (dir / "huge.qxds").string();
    std::filesystem::copy_file(good, huge, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(huge, kPresetFileReadLimit + 1);
    EXPECT_FALSE(doc.LoadFile(CVRX530Doc::FileKind::Preset, huge));
    EXPECT_EQ(doc.GetData().GetOut(0)->GetGain(), 555);
    {
        std::lock_guard lock(g_csImage);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), g_CurImage.bytes.begin()));
    }
    // A save into a folder that does not exist fails and leaves nothing behind.
    EXPECT_FALSE(doc.SaveFile(CVRX530Doc::FileKind::Preset, (dir / "missing" / "x.qxds").string()));
    // The link lock is free again after every refusal (asked from another thread, since it is
    // re-entrant).
    const bool free = std::async(std::launch::async, [] {
                          if (!g_csLink.try_lock())
                              return false;
                          g_csLink.unlock();
                          return true;
                      }).get();
    EXPECT_TRUE(free);
}

}  // namespace
