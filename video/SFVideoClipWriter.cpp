#include "video/SFVideoClipWriter.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <cstring>

#include "video/SFFFmpeg.h"

namespace SF_SOFT_BASE {

using namespace ffmpeg;

struct CSFVideoClipWriter::Impl {
    SFClipSettings settings;
    OutputPtr output;
    CodecPtr codec;
    ScalePtr scale;
    FramePtr frame;
    PacketPtr packet;
    AVStream* stream = nullptr;
    int64_t frames = 0;
    // Set once Open has written the header: until then the output is half made and Write and
    // Finish must not touch it.
    bool open = false;
    std::string error;

    bool Fail(const char* what, int code) {
        error = std::string(what) + ": " + ErrorText(code);
        return false;
    }

    bool Pump() {
        for (;;) {
            const int got = avcodec_receive_packet(codec.get(), packet.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return true;
            if (got < 0)
                return Fail("encode", got);
            av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int written = av_interleaved_write_frame(output.get(), packet.get());
            if (written < 0)
                return Fail("write", written);
        }
    }
};

CSFVideoClipWriter::CSFVideoClipWriter() : m_impl(std::make_unique<Impl>()) {
    RouteLogging();
}
CSFVideoClipWriter::~CSFVideoClipWriter() = default;

const std::string& CSFVideoClipWriter::Error() const {
    return m_impl->error;
}

bool CSFVideoClipWriter::Open(const SFClipSettings& s) {
    Impl& d = *m_impl;
    d = Impl{};
    d.settings = s;
    const AVCodec* encoder = avcodec_find_encoder_by_name(s.codec.c_str());
    const AVPixelFormat format = av_get_pix_fmt(s.pixelFormat.c_str());
    if (!encoder || format == AV_PIX_FMT_NONE || s.width < 1 || s.height < 1 ||
        s.framesPerSecond < 1)
        return d.Fail("settings", AVERROR(EINVAL));

    AVFormatContext* raw = nullptr;
    int error = avformat_alloc_output_context2(
        &raw, nullptr, s.container.empty() ? nullptr : s.container.c_str(), s.path.c_str());
    if (error < 0 || !raw)
        return d.Fail("container", error);
    d.output.reset(raw);
    d.output->flags |= AVFMT_FLAG_BITEXACT;

    d.codec.reset(avcodec_alloc_context3(encoder));
    if (!d.codec)
        return d.Fail("encoder", AVERROR(ENOMEM));
    AVCodecContext* c = d.codec.get();
    c->width = s.width;
    c->height = s.height;
    c->pix_fmt = format;
    // Stamps in 1/(1000 fps): whole frames and whole milliseconds are both exact.
    c->time_base = AVRational{1, 1000 * s.framesPerSecond};
    c->framerate = AVRational{s.framesPerSecond, 1};
    c->thread_count = s.threads;
    c->flags |= AV_CODEC_FLAG_BITEXACT;
    if (s.bitRate > 0) {
        c->bit_rate = s.bitRate;
        c->rc_max_rate = s.bitRate * 3 / 2;
        c->rc_buffer_size = int(s.bitRate);
    }
    if (s.gop > 0)
        c->gop_size = s.gop;
    const bool rgb = (av_pix_fmt_desc_get(format)->flags & AV_PIX_FMT_FLAG_RGB) != 0;
    c->colorspace =
        rgb ? AVCOL_SPC_RGB
            : (s.matrix == ESFColorMatrix::Bt709 ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M);
    c->color_primaries = s.matrix == ESFColorMatrix::Bt709 ? AVCOL_PRI_BT709 : AVCOL_PRI_SMPTE170M;
    c->color_trc = s.matrix == ESFColorMatrix::Bt709 ? AVCOL_TRC_BT709 : AVCOL_TRC_SMPTE170M;
    c->color_range = s.range == ESFColorRange::Full ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    if (d.output->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    for (const auto& [name, value] : s.options) {
        error = av_opt_set(c, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN);
        if (error < 0)
            return d.Fail(name.c_str(), error);
    }
    if (s.codec == "mjpeg")
        c->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
    error = avcodec_open2(c, encoder, nullptr);
    if (error < 0)
        return d.Fail("encoder", error);

    d.stream = avformat_new_stream(d.output.get(), nullptr);
    if (!d.stream)
        return d.Fail("stream", AVERROR(ENOMEM));
    error = avcodec_parameters_from_context(d.stream->codecpar, c);
    if (error < 0)
        return d.Fail("parameters", error);
    d.stream->time_base = c->time_base;
    d.stream->avg_frame_rate = c->framerate;

    if (!(d.output->oformat->flags & AVFMT_NOFILE)) {
        error = avio_open(&d.output->pb, s.path.c_str(), AVIO_FLAG_WRITE);
        if (error < 0)
            return d.Fail("file", error);
    }
    error = avformat_write_header(d.output.get(), nullptr);
    if (error < 0)
        return d.Fail("header", error);

    d.frame = MakeFrame();
    d.packet = MakePacket();
    d.frame->format = format;
    d.frame->width = s.width;
    d.frame->height = s.height;
    d.frame->color_range = c->color_range;
    d.frame->colorspace = c->colorspace;
    error = av_frame_get_buffer(d.frame.get(), 0);
    if (error < 0)
        return d.Fail("frame", error);
    const AVPixelFormat plain = PlainFormat(format);
    if (plain != AV_PIX_FMT_YUV420P) {
        d.scale.reset(sws_getContext(s.width, s.height, AV_PIX_FMT_YUV420P, s.width, s.height,
                                     plain, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr,
                                     nullptr));
        if (!d.scale)
            return d.Fail("conversion", AVERROR(EINVAL));
        const int* table = ScaleCoefficients(s.matrix);
        const int range = s.range == ESFColorRange::Full ? 1 : 0;
        sws_setColorspaceDetails(d.scale.get(), table, range, table, rgb ? 1 : range, 0, 1 << 16,
                                 1 << 16);
    }
    d.open = true;
    return true;
}

bool CSFVideoClipWriter::Write(const uint8_t* y, const uint8_t* u, const uint8_t* v,
                               int64_t stampMs) {
    Impl& d = *m_impl;
    if (!d.open)
        return d.Fail("not open", AVERROR(EINVAL));
    int error = av_frame_make_writable(d.frame.get());
    if (error < 0)
        return d.Fail("frame", error);
    const int w = d.settings.width;
    const int h = d.settings.height;
    const int cw = (w + 1) / 2;
    const int ch = (h + 1) / 2;
    if (d.scale) {
        const uint8_t* src[4] = {y, u, v, nullptr};
        const int strides[4] = {w, cw, cw, 0};
        sws_scale(d.scale.get(), src, strides, 0, h, d.frame->data, d.frame->linesize);
    } else {
        const uint8_t* src[3] = {y, u, v};
        for (int p = 0; p < 3; ++p) {
            const int pw = p ? cw : w;
            for (int row = 0; row < (p ? ch : h); ++row)
                std::memcpy(d.frame->data[p] + ptrdiff_t(row) * d.frame->linesize[p],
                            src[p] + size_t(row) * size_t(pw), size_t(pw));
        }
    }
    d.frame->pts = stampMs >= 0 ? stampMs * d.settings.framesPerSecond : d.frames * 1000;
    ++d.frames;
    error = avcodec_send_frame(d.codec.get(), d.frame.get());
    if (error < 0)
        return d.Fail("encode", error);
    return d.Pump();
}

bool CSFVideoClipWriter::Finish() {
    Impl& d = *m_impl;
    if (!d.open)
        return d.Fail("not open", AVERROR(EINVAL));
    d.open = false;
    int error = avcodec_send_frame(d.codec.get(), nullptr);
    if (error < 0 && error != AVERROR_EOF)
        return d.Fail("flush", error);
    if (!d.Pump())
        return false;
    error = av_write_trailer(d.output.get());
    if (error < 0)
        return d.Fail("trailer", error);
    d.output.reset();
    d.codec.reset();
    return true;
}

}  // namespace SF_SOFT_BASE
