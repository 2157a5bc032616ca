// Reading the font file whole, and why it may not be possible.
#include "font_file.h"

#include <cerrno>
#include <cstring>

#include "platform/file.h"

namespace {

std::string tooLarge() {
    return "larger than " + std::to_string(maxFontBytes >> 20) + " MiB";
}

// Why an entry of this kind and size cannot be a font file, or nothing.
std::string unusable(const FileEntry& entry) {
    if (entry.kind != nullptr) {
        return std::string("not a regular file but ") + entry.kind;
    }
    return entry.size > maxFontBytes ? tooLarge() : "";
}

// Reads exactly the size the open file has: a file that turns out longer or
// shorter is being written at this moment, and what was read would be neither
// the old font nor the new one.
std::string readAll(int file, std::size_t size, FontFile& font) {
    if (size == 0) {
        return "the file is empty";
    }
    // Left uninitialised, so each page is touched once, by reading, rather
    // than zero-filled first. One byte more tells a file that has grown.
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size + 1]);
    std::size_t length = 0;
    while (length <= size) {
        const std::ptrdiff_t got = readSome(file, bytes.get() + length, size + 1 - length);
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
    font.data = std::move(bytes);
    font.size = size;
    return "";
}

}  // namespace

// Whatever the path names, nothing here waits: a named pipe or a device is
// turned away before it is opened (opening a pipe waits for a writer; opening
// a device may set it going), and one swapped in between is opened in a way
// that cannot wait either, then turned away before it is read.
std::string readFontFile(const char* path, FontFile& font) {
    font = {};
    FileEntry entry;
    if (!describePath(path, entry)) {
        font.missing = errno == ENOENT;
        return std::strerror(errno);
    }
    if (std::string reason = unusable(entry); !reason.empty()) {
        return reason;
    }
    const int file = openForReading(path);
    if (file < 0) {
        return std::strerror(errno);
    }
    std::string reason = describeFile(file, entry) ? unusable(entry) : std::strerror(errno);
    if (reason.empty()) {
        reason = readAll(file, static_cast<std::size_t>(entry.size), font);
    }
    closeFile(file);
    return reason;
}
