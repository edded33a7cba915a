// Shows one of the small windows by itself, to look at its layout on a real display:
//
//     pellavin_preview_window about|help
//
// System Info only reports that it was pressed. The program ends when the window closes.

#include "services/qtruntimeservices.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/layout.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2 || (std::strcmp(argv[1], "about") != 0 && std::strcmp(argv[1], "help") != 0)) {
        std::fprintf(stderr, "usage: %s about|help\n", argv[0]);
        return 2;
    }
    QApplication::setFont(dialogFont());
    QtRuntimeServices services;
    QWidget *window = nullptr;
    if (std::strcmp(argv[1], "about") == 0)
        window = new frmAbout(services, [] { std::puts("System Info pressed"); });
    else
        window = new frmHelp;
    // Tool windows do not count as last windows; end with this one.
    QObject::connect(window, &QObject::destroyed, &app, &QCoreApplication::quit);
    window->show();
    return app.exec();
}
