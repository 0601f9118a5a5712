// Feeds arbitrary bytes to the bookmark file reader (the file is the user's and may hold
// anything). The input is copied into a heap block of exactly its size, so that any read
// past its end is caught. Beyond not crashing, every bookmark read must be written back to
// a line that reads as the same bookmark, and no line may vanish: the bookmarks and the
// damaged lines together are all the non-empty lines of the input.
#include "app/bookmark_file.h"
#include "fuzz/line_count.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

int ayahCount(int surah) {
    return surah == 2 ? 286 : 7;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    if (size) std::memcpy(copy.get(), data, size);
    const std::string_view input(copy.get(), size);

    const BookmarkFileContent content = parseBookmarkFile(input, ayahCount);
    if (content.bookmarks.size() + content.damagedLines.size() != nonEmptyLines(input))
        std::abort();
    const BookmarkFileContent again =
        parseBookmarkFile(formatBookmarkFile(content.bookmarks), ayahCount);
    if (!again.damagedLines.empty() || !(again.bookmarks == content.bookmarks)) std::abort();
    return 0;
}
