#include "platform/RegularFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path ScratchDir()
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    fs::path dir = fs::path(out ? out : fs::temp_directory_path().string()) / "regular-file" /
                   std::to_string(::getpid());
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteText(const fs::path &p, const std::string &text)
{
    std::ofstream(p, std::ios::binary) << text;
}

}  // namespace

TEST(RegularFile, ReadsRegularFilesWithinTheLimitAndRefusesEverythingElse)
{
    const fs::path dir = ScratchDir();
    WriteText(dir / "ten", "0123456789");
    WriteText(dir / "empty", "");
    fs::create_symlink(dir / "ten", dir / "link");
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder");

    struct Case {
        fs::path path;
        std::size_t limit;
        FileReadStatus status;
        std::string text;
    };
    const Case cases[] = {
        {dir / "ten", 10, FileReadStatus::Ok, "0123456789"},  // exactly at the limit
        {dir / "ten", 9, FileReadStatus::TooLarge, ""},
        {dir / "empty", 0, FileReadStatus::Ok, ""},
        {dir / "link", 100, FileReadStatus::Ok, "0123456789"},  // users may symlink their files
        {dir / "missing", 100, FileReadStatus::Missing, ""},
        {dir / "dangling", 100, FileReadStatus::Missing, ""},
        {dir / "ten" / "below", 100, FileReadStatus::Missing, ""},
        {dir / "fifo", 100, FileReadStatus::NotRegular, ""},  // returns at once, no writer needed
        {dir / "folder", 100, FileReadStatus::NotRegular, ""},
        {"/dev/zero", 100, FileReadStatus::NotRegular, ""},
    };
    for (const Case &c : cases) {
        std::string text = "untouched";
        const FileReadStatus status = ReadRegularFile(c.path.string(), c.limit, text);
        EXPECT_EQ(status, c.status) << c.path;
        EXPECT_EQ(text, status == FileReadStatus::Ok ? c.text : "untouched") << c.path;
    }

    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(ReadRegularFile((dir / "ten").string(), 100, bytes), FileReadStatus::Ok);
    EXPECT_EQ(bytes.size(), 10u);
    EXPECT_EQ(bytes.front(), '0');
}

TEST(RegularFile, UnreadableFileIsAFailureNotAMissingOne)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const fs::path dir = ScratchDir();
    WriteText(dir / "secret", "x");
    ::chmod((dir / "secret").c_str(), 0);
    std::string text;
    EXPECT_EQ(ReadRegularFile((dir / "secret").string(), 100, text), FileReadStatus::Failed);
}
