#include "video/SFVideoDecoder.h"

#include <algorithm>
#include <cstring>

#include "video/SFVideoLog.h"
#include "video/SFVideoPlayer.h"

namespace SF_SOFT_BASE {

using namespace ffmpeg;

namespace {

// Consecutive read failures (other than the end), or decode failures while flushing, after which
// the rest of the file is given up rather than spun on.
constexpr int kMaxReadErrors = 64;

}  // namespace

int CSFVideoDecoder::Interrupt(void* opaque) {
    return static_cast<CSFVideoDecoder*>(opaque)->m_interrupt.load() ? 1 : 0;
}

bool CSFVideoDecoder::Open(const std::string& path) {
    Close();
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        return false;
    raw->interrupt_callback = {&CSFVideoDecoder::Interrupt, this};
    int error = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (error < 0) {
        // avformat_open_input frees the context on failure.
        qCInfo(lcVideo) << "open" << path.c_str() << ErrorText(error).c_str();
        return false;
    }
    InputPtr in(raw);
    // Refuse an oversized picture from the header, before stream probing reads a frame of it.
    int videoStreams = 0;
    int oversized = 0;
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        const AVCodecParameters* p = in->streams[i]->codecpar;
        if (p->codec_type != AVMEDIA_TYPE_VIDEO)
            continue;
        ++videoStreams;
        oversized += p->width > kSFMaxVideoSide || p->height > kSFMaxVideoSide ? 1 : 0;
    }
    if (videoStreams > 0 && oversized == videoStreams) {
        qCInfo(lcVideo) << "picture size refused" << path.c_str();
        return false;
    }
    error = avformat_find_stream_info(in.get(), nullptr);
    if (error < 0) {
        qCInfo(lcVideo) << "stream info" << path.c_str() << ErrorText(error).c_str();
        return false;
    }
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) {
        qCInfo(lcVideo) << "no video stream in" << path.c_str() << ErrorText(index).c_str();
        return false;
    }
    const AVStream* stream = in->streams[index];
    const AVCodecParameters* par = stream->codecpar;
    if (par->width <= 0 || par->height <= 0 || par->width > kSFMaxVideoSide ||
        par->height > kSFMaxVideoSide) {
        qCInfo(lcVideo) << "picture size refused" << par->width << par->height;
        return false;
    }
    CodecPtr ctx(avcodec_alloc_context3(decoder));
    PacketPtr packet = MakePacket();
    FramePtr frame = MakeFrame();
    if (!ctx || !packet || !frame)
        return false;
    error = avcodec_parameters_to_context(ctx.get(), par);
    if (error >= 0) {
        // One thread: the sample decodes in about 2 ms a frame, far within real time, and a
        // picture decoded on the player's own thread is still in its cache when it is shrunk
        // and copied; frame threads cost more processor time in all (11.7 % of a core for the
        // running program against 13 % with two).
        ctx->thread_count = 1;
        // A picture that grows past the limit inside the stream is refused by the decoder
        // before its buffers are allocated, not only skipped after decoding.
        ctx->max_pixels = int64_t(kSFMaxVideoSide) * kSFMaxVideoSide;
        ctx->pkt_timebase = stream->time_base;
        error = avcodec_open2(ctx.get(), decoder, nullptr);
    }
    if (error < 0) {
        qCInfo(lcVideo) << "decoder" << decoder->name << ErrorText(error).c_str();
        return false;
    }
    for (unsigned i = 0; i < in->nb_streams; ++i)
        in->streams[i]->discard = int(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    m_timeBase = stream->time_base;
    m_startStamp = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    m_streamIndex = index;
    m_input = std::move(in);
    m_codec = std::move(ctx);
    m_packet = std::move(packet);
    m_frame = std::move(frame);
    return true;
}

void CSFVideoDecoder::Close() {
    m_scale.reset();
    m_codec.reset();
    m_input.reset();
    m_packet.reset();
    m_frame.reset();
    m_packetHeld = false;
    m_streamIndex = -1;
    m_seekTarget = AV_NOPTS_VALUE;
    m_nextGuessUs = 0;
    m_flushing = false;
    m_readErrors = 0;
    m_flushErrors = 0;
    m_planes.clear();
    m_planes.shrink_to_fit();
}

