#include "video/SFVideoPlayer.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/os/SFAppDir.h"
#include "framework/os/SFThread.h"
#include "video/SFFFmpeg.h"
#include "video/SFVideoLog.h"

namespace SF_SOFT_BASE {

using Clock = std::chrono::steady_clock;
using namespace ffmpeg;

namespace {

// A frame whose stamp runs further ahead of the clock than this restarts the clock instead of
// sleeping (a damaged or discontinuous stamp must not freeze playback), and a decoder that has
// fallen this far behind restarts it instead of bursting.
constexpr auto kMaxDrift = std::chrono::seconds(2);
// A pass that delivered no frame waits this long before reporting the end, so that a file that
// cannot be decoded is not rewound in a busy loop.
constexpr auto kEmptyPassDelay = std::chrono::milliseconds(500);
// Consecutive read failures (other than the end) after which the rest of the file is given up.
constexpr int kMaxReadErrors = 64;

std::string Resolve(const std::string& name) {
    if (name.empty() || name.front() == '/')
        return name;
    return ApplicationDirectory() + "/" + name;
}

}  // namespace

struct CSFVideoPlayer::Impl {
    explicit Impl(int p) : port(p) {}

    const int port;

    // Held by whoever ends the decoding thread (Stop, Close, Open), from taking the thread handle
    // until it is joined and the file is released: a second caller waits for the first instead of
    // returning while a callback still runs. Never taken on the decoding thread.
    std::mutex joinMutex;
    // Guards everything below up to the decoder objects, and the thread handle.
    mutable std::mutex mutex;
    std::condition_variable wake;
    SFDecodeCallback decodeCallback = nullptr;
    void* decodeUser = nullptr;
    SFFileEndCallback endCallback = nullptr;
    void* endUser = nullptr;
    bool seekPending = false;
    double seekPosition = 0.0;
    bool realTime = true;
    std::thread thread;
    // Set while the thread is being ended or a file opened: Play refuses meanwhile, so no thread
    // starts on a file that is about to be released or replaced.
    bool stopping = false;

    // Read without the lock by FFmpeg's interrupt callback and the pacing wait.
    std::atomic<bool> stopRequested{false};
    std::atomic<int> playedSeconds{0};
    std::atomic<std::thread::id> decodingThread{};

    // Owned by the decoding thread while it runs, by the caller of Open/Close otherwise.
    InputPtr input;
    CodecPtr codec;
    ScalePtr scale;
    int streamIndex = -1;
    AVRational timeBase{1, 1};
    int64_t startStamp = 0;
    std::vector<uint8_t> planes;
    int frameNumber = 0;
    int64_t seekTarget = AV_NOPTS_VALUE;  // frames before it are decoded but not shown
    bool haveOrigin = false;
    Clock::time_point originClock;
    int64_t originUs = 0;
    int64_t lastUs = 0;
    int64_t nextGuessUs = 0;
    int deliveredInPass = 0;
    // The converted frame in `planes` that a stop interrupted before it was shown.
    struct Shown {
        bool valid = false;
        int width = 0;
        int height = 0;
        int64_t us = 0;
        ESFColorMatrix matrix = ESFColorMatrix::Bt601;
        ESFColorRange range = ESFColorRange::Limited;
    } pending;

    static int Interrupt(void* opaque) {
        return static_cast<Impl*>(opaque)->stopRequested.load() ? 1 : 0;
    }

    bool OnDecodingThread() const { return decodingThread.load() == std::this_thread::get_id(); }

    // Ends the decoding thread and, with `release`, closes the file. The caller holds joinMutex
    // and, once done, clears `stopping`, which this sets. True when a file was open.
    bool EndThread(bool release) {
        std::thread running;
        {
            std::lock_guard lock(mutex);
            stopRequested = true;
            stopping = true;
            running = std::move(thread);
        }
        wake.notify_all();
        if (running.joinable())
            running.join();
        std::lock_guard lock(mutex);
        const bool wasOpen = input != nullptr;
        if (release)
            Release();
        stopRequested = false;
        return wasOpen;
    }

    void EndStopping() {
        std::lock_guard lock(mutex);
        stopping = false;
    }

    // Ends the decoding thread (and with `release` closes the file) for a caller that is not the
    // decoding thread. True when a file was open.
    bool Join(bool release) {
        std::lock_guard joining(joinMutex);
        const bool wasOpen = EndThread(release);
        EndStopping();
        return wasOpen;
    }

