#include "app/VRX530Doc.h"

#include <utility>
#include <vector>

bool CVRX530Doc::OnNewDocument()
{
    m_strTitle.clear();
    return true;
}

int CVRX530Doc::Serialize(CKTV_Data &tree, FileKind kind, PresetArchive &ar)
{
    switch (kind) {
    case FileKind::Preset: return SerializePresetFile(tree, ar);
    case FileKind::AllPresets: return SerializeAllPresetsFile(tree, ar);
    case FileKind::OutputMap: return SerializeOutputMapFile(tree, ar);
    case FileKind::Mode: return SerializeModeFile(ar);
    }
    return 0;
}

bool CVRX530Doc::SaveFile(FileKind kind, const std::string &path)
{
    return SaveFile(m_data, kind, path);
}

bool CVRX530Doc::LoadFile(FileKind kind, const std::string &path)
{
    return LoadFile(m_data, kind, path);
}

bool CVRX530Doc::SaveFile(CKTV_Data &tree, FileKind kind, const std::string &path)
{
    auto ar = PresetArchive::ForStoring();
    if (!Serialize(tree, kind, ar))
        return false;
    return WriteFileBytes(path, ar.bytes);
}

bool CVRX530Doc::LoadFile(CKTV_Data &tree, FileKind kind, const std::string &path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes))
        return false;
    auto ar = PresetArchive::ForLoading(std::move(bytes));
    return Serialize(tree, kind, ar) == 1;
}
