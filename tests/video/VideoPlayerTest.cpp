// The player on clips the tests encode themselves: frames and their layout, pacing and the end
// of the file, every frame once across stops, stopping and closing from other threads, other
// pixel formats and sizes, files that must be refused or survived, and the sample the build
// generates. No upper time bounds: a loaded machine waits longer, and pacing is measured from a
// call made before the pacing clock started, so that it can only appear longer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/TempDir.h"
#include "video/SFVideoClipWriter.h"
#include "video/SFVideoPlayer.h"

using namespace SF_SOFT_BASE;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A picture whose luma tells its frame number (flat 60 + 4 * n), with distinct flat chroma.
struct Source {
    std::vector<uint8_t> y, u, v;
    Source(int w, int h, int n)
        : y(size_t(w) * size_t(h), uint8_t(60 + 4 * n)),
          u(size_t((w + 1) / 2) * size_t((h + 1) / 2), 110),
          v(size_t((w + 1) / 2) * size_t((h + 1) / 2), 150) {}
};

bool WriteClip(const SFClipSettings& s, int frames, const std::vector<int64_t>& stampsMs = {}) {
    CSFVideoClipWriter writer;
    bool ok = writer.Open(s);
    for (int n = 0; ok && n < frames; ++n) {
        const Source p(s.width, s.height, n);
        ok = writer.Write(p.y.data(), p.u.data(), p.v.data(),
                          stampsMs.empty() ? -1 : stampsMs[size_t(n)]);
    }
    ok = ok && writer.Finish();
    EXPECT_TRUE(ok) << s.path << ": " << writer.Error();
    return ok;
}

SFClipSettings H264(const std::string& path, int fps = 30, int w = 320, int h = 240) {
    SFClipSettings s;
    s.path = path;
    s.width = w;
    s.height = h;
    s.framesPerSecond = fps;
    s.options = {{"preset", "ultrafast"}, {"qp", "10"}};
    return s;
}

struct Received {
    int width, height, size, stampMs, number;
    ESFColorMatrix matrix;
    ESFColorRange range;
    double meanY, meanU, meanV;
    Clock::time_point at;
    std::vector<uint8_t> luma;  // every lumaStep-th sample of every lumaStep-th row
};

double Mean(const uint8_t* p, size_t n) {
    return std::accumulate(p, p + n, 0.0) / double(n);
}

// Collects what the player hands over; the test thread plays the part of the GUI thread.
struct Sink {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Received> frames;
    std::vector<Clock::time_point> ends;
    int lumaStep = 0;                       // 0 keeps no samples
    std::function<void(int count)> inside;  // runs inside the frame callback
    std::atomic<bool> closed{false};
    std::atomic<int> running{0};  // callbacks in progress
    std::atomic<int> late{0};     // callbacks after Close returned

    static void OnFrame(int, const uint8_t* data, int size, int w, int h, int stamp,
                        ESFColorMatrix m, ESFColorRange r, int number, void* user) {
        auto* self = static_cast<Sink*>(user);
        ++self->running;
        self->late += self->closed ? 1 : 0;
        const size_t luma = size_t(w) * size_t(h);
        const size_t chroma = size_t((w + 1) / 2) * size_t((h + 1) / 2);
        Received f(w, h, size, stamp, number, m, r, Mean(data, luma), Mean(data + luma, chroma),
                   Mean(data + luma + chroma, chroma), Clock::now(), std::vector<uint8_t>());
        for (int y = 0; self->lumaStep > 0 && y < h; y += self->lumaStep)
            for (int x = 0; x < w; x += self->lumaStep)
                f.luma.push_back(data[size_t(y) * size_t(w) + size_t(x)]);
        size_t count;
        {
            std::lock_guard lock(self->mutex);
            self->frames.push_back(std::move(f));
            count = self->frames.size();
        }
        self->changed.notify_all();
        if (self->inside)
            self->inside(int(count));
        --self->running;
    }

