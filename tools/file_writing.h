// Writing a generator's output through a temporary file beside it and one rename, so that
// an interrupted run never leaves a partial file under the final name (a rerun then makes
// it again). The temporary name carries the process id, so two runs never share it.
#ifndef NORAVEL_TOOLS_FILE_WRITING_H
#define NORAVEL_TOOLS_FILE_WRITING_H

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// False with the reason in error when the file cannot be written or put in place.
inline bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                std::string& error) {
    namespace fs = std::filesystem;
    fs::path temporary = path;
    temporary += ".tmp" + std::to_string(static_cast<long>(getpid()));
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + temporary.string();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        error = "cannot rename " + temporary.string() + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

inline bool writeFileAtomically(const std::filesystem::path& path,
                                const std::vector<std::uint8_t>& bytes, std::string& error) {
    return writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

#endif
