#include "platform/Settings.h"

#include "platform/GlobalData.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <unordered_map>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kSettingsFolder = "ZK-470";
constexpr const char *kSettingsFile = "QX-ZK-470-GV1.00_GB2312.conf";
// The program writes a few hundred bytes; a file far beyond that is not our settings.
constexpr std::size_t kSettingsFileLimit = 1u << 20;

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

void AppendUtf8(std::string &out, unsigned cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

enum class ReadStatus { Ok, Missing, Failed };

// Reads the whole settings file into text. Anything but a regular file of sensible size counts as
// unreadable, so it is neither waited on nor replaced.
ReadStatus ReadFile(const std::string &path, std::string &text, FileStamp &stamp)
{
    text.clear();
    switch (ReadRegularFile(path, kSettingsFileLimit, text, &stamp)) {
    case FileReadStatus::Ok: return ReadStatus::Ok;
    case FileReadStatus::Missing: return ReadStatus::Missing;
    default: return ReadStatus::Failed;
    }
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

class FileLock {
public:
    explicit FileLock(const std::string &path) : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (m_fd < 0)
            return;
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(m_fd);
                m_fd = -1;
                return;
            }
        }
    }
    ~FileLock()
    {
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_UN);
            ::close(m_fd);
        }
    }
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    bool ok() const { return m_fd >= 0; }

private:
    int m_fd;
};

std::atomic<ISettings *> g_installedSettings{nullptr};

struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
// A name (group or key) to its position in the document or the group.
using NameIndex = std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>>;

// Where each group and each key of a document is, so that a lookup does not walk the file.
struct DocumentIndex {
    NameIndex groups;
    std::vector<NameIndex> keys;  // one per group, in the document's order

    void Clear()
    {
        groups.clear();
        keys.clear();
    }
    // The position of the group; nullopt when absent.
    std::optional<std::size_t> Group(std::string_view name) const
    {
        auto it = groups.find(name);
        return it == groups.end() ? std::nullopt : std::optional<std::size_t>(it->second);
    }
};

DocumentIndex IndexOf(const ini::Document &doc)
{
    DocumentIndex index;
    index.keys.resize(doc.size());
    for (std::size_t g = 0; g < doc.size(); ++g) {
        index.groups.emplace(doc[g].name, g);
        for (std::size_t e = 0; e < doc[g].entries.size(); ++e)
            index.keys[g].emplace(doc[g].entries[e].key, e);
    }
    return index;
}

ini::Document ParseIndexed(std::string_view text, DocumentIndex &index);

}  // namespace

// The settings file as last read or written, with the stamp of that version (none: no file).
struct CFileSettings::Cache {
    std::optional<FileStamp> stamp;
    ini::Document doc;
    DocumentIndex index;
};

// ---- ISettings -------------------------------------------------------------------------------

std::string ISettings::ReadString(std::string_view group, std::string_view key, std::string_view fallback) const
{
    auto value = Read(group, key);
    return value ? *value : std::string(fallback);
}

int ISettings::ReadInt(std::string_view group, std::string_view key, int fallback) const
{
    auto value = Read(group, key);
    if (!value)
        return fallback;
    std::string_view text = Trim(*value);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int result = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return fallback;
    return result;
}

bool ISettings::WriteInt(std::string_view group, std::string_view key, int value)
{
    return Write(group, key, std::to_string(value));
}

// ---- file store --------------------------------------------------------------------------------

std::string DefaultSettingsPath()
{
    std::string base;
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
        base = xdg;
    else if (const char *home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        base = std::string(home) + "/.config";
    else
        base = ".config";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/" + kSettingsFolder + "/" + kSettingsFile;
}

CFileSettings::CFileSettings(std::string path) : m_path(std::move(path)) {}

CFileSettings::~CFileSettings() = default;

std::uint64_t CFileSettings::Parses() const
{
    std::lock_guard guard(m_mutex);
    return m_parses;
}

bool CFileSettings::Refresh(const std::string &file) const
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            m_cache.reset();
            return false;
        }
        if (!m_cache || m_cache->stamp || !m_cache->doc.empty())
            m_cache = std::make_unique<Cache>();  // no file: no values
        return true;
    }
    if (m_cache && m_cache->stamp && *m_cache->stamp == StampOf(st))
        return true;

    std::string text;
    FileStamp stamp;
    switch (ReadFile(file, text, stamp)) {
    case ReadStatus::Ok: {
        auto cache = std::make_unique<Cache>();
        cache->doc = ParseIndexed(text, cache->index);
        cache->stamp = stamp;
        m_cache = std::move(cache);
        ++m_parses;
        return true;
    }
    case ReadStatus::Missing: m_cache = std::make_unique<Cache>(); return true;
    case ReadStatus::Failed: break;
    }
    m_cache.reset();
    return false;
}

