// The generated resources, read into memory for the benchmarks.
#ifndef NORAVEL_BENCH_BENCH_DATA_H
#define NORAVEL_BENCH_BENCH_DATA_H

#include <fstream>
#include <sstream>
#include <string>

// The bytes of one file of the generated data folder ("" when it cannot be read).
inline std::string readDataFile(const char* name) {
    std::ifstream in(std::string(NORAVEL_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

#endif
