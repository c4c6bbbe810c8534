#pragma once
// The command line of tessaro-quote: options parsed with QCommandLineParser, the catalogue read,
// each wall quoted (QuoteWall), the result printed and written. Needs a QCoreApplication (for
// Qt's own translations of the parser's messages); GUI-less, single-threaded.
//
// Output contract: the result goes to standard output (UTF-8), a failure to standard error as
// one line "tessaro-quote: <message>" naming the cause and the input; the exit status says
// which kind (QuoteExit). Files are written only when everything succeeded, and atomically: a
// failed run leaves no workbook and no partial one. A refused single wall still prints its sheet
// (the layout that resulted and the messages), but writes no workbook; a batch prints nothing
// unless every wall succeeded.
#include <QStringList>

// Runs the command; `arguments` as QCoreApplication::arguments() gives them (program first).
// Returns the exit status.
int RunQuote(const QStringList& arguments);
