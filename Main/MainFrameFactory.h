#pragma once
// The main frame as start-up sees it: something that can be created once the main message loop
// exists, and shown.
#include <memory>

#include "shell/Startup.h"

// Creates the main frame with its windows and handlers. GUI thread, after ML_MAIN is registered.
std::shared_ptr<tessaro::IMainFrame> CreateMainFrame();
