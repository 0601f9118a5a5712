// A file read through a read-only view of its mapping: only the pages that are read come
// into memory, and they stay the file's (the system may drop them and read them again),
// so a large data file costs the process little.
#ifndef NORAVEL_BASE_MAPPED_FILE_WIN_H
#define NORAVEL_BASE_MAPPED_FILE_WIN_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

class MappedFile {
  public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the whole file at path; false (nothing mapped) when it cannot be opened, is
    // empty or larger than limit bytes, or cannot be mapped.
    bool open(const std::wstring& path, std::uint64_t limit);
    const std::uint8_t* data() const { return view_; }
    std::size_t size() const { return size_; }

  private:
    const std::uint8_t* view_ = nullptr;
    std::size_t size_ = 0;
};

#endif