int64_t CSFVideoDecoder::ToUs(int64_t stamp) const {
    return av_rescale_q(stamp - m_startStamp, m_timeBase, AVRational{1, 1000000});
}

void CSFVideoDecoder::Seek(double position) {
    int64_t duration = m_input->duration;  // AV_TIME_BASE units
    if (duration == AV_NOPTS_VALUE || duration < 0) {
        const AVStream* s = m_input->streams[m_streamIndex];
        duration = s->duration != AV_NOPTS_VALUE
                       ? av_rescale_q(s->duration, s->time_base, AV_TIME_BASE_Q)
                       : 0;
    }
    const int64_t offset = int64_t(position * double(duration));
    const int64_t target = m_startStamp + av_rescale_q(offset, AV_TIME_BASE_Q, m_timeBase);
    int error = avformat_seek_file(m_input.get(), m_streamIndex, INT64_MIN, target, target,
                                   AVSEEK_FLAG_BACKWARD);
    if (error < 0) {
        qCInfo(lcVideo) << "seek" << ErrorText(error).c_str();
        error = avformat_seek_file(m_input.get(), m_streamIndex, INT64_MIN, target, INT64_MAX, 0);
        if (error < 0)
            qCInfo(lcVideo) << "seek retry" << ErrorText(error).c_str();
    }
    avcodec_flush_buffers(m_codec.get());
    if (m_packetHeld)
        av_packet_unref(m_packet.get());
    m_packetHeld = false;
    m_seekTarget = position > 0.0 ? target : AV_NOPTS_VALUE;
    m_nextGuessUs = ToUs(target);
    m_flushing = false;
    m_readErrors = 0;
    m_flushErrors = 0;
}

ESFDecodeStep CSFVideoDecoder::Next(SFDecodedPicture& picture) {
    while (!m_interrupt) {
        // Frames the decoder holds come out before it is fed again.
        const int error = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (error == 0) {
            const bool shown = Accept(*m_frame, picture);
            av_frame_unref(m_frame.get());
            if (shown)
                return ESFDecodeStep::Picture;
            continue;
        }
        if (error == AVERROR_EOF)
            return ESFDecodeStep::End;
        if (error != AVERROR(EAGAIN))
            qCInfo(lcVideo) << "decode" << ErrorText(error).c_str();
        if (!m_flushing)
            Feed();
        else if (++m_flushErrors >= kMaxReadErrors)
            return ESFDecodeStep::End;  // a decoder that keeps failing while flushing
    }
    return ESFDecodeStep::Interrupted;
}

void CSFVideoDecoder::Feed() {
    if (!m_packetHeld) {
        const int error = av_read_frame(m_input.get(), m_packet.get());
        if (error == AVERROR(EAGAIN) || (error < 0 && m_interrupt))
            return;
        if (error < 0) {
            if (error != AVERROR_EOF && ++m_readErrors < kMaxReadErrors) {
                qCInfo(lcVideo) << "read" << ErrorText(error).c_str();
                return;
            }
            m_flushing = true;
            avcodec_send_packet(m_codec.get(), nullptr);
            return;
        }
        m_readErrors = 0;
        if (m_packet->stream_index != m_streamIndex) {
            av_packet_unref(m_packet.get());
            return;
        }
    }
    const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
    // A decoder with output still pending takes the packet once that has been received.
    m_packetHeld = sent == AVERROR(EAGAIN);
    if (m_packetHeld)
        return;
    if (sent < 0)
        qCInfo(lcVideo) << "damaged packet skipped" << ErrorText(sent).c_str();
    av_packet_unref(m_packet.get());
}

bool CSFVideoDecoder::Accept(const AVFrame& frame, SFDecodedPicture& picture) {
    int64_t stamp = frame.best_effort_timestamp;
    if (stamp == AV_NOPTS_VALUE)
        stamp = frame.pts;
    const int64_t us = stamp != AV_NOPTS_VALUE ? ToUs(stamp) : m_nextGuessUs;
    int64_t durationUs = 0;
    if (FrameDuration(frame) > 0)
        durationUs = av_rescale_q(FrameDuration(frame), m_timeBase, AVRational{1, 1000000});
    if (durationUs <= 0) {
        const AVRational rate = m_input->streams[m_streamIndex]->avg_frame_rate;
        durationUs = rate.num > 0 && rate.den > 0 ? av_rescale(1000000, rate.den, rate.num) : 40000;
    }
    m_nextGuessUs = us + durationUs;
    if (m_seekTarget != AV_NOPTS_VALUE) {
        if (stamp != AV_NOPTS_VALUE && stamp < m_seekTarget)
            return false;
        m_seekTarget = AV_NOPTS_VALUE;
    }
    picture = {0, 0, us, MatrixOf(frame), RangeOf(frame)};
    return Convert(frame, picture.width, picture.height);
}

