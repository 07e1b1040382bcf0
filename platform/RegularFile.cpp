#include "platform/RegularFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <limits>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

template <class Buffer>
FileReadStatus ReadInto(const std::string &path, std::size_t limit, Buffer &out, FileStamp *stamp)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer. It changes nothing for regular files.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileReadStatus::Missing : FileReadStatus::Failed;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return FileReadStatus::Failed;
    if (!S_ISREG(st.st_mode))
        return FileReadStatus::NotRegular;
    if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > limit)
        return FileReadStatus::TooLarge;

    // The file may change while it is read: read to its end, but never beyond one byte over the
    // limit, which is enough to tell that it grew too large.
    const std::size_t cap = limit < std::numeric_limits<std::size_t>::max() ? limit + 1 : limit;
    Buffer buf;
    buf.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == buf.size()) {
            if (buf.size() >= cap)
                return FileReadStatus::TooLarge;
            buf.resize(buf.size() < cap / 2 ? buf.size() * 2 : cap);
        }
        const ssize_t n = ::read(fd.get(), buf.data() + got, buf.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return FileReadStatus::Failed;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got > limit)
        return FileReadStatus::TooLarge;
    if (stamp != nullptr) {
        // A file changed in place while it was read gets no stamp of its own (the default one
        // matches no file), so a reader that keeps what it read reads it again.
        struct stat now {};
        if (::fstat(fd.get(), &now) != 0)
            return FileReadStatus::Failed;
        *stamp = StampOf(now) == StampOf(st) ? StampOf(now) : FileStamp{};
    }
    buf.resize(got);
    out = std::move(buf);
    return FileReadStatus::Ok;
}

}  // namespace

std::string ParentFolder(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool MakeFolders(const std::string &dir)
{
    if (dir.empty())
        return true;
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (const std::string parent = ParentFolder(dir); parent != dir && !MakeFolders(parent))
        return false;
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

FileStamp StampOf(const struct stat &st)
{
    FileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    s.mtimeSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    s.mtimeNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    s.ctimeSec = static_cast<std::int64_t>(st.st_ctim.tv_sec);
    s.ctimeNsec = static_cast<std::int64_t>(st.st_ctim.tv_nsec);
    return s;
}

FileReadStatus ReadRegularFile(const std::string &path, std::size_t limit, std::vector<std::uint8_t> &out)
{
    return ReadInto(path, limit, out, nullptr);
}

FileReadStatus ReadRegularFile(const std::string &path, std::size_t limit, std::string &out, FileStamp *stamp)
{
    return ReadInto(path, limit, out, stamp);
}

std::optional<std::string> FollowFileLinks(std::string path)
{
    constexpr int kMaxHops = 40;  // as many as the kernel follows in one path
    for (int hop = 0; hop <= kMaxHops; ++hop) {
        std::array<char, PATH_MAX> target{};
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0)
            return errno == EINVAL || errno == ENOENT || errno == ENOTDIR || errno == EACCES
                       ? std::optional<std::string>(std::move(path))  // not a link, or nothing there yet
                       : std::nullopt;
        if (n == 0 || static_cast<std::size_t>(n) >= target.size())
            return std::nullopt;
        const std::string next(target.data(), static_cast<std::size_t>(n));
        path = next.front() == '/' ? next : ParentFolder(path) + "/" + next;
    }
    return std::nullopt;
}
