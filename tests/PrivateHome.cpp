// Linked into every test program: the process gets a home of its own before anything reads the
// environment, so no test writes into the user's real home (lock files, settings, caches, presets).
// CTest runs each test in its own process, so every test starts with an empty private home; the
// folder goes when the process ends. A test that needs other values still sets its own.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Plain storage: a std::string here would be destroyed before the exit handler below runs.
char g_root[4096];
pid_t g_owner = 0;

void RemovePrivateHome()
{
    // A forked child that exits normally runs this too; only the process that made the folder
    // removes it.
    if (g_root[0] == '\0' || ::getpid() != g_owner)
        return;
    std::error_code ec;
    std::filesystem::remove_all(g_root, ec);
}

bool MakeFolder(const std::string &path)
{
    return ::mkdir(path.c_str(), 0700) == 0;
}

// Before the other static initialisers: some of them may already look at the environment.
__attribute__((constructor(101))) void MakePrivateHome()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/zk470-test-XXXXXX";
    if (templ.size() >= sizeof g_root) {
        std::fputs("private test home: TMPDIR is too long\n", stderr);
        std::_Exit(2);
    }
    if (::mkdtemp(templ.data()) == nullptr) {
        std::perror("private test home");
        std::_Exit(2);
    }
    std::snprintf(g_root, sizeof g_root, "%s", templ.c_str());
    g_owner = ::getpid();
    const std::string home = templ + "/home";
    const std::string runtime = templ + "/runtime";
    if (!MakeFolder(home) || !MakeFolder(runtime) || !MakeFolder(home + "/.config") ||
        !MakeFolder(home + "/.cache") || !MakeFolder(home + "/.local") ||
        !MakeFolder(home + "/.local/share")) {
        std::perror("private test home");
        std::_Exit(2);
    }
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    std::atexit(RemovePrivateHome);
}

}  // namespace
