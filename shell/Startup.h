#pragma once
// The process entry: brings the application up in its fixed order, runs the Qt event loop of
// the GUI thread until the main window closes, and tears down what it created.
#include <memory>
#include <string>
#include <vector>

namespace tessaro {

// What start-up needs of the main frame: it exists, its main window can be shown, and it can be
// asked to close as its close button does (which ends the event loop).
class IMainFrame {
public:
    virtual ~IMainFrame() = default;
    virtual void ShowWindow(int show) = 0;
    virtual void Close() = 0;
};

using MainFrameFactory = std::shared_ptr<IMainFrame> (*)();

// Runs the whole program. Returns 0 whatever the event loop returned; returns 1 only when no
// display is available (after saying so in one line on stderr), before any window exists.
// firstPaintImages: skin images the main frame shows at its first paint, decoded ahead from
// the moment the skin directory is known (SFPrefetchSkinImages).
int RunApplication(int argc, char** argv, MainFrameFactory createMainFrame,
                   const std::vector<std::wstring>& firstPaintImages = {});

}  // namespace tessaro
