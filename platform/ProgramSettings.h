#pragma once
// The program's own settings, kept in the settings file under the names of its former registry
// keys: the last folder of each kind of file dialog, the firmware file and its folder, the UI
// language and the curve display setting.
//
//   [PC_File]   File_Path, AllFile_Path, Map_Path, Hex   folders of kinds 1..4
//   [DspMcu]    Name (firmware file), Path (folder kind 4), Language ("Chinese" / "English")
//   [Line_Set]  Line_Set                                  g_nLineSet as decimal text
//
// A group that is absent is created with its defaults the first time it is loaded. Every failure
// is silent: a missing or unusable folder falls back to the user's Documents folder (which is
// named, never created), a value that cannot be read keeps what was there. The methods answer 1,
// the result their callers check. UI thread only.

#include "platform/Settings.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

inline constexpr std::string_view kPcFileGroup = "PC_File";
inline constexpr std::string_view kDspMcuGroup = "DspMcu";
inline constexpr std::string_view kLineSetGroup = "Line_Set";
inline constexpr std::string_view kLineSetKey = "Line_Set";
inline constexpr std::string_view kDspMcuNameKey = "Name";
inline constexpr std::string_view kDspMcuPathKey = "Path";
inline constexpr std::string_view kDspMcuLanguageKey = "Language";

// Folder kinds of the file dialogs.
enum FolderKind : int {
    FOLDER_PRESET = 1,      // one-preset files (.qxds)
    FOLDER_ALLPRESETS = 2,  // all-presets files (.qxda)
    FOLDER_MAP = 3,         // output maps (.lygc)
    FOLDER_FIRMWARE = 4,    // firmware files (.bin); also DspMcu/Path
};

class CProgramSettings {
public:
    static constexpr int kFolderKinds = 4;
    // Longest value taken for the language and the line setting (10-byte fields with their
    // terminating zero); a longer value counts as unreadable.
    static constexpr std::size_t kShortValueMax = 9;

    // store: where the values live (null: AppSettings() at each call). documents: the user's
    // Documents folder (null: $HOME/Documents).
    explicit CProgramSettings(ISettings *store = nullptr, std::function<std::string()> documents = {});

    // Reads folder kind 1..4 from PC_File; a missing value or one that is not an existing folder
    // becomes Documents and is written back. Creates the group with four Documents folders when
    // it is absent. Other kinds change nothing.
    int LoadFileFolder(int kind);
    // Writes folder kind 1..4 back (only its own value); kind 0 writes nothing but creates PC_File
    // with its defaults when absent.
    int SaveFileFolder(int kind);
    // Reads Name into g_strFirmwareFile, Path into folder kind 4 (Documents when unusable, not
    // written back) and Language into g_strLanguage. Creates DspMcu when absent.
    int LoadDspMcuSettings();
    // Writes Name, Path and Language when the DspMcu group exists.
    int SaveDspMcuSettings();
    // Reads Line_Set into g_nLineSet (text not starting with a number gives 0); creates it from
    // g_nLineSet when absent.
    int LoadLineSetting();
    // Writes g_nLineSet when the Line_Set group exists.
    int SaveLineSetting();

    // True unless the path names an existing directory.
    static bool IsNotDirectory(const std::string &path);

    // Folder of kind 1..4 (an empty text for any other kind).
    const std::string &Folder(int kind) const;
    void SetFolder(int kind, std::string path);
    std::string Documents() const;

    // The value name of a folder kind in PC_File, or empty for a kind outside 1..4.
    static std::string_view FolderKey(int kind);

private:
    ISettings &Store() const;
    bool GroupExists(std::string_view group) const;
    void CreatePcFile();

    ISettings *m_store;
    std::function<std::string()> m_documents;
    std::array<std::string, kFolderKinds> m_szFolder;  // kinds 1..4 at index kind - 1
};

// The leading decimal number of a text as atoi reads it (blanks, a sign, digits); 0 when it does
// not start with one.
int LeadingInt(std::string_view text);
