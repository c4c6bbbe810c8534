// The player on clips the tests encode themselves: frame order, size and plane layout, real-time
// pacing, end of file and rewind, stopping from other threads, other pixel formats and sizes,
// and files that must be refused or survived.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "support/TempDir.h"
#include "video/SFVideoClipWriter.h"
#include "video/SFVideoPlayer.h"

using namespace SF_SOFT_BASE;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// A picture whose luma tells its frame number (flat 60 + 4 * n), with distinct flat chroma.
struct Source {
    int width;
    int height;
    std::vector<uint8_t> y, u, v;

    Source(int w, int h, int n)
        : width(w),
          height(h),
          y(size_t(w) * size_t(h), uint8_t(60 + 4 * n)),
          u(size_t((w + 1) / 2) * size_t((h + 1) / 2), 110),
          v(size_t((w + 1) / 2) * size_t((h + 1) / 2), 150) {}
};

struct Clip {
    SFClipSettings settings;
    int frames = 30;
    std::vector<int64_t> stampsMs;  // empty: regular
};

bool WriteClip(const Clip& clip) {
    CSFVideoClipWriter writer;
    if (!writer.Open(clip.settings)) {
        ADD_FAILURE() << clip.settings.path << ": " << writer.Error();
        return false;
    }
    for (int n = 0; n < clip.frames; ++n) {
        const Source s(clip.settings.width, clip.settings.height, n);
        if (!writer.Write(s.y.data(), s.u.data(), s.v.data(),
                          clip.stampsMs.empty() ? -1 : clip.stampsMs[size_t(n)])) {
            ADD_FAILURE() << writer.Error();
            return false;
        }
    }
    if (!writer.Finish()) {
        ADD_FAILURE() << writer.Error();
        return false;
    }
    return true;
}

SFClipSettings H264(const fs::path& path, int w = 320, int h = 240) {
    SFClipSettings s;
    s.path = path.string();
    s.width = w;
    s.height = h;
    s.options = {{"preset", "ultrafast"}, {"qp", "10"}};
    return s;
}

struct Received {
    int width;
    int height;
    int size;
    int stampMs;
    int number;
    ESFColorMatrix matrix;
    ESFColorRange range;
    double meanY, meanU, meanV;
    Clock::time_point at;
    std::vector<uint8_t> data;
};

double Mean(const uint8_t* p, size_t n) {
    return n ? std::accumulate(p, p + n, 0.0) / double(n) : 0.0;
}

// Collects what the player hands over; the test thread plays the part of the GUI thread.
struct Sink {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Received> frames;
    int ends = 0;
    bool keepData = false;
    std::atomic<bool> closed{false};
    std::atomic<int> lateCallbacks{0};

    static void OnFrame(int, const uint8_t* data, int size, int w, int h, int stamp,
                        ESFColorMatrix m, ESFColorRange r, int number, void* user) {
        auto* self = static_cast<Sink*>(user);
        if (self->closed)
            ++self->lateCallbacks;
        const size_t luma = size_t(w) * size_t(h);
        Received f{w,
                   h,
                   size,
                   stamp,
                   number,
                   m,
                   r,
                   Mean(data, luma),
                   Mean(data + luma, luma / 4),
                   Mean(data + luma * 5 / 4, luma / 4),
                   Clock::now(),
                   {}};
        if (self->keepData)
            f.data.assign(data, data + size);
        std::lock_guard lock(self->mutex);
        self->frames.push_back(std::move(f));
        self->changed.notify_all();
    }

    static void OnEnd(int, void* user) {
        auto* self = static_cast<Sink*>(user);
        if (self->closed)
            ++self->lateCallbacks;
        std::lock_guard lock(self->mutex);
        ++self->ends;
        self->changed.notify_all();
    }

    template <typename Pred>
    bool WaitFor(Pred pred, std::chrono::milliseconds timeout = 20s) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return pred(*this); });
    }
};

class VideoPlayer : public ::testing::Test {
protected:
    fs::path Path(const char* name) const { return m_dir.file(name); }

