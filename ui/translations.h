// The window's texts in the user's language: the editor's own translations
// (German, French) and Qt's for its standard dialogs, chosen by the system
// locale; English when there is none for it.
#pragma once

#include <QLocale>

namespace ombrik {

// Installs the translators for `locale` into the running application; returns
// true when the editor has a translation for that language.
bool InstallTranslations(const QLocale& locale = QLocale());

} // namespace ombrik