    void Release() {
        scale.reset();
        codec.reset();
        input.reset();
        streamIndex = -1;
        planes.clear();
        planes.shrink_to_fit();
        playedSeconds = 0;
        seekPending = false;
        pending.valid = false;
        deliveredInPass = 0;
    }

    bool OpenFile(const std::string& fileName) {
        const std::string path = Resolve(fileName);
        AVFormatContext* raw = avformat_alloc_context();
        if (!raw)
            return false;
        raw->interrupt_callback = {&Impl::Interrupt, this};
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
        if (!ctx)
            return false;
        error = avcodec_parameters_to_context(ctx.get(), par);
        if (error >= 0) {
            ctx->thread_count = 2;
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
        std::lock_guard lock(mutex);
        timeBase = stream->time_base;
        startStamp = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
        streamIndex = index;
        input = std::move(in);
        codec = std::move(ctx);
        frameNumber = 0;
        haveOrigin = false;
        seekTarget = AV_NOPTS_VALUE;
        nextGuessUs = 0;
        return true;
    }

    int64_t ToUs(int64_t stamp) const {
        return av_rescale_q(stamp - startStamp, timeBase, AVRational{1, 1000000});
    }

    // Seeks to position x duration. Runs on the decoding thread.
    void Seek(double position) {
        int64_t duration = input->duration;  // AV_TIME_BASE units
        if (duration == AV_NOPTS_VALUE || duration < 0) {
            const AVStream* s = input->streams[streamIndex];
            duration = s->duration != AV_NOPTS_VALUE
                           ? av_rescale_q(s->duration, s->time_base, AV_TIME_BASE_Q)
                           : 0;
        }
        const int64_t offset = int64_t(position * double(duration));
        const int64_t target = startStamp + av_rescale_q(offset, AV_TIME_BASE_Q, timeBase);
        int error = avformat_seek_file(input.get(), streamIndex, INT64_MIN, target, target,
                                       AVSEEK_FLAG_BACKWARD);
        if (error < 0) {
            qCInfo(lcVideo) << "seek" << ErrorText(error).c_str();
            error = avformat_seek_file(input.get(), streamIndex, INT64_MIN, target, INT64_MAX, 0);
            if (error < 0)
                qCInfo(lcVideo) << "seek retry" << ErrorText(error).c_str();
        }
        avcodec_flush_buffers(codec.get());
        pending.valid = false;
        seekTarget = position > 0.0 ? target : AV_NOPTS_VALUE;
        haveOrigin = false;
        nextGuessUs = ToUs(target);
        deliveredInPass = 0;
    }

    // Brings a decoded frame into `planes` as tightly packed 8-bit 4:2:0. False skips it.
    bool Convert(const AVFrame& frame, int& width, int& height) {
        width = frame.width & ~1;
        height = frame.height & ~1;
        if (width < 2 || height < 2 || frame.width > kSFMaxVideoSide ||
            frame.height > kSFMaxVideoSide)
            return false;
        const size_t lumaSize = size_t(width) * size_t(height);
        planes.resize(lumaSize * 3 / 2);
        uint8_t* dst[4] = {planes.data(), planes.data() + lumaSize,
                           planes.data() + lumaSize * 5 / 4, nullptr};
        int dstStride[4] = {width, width / 2, width / 2, 0};
        const AVPixelFormat format = PlainFormat(AVPixelFormat(frame.format));
        if (format == AV_PIX_FMT_YUV420P) {
            for (int plane = 0; plane < 3; ++plane) {
                const int w = plane ? width / 2 : width;
                const int h = plane ? height / 2 : height;
                for (int row = 0; row < h; ++row)
                    std::memcpy(dst[plane] + size_t(row) * size_t(w),
                                frame.data[plane] + ptrdiff_t(row) * frame.linesize[plane],
                                size_t(w));
            }
            return true;
        }
        // Other layouts: libswscale, cropped to the even size, keeping the range of a YUV
        // source; an RGB source becomes limited-range YUV in the matrix the frame will carry.
        const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
        if (!desc)
            return false;
        const bool rgb = (desc->flags & AV_PIX_FMT_FLAG_RGB) != 0;
        const ESFColorMatrix matrix = MatrixOf(frame);
        const int srcRange = RangeOf(frame) == ESFColorRange::Full || rgb ? 1 : 0;
        const int dstRange = rgb ? 0 : srcRange;
        scale.reset(sws_getCachedContext(scale.release(), width, height, format, width, height,
                                         AV_PIX_FMT_YUV420P, SWS_BILINEAR | SWS_ACCURATE_RND,
                                         nullptr, nullptr, nullptr));
        if (!scale) {
            qCInfo(lcVideo) << "no conversion from" << av_get_pix_fmt_name(format);
            return false;
        }
        const int* table = ScaleCoefficients(matrix);
        sws_setColorspaceDetails(scale.get(), table, srcRange, table, dstRange, 0, 1 << 16,
                                 1 << 16);
        sws_scale(scale.get(), frame.data, frame.linesize, 0, height, dst, dstStride);
        return true;
    }

    // Sleeps until the frame's time. False when a stop or a seek interrupted the wait.
    bool Pace(int64_t us) {
        const auto now = Clock::now();
        const auto due = originClock + std::chrono::microseconds(us - originUs);
        if (!haveOrigin || us < lastUs || due - now > kMaxDrift || now - due > kMaxDrift) {
            haveOrigin = true;
            originClock = now;
            originUs = us;
            lastUs = us;
            return true;
        }
        lastUs = us;
        std::unique_lock lock(mutex);
        if (!realTime)
            return true;
        return !wake.wait_until(lock, due, [this] { return stopRequested.load() || seekPending; });
    }

    void Deliver(const AVFrame& frame) {
        int64_t stamp = frame.best_effort_timestamp;
        if (stamp == AV_NOPTS_VALUE)
            stamp = frame.pts;
        int64_t us = stamp != AV_NOPTS_VALUE ? ToUs(stamp) : nextGuessUs;
        int64_t durationUs = 0;
        if (FrameDuration(frame) > 0)
            durationUs = av_rescale_q(FrameDuration(frame), timeBase, AVRational{1, 1000000});
        if (durationUs <= 0) {
            const AVRational rate = input->streams[streamIndex]->avg_frame_rate;
            durationUs =
                rate.num > 0 && rate.den > 0 ? av_rescale(1000000, rate.den, rate.num) : 40000;
        }
        nextGuessUs = us + durationUs;
        if (seekTarget != AV_NOPTS_VALUE) {
            if (stamp != AV_NOPTS_VALUE && stamp < seekTarget)
                return;
            seekTarget = AV_NOPTS_VALUE;
        }
        Shown shown{true, 0, 0, us, MatrixOf(frame), RangeOf(frame)};
        if (Convert(frame, shown.width, shown.height))
            Emit(shown);
    }

    // Waits for the frame's time and hands `planes` to the callback. A stop during the wait
    // keeps the frame for the next Play (its planes stay untouched until then); a seek drops it.
    void Emit(const Shown& shown) {
        pending.valid = false;
        if (!Pace(shown.us)) {
            if (stopRequested && !SeekPending())
                pending = shown;
            return;
        }
        SFDecodeCallback callback;
        void* user;
        {
            std::lock_guard lock(mutex);
            callback = decodeCallback;
            user = decodeUser;
        }
        playedSeconds = int(std::max<int64_t>(shown.us, 0) / 1000000);
        ++deliveredInPass;
        const int number = frameNumber++;
        if (callback)
            callback(port, planes.data(), int(planes.size()), shown.width, shown.height,
                     int(shown.us / 1000), shown.matrix, shown.range, number, user);
    }

    // Receives every frame the decoder has ready. False at the decoder's end.
    bool Drain(AVFrame* frame) {
        for (;;) {
            const int error = avcodec_receive_frame(codec.get(), frame);
            if (error == AVERROR(EAGAIN))
                return true;
            if (error == AVERROR_EOF)
                return false;
            if (error < 0) {
                qCInfo(lcVideo) << "decode" << ErrorText(error).c_str();
                return true;
            }
            Deliver(*frame);
            av_frame_unref(frame);
            if (stopRequested || SeekPending())
                return true;
        }
    }

    bool SeekPending() {
        std::lock_guard lock(mutex);
        return seekPending;
    }

    // Takes a pending seek; false when none.
    bool TakeSeek() {
        double position;
        {
            std::lock_guard lock(mutex);
            if (!seekPending)
                return false;
            seekPending = false;
            position = seekPosition;
        }
        Seek(position);
        return true;
    }

    void Run() {
        RunThreadStartHook();
        decodingThread = std::this_thread::get_id();
        PacketPtr packet = MakePacket();
        FramePtr frame = MakeFrame();
        if (!packet || !frame) {
            decodingThread = std::thread::id();
            return;
        }
        if (pending.valid && !SeekPending()) {
            haveOrigin = false;  // resumed: show it now and pace from here
            Emit(Shown(pending));
        }
        int readErrors = 0;
        int flushAttempts = 0;
        bool flushing = false;
        while (!stopRequested) {
            if (TakeSeek()) {
                flushing = false;
                readErrors = 0;
                flushAttempts = 0;
            }
            if (!flushing) {
                const int error = av_read_frame(input.get(), packet.get());
                if (error == AVERROR(EAGAIN))
                    continue;
                if (error < 0) {
                    if (stopRequested)
                        break;
                    if (error != AVERROR_EOF && ++readErrors < kMaxReadErrors) {
                        qCInfo(lcVideo) << "read" << ErrorText(error).c_str();
                        continue;
                    }
                    flushing = true;
                    avcodec_send_packet(codec.get(), nullptr);
                } else {
                    readErrors = 0;
                    if (packet->stream_index == streamIndex) {
                        int sent = avcodec_send_packet(codec.get(), packet.get());
                        if (sent == AVERROR(EAGAIN)) {
                            // The decoder wants its frames taken before the next packet.
                            Drain(frame.get());
                            sent = stopRequested || SeekPending()
                                       ? 0
                                       : avcodec_send_packet(codec.get(), packet.get());
                        }
                        if (sent < 0)
                            qCInfo(lcVideo) << "damaged packet skipped" << ErrorText(sent).c_str();
                    }
                    av_packet_unref(packet.get());
                }
            }
            const bool more = Drain(frame.get());
            if (stopRequested || !flushing)
                continue;
            // A decoder that keeps failing while flushing is given up after a bounded number of
            // attempts rather than spun on.
            if (more && ++flushAttempts < kMaxReadErrors)
                continue;
            flushAttempts = 0;
            if (!SeekPending())
                EndOfFile();
        }
        decodingThread = std::thread::id();
    }

    // Reports the end once the last frame has had its time on screen, so that a rewind does not
    // cut it short, and waits for a new position or a stop.
    void EndOfFile() {
        std::unique_lock lock(mutex);
        if (deliveredInPass == 0) {
            wake.wait_for(lock, kEmptyPassDelay, [this] { return stopRequested.load(); });
        } else if (realTime && haveOrigin) {
            const auto due = originClock + std::chrono::microseconds(nextGuessUs - originUs);
            if (due - Clock::now() <= kMaxDrift)
                wake.wait_until(lock, due, [this] { return stopRequested.load() || seekPending; });
        }
        if (stopRequested)
            return;
        const SFFileEndCallback callback = endCallback;
        void* user = endUser;
        deliveredInPass = 0;
        if (callback && !seekPending) {
            lock.unlock();
            callback(port, user);
            lock.lock();
        }
        wake.wait(lock, [this] { return stopRequested.load() || seekPending; });
    }
};

CSFVideoPlayer::CSFVideoPlayer(int port) : m_impl(std::make_unique<Impl>(port)) {
    RouteLogging();
}

CSFVideoPlayer::~CSFVideoPlayer() {
    if (m_impl->OnDecodingThread()) {
        // Destroyed from its own callback: the thread cannot join itself and still uses its
        // state after the callback returns, so the state is left to it (a bounded leak) rather
        // than freed under it.
        qCInfo(lcVideo) << "player destroyed inside its own callback";
        m_impl->stopRequested = true;
        m_impl->thread.detach();
        (void)m_impl.release();
        return;
    }
    Close();
}

int CSFVideoPlayer::Open(const std::string& fileName) {
    Impl& d = *m_impl;
    if (d.OnDecodingThread())
        return 0;
    // The previous file is closed and the new one opened as one step: Play refuses until done.
    std::lock_guard joining(d.joinMutex);
    d.EndThread(true);
    const bool opened = d.OpenFile(fileName);
    d.EndStopping();
    return opened ? 1 : 0;
}

void CSFVideoPlayer::SetDecodeCallback(SFDecodeCallback callback, void* user) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->decodeCallback = callback;
    m_impl->decodeUser = user;
}

void CSFVideoPlayer::SetFileEndCallback(SFFileEndCallback callback, void* user) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->endCallback = callback;
    m_impl->endUser = user;
}

