// video_window_bench [sample.mp4]: the whole road of one decoded 1080p frame to the screen over
// a 10 x 10 wall in a 1000 x 560 area (the copy into the frame queue, the conversion, the
// segmentation and the drawing of the 100 segments) against decoding that frame, both measured
// here on the sample; the anchor is the decode cost per frame, the ratio is printed.
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

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string path = argc > 1 ? argv[1] : std::string(TESSARO_APP_DIR) + "/Audio.mp4";

    // Decoding the whole sample as fast as it decodes: the anchor.
    Decoded d;
    CSFVideoPlayer player;
    player.SetRealTime(false);
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
        std::printf("cannot open %s\n", path.c_str());
        return 1;
    }
    const auto t0 = Clock::now();
    player.Play();
    while (!d.ended) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double decodeMs =
        std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / std::max(d.count, 1);
    player.Close();
    if (d.frames.empty()) {
        std::printf("no frame decoded from %s\n", path.c_str());
        return 1;
    }

    // The road of a frame, as the main frame runs it, into a 1000 x 560 window of 10 x 10.
    std::unique_ptr<CSFVideoWindow> window(SFCreateVideoWindow(0, nullptr, 1, 1));
    const tagRECT rect{0, 0, 1000, 560};
    window->Create(L"", L"", SF_WS_VISIBLE, &rect, nullptr, 0);
    window->SetScreenSegmentation(10, 10, 0);
    window->SetFrameColorSpace(d.matrix, d.range);
    auto* widget = static_cast<QWidget*>(window->GetUIWnd());
    QApplication::processEvents();
    std::printf("%d x %d frames, %s, window %d x %d, 10 x 10 segments\n", d.width, d.height,
                d.matrix == ESFColorMatrix::Bt709 ? "BT.709" : "BT.601", widget->width(),
                widget->height());
    for (const qreal ratio : {1.0, 2.0}) {
        QImage screen(QSize(1000, 560) * ratio, QImage::Format_RGB32);
        screen.setDevicePixelRatio(ratio);
        CSFFrameQueue queue;
        std::vector<double> times;
        for (int i = 0; i < 120; ++i) {
            const auto& frame = d.frames[i % d.frames.size()];
            const auto s = Clock::now();
            queue.Push(frame.data(), static_cast<int>(frame.size()), d.width, d.height, d.matrix,
                       d.range, i, kSFMaxVideoSide);
            const SFQueuedFrame* taken = queue.Take();
            window->RenderOffScreenSurface(0, taken->data.data(), taken->width, taken->height, 0,
                                           -1);
            QPainter painter(&screen);
            widget->render(&painter);
            painter.end();
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - s).count());
        }
        const double pathMs = Median(times);
        // The parts: drawing the same converted frame again.
        std::vector<double> draws;
        for (int i = 0; i < 40; ++i) {
            const auto s = Clock::now();
            QPainter painter(&screen);
            widget->render(&painter);
            painter.end();
            draws.push_back(std::chrono::duration<double, std::milli>(Clock::now() - s).count());
        }
        std::printf("  of which drawing the segments: %.2f ms\n", Median(draws));
        std::printf(
            "pixel ratio %.0f: copy + convert + segment + draw %.2f ms per frame, decode %.2f ms "
            "per frame (%d frames): ratio %.2f\n",
            ratio, pathMs, decodeMs, d.count, pathMs / decodeMs);
    }
    return 0;
}
