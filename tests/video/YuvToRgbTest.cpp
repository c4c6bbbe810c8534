// The YUV 4:2:0 to RGB32 converter: hand-computed bytes, the memory order Qt reads, plane
// identity, every kernel against the scalar one, and libswscale as an independent reference.
#include <gtest/gtest.h>

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "video/SFYuvToRgb.h"

using namespace SF_SOFT_BASE;

namespace {

struct Frame {
    int width, height;
    std::vector<uint8_t> y, u, v;

    Frame(int w, int h, uint8_t yv, uint8_t uv, uint8_t vv) : width(w), height(h) {
        y.assign(size_t(w * h), yv);
        u.assign(size_t((w + 1) / 2 * ((h + 1) / 2)), uv);
        v.assign(u.size(), vv);
    }

    SFYuvImageView View(int signedHeight = 0) const {
        const int cw = (width + 1) / 2;
        return {y, u, v, width, cw, cw, width, signedHeight ? signedHeight : height};
    }
};

std::vector<uint8_t> Convert(const Frame& f, ESFColorMatrix m = ESFColorMatrix::Bt601,
                             ESFColorRange r = ESFColorRange::Limited, int signedHeight = 0) {
    std::vector<uint8_t> out(size_t(f.width * f.height * 4), 0x55);
    EXPECT_TRUE(
        ConvertYuv420ToRgb32(f.View(signedHeight), {out, f.width * 4}, YuvCoefficients(m, r)));
    return out;
}

struct Golden {
    const char* name;
    ESFColorMatrix matrix;
    ESFColorRange range;
    uint8_t y, u, v;
    std::array<uint8_t, 4> bgrx;
};

// Each expectation worked by hand from the formula in SFYuvToRgb.h, e.g. mid-grey:
// (128 - 16) * 9535 = 1067920, >> 13 = 130.
constexpr auto k601 = ESFColorMatrix::Bt601;
constexpr auto k709 = ESFColorMatrix::Bt709;
constexpr auto kLim = ESFColorRange::Limited;
constexpr auto kFull = ESFColorRange::Full;

const Golden kGolden[] = {
    {"grey601", k601, kLim, 128, 128, 128, {130, 130, 130, 255}},
    {"black601", k601, kLim, 16, 128, 128, {0, 0, 0, 255}},
    {"belowBlack", k601, kLim, 0, 128, 128, {0, 0, 0, 255}},
    {"white601", k601, kLim, 235, 128, 128, {254, 254, 254, 255}},
    // blue 1067920 + 100 * 16531 -> 332 -> 255; green 1067920 - 320300 -> 91
    {"blueish601", k601, kLim, 128, 228, 128, {255, 91, 130, 255}},
    // 184 * 9535 = 1754440; blue - 78 * 16531 -> 56; green + 78 * 3203 - 92 * 6660 -> 169;
    // red + 92 * 13074 -> 360 -> 255
    {"mixed601", k601, kLim, 200, 50, 220, {56, 169, 255, 255}},
    // 709: blue 1067920 + 100 * 17301 -> 341 -> 255; green 1067920 - 100 * 1744 -> 109
    {"blueish709", k709, kLim, 128, 228, 128, {255, 109, 130, 255}},
    {"grey709", k709, kLim, 128, 128, 128, {130, 130, 130, 255}},
    // Full range: no offset, factor 8192. 819200 + 100 * 11485 -> 240; 819200 - 100 * 5849 -> 28
    {"grey601full", k601, kFull, 128, 128, 128, {128, 128, 128, 255}},
    {"reddish601full", k601, kFull, 100, 128, 228, {100, 28, 240, 255}},
    // 709 full: 819200 + 100 * 12902 -> 257 -> 255; 819200 - 100 * 3833 -> 53
    {"reddish709full", k709, kFull, 100, 128, 228, {100, 53, 255, 255}},
    // Channel order: BT.601 red, red (65 * 9535 + 112 * 13074) >> 13 = 254, green and blue below
    // zero. QImage::Format_RGB32 keeps blue, green, red, 0xFF in memory.
    {"redInTheRedByte", k601, kLim, 81, 90, 240, {0, 0, 254, 255}},
};

class GoldenBytes : public ::testing::TestWithParam<Golden> {};

}  // namespace