    // Opens and plays a file on a player wired to the sink.
    bool Start(CSFVideoPlayer& player, Sink& sink, const fs::path& path, bool realTime) {
        player.SetDecodeCallback(&Sink::OnFrame, &sink);
        player.SetFileEndCallback(&Sink::OnEnd, &sink);
        player.SetRealTime(realTime);
        return player.Open(path.string()) == 1 && player.Play() == 1;
    }

    testsupport::TempDir m_dir;
};

}  // namespace

TEST_F(VideoPlayer, DeliversEveryFrameInOrderAsOnePlanarBuffer) {
    ASSERT_TRUE(WriteClip({H264(Path("clip.mp4")), 30, {}}));
    CSFVideoPlayer player;
    Sink sink;
    ASSERT_TRUE(Start(player, sink, Path("clip.mp4"), false));
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.ends == 1; }));
    player.Close();

    ASSERT_EQ(sink.frames.size(), 30u);
    for (int n = 0; n < 30; ++n) {
        const Received& f = sink.frames[size_t(n)];
        EXPECT_EQ(f.width, 320);
        EXPECT_EQ(f.height, 240);
        EXPECT_EQ(f.size, 320 * 240 * 3 / 2);
        EXPECT_EQ(f.number, n);
        EXPECT_NEAR(f.stampMs, n * 1000 / 30, 1);
        // Y, then U, then V: each plane where it belongs, and frames in display order.
        EXPECT_NEAR(f.meanY, 60 + 4 * n, 2.0) << n;
        EXPECT_NEAR(f.meanU, 110, 2.0) << n;
        EXPECT_NEAR(f.meanV, 150, 2.0) << n;
        EXPECT_EQ(f.matrix, ESFColorMatrix::Bt601);
        EXPECT_EQ(f.range, ESFColorRange::Limited);
    }
}

TEST_F(VideoPlayer, PortsPlayInRealTimeAndLoopOnRewind) {
    ASSERT_TRUE(WriteClip({H264(Path("second.mp4")), 30, {}}));
    int port = -1;
    ASSERT_EQ(SFPlay_GetPort(&port), 1);
    Sink sink;
    ASSERT_EQ(SFPlay_OpenFile(port, Path("second.mp4").c_str()), 1);
    ASSERT_EQ(SFPlay_SetDecodeCallback(port, &Sink::OnFrame, &sink), 1);
    ASSERT_EQ(SFPlay_SetFileEndCallback(port, &Sink::OnEnd, &sink), 1);
    EXPECT_EQ(SFPlay_Play(port, 0), 0);  // only window -1 (no player window) exists
    const auto started = Clock::now();
    ASSERT_EQ(SFPlay_Play(port, -1), 1);

    // Three passes: each end of file is answered with a rewind, as the main loop does.
    for (int pass = 1; pass <= 3; ++pass) {
        ASSERT_TRUE(sink.WaitFor([pass](Sink& s) { return s.ends == pass; })) << pass;
        EXPECT_GE(SFPlay_GetPlayedTime(port), 0);
        ASSERT_EQ(SFPlay_SetPlayPos(port, 0.0f), 1);
    }
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.frames.size() >= 95; }));
    const auto elapsed = Clock::now() - started;
    EXPECT_EQ(SFPlay_Stop(port), 1);
    EXPECT_EQ(SFPlay_CloseFile(port), 1);
    EXPECT_EQ(SFPlay_FreePort(port), 1);
    EXPECT_EQ(SFPlay_GetPlayedTime(port), 0);

    std::lock_guard lock(sink.mutex);
    // Each pass starts again at frame 0 of the file; frame numbers keep counting.
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_EQ(sink.frames[size_t(pass * 30)].stampMs, 0) << pass;
        EXPECT_NEAR(sink.frames[size_t(pass * 30)].meanY, 60, 2.0) << pass;
        EXPECT_NEAR(sink.frames[size_t(pass * 30 + 29)].meanY, 60 + 4 * 29, 2.0) << pass;
    }
    EXPECT_EQ(sink.frames[94].number, 94);
    // Paced by the stamps: a one-second clip takes about a second per pass (loose bounds: the
    // machine is shared).
    const auto firstPass = sink.frames[29].at - sink.frames[0].at;
    EXPECT_GT(firstPass, 700ms);
    EXPECT_LT(firstPass, 3000ms);
    EXPECT_GT(elapsed, 2500ms);
    // A pass lasts its whole second: the last frame keeps its 33 ms on screen before the end is
    // reported, so the rewind does not cut it short. Measured from the pass's first frame, which
    // starts the pacing clock, so that a late wake-up of the last frame cannot fail it.
    for (int pass = 0; pass < 2; ++pass)
        EXPECT_GT(sink.frames[size_t(pass * 30 + 30)].at - sink.frames[size_t(pass * 30)].at, 990ms)
            << pass;
}

