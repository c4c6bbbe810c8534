// The tessaro executable: everything happens in the shell's start-up sequence.
#include "Main/MainFrameFactory.h"
#include "shell/Startup.h"

int main(int argc, char** argv) {
    return tessaro::RunApplication(argc, argv, &CreateMainFrame, MainFrameFirstPaintImages());
}
