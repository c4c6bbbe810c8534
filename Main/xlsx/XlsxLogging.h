#pragma once
// Diagnostics of the spreadsheet writer (silent unless QT_LOGGING_RULES enables tessaro.xlsx).
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcXlsx)