TEST_F(VideoPlayer, CloseFromAnotherThreadIsPromptAndFinal) {
    Clip clip{H264(Path("long.mp4")), 150, {}};
    ASSERT_TRUE(WriteClip(clip));
    for (bool stopFirst : {false, true}) {
        CSFVideoPlayer player;
        Sink sink;
        ASSERT_TRUE(Start(player, sink, Path("long.mp4"), true));
        ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.frames.size() >= 5; }));
        Clock::duration took{};
        std::thread closer([&] {
            const auto t0 = Clock::now();
            if (stopFirst)
                player.Stop();
            player.Close();
            took = Clock::now() - t0;
            sink.closed = true;
        });
        closer.join();
        EXPECT_LT(took, 200ms);
        std::this_thread::sleep_for(150ms);
        EXPECT_EQ(sink.lateCallbacks.load(), 0);
        EXPECT_LT(sink.frames.size(), 150u);
        EXPECT_EQ(player.Play(), 0);  // nothing open any more
    }
}

TEST_F(VideoPlayer, PlayAfterStopResumesWhereItStopped) {
    ASSERT_TRUE(WriteClip({H264(Path("clip.mp4")), 30, {}}));
    CSFVideoPlayer player;
    Sink sink;
    ASSERT_TRUE(Start(player, sink, Path("clip.mp4"), true));
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.frames.size() >= 5; }));
    ASSERT_EQ(player.Stop(), 1);
    size_t stoppedAt = 0;
    {
        std::lock_guard lock(sink.mutex);
        stoppedAt = sink.frames.size();
    }
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(sink.frames.size(), stoppedAt);  // nothing arrives while stopped
    ASSERT_EQ(player.Play(), 1);
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.ends == 1; }));
    player.Close();
    // Every frame of the file once, in order, across the pause.
    ASSERT_EQ(sink.frames.size(), 30u);
    for (int n = 0; n < 30; ++n)
        EXPECT_NEAR(sink.frames[size_t(n)].meanY, 60 + 4 * n, 2.0) << n;
}

TEST_F(VideoPlayer, StopInsideTheCallbackDoesNotDeadlock) {
    ASSERT_TRUE(WriteClip({H264(Path("clip.mp4")), 30, {}}));
    CSFVideoPlayer player;
    struct Ctx {
        CSFVideoPlayer* player;
        std::atomic<int> frames{0};
        std::atomic<int> closeResult{-1};
    } ctx{&player};
    player.SetDecodeCallback(
        [](int, const uint8_t*, int, int, int, int, ESFColorMatrix, ESFColorRange, int, void* u) {
            auto* c = static_cast<Ctx*>(u);
            if (++c->frames == 3) {
                c->closeResult = c->player->Close();  // refused on the decoding thread
                c->player->Stop();
            }
        },
        &ctx);
    player.SetRealTime(false);
    ASSERT_EQ(player.Open(Path("clip.mp4").string()), 1);
    ASSERT_EQ(player.Play(), 1);
    for (int i = 0; i < 200 && ctx.frames < 3; ++i)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ctx.frames.load(), 3);
    EXPECT_EQ(ctx.closeResult.load(), 0);
    // Play from outside resumes after a stop from inside.
    ASSERT_EQ(player.Play(), 1);
    for (int i = 0; i < 200 && ctx.frames < 30; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(player.Close(), 1);
    EXPECT_EQ(ctx.frames.load(), 30);
}