int CSFVideoPlayer::Play() {
    Impl& d = *m_impl;
    if (!d.OnDecodingThread()) {
        // A thread that a callback stopped is collected first, so that Play resumes after it.
        bool stoppedInside;
        {
            std::lock_guard lock(d.mutex);
            stoppedInside = d.thread.joinable() && d.stopRequested && !d.stopping;
        }
        if (stoppedInside)
            d.Join(false);
    }
    std::lock_guard lock(d.mutex);
    if (!d.input || d.stopping)
        return 0;
    if (d.thread.joinable())
        return d.stopRequested ? 0 : 1;
    d.stopRequested = false;
    d.thread = std::thread([impl = &d] { impl->Run(); });
    return 1;
}

int CSFVideoPlayer::PlayedTime() const {
    return m_impl->playedSeconds.load();
}

int CSFVideoPlayer::SetPosition(float position) {
    if (!(position >= 0.0f && position <= 1.0f))
        return 0;
    {
        std::lock_guard lock(m_impl->mutex);
        if (!m_impl->input)
            return 0;
        m_impl->seekPending = true;
        m_impl->seekPosition = position;
    }
    m_impl->wake.notify_all();
    return 1;
}

int CSFVideoPlayer::Stop() {
    if (m_impl->OnDecodingThread()) {
        m_impl->stopRequested = true;
        return 1;
    }
    m_impl->Join(false);
    return 1;
}

