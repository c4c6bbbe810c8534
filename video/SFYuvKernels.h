#pragma once
// Row kernels of the YUV converter, each in its own translation unit compiled for its
// instruction set. A kernel converts the longest prefix of one row that is a multiple of its
// vector width and returns its length; the caller converts the rest with the scalar formula.
// Only the dispatcher in SFYuvToRgb.cpp calls them, and only on processors that have the set.
#include <xmmintrin.h>

#include <cstdint>

#include "video/SFYuvToRgb.h"

namespace SF_SOFT_BASE::yuv_detail {

using RowKernel = int (*)(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst,
                          int width, const SFYuvCoefficients& k);

int RowSse2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
            const SFYuvCoefficients& k);
int RowAvx2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
            const SFYuvCoefficients& k);
int RowAvx512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
              const SFYuvCoefficients& k);

// The multiplier pairs fed to pmaddwd: low and high 16 bits of a 32-bit lane. Internal linkage:
// each kernel's copy is compiled for its own instruction set.
static inline uint32_t Pair(int16_t low, int16_t high) {
    return uint32_t(uint16_t(low)) | (uint32_t(uint16_t(high)) << 16);
}

// The SSE2 and AVX-512 kernels fetch the output line 1 KiB ahead of their stores (prefetcht0): a
// store to a line that is not in the first-level cache waits for it, and with the frame in the
// outer caches or in memory that wait, not the arithmetic, is most of the time. (The AVX2 kernel
// measured faster without it; see there.) `offset` is the byte offset of the
// store in the row. The address is computed as an integer: it may lie past the destination's
// end, which a prefetch never touches and never faults on. Internal linkage like Pair.
static inline void PrefetchOutput(const uint8_t* dst, int offset) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(dst) + offset + 1024),
                 _MM_HINT_T0);
}

}  // namespace SF_SOFT_BASE::yuv_detail