TEST_P(GoldenBytes, EveryKernelGivesTheHandComputedPixel) {
    const Golden& g = GetParam();
    // 34 x 2 reaches the vector body of every kernel and the scalar tail.
    const Frame f(34, 2, g.y, g.u, g.v);
    for (ESFYuvKernel kernel : SupportedYuvKernels()) {
        std::vector<uint8_t> out(34 * 2 * 4, 0);
        ASSERT_TRUE(ConvertYuv420ToRgb32(f.View(), {out, 34 * 4},
                                         YuvCoefficients(g.matrix, g.range), kernel));
        for (size_t p = 0; p < out.size(); p += 4)
            ASSERT_EQ((std::array<uint8_t, 4>{out[p], out[p + 1], out[p + 2], out[p + 3]}), g.bgrx)
                << YuvKernelName(kernel) << " pixel " << p / 4;
    }
}

INSTANTIATE_TEST_SUITE_P(Converter, GoldenBytes, ::testing::ValuesIn(kGolden),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Converter, AsymmetricChromaCatchesSwappedPlanes) {
    // Two 2 x 2 blocks: (U 60, V 200) then (U 200, V 60), Y 128 everywhere.
    Frame f(4, 2, 128, 0, 0);
    f.u = {60, 200};
    f.v = {200, 60};
    const auto out = Convert(f);
    // Block 0: blue 1067920 - 68 * 16531 < 0; green + 68 * 3203 - 72 * 6660 -> 98; red -> 245.
    // Block 1: blue -> 275 -> 255; green - 72 * 3203 + 68 * 6660 -> 157; red - 68 * 13074 -> 21.
    const std::array<uint8_t, 4> block[] = {{0, 98, 245, 255}, {255, 157, 21, 255}};
    for (size_t p = 0; p < out.size(); p += 4)
        EXPECT_EQ((std::array<uint8_t, 4>{out[p], out[p + 1], out[p + 2], out[p + 3]}),
                  block[p / 4 % 4 / 2])
            << "pixel " << p / 4;
}

TEST(Converter, NegativeHeightFlipsRowsAndTheirChroma) {
    Frame f(2, 4, 0, 128, 128);
    for (int row = 0; row < 4; ++row)
        f.y[size_t(row * 2)] = f.y[size_t(row * 2 + 1)] = uint8_t(50 + 40 * row);
    f.u = {100, 160};
    const auto up = Convert(f);
    const auto down = Convert(f, ESFColorMatrix::Bt601, ESFColorRange::Limited, -4);
    for (int row = 0; row < 4; ++row)
        for (int b = 0; b < 8; ++b)
            EXPECT_EQ(down[size_t(row * 8 + b)], up[size_t((3 - row) * 8 + b)]) << row;
}

TEST(Converter, RefusesPicturesThatDoNotFitTheirBuffers) {
    const Frame f(8, 4, 128, 128, 128);
    std::vector<uint8_t> out(8 * 4 * 4, 0x77);
    const auto k = YuvCoefficients(ESFColorMatrix::Bt601, ESFColorRange::Limited);
    struct Case {
        const char* name;
        SFYuvImageView source;
        SFRgbImageView destination;
    };
    const std::span<const uint8_t> shortY(f.y.data(), f.y.size() - 1);
    const std::span<const uint8_t> shortV(f.v.data(), f.v.size() - 1);
    const std::span<uint8_t> shortOut(out.data(), out.size() - 1);
    const Case cases[] = {
        {"short luma", {shortY, f.u, f.v, 8, 4, 4, 8, 4}, {out, 32}},
        {"short V", {f.y, f.u, shortV, 8, 4, 4, 8, 4}, {out, 32}},
        {"short output", f.View(), {shortOut, 32}},
        {"luma stride below width", {f.y, f.u, f.v, 7, 4, 4, 8, 4}, {out, 32}},
        {"chroma stride below width", {f.y, f.u, f.v, 8, 3, 4, 8, 4}, {out, 32}},
        {"output stride below width", f.View(), {out, 31}},
        {"zero width", {f.y, f.u, f.v, 8, 4, 4, 0, 4}, {out, 32}},
        {"zero height", {f.y, f.u, f.v, 8, 4, 4, 8, 0}, {out, 32}},
        {"negative stride", {f.y, f.u, f.v, -8, 4, 4, 8, 4}, {out, 32}},
        {"huge width", {f.y, f.u, f.v, 8, 4, 4, kSFMaxYuvSide + 2, 1}, {out, 32}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ConvertYuv420ToRgb32(c.source, c.destination, k)) << c.name;
        EXPECT_EQ(std::count(out.begin(), out.end(), 0x77), std::ptrdiff_t(out.size())) << c.name;
    }
}

