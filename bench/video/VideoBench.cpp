// video_bench [sample.mp4]: the YUV 4:2:0 to RGB32 conversion of one 1080p and one 4K frame by
// each kernel of ours, by libyuv's I420ToARGB (the anchor) and by libswscale (yuv420p to BGRA),
// hot (the same buffers again and again, as far as the caches hold them) and cold (a gigabyte
// of frames cycled, so every frame comes from memory); medians, ratios to libyuv and to the
// memory-bandwidth bound measured in the same run (memcpy moving the converter's bytes). Then
// the decode cost per frame of the sample video.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}
#ifdef TESSARO_HAVE_LIBYUV
#include <libyuv/convert_argb.h>
#endif

#include "video/SFVideoPlayer.h"
#include "video/SFYuvToRgb.h"

using namespace SF_SOFT_BASE;
using Clock = std::chrono::steady_clock;

namespace {

// More than this machine's last-level cache reports (480 MB), so cold frames come from memory.
constexpr size_t kColdBytes = size_t(1) << 30;

struct FrameSet {
    std::vector<uint8_t> y, u, v, out;
};

struct Size {
    const char* name;
    int width;
    int height;
};

std::vector<FrameSet> MakeSets(const Size& s, size_t count) {
    std::mt19937 random(5);
    std::vector<FrameSet> sets(count);
    const size_t luma = size_t(s.width) * size_t(s.height);
    for (FrameSet& f : sets) {
        f.y.resize(luma);
        f.u.resize(luma / 4);
        f.v.resize(luma / 4);
        f.out.resize(luma * 4);
        for (auto* p : {&f.y, &f.u, &f.v})
            for (auto& b : *p)
                b = uint8_t(random());
        std::memset(f.out.data(), 0, f.out.size());  // fault the pages in before timing
    }
    return sets;
}

struct Candidate {
    std::string name;
    std::function<void(FrameSet&)> run;
    std::vector<double> ms;
};

double Median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Runs the candidates round-robin, so that a change of load on the shared machine hits all of
// them alike. Cold: consecutive calls walk through the sets, so the set a call reads was last
// touched count calls ago and has left the caches; hot: every call uses the same set.
void Measure(std::vector<Candidate>& candidates, std::vector<FrameSet>& sets, int rounds) {
    size_t next = 0;
    for (Candidate& c : candidates)
        c.run(sets[0]);  // warm-up: code, tables, page mappings
    for (int r = 0; r < rounds; ++r) {
        for (Candidate& c : candidates) {
            FrameSet& f = sets[next++ % sets.size()];
            const auto t0 = Clock::now();
            c.run(f);
            c.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
    }
}

void Run(const Size& s, bool cold) {
    const size_t luma = size_t(s.width) * size_t(s.height);
    const size_t perSet = luma * 3 / 2 + luma * 4;
    const size_t count = cold ? std::max<size_t>(2, kColdBytes / perSet) : 1;
    std::vector<FrameSet> sets = MakeSets(s, count);
    const int rounds = cold ? std::max(30, int(count)) : 60;
    const int w = s.width;
    const int h = s.height;
    const auto k = YuvCoefficients(ESFColorMatrix::Bt601, ESFColorRange::Limited);
    SwsContext* sws = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGRA, SWS_POINT,
                                     nullptr, nullptr, nullptr);

    std::vector<Candidate> candidates;
    // Bandwidth bound: the converter reads 1.5 and writes 4 bytes per pixel. memcpy of the
    // output buffer's first half onto its second half moves 4 bytes per pixel through the same
    // (hot or cold) memory; scaled by 5.5 / 4 it is the time of the converter's traffic.
    candidates.push_back(
        {"bandwidth bound (memcpy)",
         [&](FrameSet& f) { std::memcpy(f.out.data() + luma * 2, f.out.data(), luma * 2); },
         {}});
#ifdef TESSARO_HAVE_LIBYUV
    candidates.push_back({"libyuv I420ToARGB",
                          [&](FrameSet& f) {
                              libyuv::I420ToARGB(f.y.data(), w, f.u.data(), w / 2, f.v.data(),
                                                 w / 2, f.out.data(), w * 4, w, h);
                          },
                          {}});
#endif
    candidates.push_back({"libswscale yuv420p->bgra",
                          [&](FrameSet& f) {
                              const uint8_t* src[4] = {f.y.data(), f.u.data(), f.v.data(), nullptr};
                              const int ss[4] = {w, w / 2, w / 2, 0};
                              uint8_t* dst[4] = {f.out.data(), nullptr, nullptr, nullptr};
                              const int ds[4] = {w * 4, 0, 0, 0};
                              sws_scale(sws, src, ss, 0, h, dst, ds);
                          },
                          {}});
    for (ESFYuvKernel kernel : SupportedYuvKernels())
        candidates.push_back({std::string("ours ") + YuvKernelName(kernel),
                              [&, kernel](FrameSet& f) {
                                  ConvertYuv420ToRgb32({f.y, f.u, f.v, w, w / 2, w / 2, w, h},
                                                       {f.out, w * 4}, k, kernel);
                              },
                              {}});
    Measure(candidates, sets, rounds);
    sws_freeContext(sws);

    const double boundMs = Median(candidates[0].ms) * 5.5 / 4.0;
    const double anchor = Median(candidates[1].ms);
    std::printf("\n%s %s (%zu frame set%s, %.0f MB)\n", s.name, cold ? "cold" : "hot", count,
                count > 1 ? "s" : "", double(count * perSet) / (1 << 20));
    std::printf("  %-28s %9.3f ms\n", candidates[0].name.c_str(), boundMs);
    for (size_t i = 1; i < candidates.size(); ++i) {
        const double ms = Median(candidates[i].ms);
        std::printf("  %-28s %9.3f ms  %5.2fx %s  %5.2fx bound\n", candidates[i].name.c_str(), ms,
                    ms / anchor, candidates[1].name.c_str(), ms / boundMs);
    }
}

void Decode(const std::string& path) {
    struct Count {
        int frames = 0;
        std::atomic<bool> ended{false};
    } count;
    CSFVideoPlayer player;
    player.SetRealTime(false);
    player.SetDecodeCallback([](int, const uint8_t*, int, int, int, int, ESFColorMatrix,
                                ESFColorRange, int, void* u) { ++static_cast<Count*>(u)->frames; },
                             &count);
    player.SetFileEndCallback([](int, void* u) { static_cast<Count*>(u)->ended = true; }, &count);
    if (!player.Open(path)) {
        std::printf("\ndecode: cannot open %s\n", path.c_str());
        return;
    }
    const auto t0 = Clock::now();
    player.Play();
    while (!count.ended)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    player.Close();
    const double perFrame = ms / std::max(count.frames, 1);
    std::printf(
        "\ndecode %s: %d frames in %.0f ms, %.2f ms per frame (%.2fx of the 33.3 ms "
        "real-time budget at 30 fps)\n",
        path.c_str(), count.frames, ms, perFrame, perFrame / (1000.0 / 30));
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("YUV 4:2:0 -> RGB32, median per frame; best kernel here: %s\n",
                YuvKernelName(BestYuvKernel()));
    for (const Size& s : {Size{"1080p", 1920, 1080}, Size{"4K", 3840, 2160}})
        for (bool cold : {false, true})
            Run(s, cold);
    Decode(argc > 1 ? argv[1] : std::string(TESSARO_APP_DIR) + "/Audio.mp4");
    return 0;
}
