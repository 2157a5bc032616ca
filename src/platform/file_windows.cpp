// The file calls on Windows, through its C runtime. The 64-bit stat measures a
// file past 2 GiB instead of failing on it; binary mode reads the bytes as
// they are, where text mode would drop carriage returns and stop at a Ctrl-Z.
// Windows has no sockets or block devices among its files, and needs no
// O_NONBLOCK: opening a busy named pipe fails rather than waits.
#include "platform/file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>

namespace {

const char* kindOf(unsigned mode) {
    switch (mode & _S_IFMT) {
        case _S_IFREG:
            return nullptr;
        case _S_IFDIR:
            return "a directory";
        case _S_IFIFO:
            return "a named pipe";
        case _S_IFCHR:
            return "a character device";
        default:
            return "something else";
    }
}

bool describe(int status, const struct _stat64& info, FileEntry& entry) {
    if (status == 0) {
        entry = {kindOf(info.st_mode), static_cast<std::uintmax_t>(info.st_size)};
    }
    return status == 0;
}

}  // namespace

bool describePath(const char* path, FileEntry& entry) {
    struct _stat64 info {};
    return describe(_stat64(path, &info), info, entry);
}

bool describeFile(int file, FileEntry& entry) {
    struct _stat64 info {};
    return describe(_fstat64(file, &info), info, entry);
}

int openForReading(const char* path) {
    return _open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

// _read counts in unsigned int and answers in int.
std::ptrdiff_t readSome(int file, unsigned char* buffer, std::size_t size) {
    return _read(file, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

void closeFile(int file) {
    _close(file);
}
