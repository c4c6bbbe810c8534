#include "video/SFYuvHalve.h"

#include <emmintrin.h>

#include <algorithm>

namespace SF_SOFT_BASE {

namespace {

// 16 outputs from 32 bytes of each of two rows, with SSE2 (every x86-64 processor has it): the
// even and odd bytes are widened to 16 bits, summed with the other row's, rounded and packed.
inline void HalveBlock16(const uint8_t* r0, const uint8_t* r1, uint8_t* out) {
    const __m128i lowByte = _mm_set1_epi16(0x00ff);
    const __m128i two = _mm_set1_epi16(2);
    __m128i sums[2];
    for (int half = 0; half < 2; ++half) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + 16 * half));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + 16 * half));
        const __m128i s =
            _mm_add_epi16(_mm_add_epi16(_mm_and_si128(a, lowByte), _mm_srli_epi16(a, 8)),
                          _mm_add_epi16(_mm_and_si128(b, lowByte), _mm_srli_epi16(b, 8)));
        sums[half] = _mm_srli_epi16(_mm_add_epi16(s, two), 2);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(sums[0], sums[1]));
}

}  // namespace

void HalvePlane(const uint8_t* source, ptrdiff_t srcStride, int srcWidth, int srcHeight,
                uint8_t* destination, int dstWidth, int dstHeight) {
    // Blocks of 16 outputs whose 32 source columns all lie inside the row.
    const int whole = std::min(dstWidth, srcWidth / 2) / 16 * 16;
    for (int y = 0; y < dstHeight; ++y) {
        const uint8_t* r0 = source + 2 * y * srcStride;
        const uint8_t* r1 = source + std::min(2 * y + 1, srcHeight - 1) * srcStride;
        uint8_t* out = destination + static_cast<ptrdiff_t>(y) * dstWidth;
        int x = 0;
        for (; x < whole; x += 16) {
            HalveBlock16(r0 + 2 * x, r1 + 2 * x, out + x);
        }
        for (; x < dstWidth; ++x) {
            const int x0 = 2 * x;
            const int x1 = std::min(x0 + 1, srcWidth - 1);
            out[x] = static_cast<uint8_t>((r0[x0] + r0[x1] + r1[x0] + r1[x1] + 2) >> 2);
        }
    }
}

}  // namespace SF_SOFT_BASE