    static void OnEnd(int, void* user) {
        auto* self = static_cast<Sink*>(user);
        self->late += self->closed ? 1 : 0;
        std::lock_guard lock(self->mutex);
        self->ends.push_back(Clock::now());
        self->changed.notify_all();
    }

    bool WaitFor(const std::function<bool(Sink&)>& pred) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 120s, [&] { return pred(*this); });
    }
    bool WaitForFrames(size_t n) {
        return WaitFor([n](Sink& s) { return s.frames.size() >= n; });
    }
    bool WaitForEnds(size_t n) {
        return WaitFor([n](Sink& s) { return s.ends.size() >= n; });
    }
    size_t Count() {
        std::lock_guard lock(mutex);
        return frames.size();
    }
    bool Ended() {
        std::lock_guard lock(mutex);
        return !ends.empty();
    }
};

// A fresh player wired to a fresh sink for every test; declared after the sink, the player is
// destroyed before it.
class VideoPlayer : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return m_dir.file(name); }

    static void Wire(CSFVideoPlayer& player, Sink& sink, bool realTime) {
        player.SetDecodeCallback(&Sink::OnFrame, &sink);
        player.SetFileEndCallback(&Sink::OnEnd, &sink);
        player.SetRealTime(realTime);
    }
    bool Open(const std::string& path, bool realTime = false) {
        Wire(m_player, m_sink, realTime);
        return m_player.Open(path) == 1;
    }
    // Plays what is open to its end, then closes.
    void PlayToEnd() {
        ASSERT_EQ(m_player.Play(), 1);
        ASSERT_TRUE(m_sink.WaitForEnds(1));
        EXPECT_EQ(m_player.Close(), 1);
    }
    void PlayThrough(const std::string& path, bool realTime = false) {
        ASSERT_TRUE(Open(path, realTime));
        PlayToEnd();
    }

    testsupport::TempDir m_dir;
    Sink m_sink;
    CSFVideoPlayer m_player;
};

}  // namespace

TEST_F(VideoPlayer, PortsPlayInRealTimeAndLoopOnRewindAfterTheLastFrameHadItsTime) {
    ASSERT_TRUE(WriteClip(H264(Path("five.mp4"), 5), 5));  // 200 ms a frame, one second a pass
    int port = -1;
    ASSERT_EQ(SFPlay_GetPort(&port), 1);
    ASSERT_EQ(SFPlay_OpenFile(port, Path("five.mp4").c_str()), 1);
    ASSERT_EQ(SFPlay_SetDecodeCallback(port, &Sink::OnFrame, &m_sink), 1);
    ASSERT_EQ(SFPlay_SetFileEndCallback(port, &Sink::OnEnd, &m_sink), 1);
    EXPECT_EQ(SFPlay_Play(port, 0), 0);  // only window -1 (no player window) exists
    // Each pass starts before its clock does: at Play, then at the rewind that answers an end.
    std::vector<Clock::time_point> starts{Clock::now()};
    ASSERT_EQ(SFPlay_Play(port, -1), 1);
    for (size_t pass = 1; pass <= 3; ++pass) {
        ASSERT_TRUE(m_sink.WaitForEnds(pass)) << pass;
        starts.push_back(Clock::now());
        ASSERT_EQ(SFPlay_SetPlayPos(port, 0.0f), 1);
    }
    EXPECT_EQ(SFPlay_Stop(port), 1);
    EXPECT_EQ(SFPlay_CloseFile(port), 1);
    EXPECT_EQ(SFPlay_FreePort(port), 1);
    EXPECT_EQ(SFPlay_GetPlayedTime(port), 0);

    std::lock_guard lock(m_sink.mutex);
    ASSERT_GE(m_sink.frames.size(), 15u);
    for (size_t pass = 0; pass < 3; ++pass) {
        // Every pass plays the file from its first frame; frame numbers keep counting.
        const Received& first = m_sink.frames[pass * 5];
        EXPECT_EQ(first.stampMs, 0) << pass;
        EXPECT_NEAR(first.meanY, 60, 2.0) << pass;
        EXPECT_EQ(m_sink.frames[pass * 5 + 4].number, int(pass * 5 + 4));
        // Paced by the stamps, and the last frame keeps its 200 ms before the end is reported.
        EXPECT_GE(m_sink.frames[pass * 5 + 4].at - starts[pass], 800ms) << pass;
        EXPECT_GE(m_sink.ends[pass] - starts[pass], 1000ms) << pass;
    }
}

