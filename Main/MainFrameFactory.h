#pragma once
// The main frame as start-up sees it: something that can be created once the main message loop
// exists, and shown.
#include <memory>
#include <string>
#include <vector>

#include "shell/Startup.h"

// Creates the main frame with its windows and handlers. GUI thread, after ML_MAIN is registered.
std::shared_ptr<tessaro::IMainFrame> CreateMainFrame();

// The skin images the main window shows at its first paint, in the order building and painting
// it asks for them: start-up decodes them ahead (SFPrefetchSkinImages) while it builds the
// window. A missing name costs only speed; the main window test checks that none is missing.
const std::vector<std::wstring>& MainFrameFirstPaintImages();
