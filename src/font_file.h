// The font file, read whole at start-up into memory, so that nothing that later
// happens to the file reaches the running program. No GL; the calls that
// differ between POSIX and Windows are in platform/file.h.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The file is read whole. The largest fonts in common use, the CJK
// collections, take some 20 to 30 MiB; anything far larger is not a font
// worth waiting for.
constexpr std::size_t maxFontBytes = std::size_t{64} << 20;

struct FontFile {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
    bool missing = false;  // nothing at all at the path, where another place may serve
};

// Fills `file` with the whole file, or leaves it empty and says why not, in
// words a person can act on ("not a regular file but a named pipe", "larger
// than 64 MiB", the system's own for a missing file). Never waits, whatever
// the path names.
std::string readFontFile(const char* path, FontFile& file);
