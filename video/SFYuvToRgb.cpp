#include "video/SFYuvToRgb.h"

#include <array>
#include <optional>

#include "video/SFVideoLog.h"
#include "video/SFYuvKernels.h"

namespace SF_SOFT_BASE {

namespace {

// The per-value products of the formula, built once per conversion (1280 multiplications, so
// the scalar path makes none per pixel). Entries equal the kernels' pmaddwd terms exactly.
struct Tables {
    std::array<int32_t, 256> luma;
    std::array<int32_t, 256> blueU;
    std::array<int32_t, 256> greenU;
    std::array<int32_t, 256> greenV;
    std::array<int32_t, 256> redV;

    explicit Tables(const SFYuvCoefficients& k) {
        for (int i = 0; i < 256; ++i) {
            luma[i] = (i - k.yOffset) * k.yMul;
            blueU[i] = (i - 128) * k.bU;
            greenU[i] = (i - 128) * k.gU;
            greenV[i] = (i - 128) * k.gV;
            redV[i] = (i - 128) * k.rV;
        }
    }
};

inline uint8_t Clamp(int32_t value) {
    value >>= 13;
    return uint8_t(value < 0 ? 0 : (value > 255 ? 255 : value));
}

void RowScalar(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int from,
               int width, const Tables& t) {
    for (int x = from; x < width; ++x) {
        const int32_t l = t.luma[y[x]];
        const int cu = u[x >> 1];
        const int cv = v[x >> 1];
        uint8_t* p = dst + x * 4;
        p[0] = Clamp(l + t.blueU[cu]);
        p[1] = Clamp(l - t.greenU[cu] - t.greenV[cv]);
        p[2] = Clamp(l + t.redV[cv]);
        p[3] = 0xFF;
    }
}

bool Runs(ESFYuvKernel kernel) {
    switch (kernel) {
        case ESFYuvKernel::Scalar:
        case ESFYuvKernel::Sse2:
            return true;
        case ESFYuvKernel::Avx2:
            return __builtin_cpu_supports("avx2");
        case ESFYuvKernel::Avx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
        case ESFYuvKernel::Best:
            return true;
    }
    return false;
}

yuv_detail::RowKernel KernelFor(ESFYuvKernel kernel) {
    switch (kernel) {
        case ESFYuvKernel::Sse2:
            return &yuv_detail::RowSse2;
        case ESFYuvKernel::Avx2:
            return &yuv_detail::RowAvx2;
        case ESFYuvKernel::Avx512:
            return &yuv_detail::RowAvx512;
        default:
            return nullptr;
    }
}

// Bytes a plane needs: rows - 1 full strides and one row of the picture's width.
bool Fits(size_t available, int64_t stride, int64_t rowBytes, int64_t rows) {
    if (stride < rowBytes || rowBytes <= 0 || rows <= 0)
        return false;
    return int64_t(available) >= (rows - 1) * stride + rowBytes;
}

}  // namespace

SFYuvCoefficients YuvCoefficients(ESFColorMatrix matrix, ESFColorRange range) {
    const bool full = range == ESFColorRange::Full;
    if (matrix == ESFColorMatrix::Bt709)
        return full ? SFYuvCoefficients{0, 8192, 15204, 1531, 3833, 12902}
                    : SFYuvCoefficients{16, 9535, 17301, 1744, 4366, 14688};
    return full ? SFYuvCoefficients{0, 8192, 14516, 2818, 5849, 11485}
                : SFYuvCoefficients{16, 9535, 16531, 3203, 6660, 13074};
}

std::vector<ESFYuvKernel> SupportedYuvKernels() {
    std::vector<ESFYuvKernel> kernels;
    for (ESFYuvKernel k :
         {ESFYuvKernel::Scalar, ESFYuvKernel::Sse2, ESFYuvKernel::Avx2, ESFYuvKernel::Avx512})
        if (Runs(k))
            kernels.push_back(k);
    return kernels;
}

ESFYuvKernel BestYuvKernel() {
    static const ESFYuvKernel best = SupportedYuvKernels().back();
    return best;
}

const char* YuvKernelName(ESFYuvKernel kernel) {
    switch (kernel) {
        case ESFYuvKernel::Scalar:
            return "scalar";
        case ESFYuvKernel::Sse2:
            return "sse2";
        case ESFYuvKernel::Avx2:
            return "avx2";
        case ESFYuvKernel::Avx512:
            return "avx512bw";
        case ESFYuvKernel::Best:
            return "best";
    }
    return "?";
}

bool ConvertYuv420ToRgb32(const SFYuvImageView& s, const SFRgbImageView& d,
                          const SFYuvCoefficients& k, ESFYuvKernel kernel) {
    const int width = s.width;
    const int rows = s.height < 0 ? -s.height : s.height;
    const int chromaWidth = (width + 1) / 2;
    const int chromaRows = (rows + 1) / 2;
    const bool valid = width > 0 && rows > 0 && width <= kSFMaxYuvSide && rows <= kSFMaxYuvSide &&
                       Fits(s.y.size(), s.yStride, width, rows) &&
                       Fits(s.u.size(), s.uStride, chromaWidth, chromaRows) &&
                       Fits(s.v.size(), s.vStride, chromaWidth, chromaRows) &&
                       Fits(d.pixels.size(), d.stride, int64_t(width) * 4, rows) && Runs(kernel);
    if (!valid) {
        qCInfo(lcVideo) << "yv12_to_rgb32_c_q exception";
        return false;
    }
    if (kernel == ESFYuvKernel::Best)
        kernel = BestYuvKernel();
    const yuv_detail::RowKernel simd = KernelFor(kernel);
    const int vector =
        kernel == ESFYuvKernel::Avx512 ? 32 : (kernel == ESFYuvKernel::Avx2 ? 16 : 8);
    const uintptr_t storeAlign =
        kernel == ESFYuvKernel::Avx512 ? 64 : (kernel == ESFYuvKernel::Avx2 ? 32 : 16);
    // The tables serve the pixels no vector covers: all of them for the scalar kernel, else only
    // an odd last column or rows narrower than a vector. Built only when some pixel needs them.
    std::optional<Tables> tables;
    const bool flip = s.height < 0;
    for (int row = 0; row < rows; ++row) {
        const int source = flip ? rows - 1 - row : row;
        const uint8_t* y = s.y.data() + size_t(source) * size_t(s.yStride);
        const uint8_t* u = s.u.data() + size_t(source / 2) * size_t(s.uStride);
        const uint8_t* v = s.v.data() + size_t(source / 2) * size_t(s.vStride);
        uint8_t* out = d.pixels.data() + size_t(row) * size_t(d.stride);
        int done = 0;
        if (simd && width >= vector) {
            // Stores that straddle cache lines are slow from memory, so the body runs from the
            // first even pixel (a chroma sample boundary) whose output is aligned to the vector
            // width. The pixels before it and after the last whole vector are covered by one
            // extra unaligned vector each, overlapping the body: the overlap rewrites the same
            // bytes, and no row needs the slow scalar path unless it is narrower than a vector.
            const uintptr_t misalignment = reinterpret_cast<uintptr_t>(out) & (storeAlign - 1);
            int lead = int(((storeAlign - misalignment) & (storeAlign - 1)) / 4);
            if ((misalignment & 3) != 0 || (lead & 1) != 0 || lead + vector > width)
                lead = 0;
            if (lead)
                simd(y, u, v, out, vector, k);
            done =
                lead + simd(y + lead, u + lead / 2, v + lead / 2, out + lead * 4, width - lead, k);
            if (done < width) {
                const int last = (width - vector) & ~1;
                done = last + simd(y + last, u + last / 2, v + last / 2, out + last * 4, vector, k);
            }
        }
        if (done < width) {
            if (!tables)
                tables.emplace(k);
            RowScalar(y, u, v, out, done, width, *tables);
        }
    }
    return true;
}

}  // namespace SF_SOFT_BASE
