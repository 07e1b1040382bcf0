#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
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

template <class Buffer> FileReadStatus ReadInto(const std::string &path, std::size_t limit, Buffer &out)
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
    buf.resize(got);
    out = std::move(buf);
    return FileReadStatus::Ok;
}

}  // namespace

FileReadStatus ReadRegularFile(const std::string &path, std::size_t limit, std::vector<std::uint8_t> &out)
{
    return ReadInto(path, limit, out);
}

FileReadStatus ReadRegularFile(const std::string &path, std::size_t limit, std::string &out)
{
    return ReadInto(path, limit, out);
}