TEST_F(VideoPlayer, VariableFrameRateFollowsTheStamps) {
    const std::vector<int64_t> stamps{0, 10, 50, 60, 250, 260};
    SFClipSettings s = H264(Path("vfr.mp4"));
    s.options.push_back({"bf", "0"});
    ASSERT_TRUE(WriteClip(s, 6, stamps));
    const auto started = Clock::now();
    PlayThrough(Path("vfr.mp4"), true);
    ASSERT_EQ(m_sink.frames.size(), 6u);
    for (size_t n = 0; n < 6; ++n)
        EXPECT_EQ(m_sink.frames[n].stampMs, int(stamps[n]));
    EXPECT_GE(m_sink.frames[4].at - started, 250ms);  // the long gap is waited for
}

TEST_F(VideoPlayer, SeeksToAFractionOfTheDuration) {
    ASSERT_TRUE(WriteClip(H264(Path("clip.mp4")), 30));
    ASSERT_TRUE(Open(Path("clip.mp4")));
    EXPECT_EQ(m_player.SetPosition(-0.1f), 0);
    EXPECT_EQ(m_player.SetPosition(1.5f), 0);
    ASSERT_EQ(m_player.SetPosition(0.5f), 1);
    PlayToEnd();
    ASSERT_FALSE(m_sink.frames.empty());
    // The first frame shown is the one at half the duration, not the key frame before it.
    EXPECT_NEAR(m_sink.frames.front().meanY, 60 + 4 * 15, 3.0);
    EXPECT_EQ(m_sink.frames.back().stampMs, 29 * 1000 / 30);
}

namespace {

// Interruptions of a real-time pass of a 30-frame clip, after which Play resumes.
struct ResumeCase {
    const char* name;
    std::function<void(CSFVideoPlayer&, int count)> inside;  // in the frame callback, or null
    std::function<void(CSFVideoPlayer&, Sink&)> outside;     // on the test thread meanwhile
};

const ResumeCase kResumeCases[] = {
    {"stopThenPlay", nullptr,
     [](CSFVideoPlayer& player, Sink& sink) {
         ASSERT_TRUE(sink.WaitForFrames(5));
         ASSERT_EQ(player.Stop(), 1);
         const size_t stoppedAt = sink.Count();
         std::this_thread::sleep_for(100ms);
         EXPECT_EQ(sink.Count(), stoppedAt);  // nothing arrives while stopped
         ASSERT_EQ(player.Play(), 1);
     }},
    // Every stop lands while the decoder holds frames it has not handed over yet.
    {"sixtyStopsAndPlays", nullptr,
     [](CSFVideoPlayer& player, Sink& sink) {
         for (int round = 0; round < 60 && !sink.Ended(); ++round) {
             sink.WaitFor([seen = sink.Count()](Sink& s) {
                 return s.frames.size() > seen || !s.ends.empty();
             });
             ASSERT_EQ(player.Stop(), 1);
             ASSERT_EQ(player.Play(), 1);
         }
     }},
    // Stopped inside the third frame's callback, where Close refuses; resumed from outside.
    {"stopInsideTheCallback",
     [](CSFVideoPlayer& player, int count) {
         if (count == 3) {
             EXPECT_EQ(player.Close(), 0);
             player.Stop();
         }
     },
     [](CSFVideoPlayer& player, Sink& sink) {
         ASSERT_TRUE(sink.WaitForFrames(3));
         std::this_thread::sleep_for(100ms);
         EXPECT_EQ(sink.Count(), 3u);
         ASSERT_EQ(player.Play(), 1);
     }},
};

class Resume : public VideoPlayer, public ::testing::WithParamInterface<ResumeCase> {};

}  // namespace

