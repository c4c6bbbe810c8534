#pragma once
// The one place that knows FFmpeg's API generations: owning handles for every FFmpeg object,
// error texts, and the colour facts of a decoded frame. Built against FFmpeg 5.1 (Debian 12);
// the version checks for later releases live here and nowhere else.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

#include "video/SFYuvToRgb.h"

namespace SF_SOFT_BASE::ffmpeg {

struct InputCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
// An output context owns its I/O handle once opened (avio_closep before freeing).
struct OutputCloser {
    void operator()(AVFormatContext* c) const {
        if (c->pb && !(c->oformat->flags & AVFMT_NOFILE))
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameCloser {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketCloser {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleCloser {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using InputPtr = std::unique_ptr<AVFormatContext, InputCloser>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketCloser>;
using ScalePtr = std::unique_ptr<SwsContext, ScaleCloser>;

inline FramePtr MakeFrame() {
    return FramePtr(av_frame_alloc());
}
inline PacketPtr MakePacket() {
    return PacketPtr(av_packet_alloc());
}

// Sends FFmpeg's own log lines (warnings and errors) to the tessaro.video category instead of
// stderr. Process-wide, done once; every player and writer calls it before using FFmpeg.
void RouteLogging();

// FFmpeg's own text for an error code ("Invalid data found when processing input").
std::string ErrorText(int error);

// Colour matrix and range a decoded frame declares. An unspecified matrix is BT.709 above
// 576 rows and BT.601 at or below, as broadcast practice has it.
ESFColorMatrix MatrixOf(const AVFrame& frame);
ESFColorRange RangeOf(const AVFrame& frame);

// The same pixel format without the deprecated full-range "J" aliases, which libswscale would
// otherwise warn about; the range travels separately.
AVPixelFormat PlainFormat(AVPixelFormat format);

// How long a decoded frame is shown, in its stream's time base; 0 when unknown.
int64_t FrameDuration(const AVFrame& frame);

// swscale's coefficient table for a matrix.
const int* ScaleCoefficients(ESFColorMatrix matrix);

}  // namespace SF_SOFT_BASE::ffmpeg
