// Mapping a whole file read-only; see mapped_file_win.h.
#include "base/mapped_file_win.h"

#include "base/guards_win.h"

MappedFile::~MappedFile() {
    if (view_) UnmapViewOfFile(view_);
}

bool MappedFile::open(const std::wstring& path, std::uint64_t limit) {
    if (view_) return false;
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > limit)
        return false;
    // The view keeps the mapping, and the mapping the file, after both handles close.
    KernelHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return false;
    void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
    if (!view) return false;
    view_ = static_cast<const std::uint8_t*>(view);
    size_ = static_cast<std::size_t>(size.QuadPart);
    return true;
}
