// The file calls on POSIX systems. O_NONBLOCK keeps a named pipe or a device,
// swapped in after the path was looked at, from making open() wait.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* kindOf(mode_t mode) {
    return S_ISREG(mode)    ? nullptr
           : S_ISDIR(mode)  ? "a directory"
           : S_ISFIFO(mode) ? "a named pipe"
           : S_ISCHR(mode)  ? "a character device"
           : S_ISBLK(mode)  ? "a block device"
           : S_ISSOCK(mode) ? "a socket"
                            : "something else";
}

bool describe(int status, const struct stat& info, FileEntry& entry) {
    if (status == 0) {
        entry = {kindOf(info.st_mode), static_cast<std::uintmax_t>(info.st_size)};
    }
    return status == 0;
}

}  // namespace

bool describePath(const char* path, FileEntry& entry) {
    struct stat info {};
    return describe(stat(path, &info), info, entry);
}

bool describeFile(int file, FileEntry& entry) {
    struct stat info {};
    return describe(fstat(file, &info), info, entry);
}

int openForReading(const char* path) {
    return open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

std::ptrdiff_t readSome(int file, unsigned char* buffer, std::size_t size) {
    return read(file, buffer, size);
}

void closeFile(int file) {
    close(file);
}