std::optional<std::string> CFileSettings::Read(std::string_view group, std::string_view key) const
{
    // The file is only ever replaced whole, so a read without the file lock sees one complete version.
    std::lock_guard guard(m_mutex);
    if (!Refresh(m_path))
        return std::nullopt;
    const auto g = m_cache->index.Group(group);
    if (!g)
        return std::nullopt;
    const NameIndex &keys = m_cache->index.keys[*g];
    const auto it = keys.find(key);
    if (it == keys.end())
        return std::nullopt;
    return ini::UnescapeValue(m_cache->doc[*g].entries[it->second].value);
}

bool CFileSettings::Write(std::string_view group, std::string_view key, std::string_view value)
{
    if (group.empty() || key.empty())
        return false;
    const std::string stored = ini::EscapeValue(value);
    return Update([&](ini::Document &doc) { return ini::SetValue(doc, group, key, stored); });
}

bool CFileSettings::Remove(std::string_view group, std::string_view key)
{
    return Update([&](ini::Document &doc) { return ini::RemoveValue(doc, group, key); });
}

std::vector<std::string> CFileSettings::Keys(std::string_view group) const
{
    std::vector<std::string> keys;
    std::lock_guard guard(m_mutex);
    if (!Refresh(m_path))
        return keys;
    if (const auto g = m_cache->index.Group(group))
        for (const auto &e : m_cache->doc[*g].entries)
            keys.push_back(e.key);
    return keys;
}

bool CFileSettings::RemoveGroup(std::string_view group)
{
    return Update([&](ini::Document &doc) {
        return std::erase_if(doc, [&](const ini::Group &g) { return g.name == group; }) > 0;
    });
}

template <typename Change> bool CFileSettings::Update(Change &&change)
{
    std::lock_guard guard(m_mutex);
    // A link is written through: the file it names is replaced, in its own folder, and the link
    // stays. A loop of links is refused.
    const std::optional<std::string> target = FollowFileLinks(m_path);
    if (!target)
        return false;
    const std::string &file = *target;
    if (!MakeFolders(ParentFolder(file)))
        return false;
    FileLock lock(file + ".flock");
    if (!lock.ok())
        return false;

    // A file that exists but cannot be read is left alone rather than replaced by our one value.
    if (!Refresh(file))
        return false;
    if (!change(m_cache->doc))
        return true;  // nothing changed: the file stays as it is
    // From here the kept document is ours, not the file's, until the file holds it.
    m_cache->stamp.reset();
    m_cache->index = IndexOf(m_cache->doc);

    std::string tmpl = file + ".XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    const std::string text = ini::Serialize(m_cache->doc);
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    struct stat written {};
    ok = ::fstat(fd, &written) == 0 && ok;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tmpl.c_str(), file.c_str()) == 0;
    if (!ok) {
        ::unlink(tmpl.c_str());
        m_cache.reset();
        return false;
    }
    // Keep what was written as the file's version: the file is ours while it is the one made
    // here (the rename may have changed its change time, so stamp it as it is now).
    struct stat now {};
    if (::stat(file.c_str(), &now) == 0 && now.st_dev == written.st_dev && now.st_ino == written.st_ino)
        m_cache->stamp = StampOf(now);
    else
        m_cache.reset();
    return true;
}

ISettings &AppSettings()
{
    if (ISettings *installed = g_installedSettings.load())
        return *installed;
    static CFileSettings fileSettings(DefaultSettingsPath());
    return fileSettings;
}

void SetAppSettings(ISettings *settings)
{
    g_installedSettings.store(settings);
}

void LoadNetworkSettings(const ISettings &settings)
{
    std::string address(Trim(settings.ReadString(kNetworkGroup, kNetworkAddressKey)));
    g_strWifiIp.Set(address.empty() ? g_strDefaultWifiIp : address);
    int port = settings.ReadInt(kNetworkGroup, kNetworkPortKey, kDefaultWifiPort);
    g_nWifiPort.store(port >= 1 && port <= 65535 ? port : kDefaultWifiPort);
}

bool SaveNetworkSettings(ISettings &settings)
{
    const bool address = settings.Write(kNetworkGroup, kNetworkAddressKey, g_strWifiIp.Get());
    const bool port = settings.WriteInt(kNetworkGroup, kNetworkPortKey, g_nWifiPort.load());
    return address && port;
}

