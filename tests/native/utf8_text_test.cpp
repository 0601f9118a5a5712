#include "base/utf8_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// What copyUtf8Bounded leaves in a buffer of `size` bytes; checks that nothing is
// written past it.
std::string copied(const std::string& text, size_t size) {
    char out[64];
    std::memset(out, '#', sizeof out);
    const size_t count = copyUtf8Bounded(out, size, text.data(), text.size());
    EXPECT_EQ(out[size], '#') << "wrote past the buffer";
    if (size == 0) return "(nothing)";
    EXPECT_EQ(count, std::strlen(out));
    return out;
}

// "Caf", then E WITH ACUTE (2 bytes), ALEF (2), EURO SIGN (3), an emoji (4), "!".
const std::string kMixed = "Caf\xC3\xA9\xD8\xA7\xE2\x82\xAC\xF0\x9F\x98\x80!";

TEST(Utf8BoundedCopy, ATextThatFitsIsCopiedWhole) {
    EXPECT_EQ(copied(kMixed, kMixed.size() + 1), kMixed);
    EXPECT_EQ(copied("", 1), "");
    EXPECT_EQ(copied("abc", 4), "abc");
}

TEST(Utf8BoundedCopy, ALongTextIsCutBeforeTheFirstCharacterThatDoesNotFitWhole) {
    // Every room from none to all but the last byte: the cut lands between characters.
    const size_t boundaries[] = {0, 1, 2, 3, 5, 7, 10, 14};
    for (size_t room = 0; room < kMixed.size(); ++room) {
        SCOPED_TRACE(room);
        size_t expected = 0;
        for (size_t boundary : boundaries)
            if (boundary <= room) expected = boundary;
        EXPECT_EQ(copied(kMixed, room + 1), kMixed.substr(0, expected));
        EXPECT_EQ(utf8LengthThatFits(kMixed.data(), kMixed.size(), room), expected);
    }
}

TEST(Utf8BoundedCopy, NoBufferGetsNothingAndAByteThatIsNoUtf8IsCutLikeAnyByte) {
    EXPECT_EQ(copied("abc", 0), "(nothing)");
    EXPECT_EQ(copyUtf8Bounded(nullptr, 8, "abc", 3), 0u);
    // Continuation bytes without a lead byte within reach are cut where the room ends.
    const std::string stray(6, '\x80');
    EXPECT_EQ(copied(stray, 5), stray.substr(0, 4));
    // An ANSI text (E WITH ACUTE of code page 1252) is no UTF-8 sequence: cut by bytes.
    EXPECT_EQ(copied("Caf\xE9 Sans", 5), "Caf\xE9");
}

} // namespace
