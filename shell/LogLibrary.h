#pragma once
// Binding of the log library "libQXLog.so": loaded once at start-up, probed for its two entry
// points "SLogW" and "SLogA", released at exit. The entry points are bound and never called; the
// program produces no log output through the library. A library that lacks an entry point is
// reported to the user once and released; a missing library is silent.
//
// All functions are for the GUI thread (the notice is a modal message box).
#include <QString>

#include <functional>

namespace tessaro {

// Loads the library: first from the application directory, then through the dynamic loader's
// own search. Returns true when the library is loaded with both entry points bound. When one is
// missing, shows the notice (caption "提示", OK only, no owner window), releases the library and
// returns false; when the library cannot be loaded at all, returns false silently. A second call
// while the library is loaded does nothing and returns true.
bool LoadLogLibrary();

// Releases the library if loaded and forgets its handle and entry points.
void UnloadLogLibrary();

// Whether the library is loaded with both entry points bound.
bool LogLibraryLoaded();

// The bound entry points, or null when the library is not loaded. Their signatures belong to
// the library and are not known here.
void* LogEntryPointW();
void* LogEntryPointA();

// Where the notice about a missing entry point goes. The default (an empty function) shows a
// modal QMessageBox; tests pass a function that records the caption and text.
using LogLibraryNoticeSink = std::function<void(const QString& caption, const QString& text)>;
void SetLogLibraryNoticeSink(LogLibraryNoticeSink sink);

}  // namespace tessaro
