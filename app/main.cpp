#include "cursorplatform.h"
#include "layout.h"
#include "qtruntimeservices.h"
#include "registry.h"
#include "sysinfo.h"
#include "windowregistry.h"

#include <QApplication>
#include <QFontInfo>

namespace {

// A desktop that names no font of its own leaves Qt with its generic "Sans Serif", which a
// bare system may answer with a typewriter face; boxes and prompts then take the windows' font.
void useTheWindowsFontWhereTheDesktopNamesNone()
{
    const QFont desktop = QApplication::font();
    if (desktop.family() == QLatin1String("Sans Serif") || QFontInfo(desktop).fixedPitch())
        QApplication::setFont(dialogFont());
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    useTheWindowsFontWhereTheDesktopNamesNone();
    QtRuntimeServices services;
    WindowRegistry forms(services, cursorplatform::systemCursorPlatform(), [&services] {
        StartSysInfo(services, registry::systemRegistry());
    });
    QObject::connect(&forms, &WindowRegistry::lastWindowClosed, &app, &QCoreApplication::quit);
    forms.start();
    return app.exec();
}
