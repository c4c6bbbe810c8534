#include "Main/MainFrameFactory.h"

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
