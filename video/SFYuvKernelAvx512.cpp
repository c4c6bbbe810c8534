// AVX-512BW row kernel: 32 pixels per step, one output row per pass.
//
// Laid out to spare the shuffle port, which is what limits this conversion: each 32-bit lane j
// carries the pixel pair (2j, 2j + 1) that shares chroma sample j, so chroma is never duplicated.
// The luma products come from pmaddwd of the pair (Y even, Y odd) with (yMul, 0) and (0, yMul);
// the three chroma terms, including every constant offset ((Y - 16) and (C - 128) expanded),
// come from one pmaddwd each on (U, V). The sums are the scalar formula's integers exactly; the
// saturating packs clamp.
//
// Both output lines of a step are prefetched (PrefetchOutput). Measured in one interleaved run
// (1080p, 4K, hot and cold) this beat prefetchw, 2 KiB ahead, and sharing the chroma terms of a
// row pair through a scratch row (fewer instructions, but no faster once memory is the limit).
#include <immintrin.h>

#include "video/SFYuvKernels.h"

// GCC 12's AVX-512 intrinsics pass an "undefined" vector as the unused merge operand and then
// warn about it being uninitialised (GCC bug 105593) wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

namespace SF_SOFT_BASE::yuv_detail {

namespace {

inline __m512i Shift13(__m512i v) {
    return _mm512_srai_epi32(v, 13);
}

}  // namespace

int RowAvx512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
              const SFYuvCoefficients& k) {
    const int n = width & ~31;
    const int luma = -k.yOffset * k.yMul;
    const __m512i kLumaEven = _mm512_set1_epi32(int(Pair(k.yMul, 0)));
    const __m512i kLumaOdd = _mm512_set1_epi32(int(Pair(0, k.yMul)));
    const __m512i kB = _mm512_set1_epi32(int(Pair(k.bU, 0)));
    const __m512i kG = _mm512_set1_epi32(int(Pair(int16_t(-k.gU), int16_t(-k.gV))));
    const __m512i kR = _mm512_set1_epi32(int(Pair(0, k.rV)));
    const __m512i offB = _mm512_set1_epi32(luma - 128 * k.bU);
    const __m512i offG = _mm512_set1_epi32(luma + 128 * k.gU + 128 * k.gV);
    const __m512i offR = _mm512_set1_epi32(luma - 128 * k.rV);
    const __m512i opaque = _mm512_set1_epi16(255);
    // Inside each 128-bit lane the packs leave even pixels before odd ones; this byte order
    // puts blue next to green (and red next to 0xFF) in pixel order.
    const __m512i interleave = _mm512_set_epi64(
        0x0F070B030E060A02, 0x0D0509010C040800, 0x0F070B030E060A02, 0x0D0509010C040800,
        0x0F070B030E060A02, 0x0D0509010C040800, 0x0F070B030E060A02, 0x0D0509010C040800);
    const __m512i first = _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0);
    const __m512i second = _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4);
    for (int x = 0; x < n; x += 32) {
        PrefetchOutput(dst, x * 4);
        PrefetchOutput(dst, x * 4 + 64);
        // Zero-extended to words, each 32-bit lane holds (Y even, Y odd) of one pixel pair.
        const __m512i pairs =
            _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + x)));
        const __m512i lumaEven = _mm512_madd_epi16(pairs, kLumaEven);
        const __m512i lumaOdd = _mm512_madd_epi16(pairs, kLumaOdd);
        const __m512i uu =
            _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u + x / 2)));
        const __m512i vv =
            _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + x / 2)));
        const __m512i uv = _mm512_or_si512(uu, _mm512_slli_epi32(vv, 16));
        const __m512i cb = _mm512_add_epi32(_mm512_madd_epi16(uv, kB), offB);
        const __m512i cg = _mm512_add_epi32(_mm512_madd_epi16(uv, kG), offG);
        const __m512i cr = _mm512_add_epi32(_mm512_madd_epi16(uv, kR), offR);

        const __m512i b = _mm512_packs_epi32(Shift13(_mm512_add_epi32(lumaEven, cb)),
                                             Shift13(_mm512_add_epi32(lumaOdd, cb)));
        const __m512i g = _mm512_packs_epi32(Shift13(_mm512_add_epi32(lumaEven, cg)),
                                             Shift13(_mm512_add_epi32(lumaOdd, cg)));
        const __m512i r = _mm512_packs_epi32(Shift13(_mm512_add_epi32(lumaEven, cr)),
                                             Shift13(_mm512_add_epi32(lumaOdd, cr)));
        const __m512i bg = _mm512_shuffle_epi8(_mm512_packus_epi16(b, g), interleave);
        const __m512i ra = _mm512_shuffle_epi8(_mm512_packus_epi16(r, opaque), interleave);
        const __m512i lo = _mm512_unpacklo_epi16(bg, ra);  // pixels 8k .. 8k+3 in lane k
        const __m512i hi = _mm512_unpackhi_epi16(bg, ra);  // pixels 8k+4 .. 8k+7 in lane k
        _mm512_storeu_si512(dst + x * 4, _mm512_permutex2var_epi64(lo, first, hi));
        _mm512_storeu_si512(dst + x * 4 + 64, _mm512_permutex2var_epi64(lo, second, hi));
    }
    return n;
}

}  // namespace SF_SOFT_BASE::yuv_detail