TEST_P(Resume, LosesAndRepeatsNoFrame) {
    ASSERT_TRUE(WriteClip(H264(Path("clip.mp4")), 30));
    if (GetParam().inside)
        m_sink.inside = [this](int count) { GetParam().inside(m_player, count); };
    ASSERT_TRUE(Open(Path("clip.mp4"), true));
    ASSERT_EQ(m_player.Play(), 1);
    GetParam().outside(m_player, m_sink);
    ASSERT_TRUE(m_sink.WaitForEnds(1));
    EXPECT_EQ(m_player.Close(), 1);
    std::lock_guard lock(m_sink.mutex);
    ASSERT_EQ(m_sink.frames.size(), 30u);
    for (int n = 0; n < 30; ++n) {
        EXPECT_NEAR(m_sink.frames[size_t(n)].meanY, 60 + 4 * n, 2.0) << n;
        EXPECT_EQ(m_sink.frames[size_t(n)].number, n);
    }
}

INSTANTIATE_TEST_SUITE_P(Player, Resume, ::testing::ValuesIn(kResumeCases),
                         [](const auto& p) { return std::string(p.param.name); });

namespace {

// Ways of ending a real-time pass from other threads. Each returns what the players' callers
// see: nothing may run or start once Stop or Close has returned.
struct EndCase {
    const char* name;
    bool slowCallback;  // the first frame's callback takes 300 ms
    std::function<void(CSFVideoPlayer&, Sink&, std::atomic<int>& returnedDuringCallback)> end;
};

const EndCase kEndCases[] = {
    {"close", false, [](CSFVideoPlayer& p, Sink&, std::atomic<int>&) { EXPECT_EQ(p.Close(), 1); }},
    {"stopThenClose", false,
     [](CSFVideoPlayer& p, Sink&, std::atomic<int>&) {
         EXPECT_EQ(p.Stop(), 1);
         EXPECT_EQ(p.Close(), 1);
     }},
    // A second stopper waits for the first instead of returning while the callback runs.
    {"twoStoppersDuringACallback", true,
     [](CSFVideoPlayer& p, Sink& sink, std::atomic<int>& returnedDuring) {
         auto stopper = [&] {
             p.Stop();
             returnedDuring += sink.running.load();
         };
         std::thread first(stopper);
         std::this_thread::sleep_for(50ms);
         std::thread second(stopper);
         first.join();
         second.join();
         EXPECT_EQ(p.Close(), 1);
     }},
    // Play from another thread during Close starts no thread on the file being released.
    {"playDuringClose", false,
     [](CSFVideoPlayer& p, Sink&, std::atomic<int>&) {
         std::atomic<bool> done{false};
         std::thread other([&] {
             while (!done)
                 p.Play();
         });
         std::this_thread::sleep_for(20ms);
         EXPECT_EQ(p.Close(), 1);
         done = true;
         other.join();
     }},
};

class EndFromOutside : public VideoPlayer, public ::testing::WithParamInterface<EndCase> {};

}  // namespace

TEST_P(EndFromOutside, InterruptsAndNoCallbackFollows) {
    // A minute of one-second frames: a Close that drained the file would miss the deadline.
    ASSERT_TRUE(WriteClip(H264(Path("long.mp4"), 1), 60));
    for (int round = 0; round < 3; ++round) {
        CSFVideoPlayer player;
        Sink sink;
        if (GetParam().slowCallback)
            sink.inside = [](int count) { std::this_thread::sleep_for(count == 1 ? 300ms : 0ms); };
        Wire(player, sink, true);
        ASSERT_TRUE(player.Open(Path("long.mp4")) == 1 && player.Play() == 1);
        ASSERT_TRUE(sink.WaitForFrames(1));  // the first callback has begun
        std::atomic<int> returnedDuringCallback{0};
        auto ended = std::async(std::launch::async, [&] {
            GetParam().end(player, sink, returnedDuringCallback);
            returnedDuringCallback += sink.running.load();
            sink.closed = true;
        });
        ASSERT_EQ(ended.wait_for(30s), std::future_status::ready) << round;
        EXPECT_EQ(returnedDuringCallback.load(), 0) << round;
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(sink.late.load(), 0) << round;
        EXPECT_FALSE(player.IsOpen());
        EXPECT_EQ(player.Play(), 0);  // nothing open any more
    }
}

