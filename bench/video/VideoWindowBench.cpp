// video_window_bench [sample.mp4]: the whole road of one decoded 1080p frame to the screen over
// a 10 x 10 wall in a 1000 x 560 area against decoding that frame, both measured here on the
// sample; the anchor is the decode time per frame, the ratio is printed.
//
// The road as the program runs it: the player shrinks the frame to the size the window draws it
// at (its extra time over decoding alone: the sample decoded again with the shown size set), the
// copy into the frame queue, the conversion and the 100 segments copied into their panels. Then
// the road of a frame that arrives at full size (the first one, or the one after a resize),
// which the window scales itself.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "video/SFFrameQueue.h"
#include "video/SFVideoPlayer.h"
#include "video/qt/SFVideoWindow.h"

using namespace SF_SOFT_BASE;
using Clock = std::chrono::steady_clock;

namespace {

struct Decoded {
    std::vector<std::vector<uint8_t>> frames;  // the first few, kept for the drawing
    int width = 0;
    int height = 0;
    int count = 0;
    ESFColorMatrix matrix = ESFColorMatrix::Bt601;
    ESFColorRange range = ESFColorRange::Limited;
    std::atomic<bool> ended{false};
};
constexpr size_t kKept = 24;

// Decodes the whole file as fast as it decodes, with frames delivered at most shownW x shownH
// (0 x 0: full size); keeps the first frames. The wall time per frame, or -1.
double Decode(const std::string& path, Decoded& d, int shownW, int shownH) {
    CSFVideoPlayer player;
    player.SetRealTime(false);
    player.SetShownSize(shownW, shownH);
    player.SetDecodeCallback(
        [](int, const uint8_t* data, int size, int w, int h, int, ESFColorMatrix m, ESFColorRange r,
           int, void* user) {
            auto* out = static_cast<Decoded*>(user);
            ++out->count;
            if (out->frames.size() < kKept) {
                out->frames.emplace_back(data, data + size);
                out->width = w;
                out->height = h;
                out->matrix = m;
                out->range = r;
            }
        },
        &d);
    player.SetFileEndCallback([](int, void* user) { static_cast<Decoded*>(user)->ended = true; },
                              &d);
    if (!player.Open(path)) {
        return -1;
    }
    const auto t0 = Clock::now();
    player.Play();
    while (!d.ended) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double ms =
        std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / std::max(d.count, 1);
    player.Close();
    return ms;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string path = argc > 1 ? argv[1] : std::string(TESSARO_APP_DIR) + "/Audio.mp4";

    // The window first: the size it draws frames at.
    std::unique_ptr<CSFVideoWindow> window(SFCreateVideoWindow(0, nullptr, 1, 1));
    const tagRECT rect{0, 0, 1000, 560};
    window->Create(L"", L"", SF_WS_VISIBLE, &rect, nullptr, 0);
    window->SetScreenSegmentation(10, 10, 0);
    auto* widget = static_cast<QWidget*>(window->GetUIWnd());
    QApplication::processEvents();
    int shownW = 0;
    int shownH = 0;
    window->GetSubWinPixelSize(0, &shownW, &shownH);

    // Decoding the whole sample as fast as it decodes: the anchor; then again delivering frames
    // at the shown size.
    Decoded full;
    Decoded shrunk;
    const double decodeMs = Decode(path, full, 0, 0);
    const double shrunkMs = Decode(path, shrunk, shownW, shownH);
    if (decodeMs < 0 || shrunkMs < 0 || full.frames.empty() || shrunk.frames.empty()) {
        std::printf("no frame decoded from %s\n", path.c_str());
        return 1;
    }
    window->SetFrameColorSpace(full.matrix, full.range);
    std::printf("%d x %d frames, %s, window %d x %d drawing frames at %d x %d, 10 x 10 segments\n",
                full.width, full.height, full.matrix == ESFColorMatrix::Bt709 ? "BT.709" : "BT.601",
                widget->width(), widget->height(), shownW, shownH);
    std::printf(
        "decode %.2f ms per frame (%d frames); delivering %d x %d %.2f ms: shrinking %.2f "
        "ms\n",
        decodeMs, full.count, shrunk.width, shrunk.height, shrunkMs, shrunkMs - decodeMs);

    QImage screen(QSize(1000, 560), QImage::Format_RGB32);
    for (const Decoded* d : {&shrunk, &full}) {
        CSFFrameQueue queue;
        std::vector<double> times;
        for (int i = 0; i < 120; ++i) {
            const auto& frame = d->frames[i % d->frames.size()];
            const auto s = Clock::now();
            queue.Push(frame.data(), static_cast<int>(frame.size()), d->width, d->height, d->matrix,
                       d->range, i, kSFMaxVideoSide);
            const SFQueuedFrame* taken = queue.Take();
            window->RenderOffScreenSurface(0, taken->data.data(), taken->width, taken->height, 0,
                                           -1);
            QPainter painter(&screen);
            widget->render(&painter);
            painter.end();
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - s).count());
        }
        const bool program = d == &shrunk;
        const double pathMs = Median(times) + (program ? std::max(0.0, shrunkMs - decodeMs) : 0);
        std::printf(
            "%s: %scopy + convert + draw %.2f ms per frame against decode %.2f ms: ratio "
            "%.2f\n",
            program ? "frames at the drawn size (the program)"
                    : "frames at full size (scaled by the window)",
            program ? "shrink + " : "", pathMs, decodeMs, pathMs / decodeMs);
    }
    return 0;
}
