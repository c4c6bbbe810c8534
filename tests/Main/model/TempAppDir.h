#pragma once
// A temporary application directory for one test: created empty, made the application
// directory, removed with everything in it at the end.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "framework/os/SFAppDir.h"

class TempAppDir {
public:
    TempAppDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tessaro-model-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            m_path = pattern;
        }
        SF_SOFT_BASE::SetApplicationDirectory(m_path.string());
    }
    ~TempAppDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempAppDir(const TempAppDir&) = delete;
    TempAppDir& operator=(const TempAppDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    void Write(const std::string& name, std::string_view bytes) const {
        std::ofstream out(m_path / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path m_path;
};
