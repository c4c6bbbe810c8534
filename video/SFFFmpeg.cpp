#include "video/SFFFmpeg.h"

#include <cstdarg>
#include <cstring>
#include <mutex>

#include "video/SFVideoLog.h"

namespace SF_SOFT_BASE::ffmpeg {

namespace {

// Runs on whichever thread FFmpeg logs from; formats into a local buffer, no shared state.
void LogLine(void* avcl, int level, const char* format, va_list args) {
    if (level > av_log_get_level() || !lcVideo().isDebugEnabled())
        return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(avcl, level, format, args, line, sizeof line, &prefix);
    size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
        line[--n] = 0;
    qCDebug(lcVideo, "ffmpeg: %s", line);
}

}  // namespace

void RouteLogging() {
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_WARNING);
        av_log_set_callback(&LogLine);
    });
}

std::string ErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

ESFColorMatrix MatrixOf(const AVFrame& frame) {
    switch (frame.colorspace) {
        case AVCOL_SPC_BT470BG:
        case AVCOL_SPC_SMPTE170M:
        case AVCOL_SPC_FCC:
        case AVCOL_SPC_SMPTE240M:
            return ESFColorMatrix::Bt601;
        case AVCOL_SPC_UNSPECIFIED:
        case AVCOL_SPC_RGB:
            return frame.height > 576 ? ESFColorMatrix::Bt709 : ESFColorMatrix::Bt601;
        default:
            return ESFColorMatrix::Bt709;
    }
}

ESFColorRange RangeOf(const AVFrame& frame) {
    switch (AVPixelFormat(frame.format)) {
        case AV_PIX_FMT_YUVJ420P:
        case AV_PIX_FMT_YUVJ422P:
        case AV_PIX_FMT_YUVJ444P:
        case AV_PIX_FMT_YUVJ440P:
        case AV_PIX_FMT_YUVJ411P:
            return ESFColorRange::Full;
        default:
            return frame.color_range == AVCOL_RANGE_JPEG ? ESFColorRange::Full
                                                         : ESFColorRange::Limited;
    }
}

AVPixelFormat PlainFormat(AVPixelFormat format) {
    switch (format) {
        case AV_PIX_FMT_YUVJ420P:
            return AV_PIX_FMT_YUV420P;
        case AV_PIX_FMT_YUVJ422P:
            return AV_PIX_FMT_YUV422P;
        case AV_PIX_FMT_YUVJ444P:
            return AV_PIX_FMT_YUV444P;
        case AV_PIX_FMT_YUVJ440P:
            return AV_PIX_FMT_YUV440P;
        case AV_PIX_FMT_YUVJ411P:
            return AV_PIX_FMT_YUV411P;
        default:
            return format;
    }
}

int64_t FrameDuration(const AVFrame& frame) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(57, 30, 100)
    return frame.duration;
#else
    return frame.pkt_duration;
#endif
}

const int* ScaleCoefficients(ESFColorMatrix matrix) {
    return sws_getCoefficients(matrix == ESFColorMatrix::Bt709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
}

}  // namespace SF_SOFT_BASE::ffmpeg
