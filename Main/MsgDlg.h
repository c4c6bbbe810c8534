#pragma once
// The one modal message box of the program: a small skinned dialog with a title, a wrapped text,
// an "OK" button and a close button. GUI thread only.
#include <string>

// Shows text with title over the owner window (a window's UI pointer, may be null) and returns
// when the user closed it: 1 for OK and Enter, 2 for the close button and Escape. mode 0 shows
// the OK button alone (every caller passes 0); the reserved values are passed through.
int ShowMessageBox(const wchar_t* text, const wchar_t* title, void* owner, int mode = 0,
                   int reserved1 = 0, int reserved2 = 0);
