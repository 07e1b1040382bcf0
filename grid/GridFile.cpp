// The grid window's text file commands: the cells to and from a comma-separated text file
// (grid/GridTextFile.*), with the file errors reported to the user.

#include "grid/GridCtrl.h"

#include "grid/GridTextFile.h"
#include "grid/GridTextLines.h"
#include "model/PresetFiles.h"
#include "platform/RegularFile.h"
#include "platform/ViewServices.h"
#include "res/Strings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {
std::string Folder(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

void Report(StrId id, const std::string &path) { ShowMessage(TrArgs(id, {path}), MB_OK | MB_ICONWARNING); }
}  // namespace

bool CGridCtrl::SaveToFile(const std::string &path)
{
    const std::string bytes = GridTextFileBytes(*this);
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.data());
    if (WriteFileBytes(path, std::span<const std::uint8_t>(data, bytes.size())))
        return true;
    // The old file, if any, is as it was. Say why where it can be told.
    struct stat st {};
    const std::string folder = Folder(path);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        Report(StrId::GridFileNotFound, folder);
    else if (::access(folder.c_str(), W_OK) != 0 || (::stat(path.c_str(), &st) == 0 && ::access(path.c_str(), W_OK) != 0))
        Report(StrId::GridFileAccessDenied, path);
    else
        Report(StrId::GridFileWriteError, path);
    return false;
}

bool CGridCtrl::LoadFromFile(const std::string &path)
{
    std::string bytes;
    switch (ReadRegularFile(path, gridtext::kMaxFileBytes, bytes)) {
    case FileReadStatus::Ok: break;
    case FileReadStatus::Missing: Report(StrId::GridFileNotFound, path); return false;
    case FileReadStatus::NotRegular: Report(StrId::GridFileNotText, path); return false;
    case FileReadStatus::TooLarge: Report(StrId::GridFileReadError, path); return false;
    case FileReadStatus::Failed:
        Report(::access(path.c_str(), R_OK) != 0 ? StrId::GridFileAccessDenied : StrId::GridFileReadError, path);
        return false;
    }
    // Read and parsed whole first: a file that cannot be read, or that makes a grid larger than a
    // grid shows, leaves the grid as it was.
    const std::optional<std::vector<QStringList>> lines = ParseGridTextFile(bytes);
    if (!lines) {
        Report(StrId::GridFileReadError, path);
        return false;
    }
    // One layout at the end, not one per inserted row or sized column.
    const bool drawing = m_bAllowDraw;
    m_bAllowDraw = false;
    FillGridFromText(*this, *lines);
    AutoSizeColumns();
    m_bAllowDraw = drawing;
    UpdateScrollBars();
    viewport()->update();
    return true;
}
