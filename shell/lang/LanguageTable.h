#pragma once
// Every visible text passes through Translate: an English key in, the text of the current
// language out. GUI thread only (nothing here is guarded).
//
// Language n lives in application directory + "/Lang_<n>.xml": a UTF-8 XML document whose root
// element (any name) holds one child element (any tag) per entry, with the attributes "name"
// (the key) and "value" (the text). Children lacking either attribute are skipped; a later entry
// with the same name wins.
//
// All entries read so far are kept in one map that is never cleared: after a switch, a key the
// new language's file lacks keeps the text read for it earlier, and a key found in no file so
// far shows as itself. Each language file is read and parsed once, on the first lookup in that
// language, and kept; a changed CurrentLanguage takes effect at the next lookup, when that
// language's entries are laid over the map. A missing or malformed file adds nothing (no
// message).
#include <string>

// The language: 0 English, 1 Chinese; value n reads Lang_<n>.xml (a value with no file shows the
// keys, or texts read earlier). Read at the next lookup.
extern int CurrentLanguage;

// The text for key in the current language; the key itself when no language file read so far
// has it; empty for a null key. Returned by value: it never dangles and is not cut.
std::wstring Translate(const wchar_t* key);

// application directory + "/Lang_<language>.xml".
std::string LanguageFilePath(int language);

// Forgets the map and every parsed file, as at start-up (tests, or after the files changed).
void ResetLanguageTables();
