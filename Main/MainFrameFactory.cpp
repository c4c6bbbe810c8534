#include "Main/MainFrameFactory.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "Main/MainFrame.h"

std::shared_ptr<tessaro::IMainFrame> CreateMainFrame() {
    // The frame hands weak references to itself to its parts while it builds them, so it must
    // be owned by a shared pointer before Create runs.
    auto frame = std::make_shared<CMainFrameEventImp>();
    if (frame->Create() == 0) {
        return nullptr;
    }
    return frame;
}

const std::vector<std::wstring>& MainFrameFirstPaintImages() {
    static const std::vector<std::wstring> images = {
        // The window's frame, the data output page's, the tool bar's logo, the panel's
        // background and spinner frames, the preview's scroll area and screen.
        L"DlgBackgorund.png", L"bg_calendar.png", L"logo.png", L"bgWhite.png", L"kuang2_nor.png",
        L"/bgColorWhite.png", L"screenBg.png",
        // The preview's buttons, the spinners' arrows.
        L"body_add_n.png", L"body_less_n.png", L"body_rotating_n.png", L"body_choose_n.png",
        L"spiner_up_n.png", L"spiner_down_n.png",
        // Faces drawn at the first paint: tabs, title buttons, step headers, unit switch, Fit To
        // Room.
        L"tab_BluePrint_h.png", L"tab_Dataoutput_n.png", L"common_close_n.png", L"common_min_n.png",
        L"down_n.png", L"common_step1_h.png", L"common_step2_n.png", L"common_step3_n.png",
        L"common_step4_n.png", L"common_check_m.png", L"common_uncheck_ft.png",
        L"common_FIT TO ROOM_n.png"};
    return images;
}

// Start-up measurement (bench/ui/StartupBench): with TESSARO_QUIT_AFTER_FIRST_PAINT set, the
// program ends as soon as its main window has been painted once, so launch-to-first-paint can be
// timed as a whole process. Read once, when the application object is constructed; without the
// variable nothing is installed and no event passes through here.
namespace {

class QuitAfterFirstPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            // Queued: the paint pass that is starting completes first; then the moment is printed
            // (monotonic clock, for the benchmark to subtract its launch time) and the loop ends.
            QTimer::singleShot(0, qApp, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first-paint-ns %lld\n",
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
            qApp->removeEventFilter(this);
        }
        return false;
    }
};

void InstallQuitAfterFirstPaint() {
    if (std::getenv("TESSARO_QUIT_AFTER_FIRST_PAINT") != nullptr) {
        qApp->installEventFilter(new QuitAfterFirstPaint(qApp));
    }
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallQuitAfterFirstPaint)
