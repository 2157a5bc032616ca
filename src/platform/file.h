// The calls that read a file, the one place where POSIX and Windows differ:
// file_posix.cpp and file_windows.cpp each implement this header, and CMake
// builds the one for the target. The code above it never asks which it is.
#pragma once

#include <cstddef>
#include <cstdint>

// What a path, or an open file, names.
struct FileEntry {
    const char* kind = nullptr;  // nullptr for a regular file, else "a directory", ...
    std::uintmax_t size = 0;     // bytes
};

// Each fails as the system call under it does: false or -1, with errno set.
bool describePath(const char* path, FileEntry& entry);
bool describeFile(int file, FileEntry& entry);
// For reading, byte for byte, without waiting, and not inherited by child processes.
int openForReading(const char* path);
// At most `size` bytes: how many were read, 0 at the end of the file.
std::ptrdiff_t readSome(int file, unsigned char* buffer, std::size_t size);
void closeFile(int file);
