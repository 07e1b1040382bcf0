#pragma once
// Reads the files the program takes from the user (settings, preset files, firmware images):
// regular files only, whole, up to a size limit that fits the format. A FIFO, a device node or a
// folder is refused without blocking, and so is a file larger than the limit, so a wrong path can
// neither hang the program nor make it read gigabytes. Symbolic links are followed: users may
// keep their files anywhere.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class FileReadStatus {
    Ok,
    Missing,     // no such file
    NotRegular,  // a folder, FIFO, socket or device node
    TooLarge,    // larger than the limit
    Failed,      // any other error of open or read (permission, I/O)
};

FileReadStatus ReadRegularFile(const std::string &path, std::size_t limit, std::vector<std::uint8_t> &out);
FileReadStatus ReadRegularFile(const std::string &path, std::size_t limit, std::string &out);