int CSFVideoPlayer::Close() {
    if (m_impl->OnDecodingThread()) {
        qCInfo(lcVideo) << "close refused inside a player callback";
        return 0;
    }
    return m_impl->Join(true) ? 1 : 0;
}

void CSFVideoPlayer::SetRealTime(bool realTime) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->realTime = realTime;
}

bool CSFVideoPlayer::IsOpen() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->input != nullptr;
}

// The port table. Operations take a shared reference to the player and release the table lock
// before calling it, so a callback may query its own port while another thread stops it.
namespace {

constexpr int kMaxPorts = 16;

struct PortTable {
    std::mutex mutex;
    std::array<std::shared_ptr<CSFVideoPlayer>, kMaxPorts> players;
};

PortTable& Ports() {
    static PortTable table;
    return table;
}

std::shared_ptr<CSFVideoPlayer> PlayerOf(int port) {
    if (port < 0 || port >= kMaxPorts)
        return nullptr;
    PortTable& t = Ports();
    std::lock_guard lock(t.mutex);
    return t.players[size_t(port)];
}

}  // namespace

int SFPlay_GetPort(int* port) {
    if (!port)
        return 0;
    PortTable& t = Ports();
    std::lock_guard lock(t.mutex);
    for (int i = 0; i < kMaxPorts; ++i) {
        if (!t.players[size_t(i)]) {
            t.players[size_t(i)] = std::make_shared<CSFVideoPlayer>(i);
            *port = i;
            return 1;
        }
    }
    return 0;
}

