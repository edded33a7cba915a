#include "i18n/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

// "de-DE", "de_DE.UTF-8" or "de_DE@euro" as "de_DE".
QString localeName(const QString &uiLanguage)
{
    QString name = uiLanguage.section(u'.', 0, 0).section(u'@', 0, 0);
    name.replace(u'-', u'_');
    return name;
}

bool install(const QString &file, const QStringList &folders)
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    for (const QString &folder : folders) {
        // QTranslator tries "qtbase_de_DE", then "qtbase_de", then "qtbase": the last one never
        // exists, so a bare prefix never loads.
        if (translator->load(file, folder) && QCoreApplication::installTranslator(translator.get())) {
            translator.release();
            return true;
        }
    }
    return false;
}

}

QString installTranslations(const QStringList &uiLanguages)
{
    for (const QString &uiLanguage : uiLanguages) {
        const QString name = localeName(uiLanguage);
        const QString language = name.section(u'_', 0, 0).toLower();
        if (language.isEmpty())
            continue;
        if (language == u"en" || language == u"c" || language == u"posix")
            return {};
        if (!install(QStringLiteral("pellavin_") + name, {QStringLiteral(":/i18n")}))
            continue;
        // Qt's own texts: shipped beside the program (Windows), else from Qt's installation.
        install(QStringLiteral("qtbase_") + name,
                {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
        return name;
    }
    return {};
}
