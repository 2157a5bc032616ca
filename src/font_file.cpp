// Reading the font file whole, and why it may not be possible.
#include "font_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

std::string tooLarge() {
    return "larger than " + std::to_string(maxFontBytes >> 20) + " MiB";
}

const char* kindOf(mode_t mode) {
    return S_ISDIR(mode)    ? "a directory"
           : S_ISFIFO(mode) ? "a named pipe"
           : S_ISCHR(mode)  ? "a character device"
           : S_ISBLK(mode)  ? "a block device"
           : S_ISSOCK(mode) ? "a socket"
                            : "something else";
}

// Why an entry of this kind and size cannot be a font file, or nothing.
std::string unusable(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        return std::string("not a regular file but ") + kindOf(info.st_mode);
    }
    return static_cast<std::uintmax_t>(info.st_size) > maxFontBytes ? tooLarge() : "";
}

// Reads exactly the size fstat gave: a file that turns out longer or shorter
// is being written at this moment, and what was read would be neither the old
// font nor the new one.
std::string readAll(int fd, std::size_t size, FontBytes& font) {
    if (size == 0) {
        return "the file is empty";
    }
    // Left uninitialised, so each page is touched once, by read(), rather
    // than zero-filled first. One byte more tells a file that has grown.
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size + 1]);
    std::size_t length = 0;
    while (length <= size) {
        const ssize_t got = read(fd, bytes.get() + length, size + 1 - length);
        if (got == 0) {
            break;
        }
        if (got < 0 && errno != EINTR) {
            return std::strerror(errno);
        }
        length += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    if (length != size) {
        return "the file changed while it was read";
    }
    font = {std::move(bytes), size};
    return "";
}

}  // namespace

// Whatever the path names, nothing here waits: a named pipe or a device is
// turned away before it is opened (opening a pipe waits for a writer; opening
// a device may set it going), and O_NONBLOCK covers one swapped in between.
std::string readFontFile(const char* path, FontBytes& bytes) {
    struct stat info {};
    if (stat(path, &info) != 0) {
        return std::strerror(errno);
    }
    if (std::string reason = unusable(info); !reason.empty()) {
        return reason;
    }
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    std::string reason = fstat(fd, &info) != 0 ? std::strerror(errno) : unusable(info);
    if (reason.empty()) {
        reason = readAll(fd, static_cast<std::size_t>(info.st_size), bytes);
    }
    close(fd);
    return reason;
}
