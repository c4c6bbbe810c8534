// The sample the build generates beside the executable: its format, its length, and a loop
// without a jump (the last frame leads into the first as smoothly as any frame into the next).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "video/SFVideoPlayer.h"

using namespace SF_SOFT_BASE;

namespace {

struct Collected {
    std::vector<std::vector<uint8_t>> luma;  // every 1:4 subsampled luma plane, in order
    std::vector<int> stamps;
    int width = 0;
    int height = 0;
    ESFColorMatrix matrix = ESFColorMatrix::Bt601;
    std::atomic<bool> ended{false};
};

double MeanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

}  // namespace

TEST(SampleVideo, IsFullHdThirtyFramesPerSecondAndLoopsWithoutAJump) {
    const std::filesystem::path sample = std::filesystem::path(TESSARO_APP_DIR) / "Audio.mp4";
    if (!std::filesystem::exists(sample))
        GTEST_SKIP() << sample << " is made by the build's sample_video target";
    EXPECT_LT(std::filesystem::file_size(sample), 6u << 20);

    Collected c;
    CSFVideoPlayer player;
    player.SetRealTime(false);
    player.SetDecodeCallback(
        [](int, const uint8_t* data, int, int w, int h, int stamp, ESFColorMatrix m, ESFColorRange,
           int, void* user) {
            auto* self = static_cast<Collected*>(user);
            self->width = w;
            self->height = h;
            self->matrix = m;
            self->stamps.push_back(stamp);
            std::vector<uint8_t> small;
            small.reserve(size_t(w / 4) * size_t(h / 4));
            for (int y = 0; y < h; y += 4)
                for (int x = 0; x < w; x += 4)
                    small.push_back(data[size_t(y) * size_t(w) + size_t(x)]);
            self->luma.push_back(std::move(small));
        },
        &c);
    player.SetFileEndCallback([](int, void* user) { static_cast<Collected*>(user)->ended = true; },
                              &c);
    ASSERT_EQ(player.Open(sample.string()), 1);
    ASSERT_EQ(player.Play(), 1);
    for (int i = 0; i < 12000 && !c.ended; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    player.Close();
    ASSERT_TRUE(c.ended);

    EXPECT_EQ(c.width, 1920);
    EXPECT_EQ(c.height, 1080);
    EXPECT_EQ(c.matrix, ESFColorMatrix::Bt709);
    const int frames = int(c.luma.size());
    EXPECT_GE(frames, 10 * 30);
    EXPECT_LE(frames, 20 * 30);
    ASSERT_GE(frames, 2);
    EXPECT_NEAR(c.stamps[1] - c.stamps[0], 33, 1);
    EXPECT_NEAR(c.stamps.back(), (frames - 1) * 1000 / 30, 1);

    // The wrap from the last frame to the first is an ordinary step: no larger than the usual
    // difference between neighbouring frames (a clip that does not close its cycles jumps by
    // several times that).
    std::vector<double> steps;
    for (int i = 1; i < frames; ++i)
        steps.push_back(MeanDifference(c.luma[size_t(i - 1)], c.luma[size_t(i)]));
    std::sort(steps.begin(), steps.end());
    const double typical = steps[steps.size() * 3 / 4];
    const double wrap = MeanDifference(c.luma.back(), c.luma.front());
    EXPECT_GT(typical, 0.5);  // it moves
    EXPECT_LE(wrap, typical * 1.5) << "wrap " << wrap << ", typical step " << typical;
}