INSTANTIATE_TEST_SUITE_P(Player, EndFromOutside, ::testing::ValuesIn(kEndCases),
                         [](const auto& p) { return std::string(p.param.name); });

namespace {

struct FormatCase {
    const char* name;
    const char* codec;
    const char* pixelFormat;
    const char* file;
    int width, height;
    ESFColorMatrix matrix;
    ESFColorRange range;
    double tolerance;
    int shownWidth = 0;  // the shown size given to the player; 0 x 0: none
    int shownHeight = 0;
};

constexpr auto k601 = ESFColorMatrix::Bt601;
constexpr auto kLimited = ESFColorRange::Limited;

const FormatCase kFormats[] = {
    {"h264", "libx264", "yuv420p", "a.mp4", 320, 240, k601, kLimited, 2.0},
    {"yuv444", "rawvideo", "yuv444p", "a.nut", 64, 48, k601, kLimited, 1.0},
    {"yuv422", "rawvideo", "yuv422p", "a.nut", 64, 48, k601, kLimited, 1.0},
    {"tenBit", "rawvideo", "yuv420p10le", "a.nut", 64, 48, k601, kLimited, 2.0},
    {"rgb", "rawvideo", "rgb24", "a.nut", 64, 48, k601, kLimited, 3.0},
    {"oddSize", "rawvideo", "yuv420p", "a.nut", 65, 49, k601, kLimited, 0.5},
    {"fullRange", "mjpeg", "yuvj420p", "a.avi", 64, 48, k601, ESFColorRange::Full, 3.0},
    {"bt709", "libx264", "yuv420p", "a.mp4", 64, 48, ESFColorMatrix::Bt709, kLimited, 2.0},
    // Shrunk to the shown size (odd sides included), or along one side only.
    {"shrunk", "libx264", "yuv420p", "a.mp4", 320, 240, k601, kLimited, 2.0, 101, 75},
    {"shrunkOneSide", "rawvideo", "yuv444p", "a.nut", 64, 48, k601, kLimited, 1.0, 100, 21},
};

class OtherFormats : public VideoPlayer, public ::testing::WithParamInterface<FormatCase> {};

}  // namespace