void CSFVideoDecoder::SetShownSize(int width, int height) {
    m_shownSize.store((uint64_t(std::max(0, width)) << 32) | uint32_t(std::max(0, height)),
                      std::memory_order_relaxed);
}

bool CSFVideoDecoder::Convert(const AVFrame& frame, int& width, int& height) {
    const int sourceWidth = frame.width & ~1;
    const int sourceHeight = frame.height & ~1;
    if (sourceWidth < 2 || sourceHeight < 2 || frame.width > kSFMaxVideoSide ||
        frame.height > kSFMaxVideoSide)
        return false;
    // Along each side where the picture is shown smaller, it is delivered at the shown size.
    const uint64_t shown = m_shownSize.load(std::memory_order_relaxed);
    const int shownWidth = int(shown >> 32);
    const int shownHeight = int(shown & 0xffffffffu);
    const bool known = shownWidth > 0 && shownHeight > 0;
    width = known ? std::min(sourceWidth, shownWidth) : sourceWidth;
    height = known ? std::min(sourceHeight, shownHeight) : sourceHeight;
    const bool scaled = width != sourceWidth || height != sourceHeight;
    const size_t lumaSize = size_t(width) * size_t(height);
    const int chromaWidth = (width + 1) / 2;
    const size_t chromaSize = size_t(chromaWidth) * size_t((height + 1) / 2);
    m_planes.resize(lumaSize + 2 * chromaSize);  // keeps its memory while the size stays
    uint8_t* dst[4] = {m_planes.data(), m_planes.data() + lumaSize,
                       m_planes.data() + lumaSize + chromaSize, nullptr};
    int dstStride[4] = {width, chromaWidth, chromaWidth, 0};
    const AVPixelFormat format = PlainFormat(AVPixelFormat(frame.format));
    if (format == AV_PIX_FMT_YUV420P && !scaled) {
        for (int plane = 0; plane < 3; ++plane) {
            const int w = plane ? width / 2 : width;
            const int h = plane ? height / 2 : height;
            for (int row = 0; row < h; ++row)
                std::memcpy(dst[plane] + size_t(row) * size_t(w),
                            frame.data[plane] + ptrdiff_t(row) * frame.linesize[plane], size_t(w));
        }
        return true;
    }
    // Other layouts and smaller pictures: libswscale, from the even size, keeping the range of a
    // YUV source; an RGB source becomes limited-range YUV in the matrix the frame will carry.
    // Shrinking averages the source pixels each output pixel covers (area), which costs about
    // what the plain copy of the whole picture does and leaves the receiver a quarter of the
    // bytes or fewer to convert, with no scaling of its own.
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
    if (!desc)
        return false;
    const bool rgb = (desc->flags & AV_PIX_FMT_FLAG_RGB) != 0;
    const ESFColorMatrix matrix = MatrixOf(frame);
    const int srcRange = RangeOf(frame) == ESFColorRange::Full || rgb ? 1 : 0;
    const int dstRange = rgb ? 0 : srcRange;
    const int flags = scaled ? SWS_AREA : SWS_BILINEAR | SWS_ACCURATE_RND;
    m_scale.reset(sws_getCachedContext(m_scale.release(), sourceWidth, sourceHeight, format, width,
                                       height, AV_PIX_FMT_YUV420P, flags, nullptr, nullptr,
                                       nullptr));
    if (!m_scale) {
        qCInfo(lcVideo) << "no conversion from" << av_get_pix_fmt_name(format);
        return false;
    }
    const int* table = ScaleCoefficients(matrix);
    sws_setColorspaceDetails(m_scale.get(), table, srcRange, table, dstRange, 0, 1 << 16, 1 << 16);
    sws_scale(m_scale.get(), frame.data, frame.linesize, 0, sourceHeight, dst, dstStride);
    return true;
}

}  // namespace SF_SOFT_BASE