TEST_F(VideoPlayer, PlayFromAnotherThreadDuringCloseStartsNothing) {
    ASSERT_TRUE(WriteClip({H264(Path("long.mp4")), 150, {}}));
    for (int round = 0; round < 3; ++round) {
        CSFVideoPlayer player;
        Sink sink;
        ASSERT_TRUE(Start(player, sink, Path("long.mp4"), true));
        ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.frames.size() >= 2; }));
        std::atomic<bool> done{false};
        std::thread other([&] {
            while (!done)
                player.Play();
        });
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(player.Close(), 1);
        sink.closed = true;
        done = true;
        other.join();
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(sink.lateCallbacks.load(), 0) << round;
        EXPECT_FALSE(player.IsOpen());
    }
}

TEST_F(VideoPlayer, EveryStopperWaitsForTheRunningCallback) {
    ASSERT_TRUE(WriteClip({H264(Path("clip.mp4")), 30, {}}));
    CSFVideoPlayer player;
    struct Ctx {
        std::atomic<bool> inCallback{false};
        std::atomic<int> frames{0};
    } ctx;
    player.SetDecodeCallback(
        [](int, const uint8_t*, int, int, int, int, ESFColorMatrix, ESFColorRange, int, void* u) {
            auto* c = static_cast<Ctx*>(u);
            if (++c->frames == 2) {
                c->inCallback = true;
                std::this_thread::sleep_for(300ms);
                c->inCallback = false;
            }
        },
        &ctx);
    player.SetRealTime(false);
    ASSERT_EQ(player.Open(Path("clip.mp4").string()), 1);
    ASSERT_EQ(player.Play(), 1);
    for (int i = 0; i < 5000 && !ctx.inCallback; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(ctx.inCallback.load());
    // Two threads stop at once: neither returns while the callback still runs.
    std::atomic<int> returnedDuringCallback{0};
    auto stopper = [&] {
        player.Stop();
        returnedDuringCallback += ctx.inCallback ? 1 : 0;
    };
    std::thread first(stopper);
    std::this_thread::sleep_for(50ms);
    std::thread second(stopper);
    first.join();
    second.join();
    EXPECT_EQ(returnedDuringCallback.load(), 0);
    EXPECT_EQ(player.Close(), 1);
}

TEST_F(VideoPlayer, SeeksToAFractionOfTheDuration) {
    ASSERT_TRUE(WriteClip({H264(Path("clip.mp4")), 30, {}}));
    CSFVideoPlayer player;
    Sink sink;
    player.SetDecodeCallback(&Sink::OnFrame, &sink);
    player.SetFileEndCallback(&Sink::OnEnd, &sink);
    player.SetRealTime(false);
    ASSERT_EQ(player.Open(Path("clip.mp4").string()), 1);
    EXPECT_EQ(player.SetPosition(-0.1f), 0);
    EXPECT_EQ(player.SetPosition(1.5f), 0);
    ASSERT_EQ(player.SetPosition(0.5f), 1);
    ASSERT_EQ(player.Play(), 1);
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.ends == 1; }));
    player.Close();
    ASSERT_FALSE(sink.frames.empty());
    // The first frame shown is the one at half the duration, not the key frame before it.
    EXPECT_NEAR(sink.frames.front().meanY, 60 + 4 * 15, 3.0);
    EXPECT_EQ(sink.frames.back().stampMs, 29 * 1000 / 30);
}

namespace {

struct FormatCase {
    const char* name;
    const char* codec;
    const char* pixelFormat;
    const char* file;
    int width;
    int height;
    ESFColorMatrix matrix;
    ESFColorRange range;
    double tolerance;
};

class OtherFormats : public VideoPlayer, public ::testing::WithParamInterface<FormatCase> {};

}  // namespace

