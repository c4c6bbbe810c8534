#include "shell/LanguageTable.h"

int CurrentLanguage = 0;

std::wstring Translate(const wchar_t* key) { return key ? key : L""; }
