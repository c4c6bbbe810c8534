// AVX2 row kernel: 32 pixels per step (one more step of 16 at a row's end), one output row per
// pass. Each 32-bit lane carries the pixel pair that shares one chroma sample, so chroma is never
// duplicated, and every constant offset is folded into the chroma terms.
//
// Laid out to spend as few shuffles as possible, since shuffles, not arithmetic, limit this
// conversion: a 32-byte luma load is widened in-lane (unpack with zero) instead of by a
// lane-crossing widen per 16 pixels; chroma is widened once per 32 pixels and paired (U, V) by
// one unpack per half. The even and odd sums of a pair are joined into one word each by a blend
// (the odd sum shifted into the high word, the even one into the low word), which leaves the
// words in pixel order, so no byte shuffle is needed to restore it; the saturating packs clamp.
//
// No output prefetch here, unlike the other kernels: measured in one interleaved run on 1080p
// frames, hot and cold, prefetching the output 1 KiB (or 512 B, or 2 KiB) ahead only slowed this
// kernel down. Non-temporal stores were slower too (hot by half, cold no better), and the
// program reads the picture back at once to draw it.
#include <immintrin.h>

#include "video/SFYuvKernels.h"

namespace SF_SOFT_BASE::yuv_detail {

namespace {

struct Constants {
    __m256i lumaEven;
    __m256i lumaOdd;
    __m256i blue;
    __m256i green;
    __m256i red;
    __m256i offsetBlue;
    __m256i offsetGreen;
    __m256i offsetRed;
    __m256i opaque;

    explicit Constants(const SFYuvCoefficients& k) {
        const int luma = -k.yOffset * k.yMul;
        lumaEven = _mm256_set1_epi32(int(Pair(k.yMul, 0)));
        lumaOdd = _mm256_set1_epi32(int(Pair(0, k.yMul)));
        blue = _mm256_set1_epi32(int(Pair(k.bU, 0)));
        green = _mm256_set1_epi32(int(Pair(int16_t(-k.gU), int16_t(-k.gV))));
        red = _mm256_set1_epi32(int(Pair(0, k.rV)));
        offsetBlue = _mm256_set1_epi32(luma - 128 * k.bU);
        offsetGreen = _mm256_set1_epi32(luma + 128 * k.gU + 128 * k.gV);
        offsetRed = _mm256_set1_epi32(luma - 128 * k.rV);
        opaque = _mm256_set1_epi16(255);
    }
};

// (even >> 13) in the low word and (odd >> 13) in the high word of each lane. Both values fit
// in 16 bits (-275..537), so the bits 13..28 a logical shift keeps are the arithmetic result.
inline __m256i Join(__m256i even, __m256i odd) {
    return _mm256_blend_epi16(_mm256_srli_epi32(even, 13), _mm256_slli_epi32(odd, 3), 0xAA);
}

// Eight pixel pairs (Y even, Y odd in each 32-bit lane) with their chroma (U, V in each lane)
// to blue, green, red, 0xFF: `first` gets the first four pixels of each 128-bit lane, `second`
// the last four.
inline void Convert(const Constants& c, __m256i pairs, __m256i chroma, __m256i& first,
                    __m256i& second) {
    const __m256i even = _mm256_madd_epi16(pairs, c.lumaEven);
    const __m256i odd = _mm256_madd_epi16(pairs, c.lumaOdd);
    const __m256i cb = _mm256_add_epi32(_mm256_madd_epi16(chroma, c.blue), c.offsetBlue);
    const __m256i cg = _mm256_add_epi32(_mm256_madd_epi16(chroma, c.green), c.offsetGreen);
    const __m256i cr = _mm256_add_epi32(_mm256_madd_epi16(chroma, c.red), c.offsetRed);
    const __m256i b = Join(_mm256_add_epi32(even, cb), _mm256_add_epi32(odd, cb));
    const __m256i g = Join(_mm256_add_epi32(even, cg), _mm256_add_epi32(odd, cg));
    const __m256i r = Join(_mm256_add_epi32(even, cr), _mm256_add_epi32(odd, cr));
    const __m256i blueRed = _mm256_packus_epi16(b, r);             // 8 blue, 8 red per lane
    const __m256i greenOpaque = _mm256_packus_epi16(g, c.opaque);  // 8 green, 8 0xFF
    const __m256i bg = _mm256_unpacklo_epi8(blueRed, greenOpaque);
    const __m256i ra = _mm256_unpackhi_epi8(blueRed, greenOpaque);
    first = _mm256_unpacklo_epi16(bg, ra);
    second = _mm256_unpackhi_epi16(bg, ra);
}

inline void Store(uint8_t* dst, __m256i value) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), value);
}

}  // namespace

int RowAvx2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
            const SFYuvCoefficients& k) {
    const Constants c(k);
    const __m256i zero = _mm256_setzero_si256();
    const int n = width & ~31;
    int x = 0;
    for (; x < n; x += 32) {
        // In-lane widening: the low half holds pixels 0-7 | 16-23, the high half 8-15 | 24-31,
        // and the (U, V) pairs of the same pixels line up with them.
        const __m256i luma = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + x));
        const __m256i uu =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u + x / 2)));
        const __m256i vv =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + x / 2)));
        __m256i lowFirst, lowSecond, highFirst, highSecond;
        Convert(c, _mm256_unpacklo_epi8(luma, zero), _mm256_unpacklo_epi16(uu, vv), lowFirst,
                lowSecond);
        Convert(c, _mm256_unpackhi_epi8(luma, zero), _mm256_unpackhi_epi16(uu, vv), highFirst,
                highSecond);
        Store(dst + x * 4, _mm256_permute2x128_si256(lowFirst, lowSecond, 0x20));
        Store(dst + x * 4 + 32, _mm256_permute2x128_si256(highFirst, highSecond, 0x20));
        Store(dst + x * 4 + 64, _mm256_permute2x128_si256(lowFirst, lowSecond, 0x31));
        Store(dst + x * 4 + 96, _mm256_permute2x128_si256(highFirst, highSecond, 0x31));
    }
    if (width - x >= 16) {
        // Lane-crossing widening: pixels 0-7 | 8-15, chroma 0-3 | 4-7.
        const __m256i pairs =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x)));
        const __m256i uu =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2)));
        const __m256i vv =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2)));
        __m256i first, second;
        Convert(c, pairs, _mm256_or_si256(uu, _mm256_slli_epi32(vv, 16)), first, second);
        Store(dst + x * 4, _mm256_permute2x128_si256(first, second, 0x20));
        Store(dst + x * 4 + 32, _mm256_permute2x128_si256(first, second, 0x31));
        x += 16;
    }
    return x;
}

}  // namespace SF_SOFT_BASE::yuv_detail