TEST_P(OtherFormats, ArriveAsEightBitFourTwoZeroWithTheirColour) {
    const FormatCase& c = GetParam();
    SFClipSettings s;
    s.path = Path(c.file).string();
    s.codec = c.codec;
    s.pixelFormat = c.pixelFormat;
    s.width = c.width;
    s.height = c.height;
    s.matrix = c.matrix;
    s.range = c.range;
    if (std::string(c.codec) == "libx264")
        s.options = {{"preset", "ultrafast"}, {"qp", "5"}};
    ASSERT_TRUE(WriteClip({s, 4, {}}));

    CSFVideoPlayer player;
    Sink sink;
    sink.keepData = true;
    ASSERT_TRUE(Start(player, sink, Path(c.file), false));
    ASSERT_TRUE(sink.WaitFor([](Sink& x) { return x.ends == 1; }));
    player.Close();
    ASSERT_EQ(sink.frames.size(), 4u);
    const int w = c.width & ~1;
    const int h = c.height & ~1;
    for (int n = 0; n < 4; ++n) {
        const Received& f = sink.frames[size_t(n)];
        EXPECT_EQ(f.width, w);
        EXPECT_EQ(f.height, h);
        ASSERT_EQ(f.size, w * h * 3 / 2);
        EXPECT_EQ(f.matrix, c.matrix);
        EXPECT_EQ(f.range, c.range);
        EXPECT_NEAR(f.meanY, 60 + 4 * n, c.tolerance) << n;
        EXPECT_NEAR(f.meanU, 110, c.tolerance) << n;
        EXPECT_NEAR(f.meanV, 150, c.tolerance) << n;
        // Corners too: an odd size loses its last row and column, not a shifted picture.
        EXPECT_NEAR(f.data[0], 60 + 4 * n, c.tolerance);
        EXPECT_NEAR(f.data[size_t(w * h - 1)], 60 + 4 * n, c.tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Player, OtherFormats,
    ::testing::Values(FormatCase{"yuv444", "rawvideo", "yuv444p", "a.nut", 64, 48,
                                 ESFColorMatrix::Bt601, ESFColorRange::Limited, 1.0},
                      FormatCase{"yuv422", "rawvideo", "yuv422p", "a.nut", 64, 48,
                                 ESFColorMatrix::Bt601, ESFColorRange::Limited, 1.0},
                      FormatCase{"tenBit", "rawvideo", "yuv420p10le", "a.nut", 64, 48,
                                 ESFColorMatrix::Bt601, ESFColorRange::Limited, 2.0},
                      FormatCase{"rgb", "rawvideo", "rgb24", "a.nut", 64, 48, ESFColorMatrix::Bt601,
                                 ESFColorRange::Limited, 3.0},
                      FormatCase{"oddSize", "rawvideo", "yuv420p", "a.nut", 65, 49,
                                 ESFColorMatrix::Bt601, ESFColorRange::Limited, 0.5},
                      FormatCase{"fullRange", "mjpeg", "yuvj420p", "a.avi", 64, 48,
                                 ESFColorMatrix::Bt601, ESFColorRange::Full, 3.0},
                      FormatCase{"bt709", "libx264", "yuv420p", "a.mp4", 64, 48,
                                 ESFColorMatrix::Bt709, ESFColorRange::Limited, 2.0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(VideoPlayer, VariableFrameRateFollowsTheStamps) {
    Clip clip{H264(Path("vfr.mp4")), 6, {0, 10, 50, 60, 250, 260}};
    clip.settings.options.push_back({"bf", "0"});
    ASSERT_TRUE(WriteClip(clip));
    CSFVideoPlayer player;
    Sink sink;
    ASSERT_TRUE(Start(player, sink, Path("vfr.mp4"), true));
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.ends == 1; }));
    player.Close();
    ASSERT_EQ(sink.frames.size(), 6u);
    for (size_t n = 0; n < 6; ++n)
        EXPECT_EQ(sink.frames[n].stampMs, int(clip.stampsMs[n]));
    // The long gap is waited for (loosely). Measured from the first frame, which starts the pacing
    // clock: a slow start on a loaded machine shortens the gap before frame 4, not its due time.
    EXPECT_GT(sink.frames[4].at - sink.frames[0].at, 150ms);
}

TEST_F(VideoPlayer, SizeChangeInsideTheStreamIsFollowed) {
    // Two raw H.264 streams of different sizes, one after the other in one file.
    SFClipSettings big = H264(Path("a.h264"), 320, 240);
    SFClipSettings small = H264(Path("b.h264"), 160, 96);
    big.container = small.container = "h264";
    ASSERT_TRUE(WriteClip({big, 5, {}}));
    ASSERT_TRUE(WriteClip({small, 5, {}}));
    {
        std::ofstream out(Path("both.h264"), std::ios::binary);
        for (const char* part : {"a.h264", "b.h264"}) {
            std::ifstream in(Path(part), std::ios::binary);
            out << in.rdbuf();
        }
    }
    CSFVideoPlayer player;
    Sink sink;
    ASSERT_TRUE(Start(player, sink, Path("both.h264"), false));
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.ends == 1; }));
    player.Close();
    ASSERT_EQ(sink.frames.size(), 10u);
    EXPECT_EQ(sink.frames[0].width, 320);
    EXPECT_EQ(sink.frames[9].width, 160);
    EXPECT_EQ(sink.frames[9].height, 96);
    EXPECT_EQ(sink.frames[9].size, 160 * 96 * 3 / 2);
}

