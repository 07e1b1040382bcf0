// The grid window's text file commands: the cells to and from a comma-separated text file
// (grid/GridTextFile.*), with the file errors reported to the user.

#include "grid/GridCtrl.h"

#include "grid/GridTextFile.h"
#include "model/PresetFiles.h"
#include "platform/RegularFile.h"
#include "platform/ViewServices.h"
#include "res/Strings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {
constexpr std::size_t kTextFileLimit = 16u << 20;  // far beyond any grid a user keeps

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
    switch (ReadRegularFile(path, kTextFileLimit, bytes)) {
    case FileReadStatus::Ok: break;
    case FileReadStatus::Missing: Report(StrId::GridFileNotFound, path); return false;
    case FileReadStatus::NotRegular:
    case FileReadStatus::TooLarge: Report(StrId::GridFileNotText, path); return false;
    case FileReadStatus::Failed:
        Report(::access(path.c_str(), R_OK) != 0 ? StrId::GridFileAccessDenied : StrId::GridFileReadError, path);
        return false;
    }
    // Read whole first: a file that cannot be read leaves the grid as it was.
    FillGridFromText(*this, ParseGridTextFile(bytes));
    AutoSizeColumns();
    viewport()->update();
    return true;
}
