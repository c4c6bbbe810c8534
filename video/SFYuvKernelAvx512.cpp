// AVX-512BW row kernel: 32 pixels per step, one output row per pass.
//
// Laid out to spare the shuffle port, which is what limits this conversion: each 32-bit lane j
// carries the pixel pair (2j, 2j + 1) that shares chroma sample j, so chroma is never duplicated.
// The luma products come from pmaddwd of the pair (Y even, Y odd) with (yMul, 0) and (0, yMul);
// the three chroma terms, including every constant offset ((Y - 16) and (C - 128) expanded),
// come from one pmaddwd each on (U, V). The sums are the scalar formula's integers exactly; the
// saturating packs clamp.
//
// The two rows of a 4:2:0 row pair share their chroma terms: the first row stores them (three
// 32-bit terms per sample, a few kilobytes that stay in the first-level cache) and the second
// row loads them instead of widening and multiplying U and V again, a sixth of the second row's
// vector instructions. Both rows are still written one after the other, each in one pass.
//
// The output lines are prefetched for writing a few steps ahead: a store to a line that is not in
// the first-level cache waits for its ownership, and from memory that wait, not the arithmetic,
// is most of the time. A prefetch past the row's end is harmless: it touches no byte and never
// faults.
#include <immintrin.h>

#include "video/SFYuvKernels.h"

// GCC 12's AVX-512 intrinsics pass an "undefined" vector as the unused merge operand and then
// warn about it being uninitialised (GCC bug 105593) wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
// prefetchw: every processor with AVX-512 has it.
#if defined(__GNUC__)
#pragma GCC target("prfchw")
#endif

namespace SF_SOFT_BASE::yuv_detail {

int RowAvx512Store(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
                   const SFYuvCoefficients& k, int32_t* chroma, int chromaStride);
int RowAvx512Load(const uint8_t* y, uint8_t* dst, int width, const SFYuvCoefficients& k,
                  const int32_t* chroma, int chromaStride);

namespace {

// How far ahead of the stores the output is prefetched (8 steps of 128 bytes).
constexpr int kPrefetchBytes = 1024;

// The address is computed as an integer: it may lie past the end of the destination.
inline void PrefetchForWrite(const uint8_t* base, int offset) {
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(base) + offset), 1,
                       3);
}

inline __m512i Shift13(__m512i v) {
    return _mm512_srai_epi32(v, 13);
}

// Where the chroma terms come from: computed from U and V (and optionally kept for the second
// row of the pair), or loaded as the first row kept them.
enum class Chroma { Compute, ComputeAndStore, Load };

template <Chroma mode>
int Row(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
        const SFYuvCoefficients& k, int32_t* chroma, int chromaStride) {
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
        PrefetchForWrite(dst, x * 4 + kPrefetchBytes);
        PrefetchForWrite(dst, x * 4 + kPrefetchBytes + 64);
        // Zero-extended to words, each 32-bit lane holds (Y even, Y odd) of one pixel pair.
        const __m512i pairs =
            _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + x)));
        const __m512i lumaEven = _mm512_madd_epi16(pairs, kLumaEven);
        const __m512i lumaOdd = _mm512_madd_epi16(pairs, kLumaOdd);
        __m512i cb, cg, cr;
        if constexpr (mode == Chroma::Load) {
            const int32_t* c = chroma + x / 2;
            cb = _mm512_loadu_si512(c);
            cg = _mm512_loadu_si512(c + chromaStride);
            cr = _mm512_loadu_si512(c + 2 * chromaStride);
        } else {
            const __m512i uu =
                _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u + x / 2)));
            const __m512i vv =
                _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v + x / 2)));
            const __m512i uv = _mm512_or_si512(uu, _mm512_slli_epi32(vv, 16));
            cb = _mm512_add_epi32(_mm512_madd_epi16(uv, kB), offB);
            cg = _mm512_add_epi32(_mm512_madd_epi16(uv, kG), offG);
            cr = _mm512_add_epi32(_mm512_madd_epi16(uv, kR), offR);
            if constexpr (mode == Chroma::ComputeAndStore) {
                int32_t* c = chroma + x / 2;
                _mm512_storeu_si512(c, cb);
                _mm512_storeu_si512(c + chromaStride, cg);
                _mm512_storeu_si512(c + 2 * chromaStride, cr);
            }
        }

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

}  // namespace

int RowAvx512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
              const SFYuvCoefficients& k) {
    return Row<Chroma::Compute>(y, u, v, dst, width, k, nullptr, 0);
}

int RowAvx512Store(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
                   const SFYuvCoefficients& k, int32_t* chroma, int chromaStride) {
    return Row<Chroma::ComputeAndStore>(y, u, v, dst, width, k, chroma, chromaStride);
}

int RowAvx512Load(const uint8_t* y, uint8_t* dst, int width, const SFYuvCoefficients& k,
                  const int32_t* chroma, int chromaStride) {
    return Row<Chroma::Load>(y, nullptr, nullptr, dst, width, k, const_cast<int32_t*>(chroma),
                             chromaStride);
}

}  // namespace SF_SOFT_BASE::yuv_detail
