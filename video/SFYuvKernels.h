#pragma once
// Row kernels of the YUV converter, each in its own translation unit compiled for its
// instruction set. A kernel converts the longest prefix of one row that is a multiple of its
// vector width and returns its length; the caller converts the rest with the scalar formula.
// Only the dispatcher in SFYuvToRgb.cpp calls them, and only on processors that have the set.
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

}  // namespace SF_SOFT_BASE::yuv_detail
