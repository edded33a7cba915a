#pragma once

#include <Qt>

class QWidget;

// What kind of window the splash window is: no title bar, no border and no taskbar button,
// and still the window that takes the keys once it is shown.
namespace splashtype {

Qt::WindowFlags windowFlags();
// Called once the window's flags are set, before it is first shown.
void keepOffTaskbar(QWidget &window);

}
