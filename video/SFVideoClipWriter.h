#pragma once
// Writes a video file from 8-bit 4:2:0 pictures with libavcodec and libavformat: the build's
// sample generator and the tests' clip maker. Pictures are given as three tightly packed planes
// (chroma (width + 1) / 2 x (height + 1) / 2) and converted with libswscale when the encoder
// takes another pixel format. Deterministic: same settings and pictures, same bytes.
// One writer per thread; not used by the running program.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "video/SFYuvToRgb.h"

namespace SF_SOFT_BASE {

struct SFClipSettings {
    std::string path;
    std::string codec = "libx264";        // encoder name
    std::string pixelFormat = "yuv420p";  // the encoder's input format
    std::string container;                // empty: guessed from the file name
    int width = 320;
    int height = 240;
    int framesPerSecond = 30;
    int64_t bitRate = 0;  // 0: the encoder's default quality
    int gop = 0;          // key-frame distance; 0: the encoder's default
    int threads = 1;
    // Encoder options by name, e.g. {"preset", "veryfast"}, {"crf", "26"}.
    std::vector<std::pair<std::string, std::string>> options;
    ESFColorMatrix matrix = ESFColorMatrix::Bt601;
    ESFColorRange range = ESFColorRange::Limited;
};

class CSFVideoClipWriter {
public:
    CSFVideoClipWriter();
    ~CSFVideoClipWriter();
    CSFVideoClipWriter(const CSFVideoClipWriter&) = delete;
    CSFVideoClipWriter& operator=(const CSFVideoClipWriter&) = delete;

    // Starts a file (a writer may be opened again after Finish). After a false result, Write and
    // Finish return false until the next successful Open.
    bool Open(const SFClipSettings& settings);
    // Encodes one picture shown at stampMs (default: frame number / frames per second).
    bool Write(const uint8_t* y, const uint8_t* u, const uint8_t* v, int64_t stampMs = -1);
    // Flushes the encoder and writes the trailer; the file is complete when this returns true.
    bool Finish();
    // FFmpeg's text for the last failure.
    const std::string& Error() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace SF_SOFT_BASE
