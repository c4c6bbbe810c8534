#include "shell/Startup.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace tessaro {
namespace {

// Qt aborts with a backtrace when the default platform has no display; say it in one line.
bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') {
        return true;
    }
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int RunApplication(int argc, char** argv, MainFrameFactory createMainFrame) {
    if (!DisplayAvailable()) {
        std::fputs(
            "tessaro: no display found (DISPLAY and WAYLAND_DISPLAY are unset); "
            "to run without one, use: xvfb-run -a scripts/run\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    std::shared_ptr<IMainFrame> mainFrame = createMainFrame();
    mainFrame->ShowWindow(1);
    (void)QApplication::exec();
    mainFrame.reset();
    return 0;
}

}  // namespace tessaro
