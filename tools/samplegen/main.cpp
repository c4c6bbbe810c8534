// samplegen <output.mp4>: draws the sample show and encodes it as H.264 in MP4.
//
// 1920 x 1080, 30 frames per second, 12 seconds. Every movement is periodic with a whole number
// of cycles per clip, so the last frame leads smoothly into the first and the sample loops
// without a jump. The picture is built for a wall of panels: a slowly changing colour field,
// thin diagonal lines and moving discs whose edges cross the panel joints (a misplaced segment
// shows as a broken line), and a title. Everything is drawn directly in limited-range BT.709
// YUV 4:2:0; no randomness, fixed encoder settings: the same bytes on every build.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "video/SFVideoClipWriter.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFps = 30;
constexpr int kFrames = 12 * kFps;
constexpr double kTau = 6.283185307179586;

struct Yuv {
    uint8_t y, u, v;
};

// BT.709, limited range.
Yuv FromRgb(double r, double g, double b) {
    auto clamp = [](double v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : std::lround(v))); };
    const double yy = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    return {clamp(16 + yy * 219 / 255), clamp(128 + (b - yy) / 1.8556 * 224 / 255),
            clamp(128 + (r - yy) / 1.5748 * 224 / 255)};
}

struct Picture {
    std::vector<uint8_t> y = std::vector<uint8_t>(size_t(kWidth) * kHeight);
    std::vector<uint8_t> u = std::vector<uint8_t>(size_t(kWidth / 2) * (kHeight / 2));
    std::vector<uint8_t> v = std::vector<uint8_t>(size_t(kWidth / 2) * (kHeight / 2));

    // Paints the pixels for which inside(x, y) holds within the box; chroma is tested at the
    // centre of each 2 x 2 block.
    template <typename Inside>
    void Fill(int x0, int y0, int x1, int y1, Yuv c, Inside inside) {
        x0 = std::max(x0 & ~1, 0);
        y0 = std::max(y0 & ~1, 0);
        x1 = std::min(x1, kWidth);
        y1 = std::min(y1, kHeight);
        for (int py = y0; py < y1; ++py)
            for (int px = x0; px < x1; ++px)
                if (inside(px + 0.5, py + 0.5))
                    y[size_t(py) * kWidth + size_t(px)] = c.y;
        for (int py = y0; py < y1; py += 2)
            for (int px = x0; px < x1; px += 2)
                if (inside(px + 1.0, py + 1.0)) {
                    u[size_t(py / 2) * (kWidth / 2) + size_t(px / 2)] = c.u;
                    v[size_t(py / 2) * (kWidth / 2) + size_t(px / 2)] = c.v;
                }
    }
};

// The colour field: a sum of a horizontal and a vertical wave, each a whole number of cycles
// per clip, so that it drifts across the wall and comes back.
void Background(Picture& p, double t) {
    std::vector<Yuv> column(kWidth / 2);
    std::vector<double> rowShade(kHeight / 2);
    for (int cx = 0; cx < kWidth / 2; ++cx) {
        const double a = kTau * (double(cx) / (kWidth / 2) + t);
        column[size_t(cx)] = FromRgb(90 + 70 * std::sin(a), 60 + 50 * std::sin(a + 2.1),
                                     140 + 90 * std::sin(a + 4.2));
    }
    for (int cy = 0; cy < kHeight / 2; ++cy)
        rowShade[size_t(cy)] =
            0.55 + 0.45 * std::sin(kTau * (double(cy) / (kHeight / 2) * 0.5 - t));
    for (int py = 0; py < kHeight; ++py) {
        const double shade = rowShade[size_t(py / 2)];
        uint8_t* row = p.y.data() + size_t(py) * kWidth;
        for (int px = 0; px < kWidth; ++px)
            row[px] = uint8_t(16 + (column[size_t(px / 2)].y - 16) * shade);
    }
    for (int cy = 0; cy < kHeight / 2; ++cy) {
        for (int cx = 0; cx < kWidth / 2; ++cx) {
            p.u[size_t(cy) * (kWidth / 2) + size_t(cx)] = column[size_t(cx)].u;
            p.v[size_t(cy) * (kWidth / 2) + size_t(cx)] = column[size_t(cx)].v;
        }
    }
}

// Thin diagonal lines 5 pixels wide every 160 pixels, moving two spacings per clip.
void Lines(Picture& p, double t) {
    const int shift = int(std::lround(t * 320));
    const Yuv c = FromRgb(235, 235, 235);
    p.Fill(0, 0, kWidth, kHeight, c,
           [&](double x, double y) { return (int(x + y) + shift) % 160 < 5; });
}

void Discs(Picture& p, double t) {
    struct Disc {
        double radius;
        int fx, fy;  // whole cycles per clip
        double phase;
        double r, g, b;
    };
    static const Disc discs[] = {
        {150, 1, 2, 0.0, 250, 180, 40}, {110, 2, 1, 1.3, 40, 220, 200},
        {90, 3, 2, 2.6, 240, 70, 120},  {200, 1, 1, 4.0, 120, 90, 250},
        {70, 2, 3, 5.1, 250, 250, 120},
    };
    for (const Disc& d : discs) {
        const double cx =
            kWidth / 2.0 + (kWidth / 2.0 - d.radius) * std::sin(kTau * d.fx * t + d.phase);
        const double cy =
            kHeight / 2.0 + (kHeight / 2.0 - d.radius) * std::cos(kTau * d.fy * t + d.phase * 0.7);
        const double r2 = d.radius * d.radius;
        const double ring = (d.radius - 12) * (d.radius - 12);
        const Yuv body = FromRgb(d.r, d.g, d.b);
        const Yuv edge = FromRgb(255, 255, 255);
        const int x0 = int(cx - d.radius) - 1;
        const int y0 = int(cy - d.radius) - 1;
        const int x1 = int(cx + d.radius) + 2;
        const int y1 = int(cy + d.radius) + 2;
        p.Fill(x0, y0, x1, y1, edge, [&](double x, double y) {
            const double dd = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            return dd <= r2 && dd > ring;
        });
        p.Fill(x0, y0, x1, y1, body, [&](double x, double y) {
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= ring;
        });
    }
}

