// AVX2 row kernel: 16 pixels per step, one output row per pass (writing the two rows of a 2 x 2
// block together was slower from memory). The unpacks and packs work inside 128-bit lanes; the
// final cross-lane permute puts the pixels back in order.
#include <immintrin.h>

#include "video/SFYuvKernels.h"

namespace SF_SOFT_BASE::yuv_detail {

int RowAvx2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
            const SFYuvCoefficients& k) {
    const int n = width & ~15;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i yOffset = _mm256_set1_epi16(k.yOffset);
    const __m256i c128 = _mm256_set1_epi16(128);
    const __m256i kB = _mm256_set1_epi32(int(Pair(k.yMul, k.bU)));
    const __m256i kR = _mm256_set1_epi32(int(Pair(k.yMul, k.rV)));
    const __m256i kGv = _mm256_set1_epi32(int(Pair(k.yMul, int16_t(-k.gV))));
    const __m256i kGu = _mm256_set1_epi32(int(Pair(int16_t(-k.gU), 0)));
    const __m256i max255 = _mm256_set1_epi16(255);
    const __m256i alpha = _mm256_set1_epi16(int16_t(0xFF00));
    for (int x = 0; x < n; x += 16) {
        const __m256i yy = _mm256_sub_epi16(
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x))),
            yOffset);
        __m128i u8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2));
        __m128i v8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2));
        const __m256i uu = _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(u8, u8)), c128);
        const __m256i vv = _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(v8, v8)), c128);

        const __m256i yuLo = _mm256_unpacklo_epi16(yy, uu);
        const __m256i yuHi = _mm256_unpackhi_epi16(yy, uu);
        const __m256i yvLo = _mm256_unpacklo_epi16(yy, vv);
        const __m256i yvHi = _mm256_unpackhi_epi16(yy, vv);
        const __m256i u0Lo = _mm256_unpacklo_epi16(uu, zero);
        const __m256i u0Hi = _mm256_unpackhi_epi16(uu, zero);

        __m256i b = _mm256_packs_epi32(_mm256_srai_epi32(_mm256_madd_epi16(yuLo, kB), 13),
                                       _mm256_srai_epi32(_mm256_madd_epi16(yuHi, kB), 13));
        __m256i g = _mm256_packs_epi32(
            _mm256_srai_epi32(
                _mm256_add_epi32(_mm256_madd_epi16(yvLo, kGv), _mm256_madd_epi16(u0Lo, kGu)), 13),
            _mm256_srai_epi32(
                _mm256_add_epi32(_mm256_madd_epi16(yvHi, kGv), _mm256_madd_epi16(u0Hi, kGu)), 13));
        __m256i r = _mm256_packs_epi32(_mm256_srai_epi32(_mm256_madd_epi16(yvLo, kR), 13),
                                       _mm256_srai_epi32(_mm256_madd_epi16(yvHi, kR), 13));
        b = _mm256_min_epi16(_mm256_max_epi16(b, zero), max255);
        g = _mm256_min_epi16(_mm256_max_epi16(g, zero), max255);
        r = _mm256_min_epi16(_mm256_max_epi16(r, zero), max255);

        const __m256i bg = _mm256_or_si256(b, _mm256_slli_epi16(g, 8));
        const __m256i ra = _mm256_or_si256(r, alpha);
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