TEST_P(OtherFormats, ArriveAsEightBitFourTwoZeroWithTheirColour) {
    const FormatCase& c = GetParam();
    SFClipSettings s = H264(Path(c.file), 30, c.width, c.height);
    s.codec = c.codec;
    s.pixelFormat = c.pixelFormat;
    s.matrix = c.matrix;
    s.range = c.range;
    s.options.clear();
    if (std::string(c.codec) == "libx264")
        s.options = {{"preset", "ultrafast"}, {"qp", "5"}};
    ASSERT_TRUE(WriteClip(s, 4));
    m_sink.lumaStep = 1;
    m_player.SetShownSize(c.shownWidth, c.shownHeight);
    PlayThrough(Path(c.file));
    ASSERT_EQ(m_sink.frames.size(), 4u);
    const int w = c.shownWidth > 0 ? std::min(c.width & ~1, c.shownWidth) : c.width & ~1;
    const int h = c.shownHeight > 0 ? std::min(c.height & ~1, c.shownHeight) : c.height & ~1;
    for (int n = 0; n < 4; ++n) {
        const Received& f = m_sink.frames[size_t(n)];
        EXPECT_EQ(f.width, w);
        EXPECT_EQ(f.height, h);
        ASSERT_EQ(f.size, w * h + 2 * ((w + 1) / 2) * ((h + 1) / 2));
        EXPECT_EQ(f.matrix, c.matrix);
        EXPECT_EQ(f.range, c.range);
        EXPECT_NEAR(f.stampMs, n * 1000 / 30, 1);
        EXPECT_EQ(f.number, n);
        // Y, then U, then V, each plane where it belongs, and the frames in display order.
        EXPECT_NEAR(f.meanY, 60 + 4 * n, c.tolerance) << n;
        EXPECT_NEAR(f.meanU, 110, c.tolerance) << n;
        EXPECT_NEAR(f.meanV, 150, c.tolerance) << n;
        // Corners too: an odd size loses its last row and column, not a shifted picture.
        EXPECT_NEAR(f.luma.front(), 60 + 4 * n, c.tolerance);
        EXPECT_NEAR(f.luma.back(), 60 + 4 * n, c.tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(Player, OtherFormats, ::testing::ValuesIn(kFormats),
                         [](const auto& p) { return std::string(p.param.name); });

// Five frames of raw H.264 of the given size.
std::string RawH264(const testsupport::TempDir& dir, int width, int height) {
    SFClipSettings s = H264(dir.file("part.h264"), 30, width, height);
    s.container = "h264";
    EXPECT_TRUE(WriteClip(s, 5));
    return testsupport::TempDir::read(s.path);
}

TEST_F(VideoPlayer, SizeChangeInsideTheStreamIsFollowedAndOversizedPicturesDropped) {
    // Raw streams one after the other in one file: the header announced the first stream's size,
    // so the decoder meets the others, and drops the pictures wider than the limit.
    PlayThrough(m_dir.write("all.h264", RawH264(m_dir, 320, 240) + RawH264(m_dir, 160, 96) +
                                            RawH264(m_dir, kSFMaxVideoSide + 8, 16)));
    ASSERT_EQ(m_sink.frames.size(), 10u);
    EXPECT_EQ(m_sink.frames[0].width, 320);
    EXPECT_EQ(m_sink.frames[9].width, 160);
    EXPECT_EQ(m_sink.frames[9].height, 96);
    EXPECT_EQ(m_sink.frames[9].size, 160 * 96 * 3 / 2);
}

TEST_F(VideoPlayer, SurvivesCorruptedPacketsAndLoopsOverThem) {
    ASSERT_TRUE(WriteClip(H264(Path("good.mp4")), 60));
    std::string bytes = testsupport::TempDir::read(Path("good.mp4"));
    // Scribble over the middle of the media data; the index at the end stays readable.
    std::mt19937 random(7);
    for (size_t i = bytes.size() / 5; i < bytes.size() / 2; i += 3)
        bytes[i] = char(random());
    ASSERT_TRUE(Open(m_dir.write("broken.mp4", bytes)));
    ASSERT_EQ(m_player.Play(), 1);
    ASSERT_TRUE(m_sink.WaitForEnds(1));  // after whatever could be decoded
    ASSERT_EQ(m_player.SetPosition(0.0f), 1);
    ASSERT_TRUE(m_sink.WaitForEnds(2));
    EXPECT_EQ(m_player.Close(), 1);
    for (const Received& f : m_sink.frames)
        EXPECT_TRUE(f.width == 320 && f.height == 240);
}

TEST_F(VideoPlayer, RefusesFilesThatAreNotPlayableVideo) {
    ASSERT_TRUE(WriteClip(H264(Path("good.mp4")), 30));
    const std::string good = testsupport::TempDir::read(Path("good.mp4"));
    m_dir.write("empty.mp4", "");
    m_dir.write("text.mp4", "This is a note, not a video.\n");
    // The index of an MP4 written in one pass lies at its end: the first half has none.
    m_dir.write("truncated.mp4", good.substr(0, good.size() / 2));
    // One second of 8 kHz 16-bit silence in a WAV container: no video stream.
    auto le = [](uint32_t v, int bytes) { return std::string(reinterpret_cast<char*>(&v), bytes); };
    m_dir.write("audio.mp4", "RIFF" + le(36 + 16000, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) +
                                 le(1, 2) + le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2) +
                                 "data" + le(16000, 4) + std::string(16000, '\0'));
    // A stream header announcing 16384 x 16384 pictures: refused before a frame is read.
    m_dir.write("huge.y4m", "YUV4MPEG2 W16384 H16384 F30:1 Ip A1:1 C420jpeg\nFRAME\n" +
                                std::string(4096, '\x80'));
    for (const char* name :
         {"missing.mp4", "empty.mp4", "text.mp4", "truncated.mp4", "audio.mp4", "huge.y4m"}) {
        CSFVideoPlayer player;
        EXPECT_EQ(player.Open(Path(name)), 0) << name;
        EXPECT_EQ(player.Play(), 0) << name;  // the playing flag stays 0
        EXPECT_EQ(player.SetPosition(0.0f), 0) << name;
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

TEST_F(VideoPlayer, ClipWriterRefusesWorkAfterAFailedOpen) {
    // The encoder opens, then the file cannot be created: nothing after that may touch the
    // half-made output.
    CSFVideoClipWriter writer;
    SFClipSettings s = H264(Path("no such folder/clip.mp4"));
    ASSERT_FALSE(writer.Open(s));
    EXPECT_FALSE(writer.Error().empty());
    const Source picture(s.width, s.height, 0);
    EXPECT_FALSE(writer.Write(picture.y.data(), picture.u.data(), picture.v.data()));
    EXPECT_FALSE(writer.Finish());
    EXPECT_FALSE(fs::exists(Path("no such folder")));
    // The same writer still works once opened properly.
    s.path = Path("clip.mp4");
    ASSERT_TRUE(writer.Open(s)) << writer.Error();
    EXPECT_TRUE(writer.Write(picture.y.data(), picture.u.data(), picture.v.data()));
    EXPECT_TRUE(writer.Finish()) << writer.Error();
    EXPECT_GT(fs::file_size(Path("clip.mp4")), 0u);
}

namespace {

class SampleVideo : public VideoPlayer {};

double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

}  // namespace

// The sample the build generates beside the executable: its format, its length, and a loop
// without a jump (the last frame leads into the first as smoothly as any frame into the next).
TEST_F(SampleVideo, IsFullHdThirtyFramesPerSecondAndLoopsWithoutAJump) {
    const fs::path sample = fs::path(TESSARO_APP_DIR) / "Audio.mp4";
    if (!fs::exists(sample))
        GTEST_SKIP() << sample << " is made by the build's sample_video target";
    EXPECT_LT(fs::file_size(sample), 6u << 20);
    m_sink.lumaStep = 4;
    PlayThrough(sample.string());
    const std::vector<Received>& f = m_sink.frames;
    const int frames = int(f.size());
    EXPECT_GE(frames, 10 * 30);
    EXPECT_LE(frames, 20 * 30);
    ASSERT_GE(frames, 2);
    EXPECT_EQ(f[0].width, 1920);
    EXPECT_EQ(f[0].height, 1080);
    EXPECT_EQ(f[0].matrix, ESFColorMatrix::Bt709);
    EXPECT_NEAR(f[1].stampMs - f[0].stampMs, 33, 1);
    EXPECT_NEAR(f.back().stampMs, (frames - 1) * 1000 / 30, 1);

    // The wrap from the last frame to the first is an ordinary step: no larger than the usual
    // difference between neighbouring frames (a clip that does not close its cycles jumps by
    // several times that).
    std::vector<double> steps;
    for (size_t i = 1; i < f.size(); ++i)
        steps.push_back(MeanDifference(f[i - 1].luma, f[i].luma));
    std::sort(steps.begin(), steps.end());
    const double typical = steps[steps.size() * 3 / 4];
    const double wrap = MeanDifference(f.back().luma, f.front().luma);
    EXPECT_GT(typical, 0.5);  // it moves
    EXPECT_LE(wrap, typical * 1.5) << "wrap " << wrap << ", typical step " << typical;
}
