#include "cursorplatform.h"
#include "frmmath.h"
#include "qtruntimeservices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QtRuntimeServices services;
    frmMath mainWindow(services, cursorplatform::systemCursorPlatform());
    mainWindow.Show();
    return app.exec();
}
