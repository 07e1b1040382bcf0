#pragma once
// The preset file commands of the Data menu: save and load one preset (".qxds"), choose and write
// the all-presets file (".qxda") whose presets the device is asked for first, load an all-presets
// file, and save and load an output map (".lygc"). The order of calls around the file dialog, the
// link lock, the messages and what is refreshed and pushed afterwards live here; the byte formats
// are the document's (CVRX530Doc). No widget is touched: the file dialog, the remembered folders
// and the view's displays are reached through IPresetFileHost, so tests drive it with a fake.
//
// Lock: a load holds g_csLink from the commit through the push (the push operations expect it
// held) and releases it before the pages are refreshed and before any message box. Saves take no
// lock of their own (the document packs the tree under it).

#include "services/Services.h"
#include "res/Strings.h"
#include "app/VRX530Doc.h"

#include <optional>
#include <string>

class CKTV_Data;

// The folder kinds of the file dialogs, as the settings store them.
enum PresetFolderKind : int {
    kFolderPresetFile = 1,   // one preset
    kFolderAllPresets = 2,   // all presets
    kFolderOutputMap = 3,    // output map
};

// What the commands need of the user interface.
class IPresetFileHost {
public:
    virtual ~IPresetFileHost() = default;
    // The remembered starting folder of a kind (empty: none yet), and a new one to remember.
    virtual std::string LoadFileFolder(int kind) = 0;
    virtual void SaveFileFolder(int kind, const std::string &folder) = 0;
    // The file dialog: an open dialog (save false) or a save dialog that accepts new names and
    // asks before replacing a file, with the default extension ("qxds"), the filter in the
    // system's form and the starting folder. The chosen path, nullopt when the user cancelled.
    virtual std::optional<std::string> ChooseFile(bool save, const std::string &defaultExt,
                                                  const std::string &filter, const std::string &folder) = 0;
    // The view's displays (CVRX530View).
    virtual void RefreshChannelAssignments() = 0;
    // The current preset takes the text as its name (into the current image), shown and marked
    // for sending.
    virtual void SetPresetNameFromText(const std::string &text) = 0;
    virtual void RefreshFromImage() = 0;
    // The output page's channel selection after the speaker types may have changed.
    virtual void CheckChannelSelection() = 0;
    // The name of the current image, shown after an all-presets load.
    virtual void ShowLoadedPresetName() = 0;
};

class CPresetFileCommands final : public IPresetCommands {
public:
    CPresetFileCommands(CKTV_Data &tree, IDeviceSync &sync, IMessageBoxService &boxes, IPresetFileHost &host);

    // 1 saved, 0 cancelled, -1 the write failed (its message was shown).
    int SavePresetFile() override;
    bool LoadPresetFile() override;
    bool ChooseAllPresetsFile() override;
    bool WriteAllPresetsFile() override;
    bool LoadAllPresetsFile() override;
    bool SaveOutputMapFile();
    bool LoadOutputMapFile();

    // The extension rule of the save dialogs: unless the path's extension (after its last dot in
    // the file name) is exactly `ext`, "." and `ext` are appended. "ABC.QXDS" becomes
    // "ABC.QXDS.qxds".
    static std::string WithExtension(const std::string &path, const std::string &ext);
    // The file's name without its folder and its last extension.
    static std::string FileTitle(const std::string &path);
    // The folder of a path (without the trailing slash; "/" for the root, "" for a bare name).
    static std::string FolderOf(const std::string &path);

private:
    // The dialog step of a folder kind: starts in the kind's folder and, after OK, remembers the
    // chosen file's folder. nullopt when the user cancelled (nothing remembered then).
    std::optional<std::string> Choose(int kind, bool save);
    void Show(StrId text);

    CKTV_Data &m_tree;
    IDeviceSync &m_sync;
    IMessageBoxService &m_boxes;
    IPresetFileHost &m_host;
};
