#pragma once
// The video engine's diagnostics (player, decoder, converter). Silent unless enabled with
// QT_LOGGING_RULES="tessaro.video.debug=true".
#include <QtCore/QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcVideo)
