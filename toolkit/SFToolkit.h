#pragma once
// Toolkit-wide functions: start-up hands the application to the toolkit and sets the style
// sheet and the skin directory; windows and workers use the rest. GUI thread only, except
// SFPostUIMessage (any thread) and the pure conversions.
//
// Start-up calls, in this order: SFSetApplication(&app); SFAddAppDirToLibraryPaths();
// SFGetAppPath(); SFLoadStyleSheet(appPath + L"/Tessaro.css"); SFSetSkinPath(appPath + L"/Skin/").
//
// The functions marked (widgets) are defined by the toolkit_qt library; link it to use them.
#include <cstdint>
#include <string>

class QCoreApplication;

// Stores the application object (a QApplication for the widget functions). The style sheet
// loader acts only once it is set.
void SFSetApplication(QCoreApplication* app);
QCoreApplication* SFGetApplication();

// Adds the application directory to Qt's plug-in search paths.
void SFAddAppDirToLibraryPaths();

// The application directory (where the program's data files lie), no trailing separator.
std::wstring SFGetAppPath();

// (widgets) Remembers the path; when an application is set, reads the file whole as UTF-8 and
// installs it as the application style sheet. A file that cannot be opened is skipped silently.
// Returns 1 when a style sheet was installed.
int SFLoadStyleSheet(const wchar_t* path);

// The directory every skin image name is resolved in (prefixed verbatim: pass the trailing
// slash). Null clears it.
void SFSetSkinPath(const wchar_t* directory);

// (widgets) Posts, asynchronously, a user-interface message to a window of the toolkit: a
// message 275 / code 275 custom event whose id is `a` and whose value is `b`. On the GUI thread
// the window looks it up in its sink's map by code and id, so SF_ON_UI_MESSAGE(275, a, Handler)
// and no other entry handles it, as Handler(b, a). Any thread may call it. The target is a
// window's UI pointer; a null pointer or one that is not (or no longer) a live toolkit window
// is refused. Returns 1 when the event was queued.
int SFPostUIMessage(void* target, uint32_t a, uint32_t b);

// The window-close code (the Win32 number of the close message). SFPostUIMessage(window,
// SF_UI_CLOSE, 0) asks a skinned window (dialog or main window) to close exactly as its title
// bar's close button does: the sink's Dlg_Close decides, a non-zero result keeping the window
// open. The sink's map never sees this code; CSFDialog::SendDlgMessage(SF_UI_CLOSE, 0, 0) asks
// the same.
inline constexpr uint32_t SF_UI_CLOSE = 0x0010;

enum class SFFileDialogMode { OpenFolder = 0, OpenFile = 1, SaveFile = 2 };

// (widgets) A modal chooser over the parent window. On 1 `chosen` holds the chosen path in
// full (callers check its length themselves); 0 when the user cancelled.
int SFFileDialog(void* parent, SFFileDialogMode mode, const std::wstring& title,
                 const std::wstring& startDirectory, const std::wstring& filter,
                 std::wstring& chosen);

// Converts UTF-8 to the local 8-bit encoding and copies it into dst: at most size - 1 bytes,
// never cutting a character in two, always NUL-terminated when size > 0. Null src counts as
// empty. Returns the bytes copied (without the NUL).
int SFUtf8ToLocal(const char* src, char* dst, int size);

// Opens a document or folder with the desktop's handler for it (the "open" action). Returns
// 1 when the desktop accepted the request.
int SFOpenDocument(const std::wstring& path);
