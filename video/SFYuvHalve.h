#pragma once
// Halving one 8-bit plane in each direction by averaging every 2 x 2 block (a box filter, rounded
// to nearest). The player halves a frame shown at half its size or less before libswscale scales
// it to the shown size: the box costs a fraction of swscale's area filter over the full frame,
// and swscale's work on the quarter that remains is small.
//
// A pure function: it reads the source, writes the destination, keeps no state and may run on
// any thread.
#include <cstddef>
#include <cstdint>

namespace SF_SOFT_BASE {

// destination (dstWidth x dstHeight, rows packed) = the 2 x 2 averages of source (srcWidth x
// srcHeight, rows srcStride bytes apart). A block that reaches beyond the last source column or
// row repeats it, so any dstWidth <= (srcWidth + 1) / 2 and dstHeight <= (srcHeight + 1) / 2 is
// allowed.
void HalvePlane(const uint8_t* source, ptrdiff_t srcStride, int srcWidth, int srcHeight,
                uint8_t* destination, int dstWidth, int dstHeight);

}  // namespace SF_SOFT_BASE
