// The Qt video window and the factory's definition belong here. Until they come, compiling the
// header on its own keeps it self-contained.
#include "video/qt/SFVideoWindow.h"
