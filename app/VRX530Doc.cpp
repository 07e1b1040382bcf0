#include "app/VRX530Doc.h"

#include <utility>
#include <vector>

bool CVRX530Doc::OnNewDocument()
{
    m_strTitle.clear();
    return true;
}

int CVRX530Doc::Serialize(FileKind kind, PresetArchive &ar)
{
    switch (kind) {
    case FileKind::Preset: return SerializePreset(ar);
    case FileKind::AllPresets: return SerializeAllPresets(ar);
    case FileKind::OutputMap: return SerializeMap(ar);
    case FileKind::Mode: return SerializeMode(ar);
    }
    return 0;
}

bool CVRX530Doc::SaveFile(FileKind kind, const std::string &path)
{
    auto ar = PresetArchive::ForStoring();
    if (!Serialize(kind, ar))
        return false;
    return WriteFileBytes(path, ar.bytes);
}

bool CVRX530Doc::LoadFile(FileKind kind, const std::string &path)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes))
        return false;
    auto ar = PresetArchive::ForLoading(std::move(bytes));
    return Serialize(kind, ar) == 1;
}
