#pragma once
// Qt's own texts (standard dialogs, context menus) in the program's language. GUI thread only.

// Makes Qt's translation follow the language (0 English, any other value Chinese): removes the
// one translator this function manages from the application, and for a language other than 0
// loads application directory + "/qt_zh_CN.qm" into it and installs it again. Returns true when
// a translation is installed afterwards; a missing or unreadable file leaves Qt's texts in
// English (false). Needs the application object.
bool InstallQtTranslation(int language);