TEST(Converter, EveryKernelMatchesScalarOnRandomPaddedFrames) {
    std::mt19937 random(1234);
    const int widths[] = {1, 2, 3, 7, 8, 15, 16, 17, 31, 32, 33, 63, 64, 65, 97, 130, 1923};
    const int heights[] = {1, 2, 3, 6};
    const auto kernels = SupportedYuvKernels();
    ASSERT_EQ(kernels.front(), ESFYuvKernel::Scalar);
    for (int width : widths) {
        for (int height : heights) {
            // Padded strides; the bytes past each row are noise the kernels must not read into
            // the picture.
            const int ys = width + 13, cs = (width + 1) / 2 + 5, ds = width * 4 + 12;
            const size_t chroma = size_t(cs * ((height + 1) / 2));
            std::vector<uint8_t> y(size_t(ys * height)), u(chroma), v(chroma);
            for (auto* plane : {&y, &u, &v})
                for (auto& b : *plane)
                    b = uint8_t(random());
            const SFYuvImageView src{y, u, v, ys, cs, cs, width, height};
            for (int mr = 0; mr < 4; ++mr) {  // both matrices, both ranges
                const auto k = YuvCoefficients(ESFColorMatrix(mr / 2), ESFColorRange(mr % 2));
                std::vector<uint8_t> reference(size_t(ds * height) + 64, 0xCD);
                ASSERT_TRUE(
                    ConvertYuv420ToRgb32(src, {std::span(reference).first(size_t(ds * height)), ds},
                                         k, ESFYuvKernel::Scalar));
                for (ESFYuvKernel kernel : kernels) {
                    std::vector<uint8_t> out(size_t(ds * height) + 64, 0xCD);
                    ASSERT_TRUE(ConvertYuv420ToRgb32(
                        src, {std::span(out).first(size_t(ds * height)), ds}, k, kernel));
                    ASSERT_EQ(out, reference)
                        << YuvKernelName(kernel) << " " << width << "x" << height << " " << mr;
                }
                // The padding and the guard bytes after the picture are untouched.
                for (int b = 0; b < int(reference.size()); ++b)
                    ASSERT_TRUE((b < ds * height && b % ds < width * 4) ||
                                reference[size_t(b)] == 0xCD)
                        << b;
            }
        }
    }
}

using AgainstSwscale = ::testing::TestWithParam<std::tuple<ESFColorMatrix, ESFColorRange>>;

TEST_P(AgainstSwscale, WithinTwoPerChannel) {
    const auto [matrix, range] = GetParam();
    constexpr int w = 64;
    constexpr int h = 32;
    // Random luma; chroma constant over 8 x 8 pixel regions so that libswscale's chroma
    // interpolation and our per-block chroma agree on the sample used.
    std::mt19937 random(99);
    Frame f(w, h, 0, 0, 0);
    for (auto& b : f.y)
        b = uint8_t(16 + random() % 220);
    for (size_t i = 0; i < f.u.size(); ++i) {
        const size_t region = i / (w / 2) / 4 * (w / 8) + i % (w / 2) / 4;
        f.u[i] = uint8_t(40 + region * 37 % 180);
        f.v[i] = uint8_t(40 + region * 71 % 180);
    }
    const auto ours = Convert(f, matrix, range);

    SwsContext* sws = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGRA,
                                     SWS_POINT | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr,
                                     nullptr, nullptr);
    ASSERT_NE(sws, nullptr);
    const int* table = sws_getCoefficients(matrix == k709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(sws, table, range == kFull ? 1 : 0, table, 1, 0, 1 << 16, 1 << 16);
    std::vector<uint8_t> theirs(size_t(w * h * 4));
    const uint8_t* src[4] = {f.y.data(), f.u.data(), f.v.data(), nullptr};
    const int srcStride[4] = {w, w / 2, w / 2, 0};
    uint8_t* dst[4] = {theirs.data(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {w * 4, 0, 0, 0};
    sws_scale(sws, src, srcStride, 0, h, dst, dstStride);
    sws_freeContext(sws);

    // Alpha aside, and the pixels on chroma region borders, where interpolation may blend.
    const auto inside = [](int at) { return at % 8 != 0 && at % 8 != 7; };
    int worst = 0;
    for (int i = 0; i < w * h * 4; ++i) {
        if (i % 4 != 3 && inside(i / 4 % w) && inside(i / 4 / w))
            worst = std::max(worst, std::abs(int(ours[size_t(i)]) - int(theirs[size_t(i)])));
    }
    EXPECT_LE(worst, 2);
}

INSTANTIATE_TEST_SUITE_P(Converter, AgainstSwscale,
                         ::testing::Combine(::testing::Values(k601, k709),
                                            ::testing::Values(kLim, kFull)),
                         [](const auto& p) {
                             return std::string(std::get<0>(p.param) == k709 ? "bt709" : "bt601") +
                                    (std::get<1>(p.param) == kFull ? "full" : "");
                         });
