#include "platform/GlobalData.h"
#include "platform/Settings.h"
#include "tests/support/TestDoubles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path ScratchDir(const std::string &name)
{
    const char *out = std::getenv("ZK_TEST_OUTPUT");
    fs::path dir = fs::path(out ? out : fs::temp_directory_path().string()) / "settings" /
                   (name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string Slurp(const fs::path &p)
{
    std::ifstream in(p);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteText(const fs::path &p, const std::string &text)
{
    std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

TEST(IniText, ValuesSurviveEscapingAndUnescaping)
{
    const std::vector<std::string> values = {
        "",
        "198.51.100.254",
        "C:/presets/all.qxda",
        "a,b;c=d",
        "  padded  ",
        "quote \" and back\\slash",
        "line\nbreak\ttab",
        "@starts with at",
        "@needs, quotes",    // the doubled '@' sits inside the quotes
        "@",
        "@@two",
        "ends in a backslash\\",
        "\\",
        "中文路径/设置",
        std::string("ctl\x01" "A", 5),
    };
    for (const auto &v : values) {
        ini::Document doc{{"Group", {{"Key", ini::EscapeValue(v)}}}};
        auto parsed = ini::Parse(ini::Serialize(doc));
        ASSERT_EQ(parsed.size(), 1u) << v;
        ASSERT_EQ(parsed[0].entries.size(), 1u) << v;
        EXPECT_EQ(ini::UnescapeValue(parsed[0].entries[0].value), v);
    }
}

TEST(IniText, ReadsTheFormsOtherWritersUse)
{
    const char *text = "; comment\n"
                       "[General]\n"
                       "top = plain value  \n"
                       "\n"
                       "[Network]\r\n"
                       "Address=\"198.51.100.7\"\r\n"
                       "Port=8899 ; trailing comment\n"
                       "[DspMcu]\n"
                       "Path=/home/u/firm\\\n"
                       "ware\n"
                       "Name=\\x4e2d\n"
                       "Port=1\n"
                       "Port=2\n"
                       "[My%20Group]\n"
                       "a\\b=slash key\n";
    auto doc = ini::Parse(text);
    ASSERT_EQ(doc.size(), 4u);
    EXPECT_EQ(ini::UnescapeValue(doc[0].entries[0].value), "plain value");
    EXPECT_EQ(ini::UnescapeValue(doc[1].entries[0].value), "198.51.100.7");
    EXPECT_EQ(ini::UnescapeValue(doc[1].entries[1].value), "8899");
    EXPECT_EQ(ini::UnescapeValue(doc[2].entries[0].value), "/home/u/firmware");
    EXPECT_EQ(ini::UnescapeValue(doc[2].entries[1].value), "中");
    EXPECT_EQ(ini::UnescapeValue(doc[2].entries[2].value), "2");  // the last repeated key wins
    EXPECT_EQ(doc[3].name, "My Group");
    EXPECT_EQ(doc[3].entries[0].key, "a/b");
}

TEST(SettingsPath, FollowsXdgConfigHomeElseHome)
{
    const char *oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg/", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/tmp/cfg/ZK-470/QX-ZK-470-GV1.00_GB2312.conf");
    ::unsetenv("XDG_CONFIG_HOME");
    const char *home = std::getenv("HOME");
    if (home && *home) {
        EXPECT_EQ(DefaultSettingsPath(), std::string(home) + "/.config/ZK-470/QX-ZK-470-GV1.00_GB2312.conf");
    }
    if (oldXdg)
        ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
}

TEST(FileSettings, WritesReadsAndRemovesInItsGroup)
{
    auto dir = ScratchDir("basic");
    const auto path = (dir / "sub" / "app.conf").string();
    CFileSettings settings(path);

    EXPECT_FALSE(settings.Read("Network", "Address"));  // no file yet
    ASSERT_TRUE(settings.Write("Network", "Address", "127.0.0.1"));
    ASSERT_TRUE(settings.WriteInt("Network", "Port", 4321));
    ASSERT_TRUE(settings.Write("PC_File", "AllFile_Path", "/data/a, b"));
    EXPECT_EQ(settings.ReadString("Network", "Address"), "127.0.0.1");
    EXPECT_EQ(settings.ReadInt("Network", "Port", 0), 4321);
    EXPECT_EQ(settings.ReadString("PC_File", "AllFile_Path"), "/data/a, b");
    EXPECT_FALSE(settings.Read("PC_File", "Address"));

    const std::string text = Slurp(path);
    EXPECT_NE(text.find("[Network]\nAddress=127.0.0.1\nPort=4321\n"), std::string::npos) << text;

    ASSERT_TRUE(settings.Remove("Network", "Port"));
    EXPECT_FALSE(settings.Read("Network", "Port"));
    EXPECT_EQ(settings.ReadString("Network", "Address"), "127.0.0.1");
    EXPECT_TRUE(settings.Remove("Nothing", "Here"));

    // No temporary file is left next to the settings.
    for (const auto &entry : fs::directory_iterator(dir / "sub"))
        EXPECT_TRUE(entry.path().filename() == "app.conf" || entry.path().filename() == "app.conf.flock")
            << entry.path();
}

TEST(FileSettings, ARewriteKeepsAHandEditedValueEndingInABackslash)
{
    // A hand edit leaves a value ending in a lone backslash on the file's last line. Writing
    // another value puts a line after it; neither value may take the other in.
    const struct {
        const char *name;
        const char *group;
        const char *key;
    } writes[] = {
        {"a new key of the same group", "PC_File", "Map_Path"},
        {"a key of a new group", "DspMcu", "Language"},
        {"a key of the group before", "Network", "Port"},
    };
    auto dir = ScratchDir("backslash");
    for (const auto &w : writes) {
        SCOPED_TRACE(w.name);
        const auto path = (dir / "app.conf").string();
        {
            std::ofstream out(path, std::ios::trunc);
            out << "[Network]\nAddress=127.0.0.1\n\n[PC_File]\nAllFile_Path=/home/u/presets\\\n";
        }
        CFileSettings settings(path);
        ASSERT_EQ(settings.ReadString("PC_File", "AllFile_Path"), "/home/u/presets\\");
        ASSERT_TRUE(settings.Write(w.group, w.key, "/m"));
        EXPECT_EQ(settings.ReadString(w.group, w.key), "/m");
        EXPECT_EQ(settings.ReadString("PC_File", "AllFile_Path"), "/home/u/presets\\");
        EXPECT_EQ(settings.ReadString("Network", "Address"), "127.0.0.1");
        ASSERT_TRUE(settings.Remove(w.group, w.key));
        EXPECT_EQ(settings.ReadString("PC_File", "AllFile_Path"), "/home/u/presets\\") << "and after a removal";
    }
}

TEST(FileSettings, ReadIntRefusesWhatIsNotAWholeNumber)
{
    CMemorySettings settings;
    for (const char *bad : {"", "12x", "x", "99999999999", "1.5"}) {
        settings.Write("G", "K", bad);
        EXPECT_EQ(settings.ReadInt("G", "K", -7), -7) << bad;
    }
    settings.Write("G", "K", " 42 ");
    EXPECT_EQ(settings.ReadInt("G", "K", -7), 42);
}

TEST(FileSettings, TwoInstancesWritingAtOnceKeepEachOthersValues)
{
    auto dir = ScratchDir("concurrent");
    const auto path = (dir / "shared.conf").string();
    constexpr int kWrites = 40;

    // A second process writes its own keys while this one writes others.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CFileSettings other(path);
        bool ok = true;
        for (int i = 0; i < kWrites; ++i)
            ok = other.WriteInt("Child", "k" + std::to_string(i), i) && ok;
        ::_exit(ok ? 0 : 1);
    }
    CFileSettings mine(path);
    std::thread second([&] {
        CFileSettings again(path);
        for (int i = 0; i < kWrites; ++i)
            again.WriteInt("Thread", "k" + std::to_string(i), i);
    });
    for (int i = 0; i < kWrites; ++i)
        EXPECT_TRUE(mine.WriteInt("Parent", "k" + std::to_string(i), i));
    second.join();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    for (const char *group : {"Child", "Parent", "Thread"})
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(mine.ReadInt(group, "k" + std::to_string(i), -1), i) << group << i;
}

TEST(FileSettings, AnUnreadableFileIsNotReplaced)
{
    auto dir = ScratchDir("unreadable");
    // Something that cannot be read as a file stands where the settings should be.
    fs::create_directories(dir / "busy.conf" / "inside");
    CFileSettings busy((dir / "busy.conf").string());
    EXPECT_FALSE(busy.Write("Network", "Port", "1"));
    EXPECT_TRUE(fs::is_directory(dir / "busy.conf" / "inside"));

    // A FIFO is neither waited on nor replaced; nor is a file far larger than any settings file.
    ASSERT_EQ(::mkfifo((dir / "fifo.conf").c_str(), 0600), 0);
    CFileSettings fifo((dir / "fifo.conf").string());
    EXPECT_EQ(fifo.Read("Network", "Port"), std::nullopt);
    EXPECT_FALSE(fifo.Write("Network", "Port", "1"));
    EXPECT_TRUE(fs::is_fifo(dir / "fifo.conf"));
    {
        std::ofstream out(dir / "huge.conf");
        out << "[Keep]\nValue=precious\n" << std::string(2u << 20, ';') << "\n";
    }
    const auto hugeSize = fs::file_size(dir / "huge.conf");
    CFileSettings huge((dir / "huge.conf").string());
    EXPECT_EQ(huge.Read("Keep", "Value"), std::nullopt);
    EXPECT_FALSE(huge.Write("Network", "Port", "1"));
    EXPECT_EQ(fs::file_size(dir / "huge.conf"), hugeSize);

    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const auto path = dir / "locked.conf";
    {
        std::ofstream out(path);
        out << "[Keep]\nValue=precious\n";
    }
    ::chmod(path.c_str(), 0);
    CFileSettings settings(path.string());
    EXPECT_FALSE(settings.Write("Network", "Port", "1"));
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(settings.ReadString("Keep", "Value"), "precious");
}

TEST(NetworkSettings, AreReadAtStartWithTheirDefaults)
{
    struct Case {
        const char *address;  // nullptr: absent
        const char *port;
        std::string wantAddress;
        int wantPort;
    };
    const Case cases[] = {
        {nullptr, nullptr, g_strDefaultWifiIp, 8899},
        {"127.0.0.1", "40123", "127.0.0.1", 40123},
        {"  ", "0", g_strDefaultWifiIp, 8899},
        {"198.51.100.9", "70000", "198.51.100.9", 8899},
        {"198.51.100.9", "port", "198.51.100.9", 8899},
    };
    for (const auto &c : cases) {
        CMemorySettings settings;
        if (c.address)
            settings.Write("Network", "Address", c.address);
        if (c.port)
            settings.Write("Network", "Port", c.port);
        LoadNetworkSettings(settings);
        EXPECT_EQ(g_strWifiIp.Get(), c.wantAddress);
        EXPECT_EQ(g_nWifiPort.load(), c.wantPort);
    }
    g_strWifiIp.Set(g_strDefaultWifiIp);
    g_nWifiPort.store(kDefaultWifiPort);
}

TEST(AppSettings, UsesTheInstalledStore)
{
    CMemorySettings memory;
    {
        ScopedAppSettings scope(memory);
        EXPECT_TRUE(AppSettings().Write("Lang", "Language", "English"));
    }
    EXPECT_EQ(memory.ReadString("Lang", "Language"), "English");
    EXPECT_NE(&AppSettings(), &memory);
}

TEST(SettingsStores, ListAndDropWholeGroups)
{
    auto dir = ScratchDir("groups");
    CFileSettings file((dir / "groups.conf").string());
    CMemorySettings memory;
    for (ISettings *settings : std::initializer_list<ISettings *>{&file, &memory}) {
        EXPECT_TRUE(settings->Keys("USB").empty());
        EXPECT_TRUE(settings->RemoveGroup("USB"));
        settings->Write("USB", "/dev/hidraw3", "1");
        settings->Write("USB", "/dev/hidraw7", "0");
        settings->Write("Network", "Port", "8899");
        EXPECT_EQ(settings->Keys("USB"), (std::vector<std::string>{"/dev/hidraw3", "/dev/hidraw7"}));
        EXPECT_TRUE(settings->RemoveGroup("USB"));
        EXPECT_TRUE(settings->Keys("USB").empty());
        EXPECT_FALSE(settings->Read("USB", "/dev/hidraw3"));
        EXPECT_EQ(settings->ReadInt("Network", "Port", 0), 8899);
    }
}

TEST(FileSettings, HandEditedLineEndsAndAByteOrderMarkReadAsTheLfFile)
{
    // The lines of a settings file as a hand edit leaves them: a comment, a value continued on
    // the next line, a blank line.
    const std::vector<std::string> lines = {
        "[Network]", "Address=127.0.0.1", "Port=40123", "; kept by hand", "",
        "[DspMcu]",  "Path=/home/u/firm\\", "ware",    "Language=English",
    };
    const struct {
        const char *name;
        const char *bom;
        std::vector<const char *> ends;  // used in turn, line after line
    } cases[] = {
        {"LF", "", {"\n"}},
        {"a byte-order mark", "\xEF\xBB\xBF", {"\n"}},
        {"CR LF", "", {"\r\n"}},
        {"CR only", "", {"\r"}},
        {"mixed, with a byte-order mark", "\xEF\xBB\xBF", {"\r", "\r\n", "\n", "\r\n"}},
    };
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Network/Address", "127.0.0.1"},
        {"Network/Port", "40123"},
        {"DspMcu/Path", "/home/u/firmware"},
        {"DspMcu/Language", "English"},
    };
    const auto check = [&](const CFileSettings &settings, const std::string &language) {
        for (const auto &[name, value] : expected) {
            const auto slash = name.find('/');
            EXPECT_EQ(settings.ReadString(name.substr(0, slash), name.substr(slash + 1), "(absent)"),
                      name == "DspMcu/Language" ? language : value)
                << name;
        }
        EXPECT_EQ(settings.Keys("Network"), (std::vector<std::string>{"Address", "Port"}));
    };
    auto dir = ScratchDir("line-ends");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.bom;
        for (std::size_t i = 0; i < lines.size(); ++i)
            text += lines[i] + c.ends[i % c.ends.size()];
        const auto path = dir / "app.conf";
        WriteText(path, text);
        CFileSettings settings(path.string());
        check(settings, "English");

        // Rewriting one value keeps every other one; the program writes LF lines without a mark.
        ASSERT_TRUE(settings.Write("DspMcu", "Language", "Chinese"));
        check(CFileSettings(path.string()), "Chinese");
        const std::string written = Slurp(path);
        EXPECT_EQ(written.find_first_of("\r\xEF"), std::string::npos) << written;
    }
}