TEST_F(VideoPlayer, RefusesFilesThatAreNotPlayableVideo) {
    ASSERT_TRUE(WriteClip({H264(Path("good.mp4")), 30, {}}));
    std::vector<char> good(fs::file_size(Path("good.mp4")));
    std::ifstream(Path("good.mp4"), std::ios::binary)
        .read(good.data(), std::streamsize(good.size()));

    std::ofstream(Path("empty.mp4"), std::ios::binary).flush();
    std::ofstream(Path("text.mp4")) << "This is a note, not a video.\n";
    // The index of an MP4 written in one pass lies at its end: the first half has none.
    std::ofstream(Path("truncated.mp4"), std::ios::binary)
        .write(good.data(), std::streamsize(good.size() / 2));
    {
        // One second of silence as 16-bit PCM in a WAV container.
        std::ofstream wav(Path("audio.mp4"), std::ios::binary);
        const uint32_t rate = 8000;
        const uint32_t bytes = rate * 2;
        auto u32 = [&](uint32_t v) { wav.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](uint16_t v) { wav.write(reinterpret_cast<const char*>(&v), 2); };
        wav << "RIFF";
        u32(36 + bytes);
        wav << "WAVEfmt ";
        u32(16);
        u16(1);
        u16(1);
        u32(rate);
        u32(rate * 2);
        u16(2);
        u16(16);
        wav << "data";
        u32(bytes);
        const std::vector<char> silence(bytes, 0);
        wav.write(silence.data(), bytes);
    }
    // A stream header announcing 16384 x 16384 pictures.
    std::ofstream(Path("huge.y4m"), std::ios::binary)
        << "YUV4MPEG2 W16384 H16384 F30:1 Ip A1:1 C420jpeg\nFRAME\n"
        << std::string(4096, '\x80');

    for (const char* name :
         {"missing.mp4", "empty.mp4", "text.mp4", "truncated.mp4", "audio.mp4", "huge.y4m"}) {
        CSFVideoPlayer player;
        EXPECT_EQ(player.Open(Path(name).string()), 0) << name;
        EXPECT_EQ(player.Play(), 0) << name;  // the playing flag stays 0
        EXPECT_EQ(player.SetPosition(0.0f), 0) << name;
        EXPECT_EQ(player.PlayedTime(), 0) << name;
        EXPECT_EQ(player.Close(), 0) << name;
    }
    int port = -1;
    ASSERT_EQ(SFPlay_GetPort(&port), 1);
    EXPECT_EQ(SFPlay_OpenFile(port, Path("missing.mp4").c_str()), 0);
    EXPECT_EQ(SFPlay_Play(port, -1), 0);
    EXPECT_EQ(SFPlay_FreePort(port), 1);
    EXPECT_EQ(SFPlay_Play(port, -1), 0);  // a freed port is gone
    EXPECT_EQ(SFPlay_Stop(99), 0);
}

