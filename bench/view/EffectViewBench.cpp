// Paint time of the wall preview at 1920 × 1080 (a wall of 4 × 3 panels, every label and button),
// rendered offscreen into an image many times: the median of batches, in ms per paint, and its
// ratio against the anchor "fill": one QPainter::fillRect over the same image plus the back wall
// texture tiled once, the least any repaint of that area costs.
//
// Target: under 4 ms per repaint at a pixel ratio of 1 (the room with its texture and the screen
// image scaled to the panels come from caches). Also shown: a repaint after a count change, which
// scales the screen image again, and a repaint at a pixel ratio of 2, for information.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "Main/view/SFQTEffectView.h"
#include "toolkit/SFFactory.h"
#include "toolkit/SFToolkit.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kBatches = 15;
constexpr int kPerBatch = 20;

double Ms(const std::function<void()>& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Median over batches of the time per call.
double MedianMsPerCall(const std::function<void()>& body) {
    std::vector<double> times;
    for (int b = 0; b < kBatches; ++b) {
        times.push_back(Ms([&] {
                            for (int i = 0; i < kPerBatch; ++i) {
                                body();
                            }
                        }) /
                        kPerBatch);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A plaster-like tile and a gradient picture, as the skin's would be.
bool WriteImages(const QTemporaryDir& dir) {
    QImage texture(128, 64, QImage::Format_RGB32);
    for (int y = 0; y < texture.height(); ++y) {
        for (int x = 0; x < texture.width(); ++x) {
            const int v = 236 + ((x * 7 + y * 13) % 9);
            texture.setPixel(x, y, qRgb(v, v, v + 2));
        }
    }
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&screen);
    QLinearGradient g(0, 0, kWidth, kHeight);
    g.setColorAt(0, QColor(40, 30, 90));
    g.setColorAt(1, QColor(230, 120, 80));
    p.fillRect(screen.rect(), g);
    p.end();
    return texture.save(dir.filePath(QStringLiteral("wall.png"))) &&
           screen.save(dir.filePath(QStringLiteral("screen.png")));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    SFSetApplication(&app);
    QTemporaryDir skin;
    if (!skin.isValid() || !WriteImages(skin)) {
        std::fprintf(stderr, "cannot write the images\n");
        return 1;
    }
    SFSetSkinPath((skin.path() + QLatin1Char('/')).toStdWString().c_str());

    CSFEffectView* preview = SFCreateEffectView(nullptr);
    const tagRECT r{0, 0, kWidth, kHeight};
    preview->Create(L"", L"", SF_WS_VISIBLE, &r, nullptr, 1);
    preview->SetBackground(L"wall.png");
    preview->SetBgScreen(L"screen.png");
    preview->SetBgStyle(kBgScreen);
    preview->SetModel(L"TW-55 Video Wall", 0.68, 1.21);
    preview->SetWallSize(3.09, 6.0);
    preview->ChangeLampstand(0.6);
    preview->FitToRoom();
    preview->MoveWindow(0, 0, kWidth, kHeight);
    QCoreApplication::processEvents();
    auto* widget = static_cast<QWidget*>(preview->GetUIWnd());

    QImage target(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const QPixmap texture(skin.filePath(QStringLiteral("wall.png")));
    const double anchor = MedianMsPerCall([&] {
        QPainter p(&target);
        p.fillRect(target.rect(), QColor(232, 232, 232));
        p.drawTiledPixmap(QRect(95, 95, kWidth - 190, kHeight - 190), texture);
    });

    std::printf("wall preview %d x %d, %d columns x %d rows; target: under 4 ms per paint\n",
                kWidth, kHeight, preview->Geometry().Columns(), preview->Geometry().Rows());
    std::printf("%-34s %10s %10s\n", "case", "ms/paint", "vs fill");
    std::printf("%-34s %10.3f %10.2f\n", "anchor fill (fillRect + texture)", anchor, 1.0);
    const struct {
        const char* name;
        int style;
    } cases[] = {{"screen image (style 1)", kBgScreen},
                 {"white panels (style 0)", kBgWhite},
                 {"undrawn panels (style 2)", kBgNone}};
    double worst = 0.0;
    for (const auto& c : cases) {
        preview->SetBgStyle(c.style);
        QCoreApplication::processEvents();
        widget->render(&target);  // the style's cache, once
        const double ms = MedianMsPerCall([&] { widget->render(&target); });
        worst = std::max(worst, ms);
        std::printf("%-34s %10.3f %10.2f\n", c.name, ms, ms / anchor);
    }
    // A count change moves the panels: the screen image is scaled again, once.
    preview->SetBgStyle(kBgScreen);
    int columns = 4;
    const double change = MedianMsPerCall([&] {
        columns = columns == 4 ? 3 : 4;
        preview->SetLayout(columns, 0);
        QCoreApplication::processEvents();
        widget->render(&target);
    });
    std::printf("%-34s %10.3f %10.2f\n", "count change (scales the image)", change,
                change / anchor);
    // For information: the same picture on a screen of pixel ratio 2 (four times the pixels).
    QImage sharp(2 * kWidth, 2 * kHeight, QImage::Format_ARGB32_Premultiplied);
    sharp.setDevicePixelRatio(2);
    widget->render(&sharp);
    const double ratio2 = MedianMsPerCall([&] { widget->render(&sharp); });
    std::printf("%-34s %10.3f %10.2f\n", "screen image at pixel ratio 2", ratio2, ratio2 / anchor);
    std::printf("%s: worst %.3f ms per paint at ratio 1 (target 4 ms)\n",
                worst < 4.0 ? "within target" : "OVER TARGET", worst);
    SFDestroyControl(preview);
    return 0;
}
