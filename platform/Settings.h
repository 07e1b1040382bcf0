#pragma once
// The program's settings: one group per former registry key, string values. The real store is one
// file, $XDG_CONFIG_HOME/ZK-470/QX-ZK-470-GV1.00_GB2312.conf (~/.config when the variable is unset),
// in the INI form Qt's native settings use on Linux ("[Group]" lines, then "key=value"). Every write
// re-reads the file under an advisory lock, applies the one change and replaces the file atomically,
// so two running instances never lose each other's values. A settings file that is a symbolic link
// is written through into the file it names, which is replaced there. The parsed file is kept and
// read again only when the file changed on disk.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class ISettings {
public:
    virtual ~ISettings() = default;

    // The value of key in group; nullopt when absent.
    virtual std::optional<std::string> Read(std::string_view group, std::string_view key) const = 0;
    // Stores the value; false when it could not be stored.
    virtual bool Write(std::string_view group, std::string_view key, std::string_view value) = 0;
    // Removes the value; true when it is absent afterwards.
    virtual bool Remove(std::string_view group, std::string_view key) = 0;
    // The keys of a group, in the store's order; empty when the group is absent.
    virtual std::vector<std::string> Keys(std::string_view group) const = 0;
    // Removes a group with all its values; true when it is absent afterwards.
    virtual bool RemoveGroup(std::string_view group) = 0;

    std::string ReadString(std::string_view group, std::string_view key, std::string_view fallback = {}) const;
    // The value as a decimal integer; the fallback when absent or not a whole number in int's range.
    int ReadInt(std::string_view group, std::string_view key, int fallback) const;
    bool WriteInt(std::string_view group, std::string_view key, int value);
};

// The settings file of the program: $XDG_CONFIG_HOME (or ~/.config) + "/ZK-470/" + the file name.
std::string DefaultSettingsPath();

class CFileSettings : public ISettings {
public:
    explicit CFileSettings(std::string path);

    std::optional<std::string> Read(std::string_view group, std::string_view key) const override;
    bool Write(std::string_view group, std::string_view key, std::string_view value) override;
    bool Remove(std::string_view group, std::string_view key) override;
    std::vector<std::string> Keys(std::string_view group) const override;
    bool RemoveGroup(std::string_view group) override;

    const std::string &Path() const { return m_path; }
    // How many times the file was read and parsed, for tests: once per change of the file.
    std::uint64_t Parses() const;

    ~CFileSettings() override;

private:
    struct Cache;

    // Brings the kept file up to the one at `file` (m_path or the file it links to): parses it
    // again only when its stamp changed. False when a file is there but cannot be read.
    bool Refresh(const std::string &file) const;
    // Re-reads the file under the lock, lets `change` edit it (false: nothing changed) and
    // replaces the file.
    template <typename Change> bool Update(Change &&change);

    std::string m_path;
    mutable std::mutex m_mutex;  // guards the cache; one writer per process, flock orders processes
    mutable std::unique_ptr<Cache> m_cache;  // the file as last read or written; null: unknown
    mutable std::uint64_t m_parses = 0;
};

// The store the program uses. Until one is installed, a CFileSettings on DefaultSettingsPath().
ISettings &AppSettings();
// Installs a store (tests install an in-memory one); nullptr returns to the file.
void SetAppSettings(ISettings *settings);

// Network settings: group "Network", "Address" (default 10.10.100.254) and "Port" (default 8899).
inline constexpr std::string_view kNetworkGroup = "Network";
inline constexpr std::string_view kNetworkAddressKey = "Address";
inline constexpr std::string_view kNetworkPortKey = "Port";
// Reads them into g_strWifiIp and g_nWifiPort; a missing, empty or out-of-range value keeps the
// default.
void LoadNetworkSettings(const ISettings &settings);
// Writes g_strWifiIp and g_nWifiPort there; false when the store could not be written.
bool SaveNetworkSettings(ISettings &settings);
// True for a dotted IPv4 address of four decimal numbers 0..255 ("10.10.100.254").
bool IsIpv4Address(std::string_view text);

// The INI text form, exposed for the file store and its tests.
namespace ini {
struct Entry {
    std::string key;    // unescaped
    std::string value;  // as stored in the file (escaped)
};
struct Group {
    std::string name;  // unescaped
    std::vector<Entry> entries;
};
using Document = std::vector<Group>;

// Reads the text as Qt's INI reader does: a UTF-8 byte-order mark at its start is skipped, lines
// end at LF, CR LF or a lone CR, and a line ending in a backslash continues on the next one.
// Comments and lines without '=' are dropped. Linear in the text's length.
Document Parse(std::string_view text);
// The document as text; Parse of it gives every value back as UnescapeValue read it before.
std::string Serialize(const Document &doc);
// The edits of a rewrite: one value set (stored already escaped) or removed, everything else as
// it was. True when the document changed.
bool SetValue(Document &doc, std::string_view group, std::string_view key, std::string_view stored);
bool RemoveValue(Document &doc, std::string_view group, std::string_view key);
std::string EscapeValue(std::string_view value);
std::string UnescapeValue(std::string_view stored);
std::string EscapeKey(std::string_view key);
std::string UnescapeKey(std::string_view stored);
}  // namespace ini