bool IsIpv4Address(std::string_view text)
{
    int parts = 0;
    std::size_t i = 0;
    while (true) {
        std::size_t digits = 0;
        int value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            value = value * 10 + (text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return false;
        ++parts;
        if (i == text.size())
            return parts == 4;
        if (text[i] != '.' || parts == 4)
            return false;
        ++i;
    }
}

// ---- INI text ----------------------------------------------------------------------------------

namespace ini {

std::string EscapeKey(std::string_view key)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : key) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/') {
            out.push_back('\\');
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                   c == '-' || c == '.' || u >= 0x80) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 0xF]);
        }
    }
    return out;
}

std::string UnescapeKey(std::string_view stored)
{
    std::string out;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        char c = stored[i];
        if (c == '\\') {
            out.push_back('/');
        } else if (c == '%' && i + 2 < stored.size() && IsHexDigit(stored[i + 1]) && IsHexDigit(stored[i + 2])) {
            out.push_back(static_cast<char>(HexValue(stored[i + 1]) * 16 + HexValue(stored[i + 2])));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string EscapeValue(std::string_view value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string body;
    bool quote = !value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                                    value.back() == '\t');
    if (!value.empty() && value.front() == '@')
        body.push_back('@');
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': body += "\\\\"; break;
        case '"': body += "\\\""; break;
        case '\n': body += "\\n"; break;
        case '\r': body += "\\r"; break;
        case '\t': body += "\\t"; break;
        case ';':
        case ',':
        case '=':
            quote = true;
            body.push_back(c);
            break;
        default:
            if (u < 0x20 || u == 0x7F) {
                body += "\\x";
                body.push_back(kHex[u >> 4]);
                body.push_back(kHex[u & 0xF]);
                // A following hex digit would extend the escape: close and reopen the quotes.
                if (i + 1 < value.size() && IsHexDigit(value[i + 1])) {
                    body += "\"\"";
                    quote = true;
                }
            } else {
                body.push_back(c);
            }
        }
    }
    return quote ? "\"" + body + "\"" : body;
}

std::string UnescapeValue(std::string_view stored)
{
    stored = Trim(stored);
    if (stored.starts_with("@") && !stored.starts_with("@@"))
        return std::string(stored);  // a typed value we do not interpret: keep its text
    std::string out;
    bool quoted = false;
    std::size_t i = 0;
    std::size_t unquotedEnd = 0;  // trailing blanks outside quotes are not part of the value
    for (; i < stored.size(); ++i) {
        char c = stored[i];
        if (c == '"') {
            quoted = !quoted;
            unquotedEnd = out.size();
            continue;
        }
        if (!quoted && c == ';')
            break;
        if (c == '\\' && i + 1 < stored.size()) {
            char e = stored[++i];
            switch (e) {
            case 'a': out.push_back('\a'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'v': out.push_back('\v'); break;
            case 'x': {
                unsigned cp = 0;
                std::size_t digits = 0;
                while (i + 1 < stored.size() && IsHexDigit(stored[i + 1]) && digits < 4) {
                    cp = cp * 16 + static_cast<unsigned>(HexValue(stored[++i]));
                    ++digits;
                }
                AppendUtf8(out, cp);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned v = static_cast<unsigned>(e - '0');
                    for (int k = 0; k < 2 && i + 1 < stored.size() && stored[i + 1] >= '0' && stored[i + 1] <= '7'; ++k)
                        v = v * 8 + static_cast<unsigned>(stored[++i] - '0');
                    AppendUtf8(out, v);
                } else {
                    out.push_back(e);  // \\, \", \', \? and anything else stand for themselves
                }
            }
            if (!quoted)
                unquotedEnd = out.size();
            continue;
        }
        out.push_back(c);
        if (quoted || (c != ' ' && c != '\t'))
            unquotedEnd = out.size();
    }
    out.resize(unquotedEnd);
    // A text that begins with '@' is stored with the '@' doubled, inside the quotes when it needs
    // them, so the doubling is undone after the quotes and escapes.
    if (out.starts_with("@@"))
        out.erase(0, 1);
    return out;
}

namespace {

// True when the line (less a trailing CR) ends in an odd number of backslashes.
bool EndsInContinuation(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::size_t n = 0;
    while (n < line.size() && line[line.size() - 1 - n] == '\\')
        ++n;
    return n % 2 == 1;
}

}  // namespace

Document Parse(std::string_view text)
{
    DocumentIndex index;
    return ParseIndexed(text, index);
}

std::string Serialize(const Document &doc)
{
    std::string out;
    for (const auto &g : doc) {
        if (g.entries.empty())
            continue;
        if (!out.empty())
            out.push_back('\n');
        out += "[" + EscapeKey(g.name) + "]\n";
        for (const auto &e : g.entries) {
            out += EscapeKey(e.key) + "=";
            // A value ending in a lone backslash was read from the file's last line; followed by
            // another line it would continue there and take that line in. Written escaped, it
            // reads back as it was read.
            out += EndsInContinuation(e.value) ? EscapeValue(UnescapeValue(e.value)) : e.value;
            out += "\n";
        }
    }
    return out;
}

bool SetValue(Document &doc, std::string_view group, std::string_view key, std::string_view stored)
{
    auto groupIt = std::find_if(doc.begin(), doc.end(), [&](const Group &g) { return g.name == group; });
    if (groupIt == doc.end()) {
        doc.push_back({std::string(group), {}});
        groupIt = doc.end() - 1;
    }
    auto &entries = groupIt->entries;
    auto entryIt = std::find_if(entries.begin(), entries.end(), [&](const Entry &e) { return e.key == key; });
    if (entryIt == entries.end()) {
        entries.push_back({std::string(key), std::string(stored)});
        return true;
    }
    if (entryIt->value == stored)
        return false;
    entryIt->value = stored;
    return true;
}

bool RemoveValue(Document &doc, std::string_view group, std::string_view key)
{
    auto groupIt = std::find_if(doc.begin(), doc.end(), [&](const Group &g) { return g.name == group; });
    if (groupIt == doc.end())
        return false;
    auto &entries = groupIt->entries;
    const auto before = entries.size();
    std::erase_if(entries, [&](const Entry &e) { return e.key == key; });
    if (entries.size() == before)
        return false;
    if (entries.empty())
        doc.erase(groupIt);
    return true;
}

}  // namespace ini

