#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// Installs the program's translation, and Qt's own for its boxes' buttons, for the first of
// the user's languages that the program speaks. English, C or POSIX ahead of them all means
// the program's own English texts. Returns the language installed, or an empty text.
QString installTranslations(const QStringList &uiLanguages = QLocale::system().uiLanguages());
