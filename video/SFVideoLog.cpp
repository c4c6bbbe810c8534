#include "video/SFVideoLog.h"

Q_LOGGING_CATEGORY(lcVideo, "tessaro.video", QtWarningMsg)
