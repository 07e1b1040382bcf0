#include "platform/ProgramSettings.h"

#include "platform/GlobalData.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <utility>

namespace {

// A folder may be as long as the system allows (PATH_MAX less its terminating zero); anything
// longer is not a folder name.
constexpr std::size_t kPathMax = 4095;

std::string HomeDocuments()
{
    const char *home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/Documents";
}

// A value no longer than max bytes: nullopt when absent or too long.
std::optional<std::string> ReadLimited(const ISettings &store, std::string_view group, std::string_view key,
                                       std::size_t max)
{
    auto value = store.Read(group, key);
    if (!value || value->size() > max)
        return std::nullopt;
    return value;
}

}  // namespace

int LeadingInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            v = static_cast<long long>(INT_MAX) + 1;  // saturate: the sign decides the bound below
    }
    if (negative)
        v = -v;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

CProgramSettings::CProgramSettings(ISettings *store, std::function<std::string()> documents)
    : m_store(store), m_documents(std::move(documents))
{
}

ISettings &CProgramSettings::Store() const
{
    return m_store != nullptr ? *m_store : AppSettings();
}

std::string CProgramSettings::Documents() const
{
    std::string path = m_documents ? m_documents() : std::string();
    return path.empty() ? HomeDocuments() : path;
}

std::string_view CProgramSettings::FolderKey(int kind)
{
    switch (kind) {
    case FOLDER_PRESET: return "File_Path";
    case FOLDER_ALLPRESETS: return "AllFile_Path";
    case FOLDER_MAP: return "Map_Path";
    case FOLDER_FIRMWARE: return "Hex";
    default: return {};
    }
}

const std::string &CProgramSettings::Folder(int kind) const
{
    static const std::string none;
    return kind >= 1 && kind <= kFolderKinds ? m_szFolder[static_cast<std::size_t>(kind - 1)] : none;
}

void CProgramSettings::SetFolder(int kind, std::string path)
{
    if (kind >= 1 && kind <= kFolderKinds)
        m_szFolder[static_cast<std::size_t>(kind - 1)] = std::move(path);
}

bool CProgramSettings::IsNotDirectory(const std::string &path)
{
    struct stat st {};
    return path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

bool CProgramSettings::GroupExists(std::string_view group) const
{
    return !Store().Keys(group).empty();
}

void CProgramSettings::CreatePcFile()
{
    const std::string docs = Documents();
    for (int kind = 1; kind <= kFolderKinds; ++kind) {
        SetFolder(kind, docs);
        Store().Write(kPcFileGroup, FolderKey(kind), docs);
    }
}

int CProgramSettings::LoadFileFolder(int kind)
{
    if (!GroupExists(kPcFileGroup)) {
        CreatePcFile();
        return 1;
    }
    const std::string_view key = FolderKey(kind);
    if (key.empty())
        return 1;
    auto value = ReadLimited(Store(), kPcFileGroup, key, kPathMax);
    if (value && !IsNotDirectory(*value)) {
        SetFolder(kind, *value);
        return 1;
    }
    SetFolder(kind, Documents());
    Store().Write(kPcFileGroup, key, Folder(kind));
    return 1;
}

int CProgramSettings::SaveFileFolder(int kind)
{
    if (!GroupExists(kPcFileGroup)) {
        CreatePcFile();
        return 1;
    }
    const std::string_view key = FolderKey(kind);
    if (key.empty())
        return 1;
    if (!Store().Write(kPcFileGroup, key, Folder(kind))) {
        SetFolder(kind, Documents());
        Store().Write(kPcFileGroup, key, Folder(kind));
    }
    return 1;
}

int CProgramSettings::LoadDspMcuSettings()
{
    ISettings &store = Store();
    if (!GroupExists(kDspMcuGroup)) {
        store.Write(kDspMcuGroup, kDspMcuNameKey, g_strFirmwareFile.Get());
        store.Write(kDspMcuGroup, kDspMcuPathKey, Folder(FOLDER_FIRMWARE));
        store.Write(kDspMcuGroup, kDspMcuLanguageKey, g_strLanguage.Get());
        return 1;
    }
    if (auto name = ReadLimited(store, kDspMcuGroup, kDspMcuNameKey, kPathMax))
        g_strFirmwareFile = *name;
    auto path = ReadLimited(store, kDspMcuGroup, kDspMcuPathKey, kPathMax);
    SetFolder(FOLDER_FIRMWARE, path && !IsNotDirectory(*path) ? *path : Documents());
    if (auto language = ReadLimited(store, kDspMcuGroup, kDspMcuLanguageKey, kShortValueMax))
        g_strLanguage = *language;
    return 1;
}

int CProgramSettings::SaveDspMcuSettings()
{
    if (!GroupExists(kDspMcuGroup))
        return 1;
    ISettings &store = Store();
    store.Write(kDspMcuGroup, kDspMcuNameKey, g_strFirmwareFile.Get());
    store.Write(kDspMcuGroup, kDspMcuPathKey, Folder(FOLDER_FIRMWARE));
    store.Write(kDspMcuGroup, kDspMcuLanguageKey, g_strLanguage.Get());
    return 1;
}

int CProgramSettings::LoadLineSetting()
{
    if (!GroupExists(kLineSetGroup)) {
        Store().WriteInt(kLineSetGroup, kLineSetKey, g_nLineSet.load());
        return 1;
    }
    if (auto text = ReadLimited(Store(), kLineSetGroup, kLineSetKey, kShortValueMax))
        g_nLineSet = LeadingInt(*text);
    return 1;
}

int CProgramSettings::SaveLineSetting()
{
    if (GroupExists(kLineSetGroup))
        Store().WriteInt(kLineSetGroup, kLineSetKey, g_nLineSet.load());
    return 1;
}