int SFPlay_FreePort(int port) {
    std::shared_ptr<CSFVideoPlayer> player;
    if (port >= 0 && port < kMaxPorts) {
        PortTable& t = Ports();
        std::lock_guard lock(t.mutex);
        player = std::move(t.players[size_t(port)]);
    }
    if (!player)
        return 0;
    player->Close();
    return 1;
}

int SFPlay_OpenFile(int port, const char* fileName) {
    const auto player = PlayerOf(port);
    return player && fileName ? player->Open(fileName) : 0;
}

int SFPlay_SetDecodeCallback(int port, SFDecodeCallback callback, void* user) {
    const auto player = PlayerOf(port);
    if (!player)
        return 0;
    player->SetDecodeCallback(callback, user);
    return 1;
}

int SFPlay_SetFileEndCallback(int port, SFFileEndCallback callback, void* user) {
    const auto player = PlayerOf(port);
    if (!player)
        return 0;
    player->SetFileEndCallback(callback, user);
    return 1;
}

int SFPlay_Play(int port, intptr_t window) {
    const auto player = PlayerOf(port);
    return player && window == -1 ? player->Play() : 0;
}

int SFPlay_GetPlayedTime(int port) {
    const auto player = PlayerOf(port);
    return player ? player->PlayedTime() : 0;
}

int SFPlay_SetPlayPos(int port, float position) {
    const auto player = PlayerOf(port);
    return player ? player->SetPosition(position) : 0;
}

int SFPlay_Stop(int port) {
    const auto player = PlayerOf(port);
    return player ? player->Stop() : 0;
}

int SFPlay_CloseFile(int port) {
    const auto player = PlayerOf(port);
    return player ? player->Close() : 0;
}

}  // namespace SF_SOFT_BASE