TEST(FileSettings, ALinkedFileIsWrittenThroughIntoItsTarget)
{
    auto dir = ScratchDir("links");
    fs::create_directories(dir / "dotfiles" / "zk");
    fs::create_directories(dir / "config" / "ZK-470");
    fs::create_directories(dir / "elsewhere");
    const fs::path settingsPath = dir / "config" / "ZK-470" / "app.conf";
    const fs::path target = dir / "dotfiles" / "zk" / "app.conf";
    const struct {
        const char *name;
        std::vector<std::pair<fs::path, fs::path>> links;  // link -> what it names, as stored
        bool targetExists;
    } cases[] = {
        {"one relative link", {{settingsPath, "../../dotfiles/zk/app.conf"}}, true},
        {"a chain of two", {{settingsPath, dir / "elsewhere" / "hop.conf"}, {dir / "elsewhere" / "hop.conf", target}},
         true},
        {"a link to a file not made yet", {{settingsPath, target}}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto &[link, to] : c.links) {
            fs::remove(link);
            fs::create_symlink(to, link);
        }
        fs::remove(target);
        if (c.targetExists)
            WriteText(target, "[Network]\nAddress=127.0.0.1\n");

        CFileSettings settings(settingsPath.string());
        ASSERT_TRUE(settings.Write("DspMcu", "Language", "English"));
        for (const auto &[link, to] : c.links)
            EXPECT_TRUE(fs::is_symlink(link)) << link;
        const CFileSettings direct(target.string());
        EXPECT_EQ(direct.ReadString("DspMcu", "Language"), "English");
        EXPECT_EQ(direct.ReadString("Network", "Address", "(absent)"), c.targetExists ? "127.0.0.1" : "(absent)");
        for (const auto &folder : {dir / "config" / "ZK-470", dir / "elsewhere"})
            for (const auto &entry : fs::directory_iterator(folder))
                EXPECT_TRUE(fs::is_symlink(entry.path())) << "nothing but the links beside them: " << entry.path();
        for (const auto &entry : fs::directory_iterator(target.parent_path()))
            EXPECT_TRUE(entry.path() == target || entry.path().string() == target.string() + ".flock")
                << "the temporary file was renamed: " << entry.path();
    }

    // A loop of links names no file: nothing is written and the links stay.
    const fs::path a = dir / "elsewhere" / "a.conf", b = dir / "elsewhere" / "b.conf";
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    CFileSettings loop(a.string());
    EXPECT_FALSE(loop.Write("DspMcu", "Language", "English"));
    EXPECT_FALSE(loop.Read("DspMcu", "Language"));
    EXPECT_TRUE(fs::is_symlink(a));
    EXPECT_TRUE(fs::is_symlink(b));
}

