// Starts of the real reader that only a separate process can see: on a hostile picture of
// 1:1, and from a folder with a library dropped beside the program.
#include "reader_session_win.h"

#include "resources/resource_ids.h"
#include "tests/native/picture_builder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <string>

namespace {

// A copy of the program folder in the temporary folder: its programs and the pictures of
// surah 1. Returns the copy's folder.
std::string programCopy(const char* name) {
    const std::string from = windowsPathOf(NORAVEL_READER_EXE);
    const std::string dist = from.substr(0, from.rfind('\\'));
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string copy = std::string(temp) + name;
    CreateDirectoryA(copy.c_str(), nullptr);
    CreateDirectoryA((copy + "\\gif").c_str(), nullptr);
    CreateDirectoryA((copy + "\\gif\\1").c_str(), nullptr);
    for (const std::string& folder : {std::string(), std::string("\\gif\\1")}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dist + folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            CopyFileA((dist + folder + "\\" + found.cFileName).c_str(),
                      (copy + folder + "\\" + found.cFileName).c_str(), FALSE);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return copy;
}

// A copy of the program folder whose picture of 1:1 is a 1x1 GIF followed by 1 MB of
// codes that each name the longest string.
std::string programCopyWithHostileFirstPicture() {
    const std::string copy = programCopy("noravel-hostile-picture");
    using namespace picture_builder;
    GifSpec shape;
    shape.minimumCodeSize = 2;
    shape.globalTable = colourTable(4);
    shape.codeStream = deepestChains(4090, (1 << 20) * 8 / 12);
    const Bytes gif = buildGif(shape);
    std::ofstream(copy + "\\gif\\1\\1_1.gif", std::ios::binary)
        .write(reinterpret_cast<const char*>(gif.data()), static_cast<std::streamsize>(gif.size()));
    return copy + "\\Noravel.exe";
}

// Milliseconds from starting the reader until its window is ready; -1 when it is not.
long startAndClose(const std::string& exe) {
    ReaderSession reader(exe);
    const DWORD started = GetTickCount();
    if (!reader.start()) return -1;
    const long taken = static_cast<long>(GetTickCount() - started);
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    return reader.waitForExit() == 0 ? taken : -1;
}

TEST(HostilePictureJourney, AnEndlessCodeStreamAsTheFirstPictureDelaysTheStartByUnderOneSecond) {
    const std::string hostile = programCopyWithHostileFirstPicture();
    const long normal = startAndClose(windowsPathOf(NORAVEL_READER_EXE));
    const long slow = startAndClose(hostile);
    ASSERT_GE(normal, 0);
    ASSERT_GE(slow, 0);
    EXPECT_LE(slow, normal + 1000) << "normal start " << normal << " ms";
    std::cout << "normal start " << normal << " ms, on the hostile picture " << slow << " ms\n";
}

// A Riched32.dll that refuses to load, dropped beside a portable copy of the reader, is
// never loaded: the reader takes the system's and shows 1:1 with its translation.
TEST(ReaderStartAndStop, ALibraryDroppedBesideTheReaderIsNotLoaded) {
    const std::string copy = programCopy("noravel-dropped-library");
    ASSERT_TRUE(CopyFileA(windowsPathOf(NORAVEL_REFUSING_DLL).c_str(),
                          (copy + "\\riched32.dll").c_str(), FALSE));
    const std::string marker = copy + "\\riched32.dll.loaded";
    DeleteFileA(marker.c_str());
    // Wine prefers its own builtin DLLs to any beside a program; asking it for native ones
    // first (for this program, in the test prefix) makes it search the way Windows does:
    // the program's folder before the system's.
    const char* appDefaults = "Software\\Wine\\AppDefaults\\Noravel.exe\\DllOverrides";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, appDefaults, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const char order[] = "native,builtin";
    RegSetValueExA(key, "riched32", 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
    RegCloseKey(key);
    ReaderSession reader(copy + "\\Noravel.exe");
    const bool started = reader.start();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Noravel.exe");
    ASSERT_TRUE(started);
    EXPECT_EQ(reader.text(reader.child(IDC_TRANSLATION)),
              "Dengan nama Allah Yang Maha Pengasih, Maha Penyayang");
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
    EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the reader loaded the riched32.dll beside it";
}

} // namespace
