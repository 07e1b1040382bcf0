#pragma once
// The document: owns the record tree for the life of the program and reads and writes the PC
// preset files through it. The file formats themselves are in model/PresetFiles.
//
// Each file operation takes an archive that is storing (the operation fills its bytes) or loading
// (its bytes hold the file as read) and returns 1 on success, 0 when a loaded file is refused; a
// refused file changes nothing. The path-based helpers read a file whole before checking it and
// write through a temporary file, so a failed save leaves the old file in place.

#include "model/KTV_Data.h"
#include "model/PresetFiles.h"

#include <string>

class CVRX530Doc {
public:
    CVRX530Doc() = default;
    CVRX530Doc(const CVRX530Doc &) = delete;
    CVRX530Doc &operator=(const CVRX530Doc &) = delete;

    // A new document: an empty title. Always succeeds.
    bool OnNewDocument();
    const std::string &GetTitle() const { return m_strTitle; }

    CKTV_Data &GetData() { return m_data; }
    CKTV_Data *GetKTVData() { return &m_data; }

    int SerializePreset(PresetArchive &ar) { return SerializePresetFile(m_data, ar); }
    int SerializeAllPresets(PresetArchive &ar) { return SerializeAllPresetsFile(m_data, ar); }
    int SerializeMap(PresetArchive &ar) { return SerializeOutputMapFile(m_data, ar); }
    int SerializeMode(PresetArchive &ar) { return SerializeModeFile(ar); }

    enum class FileKind { Preset, AllPresets, OutputMap, Mode };
    // Saves or loads one file of the kind. False when the file cannot be read or written, or
    // when a loaded file is refused; nothing changes then.
    bool SaveFile(FileKind kind, const std::string &path);
    bool LoadFile(FileKind kind, const std::string &path);
    // The same over a record tree held elsewhere (the main view keeps the tree, not the document).
    static bool SaveFile(CKTV_Data &tree, FileKind kind, const std::string &path);
    static bool LoadFile(CKTV_Data &tree, FileKind kind, const std::string &path);

private:
    static int Serialize(CKTV_Data &tree, FileKind kind, PresetArchive &ar);

    CKTV_Data m_data;
    std::string m_strTitle;
};
