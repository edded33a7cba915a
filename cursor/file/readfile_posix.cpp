#include "cursor/file/cursorfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cursorfile {

std::optional<std::vector<std::uint8_t>> readFile(const std::string &path)
{
    // Non-blocking, so that a named pipe put where a cursor file should be cannot hold us up
    // in open(); the type is then checked on the handle itself, leaving no gap for a swap.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0
        || static_cast<std::uintmax_t>(st.st_size) > maxFileSize)
        return std::nullopt;

    // Room for one byte more than the file holds: a file that grows while we read it is refused.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got == bytes.size())
        return std::nullopt;
    bytes.resize(got);
    return bytes;
}

} // namespace cursorfile
