// AVX2 row kernel: 16 pixels per step, one output row per pass (writing the two rows of a 2 x 2
// block together was slower from memory). Same layout as the AVX-512 kernel: each 32-bit lane
// carries the pixel pair that shares one chroma sample, so chroma is never duplicated, and every
// constant offset is folded into the chroma terms.
#include <immintrin.h>

#include "video/SFYuvKernels.h"

namespace SF_SOFT_BASE::yuv_detail {

int RowAvx2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
            const SFYuvCoefficients& k) {
    const int n = width & ~15;
    const int luma = -k.yOffset * k.yMul;
    const __m256i kLumaEven = _mm256_set1_epi32(int(Pair(k.yMul, 0)));
    const __m256i kLumaOdd = _mm256_set1_epi32(int(Pair(0, k.yMul)));
    const __m256i kB = _mm256_set1_epi32(int(Pair(k.bU, 0)));
    const __m256i kG = _mm256_set1_epi32(int(Pair(int16_t(-k.gU), int16_t(-k.gV))));
    const __m256i kR = _mm256_set1_epi32(int(Pair(0, k.rV)));
    const __m256i offB = _mm256_set1_epi32(luma - 128 * k.bU);
    const __m256i offG = _mm256_set1_epi32(luma + 128 * k.gU + 128 * k.gV);
    const __m256i offR = _mm256_set1_epi32(luma - 128 * k.rV);
    const __m256i opaque = _mm256_set1_epi16(255);
    // Inside each 128-bit lane the packs leave even pixels before odd ones; this byte order
    // puts blue next to green (and red next to 0xFF) in pixel order.
    const __m256i interleave = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(0, 8, 4, 12, 1, 9, 5, 13, 2, 10, 6, 14, 3, 11, 7, 15));
    for (int x = 0; x < n; x += 16) {
        PrefetchOutput(dst, x * 4);
        // Zero-extended to words, each 32-bit lane holds (Y even, Y odd) of one pixel pair.
        const __m256i pairs =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x)));
        const __m256i lumaEven = _mm256_madd_epi16(pairs, kLumaEven);
        const __m256i lumaOdd = _mm256_madd_epi16(pairs, kLumaOdd);
        const __m256i uu =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2)));
        const __m256i vv =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2)));
        const __m256i uv = _mm256_or_si256(uu, _mm256_slli_epi32(vv, 16));
        const __m256i cb = _mm256_add_epi32(_mm256_madd_epi16(uv, kB), offB);
        const __m256i cg = _mm256_add_epi32(_mm256_madd_epi16(uv, kG), offG);
        const __m256i cr = _mm256_add_epi32(_mm256_madd_epi16(uv, kR), offR);

        const __m256i b = _mm256_packs_epi32(_mm256_srai_epi32(_mm256_add_epi32(lumaEven, cb), 13),
                                             _mm256_srai_epi32(_mm256_add_epi32(lumaOdd, cb), 13));
        const __m256i g = _mm256_packs_epi32(_mm256_srai_epi32(_mm256_add_epi32(lumaEven, cg), 13),
                                             _mm256_srai_epi32(_mm256_add_epi32(lumaOdd, cg), 13));
        const __m256i r = _mm256_packs_epi32(_mm256_srai_epi32(_mm256_add_epi32(lumaEven, cr), 13),
                                             _mm256_srai_epi32(_mm256_add_epi32(lumaOdd, cr), 13));
        const __m256i bg = _mm256_shuffle_epi8(_mm256_packus_epi16(b, g), interleave);
        const __m256i ra = _mm256_shuffle_epi8(_mm256_packus_epi16(r, opaque), interleave);
        const __m256i lo = _mm256_unpacklo_epi16(bg, ra);  // pixels 0-3 | 8-11
        const __m256i hi = _mm256_unpackhi_epi16(bg, ra);  // pixels 4-7 | 12-15
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x * 4),
                            _mm256_permute2x128_si256(lo, hi, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x * 4 + 32),
                            _mm256_permute2x128_si256(lo, hi, 0x31));
    }
    return n;
}

}  // namespace SF_SOFT_BASE::yuv_detail
