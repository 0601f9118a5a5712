#include "app/program_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string directoryOf(const char* path, std::size_t size = 260) {
    char out[260];
    std::memset(out, 'x', sizeof out);
    programDirectoryFromPath(path, out, size);
    return out;
}

TEST(ProgramDirectory, IsThePathUpToItsLastBackslash) {
    EXPECT_EQ(directoryOf("C:\\Program Files\\Noravel\\Noravel.exe"), "C:\\Program Files\\Noravel");
    EXPECT_EQ(directoryOf("C:\\Noravel.exe"), "C:");
    EXPECT_EQ(directoryOf("\\\\server\\share\\a.exe"), "\\\\server\\share");
}

TEST(ProgramDirectory, APathWithoutABackslashStaysWhole) {
    EXPECT_EQ(directoryOf("Noravel.exe"), "Noravel.exe");
    EXPECT_EQ(directoryOf(""), "");
}

TEST(ProgramDirectory, IsCutToTheBufferAndAlwaysTerminated) {
    EXPECT_EQ(directoryOf("C:\\abcdef\\x.exe", 4), "C:\\");
    char one[1] = {'x'};
    programDirectoryFromPath("C:\\a\\b.exe", one, 1);
    EXPECT_EQ(one[0], '\0');
}

} // namespace
