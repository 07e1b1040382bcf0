#pragma once
// Reads the files the program takes from the user (settings, preset files, firmware images):
// regular files only, whole, up to a size limit that fits the format. A FIFO, a device node or a
// folder is refused without blocking, and so is a file larger than the limit, so a wrong path can
// neither hang the program nor make it read gigabytes. Symbolic links are followed: users may
// keep their files anywhere.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct stat;

enum class FileReadStatus {
    Ok,
    Missing,     // no such file
    NotRegular,  // a folder, FIFO, socket or device node
    TooLarge,    // larger than the limit
    Failed,      // any other error of open or read (permission, I/O)
};

// What tells one version of a file from another: a replaced file has another inode, a file changed
// in place another size, modification or change time.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtimeSec = 0;
    std::int64_t mtimeNsec = 0;
    std::int64_t ctimeSec = 0;
    std::int64_t ctimeNsec = 0;
    bool operator==(const FileStamp &) const = default;
};
FileStamp StampOf(const struct stat &st);

// With `stamp`, also the stamp of the version that was read, taken from the open file; the default
// stamp, which no file has, when the file changed while it was read.
FileReadStatus ReadRegularFile(const std::string &path, std::size_t limit, std::vector<std::uint8_t> &out);
FileReadStatus ReadRegularFile(const std::string &path, std::size_t limit, std::string &out,
                               FileStamp *stamp = nullptr);

// The folder part of a path: "." for a bare name, "/" for a file at the root.
std::string ParentFolder(const std::string &path);
// Makes dir and its missing parents with mode 0700; true when dir is then a folder.
bool MakeFolders(const std::string &dir);

// The path with the symbolic links of its last part followed, through chains of links, to the
// file they name; that file need not exist. Folders on the way are left as they are. nullopt when
// the chain is longer than the kernel follows (a loop) or a link cannot be read whole.
std::optional<std::string> FollowFileLinks(std::string path);