// A 5 x 7 pixel font for the title's letters.
const char* Glyph(char c) {
    switch (c) {
        case 'T':
            return "11111"
                   "00100"
                   "00100"
                   "00100"
                   "00100"
                   "00100"
                   "00100";
        case 'E':
            return "11111"
                   "10000"
                   "10000"
                   "11110"
                   "10000"
                   "10000"
                   "11111";
        case 'S':
            return "01111"
                   "10000"
                   "10000"
                   "01110"
                   "00001"
                   "00001"
                   "11110";
        case 'A':
            return "01110"
                   "10001"
                   "10001"
                   "11111"
                   "10001"
                   "10001"
                   "10001";
        case 'R':
            return "11110"
                   "10001"
                   "10001"
                   "11110"
                   "10100"
                   "10010"
                   "10001";
        case 'O':
            return "01110"
                   "10001"
                   "10001"
                   "10001"
                   "10001"
                   "10001"
                   "01110";
        case 'V':
            return "10001"
                   "10001"
                   "10001"
                   "10001"
                   "10001"
                   "01010"
                   "00100";
        case 'I':
            return "01110"
                   "00100"
                   "00100"
                   "00100"
                   "00100"
                   "00100"
                   "01110";
        case 'D':
            return "11110"
                   "10001"
                   "10001"
                   "10001"
                   "10001"
                   "10001"
                   "11110";
        case 'W':
            return "10001"
                   "10001"
                   "10001"
                   "10101"
                   "10101"
                   "10101"
                   "01010";
        case 'L':
            return "10000"
                   "10000"
                   "10000"
                   "10000"
                   "10000"
                   "10000"
                   "11111";
        default:
            return "00000"
                   "00000"
                   "00000"
                   "00000"
                   "00000"
                   "00000"
                   "00000";
    }
}

void Text(Picture& p, const std::string& text, int centreX, int top, int scale, Yuv colour) {
    const int advance = 6 * scale;
    const int left = centreX - (int(text.size()) * advance - scale) / 2;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* g = Glyph(text[i]);
        const int gx = left + int(i) * advance;
        p.Fill(gx, top, gx + 5 * scale, top + 7 * scale, colour, [&](double x, double y) {
            const int col = int((x - gx) / scale);
            const int row = int((y - top) / scale);
            return col >= 0 && col < 5 && row >= 0 && row < 7 && g[row * 5 + col] == '1';
        });
    }
}

void Title(Picture& p, double t) {
    const int bob = int(std::lround(24 * std::sin(kTau * t)));
    const int top = kHeight / 2 - 140 + bob;
    Text(p, "TESSARO", kWidth / 2 + 10, top + 10, 26, FromRgb(10, 10, 30));
    Text(p, "TESSARO", kWidth / 2, top, 26, FromRgb(255, 255, 255));
    Text(p, "VIDEO WALL", kWidth / 2, top + 230, 9, FromRgb(255, 230, 120));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: samplegen <output.mp4>\n");
        return 2;
    }
    const std::string output = argv[1];
    const std::string partial = output + ".part";
    SF_SOFT_BASE::SFClipSettings settings;
    settings.path = partial;
    settings.container = "mp4";
    settings.codec = "libx264";
    settings.width = kWidth;
    settings.height = kHeight;
    settings.framesPerSecond = kFps;
    settings.gop = 2 * kFps;
    // Constant quality without a rate buffer: x264's multi-threaded buffer control depends on
    // thread timing, which would make the bytes differ between builds.
    settings.threads = 2;
    // The sample loops for as long as the program runs, so it is encoded to be cheap to decode:
    // without CABAC and the in-loop deblocking filter ("fastdecode") it decodes in a little over
    // half the processor time, at no difference visible at the preview's size.
    settings.options = {{"preset", "veryfast"}, {"tune", "fastdecode"}, {"crf", "29"}};
    settings.matrix = SF_SOFT_BASE::ESFColorMatrix::Bt709;
    SF_SOFT_BASE::CSFVideoClipWriter writer;
    if (!writer.Open(settings)) {
        std::fprintf(stderr, "samplegen: %s\n", writer.Error().c_str());
        return 1;
    }
    Picture picture;
    for (int frame = 0; frame < kFrames; ++frame) {
        const double t = double(frame) / kFrames;
        Background(picture, t);
        Lines(picture, t);
        Discs(picture, t);
        Title(picture, t);
        if (!writer.Write(picture.y.data(), picture.u.data(), picture.v.data())) {
            std::fprintf(stderr, "samplegen: %s\n", writer.Error().c_str());
            return 1;
        }
    }
    if (!writer.Finish()) {
        std::fprintf(stderr, "samplegen: %s\n", writer.Error().c_str());
        return 1;
    }
    std::error_code error;
    std::filesystem::rename(partial, output, error);
    if (error) {
        std::fprintf(stderr, "samplegen: %s\n", error.message().c_str());
        return 1;
    }
    return 0;
}
