#pragma once
// Every visible text passes through Translate: an English key in, the text of the current
// language out. GUI thread only.
#include <string>

// 0 = English, any other value = Chinese. Read at the next lookup.
extern int CurrentLanguage;

// The text for key in the current language; the key itself when no language file read so far
// has it.
std::wstring Translate(const wchar_t* key);
