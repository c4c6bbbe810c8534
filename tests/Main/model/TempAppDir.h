#pragma once
// A temporary directory made the application directory for one test.
#include "framework/os/SFAppDir.h"
#include "support/TempDir.h"

class TempAppDir : public testsupport::TempDir {
public:
    TempAppDir() { SF_SOFT_BASE::SetApplicationDirectory(path()); }
};
