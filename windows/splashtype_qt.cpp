#include "windows/splashtype.h"

namespace splashtype {

// A tool window has no taskbar button on Windows, and the desktop activates it when shown.
Qt::WindowFlags windowFlags()
{
    return Qt::Tool | Qt::FramelessWindowHint;
}

void keepOffTaskbar(QWidget &) { }

}
