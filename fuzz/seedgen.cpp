// fuzz_seedgen <corpus folder>: writes the generated part of the seed corpus with the program's
// own writers: a saved settings file, the built-in layout texts, a new and a patched workbook,
// and three tiny clips (H.264 in MP4, MPEG-4 in AVI, Motion JPEG in Matroska). Hand-made seeds
// lie beside them in the repository. Run by hand when a format changes; the output is committed.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Main/xlsx/ExportData.h"
#include "shell/AppSettings.h"
#include "video/QTVideoWindowLayout.h"
#include "video/SFVideoClipWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace SF_SOFT_BASE;

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::wstring Identity(const wchar_t* key) { return key; }

bool Clip(const fs::path& path, const std::string& codec, const std::string& pixelFormat) {
    SFClipSettings s;
    s.path = path.string();
    s.codec = codec;
    s.pixelFormat = pixelFormat;
    s.width = 32;
    s.height = 24;
    s.framesPerSecond = 10;
    s.gop = 2;
    fs::create_directories(path.parent_path());
    CSFVideoClipWriter writer;
    if (!writer.Open(s)) {
        std::fprintf(stderr, "%s: %s\n", codec.c_str(), writer.Error().c_str());
        return false;
    }
    std::vector<uint8_t> y(32 * 24), u(16 * 12), v(16 * 12);
    for (int frame = 0; frame < 4; ++frame) {
        for (size_t i = 0; i < y.size(); ++i) {
            y[i] = static_cast<uint8_t>(16 + (i * 7 + frame * 40) % 220);
        }
        std::fill(u.begin(), u.end(), static_cast<uint8_t>(100 + frame * 10));
        std::fill(v.begin(), v.end(), static_cast<uint8_t>(150 - frame * 10));
        if (!writer.Write(y.data(), u.data(), v.data())) {
            return false;
        }
    }
    return writer.Finish();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seedgen <corpus folder>\n");
        return 2;
    }
    const fs::path out = argv[1];

    CAppSettings settings;
    settings.LoadSettings(nullptr);
    Write(out / "settings" / "saved.xml", settings.SettingsText());

    for (int type = 0; type < 10; ++type) {
        Write(out / "layout" / ("default-" + std::to_string(type) + ".txt"),
              GetDefaultLayout(type));
    }

    fs::create_directories(out / "workbook");
    SpecSheetValues values;
    for (size_t i = 0; i < SpecSheetValues::kCount; ++i) {
        values.fields[i] = std::to_wstring(i * 11);
    }
    const std::wstring folder = (out / "workbook").wstring();
    bool ok = ExportData(folder, L"new", values, nullptr, &Identity) == ExportResult::Exported;
    fs::copy_file(out / "workbook" / "new.xlsx", out / "workbook" / "patched.xlsx",
                  fs::copy_options::overwrite_existing);
    ok = ok && ExportData(folder, L"patched", values, nullptr, &Identity) == ExportResult::Exported;

    ok = ok && Clip(out / "player" / "h264.mp4", "libx264", "yuv420p");
    ok = ok && Clip(out / "player" / "mpeg4.avi", "mpeg4", "yuv420p");
    ok = ok && Clip(out / "player" / "mjpeg.mkv", "mjpeg", "yuvj420p");
    return ok ? 0 : 1;
}
