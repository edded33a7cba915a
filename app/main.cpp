#include "app/sysinfo.h"
#include "app/windowregistry.h"
#include "cursor/cursorplatform.h"
#include "i18n/translations.h"
#include "services/qtruntimeservices.h"
#include "services/registry/registry.h"
#include "windows/layout.h"

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
    // On X11, painting through shared memory costs a round trip to the server before every
    // repaint; this program's repaints are a caret, a clock and a few labels, cheaper sent
    // whole (bench/README.md has the figures). Elsewhere the variable means nothing.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    installTranslations();
    useTheWindowsFontWhereTheDesktopNamesNone();
    QtRuntimeServices services;
    WindowRegistry forms(services, cursorplatform::systemCursorPlatform(),
                         [&services] { StartSysInfo(services, registry::systemRegistry()); });
    QObject::connect(&forms, &WindowRegistry::lastWindowClosed, &app, &QCoreApplication::quit);
    forms.start();
    return app.exec();
}