TEST_F(VideoPlayer, SurvivesCorruptedPackets) {
    Clip clip{H264(Path("good.mp4")), 60, {}};
    ASSERT_TRUE(WriteClip(clip));
    std::vector<char> bytes(fs::file_size(Path("good.mp4")));
    std::ifstream(Path("good.mp4"), std::ios::binary)
        .read(bytes.data(), std::streamsize(bytes.size()));
    // Scribble over the middle of the media data; the index at the end stays readable.
    std::mt19937 random(7);
    for (size_t i = bytes.size() / 5; i < bytes.size() / 2; i += 3)
        bytes[i] = char(random());
    std::ofstream(Path("broken.mp4"), std::ios::binary)
        .write(bytes.data(), std::streamsize(bytes.size()));

    CSFVideoPlayer player;
    Sink sink;
    ASSERT_TRUE(Start(player, sink, Path("broken.mp4"), false));
    // The end arrives, after whatever could be decoded; then the rewind plays it again.
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.ends == 1; }));
    ASSERT_EQ(player.SetPosition(0.0f), 1);
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.ends == 2; }));
    const auto t0 = Clock::now();
    player.Close();
    EXPECT_LT(Clock::now() - t0, 200ms);
    for (const Received& f : sink.frames) {
        EXPECT_EQ(f.width, 320);
        EXPECT_EQ(f.height, 240);
    }
}

TEST_F(VideoPlayer, ClipWriterRefusesWorkAfterAFailedOpen) {
    // The encoder opens, then the file cannot be created: nothing after that may touch the
    // half-made output.
    CSFVideoClipWriter writer;
    SFClipSettings s = H264(Path("no such folder") / "clip.mp4");
    ASSERT_FALSE(writer.Open(s));
    EXPECT_FALSE(writer.Error().empty());
    const Source picture(s.width, s.height, 0);
    EXPECT_FALSE(writer.Write(picture.y.data(), picture.u.data(), picture.v.data()));
    EXPECT_FALSE(writer.Finish());
    EXPECT_FALSE(fs::exists(Path("no such folder")));
    // The same writer still works once opened properly.
    s.path = Path("clip.mp4").string();
    ASSERT_TRUE(writer.Open(s)) << writer.Error();
    EXPECT_TRUE(writer.Write(picture.y.data(), picture.u.data(), picture.v.data()));
    EXPECT_TRUE(writer.Finish()) << writer.Error();
    EXPECT_GT(fs::file_size(Path("clip.mp4")), 0u);
}

TEST_F(VideoPlayer, RepeatedStopsAndPlaysLoseNoFrame) {
    ASSERT_TRUE(WriteClip({H264(Path("clip.mp4")), 30, {}}));
    CSFVideoPlayer player;
    Sink sink;
    ASSERT_TRUE(Start(player, sink, Path("clip.mp4"), true));
    // Stop as soon as each frame arrives and play again: every stop lands while the decoder
    // holds frames it has not handed over yet.
    for (int round = 0; round < 60; ++round) {
        size_t seen = 0;
        {
            std::lock_guard lock(sink.mutex);
            seen = sink.frames.size();
            if (sink.ends > 0)
                break;
        }
        sink.WaitFor([seen](Sink& s) { return s.frames.size() > seen || s.ends > 0; }, 2s);
        ASSERT_EQ(player.Stop(), 1);
        ASSERT_EQ(player.Play(), 1);
    }
    ASSERT_TRUE(sink.WaitFor([](Sink& s) { return s.ends == 1; }));
    player.Close();
    ASSERT_EQ(sink.frames.size(), 30u);
    for (int n = 0; n < 30; ++n)
        EXPECT_NEAR(sink.frames[size_t(n)].meanY, 60 + 4 * n, 2.0) << n;
}
