// tessaro-quote: the wall quote of the main window from a terminal or a script.
#include <QCoreApplication>
#include <QLoggingCategory>

#include "quote/QuoteCommand.h"

int main(int argc, char** argv) {
    // Diagnostics stay silent as in the window (QT_LOGGING_RULES still enables them): standard
    // error carries only the one-line message of a failure.
    QLoggingCategory::setFilterRules(QStringLiteral("tessaro.*=false"));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tessaro-quote"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));
    return RunQuote(QCoreApplication::arguments());
}
