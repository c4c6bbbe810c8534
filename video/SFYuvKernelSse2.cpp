// SSE2 row kernel: 8 pixels per step. Same integers as the scalar formula: pmaddwd forms
// Y' * yMul + C' * c in one 32-bit lane per pixel, so nothing is rounded differently.
#include <emmintrin.h>
#include <xmmintrin.h>

#include <cstring>

#include "video/SFYuvKernels.h"

namespace SF_SOFT_BASE::yuv_detail {

int RowSse2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
            const SFYuvCoefficients& k) {
    const int n = width & ~7;
    const __m128i zero = _mm_setzero_si128();
    const __m128i yOffset = _mm_set1_epi16(k.yOffset);
    const __m128i c128 = _mm_set1_epi16(128);
    const __m128i kB = _mm_set1_epi32(int(Pair(k.yMul, k.bU)));
    const __m128i kR = _mm_set1_epi32(int(Pair(k.yMul, k.rV)));
    const __m128i kGv = _mm_set1_epi32(int(Pair(k.yMul, int16_t(-k.gV))));
    const __m128i kGu = _mm_set1_epi32(int(Pair(int16_t(-k.gU), 0)));
    const __m128i max255 = _mm_set1_epi16(255);
    const __m128i alpha = _mm_set1_epi16(int16_t(0xFF00));
    for (int x = 0; x < n; x += 8) {
        PrefetchOutput(dst, x * 4);
        const __m128i yy = _mm_sub_epi16(
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + x)), zero),
            yOffset);
        int u4 = 0;
        int v4 = 0;
        std::memcpy(&u4, u + x / 2, 4);
        std::memcpy(&v4, v + x / 2, 4);
        __m128i uu = _mm_cvtsi32_si128(u4);
        __m128i vv = _mm_cvtsi32_si128(v4);
        uu = _mm_sub_epi16(_mm_unpacklo_epi8(_mm_unpacklo_epi8(uu, uu), zero), c128);
        vv = _mm_sub_epi16(_mm_unpacklo_epi8(_mm_unpacklo_epi8(vv, vv), zero), c128);

        const __m128i yuLo = _mm_unpacklo_epi16(yy, uu);
        const __m128i yuHi = _mm_unpackhi_epi16(yy, uu);
        const __m128i yvLo = _mm_unpacklo_epi16(yy, vv);
        const __m128i yvHi = _mm_unpackhi_epi16(yy, vv);
        const __m128i u0Lo = _mm_unpacklo_epi16(uu, zero);
        const __m128i u0Hi = _mm_unpackhi_epi16(uu, zero);

        __m128i b = _mm_packs_epi32(_mm_srai_epi32(_mm_madd_epi16(yuLo, kB), 13),
                                    _mm_srai_epi32(_mm_madd_epi16(yuHi, kB), 13));
        __m128i g = _mm_packs_epi32(
            _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(yvLo, kGv), _mm_madd_epi16(u0Lo, kGu)), 13),
            _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(yvHi, kGv), _mm_madd_epi16(u0Hi, kGu)),
                           13));
        __m128i r = _mm_packs_epi32(_mm_srai_epi32(_mm_madd_epi16(yvLo, kR), 13),
                                    _mm_srai_epi32(_mm_madd_epi16(yvHi, kR), 13));
        b = _mm_min_epi16(_mm_max_epi16(b, zero), max255);
        g = _mm_min_epi16(_mm_max_epi16(g, zero), max255);
        r = _mm_min_epi16(_mm_max_epi16(r, zero), max255);

        const __m128i bg = _mm_or_si128(b, _mm_slli_epi16(g, 8));
        const __m128i ra = _mm_or_si128(r, alpha);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x * 4), _mm_unpacklo_epi16(bg, ra));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x * 4 + 16), _mm_unpackhi_epi16(bg, ra));
    }
    return n;
}

}  // namespace SF_SOFT_BASE::yuv_detail