TEST(FileSettings, ALargeFileIsParsedOncePerChange)
{
    // 110,000 keys, under the read limit: reading them key by key through the whole file at
    // every read took minutes.
    constexpr int kKeys = 110000;
    std::string text = "[Bulk]\n";
    char line[32];
    for (int i = 0; i < kKeys; ++i)
        text.append(line, static_cast<std::size_t>(std::snprintf(line, sizeof line, "%x=%d\n", i, i % 10)));
    text += "[Network]\nAddress=127.0.0.1\n";
    auto dir = ScratchDir("large");
    const auto path = dir / "app.conf";
    WriteText(path, text);

    CFileSettings settings(path.string());
    EXPECT_EQ(settings.ReadString("Network", "Address"), "127.0.0.1");
    EXPECT_EQ(settings.ReadString("Bulk", "1adaf"), "9");  // the last key, 109,999
    EXPECT_EQ(settings.Keys("Bulk").size(), std::size_t(kKeys));
    EXPECT_EQ(settings.Parses(), 1u) << "an unchanged file is not parsed again";

    // Our own write is kept as the file's new version.
    ASSERT_TRUE(settings.Write("Network", "Port", "40123"));
    EXPECT_EQ(settings.ReadString("Network", "Port"), "40123");
    EXPECT_EQ(settings.ReadString("Bulk", "0"), "0");
    EXPECT_EQ(settings.Parses(), 1u);

    // A change on disk of the same size, in place, is seen at the next read.
    const auto before = fs::last_write_time(path);
    std::string changed = Slurp(path);
    const auto at = changed.find("\n0=0\n");
    ASSERT_NE(at, std::string::npos);
    changed[at + 3] = '7';
    {
        std::fstream inPlace(path, std::ios::in | std::ios::out | std::ios::binary);
        inPlace.seekp(static_cast<std::streamoff>(at + 3));
        inPlace.put('7');
    }
    fs::last_write_time(path, before + std::chrono::seconds(1));
    EXPECT_EQ(fs::file_size(path), changed.size());
    EXPECT_EQ(settings.ReadString("Bulk", "0"), "7");
    EXPECT_EQ(settings.Parses(), 2u);
    EXPECT_EQ(settings.ReadString("Network", "Port"), "40123");
    EXPECT_EQ(settings.Parses(), 2u);
}
