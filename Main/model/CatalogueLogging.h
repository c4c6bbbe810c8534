#pragma once
// The diagnostics category of the product catalogue, "tessaro.catalogue": silent unless
// QT_LOGGING_RULES enables it.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCatalogue)
