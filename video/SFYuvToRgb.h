#pragma once
// Planar YUV 4:2:0 (8 bits, one U and one V sample per 2 x 2 block of luma) to 32-bit RGB in the
// memory order of QImage::Format_RGB32: blue, green, red, then 0xFF in every pixel.
//
// The conversion is a pure function over spans: it reads only the source planes, writes only the
// destination rows, keeps no state and may run on any thread. Every kernel (scalar, SSE2, AVX2,
// AVX-512BW) computes the same integers, so their outputs are identical to the byte.
//
// Fixed point with 13 fractional bits (scale 8192). With L = (Y - yOffset) * yMul:
//   blue  = (L + (U - 128) * bU) >> 13
//   green = (L - (U - 128) * gU - (V - 128) * gV) >> 13
//   red   = (L + (V - 128) * rV) >> 13
// each clamped to 0..255 (the shift is arithmetic, so negative sums floor towards black).
//
// Where the constants come from: with Kr, Kb the luma weights of red and blue (Kg = 1 - Kr - Kb)
// the inverse of Y' = Kr R + Kg G + Kb B, Cb = (B - Y') / (2 (1 - Kb)), Cr = (R - Y') / (2 (1 -
// Kr)) is R = Y' + 2 (1 - Kr) Cr, B = Y' + 2 (1 - Kb) Cb, G = Y' - 2 Kb (1 - Kb) / Kg Cb - 2 Kr (1
// - Kr) / Kg Cr. Limited-range video stores Y' in 16..235 (219 steps) and Cb, Cr in 16..240 (224
// steps), so the luma factor is 255/219 = 1.164 and the chroma factors are multiplied by 255/224.
// Each factor is taken to three decimals and multiplied by 8192, truncated:
//   BT.601 limited (Kr 0.299, Kb 0.114): 1.164, 2.018, 0.391, 0.813, 1.596
//                                        -> 9535, 16531, 3203, 6660, 13074
//   BT.709 limited (Kr 0.2126, Kb 0.0722): 1.164, 2.112, 0.213, 0.533, 1.793
//                                        -> 9535, 17301, 1744, 4366, 14688
//   BT.601 full range (no offset, factor 1): 1.000, 1.772, 0.344, 0.714, 1.402
//                                        -> 8192, 14516, 2818, 5849, 11485
//   BT.709 full range: 1.000, 1.856, 0.187, 0.468, 1.575
//                                        -> 8192, 15204, 1531, 3833, 12902
// Mid-grey (128, 128, 128) in BT.601 limited is (112 * 9535) >> 13 = 130 in every channel.
#include <cstdint>
#include <span>
#include <vector>

namespace SF_SOFT_BASE {

enum class ESFColorMatrix : int { Bt601 = 0, Bt709 = 1 };
enum class ESFColorRange : int { Limited = 0, Full = 1 };

struct SFYuvCoefficients {
    int16_t yOffset;
    int16_t yMul;
    int16_t bU;
    int16_t gU;
    int16_t gV;
    int16_t rV;
};

SFYuvCoefficients YuvCoefficients(ESFColorMatrix matrix, ESFColorRange range);

// The source picture. Chroma planes hold (width + 1) / 2 samples per row and (|height| + 1) / 2
// rows (an odd last column or row shares the chroma of its left or upper neighbour). A negative
// height flips the picture: the last source row becomes the top output row.
struct SFYuvImageView {
    std::span<const uint8_t> y;
    std::span<const uint8_t> u;
    std::span<const uint8_t> v;
    int yStride = 0;
    int uStride = 0;
    int vStride = 0;
    int width = 0;
    int height = 0;
};

// The destination: |height| rows of width * 4 bytes, stride bytes apart.
struct SFRgbImageView {
    std::span<uint8_t> pixels;
    int stride = 0;
};

enum class ESFYuvKernel : int { Scalar = 0, Sse2 = 1, Avx2 = 2, Avx512 = 3, Best = 99 };

// The kernels this processor runs, Scalar first.
std::vector<ESFYuvKernel> SupportedYuvKernels();
ESFYuvKernel BestYuvKernel();
const char* YuvKernelName(ESFYuvKernel kernel);

// The largest picture side the converter accepts.
inline constexpr int kSFMaxYuvSide = 16384;

// Converts the whole picture, or nothing: sizes and strides are checked against the spans before
// a byte is written, and a picture that does not fit its buffers (or a kernel this processor
// cannot run) is refused with false and the diagnostic "yv12_to_rgb32_c_q exception" in the
// tessaro.video category.
bool ConvertYuv420ToRgb32(const SFYuvImageView& source, const SFRgbImageView& destination,
                          const SFYuvCoefficients& coefficients,
                          ESFYuvKernel kernel = ESFYuvKernel::Best);

}  // namespace SF_SOFT_BASE
