#include "app/PresetFileCommands.h"

#include "model/DeviceImage.h"
#include "model/KTV_Data.h"
#include "model/ModeItemTable.h"
#include "platform/GlobalData.h"
#include "res/Strings.h"

#include <mutex>

CPresetFileCommands::CPresetFileCommands(CKTV_Data &tree, IDeviceSync &sync, IMessageBoxService &boxes,
                                         IPresetFileHost &host)
    : m_tree(tree), m_sync(sync), m_boxes(boxes), m_host(host)
{
}

// ---- paths -------------------------------------------------------------------------------------

namespace {

std::string::size_type NameStart(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The position of the dot that starts the file name's extension, or npos. A name's leading dot
// (".qxds") starts no extension.
std::string::size_type ExtensionDot(const std::string &path)
{
    const auto start = NameStart(path);
    const auto dot = path.find_last_of('.');
    return (dot == std::string::npos || dot <= start) ? std::string::npos : dot;
}

}  // namespace

std::string CPresetFileCommands::WithExtension(const std::string &path, const std::string &ext)
{
    const auto dot = ExtensionDot(path);
    if (dot != std::string::npos && path.compare(dot + 1, std::string::npos, ext) == 0)
        return path;
    return path + "." + ext;
}

std::string CPresetFileCommands::FileTitle(const std::string &path)
{
    const auto start = NameStart(path);
    const auto dot = ExtensionDot(path);
    return path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

std::string CPresetFileCommands::FolderOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// ---- the dialog step ---------------------------------------------------------------------------

std::optional<std::string> CPresetFileCommands::Choose(int kind, bool save)
{
    const std::string *ext = &g_strPresetExt, *filter = &g_strPresetFilter;
    if (kind == kFolderAllPresets) {
        ext = &g_strAllPresetsExt;
        filter = &g_strAllPresetsFilter;
    } else if (kind == kFolderOutputMap) {
        ext = &g_strMapExt;
        filter = &g_strMapFilter;
    }
    const std::string folder = m_host.LoadFileFolder(kind);
    std::optional<std::string> path = m_host.ChooseFile(save, *ext, *filter, folder);
    if (!path || path->empty())
        return std::nullopt;
    // The chosen file's own folder is remembered; the process's working folder stays as it is.
    m_host.SaveFileFolder(kind, FolderOf(*path));
    return path;
}

void CPresetFileCommands::Show(StrId text)
{
    const bool cn = g_bChinese.load() != 0;
    m_boxes.ShowMessage(Tr(text, cn), MB_OK, cn ? -2 : -3);
}

// ---- one preset --------------------------------------------------------------------------------

int CPresetFileCommands::SavePresetFile()
{
    const auto chosen = Choose(kFolderPresetFile, true);
    if (!chosen)
        return 0;
    // A failed write leaves the old file, the preset's name and the changed mark as they were.
    if (!CVRX530Doc::SaveFile(m_tree, CVRX530Doc::FileKind::Preset, WithExtension(*chosen, g_strPresetExt))) {
        Show(StrId::SavePresetFileError);
        return -1;
    }
    // The name is the chosen file's title, as the dialog gave it.
    m_host.SetPresetNameFromText(FileTitle(*chosen));
    g_bParamsDirty = 0;
    return 1;
}

bool CPresetFileCommands::LoadPresetFile()
{
    const auto chosen = Choose(kFolderPresetFile, false);
    if (!chosen)
        return false;
    {
        std::unique_lock link(g_csLink);
        // A refused file (unreadable, wrong magic, cut short) changes nothing, the changed mark
        // included.
        if (!CVRX530Doc::LoadFile(m_tree, CVRX530Doc::FileKind::Preset, *chosen)) {
            link.unlock();
            Show(StrId::ReadPresetFileError);
            return false;
        }
        g_bParamsDirty = 0;
        // The name goes into the current image before the push, which sends it as preset 0's.
        m_host.SetPresetNameFromText(FileTitle(*chosen));
        m_sync.StorePresetToDevice(0, 0);
    }
    m_host.RefreshChannelAssignments();
    m_host.RefreshFromImage();
    m_host.CheckChannelSelection();
    return true;
}

// ---- all presets -------------------------------------------------------------------------------

bool CPresetFileCommands::ChooseAllPresetsFile()
{
    const auto chosen = Choose(kFolderAllPresets, true);
    if (!chosen)
        return false;
    g_strAllPresetsPath = WithExtension(*chosen, g_strAllPresetsExt);
    return true;
}

bool CPresetFileCommands::WriteAllPresetsFile()
{
    const std::string path = g_strAllPresetsPath.Get();
    if (path.empty())
        return false;  // no file was chosen: nothing asked for the presets
    if (!CVRX530Doc::SaveFile(m_tree, CVRX530Doc::FileKind::AllPresets, path)) {
        Show(StrId::SaveAllPresetsFileError);
        return false;
    }
    return true;
}

bool CPresetFileCommands::LoadAllPresetsFile()
{
    const auto chosen = Choose(kFolderAllPresets, false);
    if (!chosen)
        return false;
    {
        std::unique_lock link(g_csLink);
        if (!CVRX530Doc::LoadFile(m_tree, CVRX530Doc::FileKind::AllPresets, *chosen)) {
            link.unlock();
            Show(StrId::ReadAllPresetsFileError);
            return false;
        }
        g_bParamsDirty = 0;
        g_nSelInput = g_nInputSource.load();
        g_nInputGroup = g_nInputGroupByte.load();
        g_ModeItemTable.Select(g_nSelInput.load(), g_nInputGroup.load());
        // The speaker types are mended before the push sends them; leaving the assignment mode
        // selects an output on the page, which waits until the lock is released.
        m_sync.RestoreSpeakerTypes(1);
        m_sync.PushAllPresetsToDevice();
    }
    m_host.RefreshChannelAssignments();
    m_sync.RestoreSpeakerTypes(0);
    m_host.RefreshFromImage();
    m_host.CheckChannelSelection();
    m_host.ShowLoadedPresetName();
    return true;
}

// ---- output map --------------------------------------------------------------------------------

bool CPresetFileCommands::SaveOutputMapFile()
{
    const auto chosen = Choose(kFolderOutputMap, true);
    if (!chosen)
        return false;
    if (!CVRX530Doc::SaveFile(m_tree, CVRX530Doc::FileKind::OutputMap, WithExtension(*chosen, g_strMapExt))) {
        Show(StrId::SaveOutputMapError);
        return false;
    }
    return true;
}

bool CPresetFileCommands::LoadOutputMapFile()
{
    const auto chosen = Choose(kFolderOutputMap, false);
    if (!chosen)
        return false;
    // The speaker types and the crossover table are replaced; nothing is refreshed or pushed.
    if (!CVRX530Doc::LoadFile(m_tree, CVRX530Doc::FileKind::OutputMap, *chosen)) {
        Show(StrId::ReadOutputMapError);
        return false;
    }
    return true;
}
