#pragma once
// Shared pieces of the fuzz targets: the invariant check that aborts (so libFuzzer keeps the
// input), and a scratch folder on a memory file system for the parsers that read files.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// A violated invariant: name it on stderr and abort.
#define FUZZ_CHECK(cond)                                                              \
    do {                                                                              \
        if (!(cond)) {                                                                \
            std::fprintf(stderr, "%s:%d: invariant violated: %s\n", __FILE__, __LINE__, \
                         #cond);                                                      \
            std::abort();                                                             \
        }                                                                             \
    } while (0)

namespace fuzzsupport {

// One folder per process, made at first use and removed at exit. /dev/shm when it exists: the
// targets write a file per execution and the atomic save flushes to disk.
inline const std::string& ScratchDir() {
    static const std::string dir = [] {
        std::string base = std::filesystem::exists("/dev/shm")
                               ? std::string("/dev/shm")
                               : std::filesystem::temp_directory_path().string();
        std::string pattern = base + "/tessaro-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        static const std::string keep = pattern;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(keep, ec);
        });
        return pattern;
    }();
    return dir;
}

inline std::string WriteScratch(const std::string& name, std::string_view bytes) {
    std::string path = ScratchDir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    FUZZ_CHECK(out.good());
    return path;
}

inline std::string ReadScratch(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace fuzzsupport
