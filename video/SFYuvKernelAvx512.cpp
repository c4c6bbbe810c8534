// AVX-512BW row kernel: 32 pixels per step; the same lane-wise arithmetic as the AVX2 kernel,
// with one two-source permute per 16 output pixels to undo the 128-bit lane interleave.
#include <immintrin.h>

#include "video/SFYuvKernels.h"

namespace SF_SOFT_BASE::yuv_detail {

namespace {

// The unmasked _mm512_srai_epi32 of GCC 12 trips its own -Wmaybe-uninitialized (an undefined
// pass-through operand); the zero-masked form with every lane selected is the same shift.
inline __m512i Shift13(__m512i v) {
    return _mm512_maskz_srai_epi32(__mmask16(0xFFFF), v, 13);
}

}  // namespace

int RowAvx512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
              const SFYuvCoefficients& k) {
    const int n = width & ~31;
    const __m512i zero = _mm512_setzero_si512();
    const __m512i yOffset = _mm512_set1_epi16(k.yOffset);
    const __m512i c128 = _mm512_set1_epi16(128);
    const __m512i kB = _mm512_set1_epi32(int(Pair(k.yMul, k.bU)));
    const __m512i kR = _mm512_set1_epi32(int(Pair(k.yMul, k.rV)));
    const __m512i kGv = _mm512_set1_epi32(int(Pair(k.yMul, int16_t(-k.gV))));
    const __m512i kGu = _mm512_set1_epi32(int(Pair(int16_t(-k.gU), 0)));
    const __m512i max255 = _mm512_set1_epi16(255);
    const __m512i alpha = _mm512_set1_epi16(int16_t(0xFF00));
    const __m512i first = _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0);
    const __m512i second = _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4);
    for (int x = 0; x < n; x += 32) {
        const __m512i yy = _mm512_sub_epi16(
            _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + x))),
            yOffset);
        const __m128i u16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(u + x / 2));
        const __m128i v16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + x / 2));
        const __m512i uu =
            _mm512_sub_epi16(_mm512_cvtepu8_epi16(_mm256_set_m128i(_mm_unpackhi_epi8(u16, u16),
                                                                   _mm_unpacklo_epi8(u16, u16))),
                             c128);
        const __m512i vv =
            _mm512_sub_epi16(_mm512_cvtepu8_epi16(_mm256_set_m128i(_mm_unpackhi_epi8(v16, v16),
                                                                   _mm_unpacklo_epi8(v16, v16))),
                             c128);

        const __m512i yuLo = _mm512_unpacklo_epi16(yy, uu);
        const __m512i yuHi = _mm512_unpackhi_epi16(yy, uu);
        const __m512i yvLo = _mm512_unpacklo_epi16(yy, vv);
        const __m512i yvHi = _mm512_unpackhi_epi16(yy, vv);
        const __m512i u0Lo = _mm512_unpacklo_epi16(uu, zero);
        const __m512i u0Hi = _mm512_unpackhi_epi16(uu, zero);

        __m512i b = _mm512_packs_epi32(Shift13(_mm512_madd_epi16(yuLo, kB)),
                                       Shift13(_mm512_madd_epi16(yuHi, kB)));
        __m512i g = _mm512_packs_epi32(
            Shift13(_mm512_add_epi32(_mm512_madd_epi16(yvLo, kGv), _mm512_madd_epi16(u0Lo, kGu))),
            Shift13(_mm512_add_epi32(_mm512_madd_epi16(yvHi, kGv), _mm512_madd_epi16(u0Hi, kGu))));
        __m512i r = _mm512_packs_epi32(Shift13(_mm512_madd_epi16(yvLo, kR)),
                                       Shift13(_mm512_madd_epi16(yvHi, kR)));
        b = _mm512_min_epi16(_mm512_max_epi16(b, zero), max255);
        g = _mm512_min_epi16(_mm512_max_epi16(g, zero), max255);
        r = _mm512_min_epi16(_mm512_max_epi16(r, zero), max255);

        const __m512i bg = _mm512_or_si512(b, _mm512_slli_epi16(g, 8));
        const __m512i ra = _mm512_or_si512(r, alpha);
        const __m512i lo = _mm512_unpacklo_epi16(bg, ra);  // pixels 8k .. 8k+3 in lane k
        const __m512i hi = _mm512_unpackhi_epi16(bg, ra);  // pixels 8k+4 .. 8k+7 in lane k
        _mm512_storeu_si512(dst + x * 4, _mm512_permutex2var_epi64(lo, first, hi));
        _mm512_storeu_si512(dst + x * 4 + 64, _mm512_permutex2var_epi64(lo, second, hi));
    }
    return n;
}

}  // namespace SF_SOFT_BASE::yuv_detail
