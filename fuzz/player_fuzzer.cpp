// The player opening a file: container and decoder through our wrapper, a few frames, stop,
// close. A delivered frame never exceeds the size limit and matches its own dimensions, and
// Stop returns within 200 ms.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "video/SFVideoPlayer.h"

namespace {

using namespace SF_SOFT_BASE;
using Clock = std::chrono::steady_clock;

struct Watch {
    std::mutex lock;
    std::condition_variable changed;
    int frames = 0;
    bool ended = false;
};

void OnFrame(int, const uint8_t* frame, int size, int width, int height, int, ESFColorMatrix,
             ESFColorRange, int, void* user) {
    FUZZ_CHECK(frame != nullptr);
    FUZZ_CHECK(width > 0 && height > 0 && width <= kSFMaxVideoSide && height <= kSFMaxVideoSide);
    const int64_t expected =
        int64_t(width) * height + 2 * int64_t(width / 2) * int64_t(height / 2);
    FUZZ_CHECK(size == expected);
    // The planes are readable to their end (ASan reports a short buffer).
    volatile uint8_t last = frame[size - 1];
    (void)last;
    auto* w = static_cast<Watch*>(user);
    std::lock_guard<std::mutex> guard(w->lock);
    ++w->frames;
    w->changed.notify_all();
}

void OnEnd(int, void* user) {
    auto* w = static_cast<Watch*>(user);
    std::lock_guard<std::mutex> guard(w->lock);
    w->ended = true;
    w->changed.notify_all();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzsupport::WriteScratch(
        "clip", std::string_view(reinterpret_cast<const char*>(data), size));
    Watch watch;
    CSFVideoPlayer player;
    if (!player.Open(path)) {
        return 0;
    }
    player.SetRealTime(false);
    player.SetDecodeCallback(&OnFrame, &watch);
    player.SetFileEndCallback(&OnEnd, &watch);
    FUZZ_CHECK(player.Play() == 1);
    {
        std::unique_lock<std::mutex> guard(watch.lock);
        // A file without a decodable frame ends only after the player's empty-pass delay: a few
        // frames or 100 ms is enough to exercise the decoder and keeps the fuzzer fast.
        watch.changed.wait_for(guard, std::chrono::milliseconds(100),
                               [&] { return watch.frames >= 3 || watch.ended; });
    }
    const auto start = Clock::now();
    player.Stop();
    const auto took = Clock::now() - start;
    if (took > std::chrono::milliseconds(200)) {
        std::fprintf(stderr, "Stop took %lld ms\n",
                     static_cast<long long>(
                         std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
        std::abort();
    }
    FUZZ_CHECK(player.Close() == 1);
    FUZZ_CHECK(!player.IsOpen());
    return 0;
}
