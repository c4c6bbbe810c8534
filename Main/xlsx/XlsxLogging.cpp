#include "Main/xlsx/XlsxLogging.h"

Q_LOGGING_CATEGORY(lcXlsx, "tessaro.xlsx", QtWarningMsg)