namespace {

// The end of the line that starts at pos: its first CR or LF, else the end of the text.
std::size_t LineEnd(std::string_view text, std::size_t pos)
{
    const std::size_t end = text.find_first_of("\r\n", pos);
    return end == std::string_view::npos ? text.size() : end;
}

// The start of the next line after the line end at `end`: CR LF and LF CR count as one.
std::size_t PastLineEnd(std::string_view text, std::size_t end)
{
    if (end >= text.size())
        return end;
    if (end + 1 < text.size() && (text[end + 1] == '\r' || text[end + 1] == '\n') && text[end + 1] != text[end])
        return end + 2;
    return end + 1;
}

// How many backslashes end the text.
std::size_t TrailingBackslashes(std::string_view text)
{
    std::size_t n = 0;
    while (n < text.size() && text[text.size() - 1 - n] == '\\')
        ++n;
    return n;
}

ini::Document ParseIndexed(std::string_view text, DocumentIndex &index)
{
    ini::Document doc;
    index.Clear();
    std::size_t current = 0;
    bool inGroup = false;
    // A group named again continues where it stands in the document.
    const auto enterGroup = [&](std::string name) {
        auto [it, added] = index.groups.try_emplace(std::move(name), doc.size());
        if (added) {
            doc.push_back({it->first, {}});
            index.keys.emplace_back();
        }
        current = it->second;
        inGroup = true;
    };
    std::string line;
    std::size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < text.size()) {
        std::size_t end = LineEnd(text, pos);
        line.assign(text.substr(pos, end - pos));
        std::size_t backslashes = TrailingBackslashes(line);
        pos = PastLineEnd(text, end);
        // A line ending in a backslash continues on the next one; a value ending in an escaped
        // backslash (two of them) does not. The count of trailing backslashes is carried along,
        // so a long run of joined lines is not counted again at each join.
        while (backslashes % 2 == 1 && pos < text.size()) {
            line.pop_back();
            end = LineEnd(text, pos);
            const std::string_view next = text.substr(pos, end - pos);
            const std::size_t nextBackslashes = TrailingBackslashes(next);
            backslashes = nextBackslashes == next.size() ? backslashes - 1 + next.size() : nextBackslashes;
            line += next;
            pos = PastLineEnd(text, end);
        }
        std::string_view l = Trim(line);
        if (l.empty() || l.front() == ';' || l.front() == '#')
            continue;
        if (l.front() == '[') {
            auto close = l.find(']');
            std::string name =
                ini::UnescapeKey(l.substr(1, close == std::string_view::npos ? l.size() - 1 : close - 1));
            enterGroup(std::move(name));
            continue;
        }
        auto eq = l.find('=');
        if (eq == std::string_view::npos)
            continue;
        std::string key = ini::UnescapeKey(Trim(l.substr(0, eq)));
        if (key.empty())
            continue;
        if (!inGroup)
            enterGroup("General");
        std::string value(Trim(l.substr(eq + 1)));
        auto &entries = doc[current].entries;
        auto [it, added] = index.keys[current].try_emplace(std::move(key), entries.size());
        if (added)
            entries.push_back({it->first, std::move(value)});
        else
            entries[it->second].value = std::move(value);  // the last of repeated keys wins
    }
    return doc;
}

}  // namespace
