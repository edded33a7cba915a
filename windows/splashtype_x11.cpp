#include "windows/splashtype.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace splashtype {

namespace {

// The X11 connection when the program runs on X11 (the offscreen platform may offer the same
// interface without being X11).
QNativeInterface::QX11Application *x11()
{
    if (!qApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    return qApp->nativeInterface<QNativeInterface::QX11Application>();
}

}

// On X11 Qt makes a tool window a utility window, transient for an unmapped group leader.
// Some window managers never give such a window the keyboard (weston's, under XWayland, does
// not even show it every time), so the splash window would wait for a click. An ordinary
// window is activated when it maps everywhere; it stays off the taskbar and the pager through
// its _NET_WM_STATE, which Qt keeps when it adds its own states. A Wayland compositor
// activates a tool window as any other, and no client can ask it for no taskbar entry.
Qt::WindowFlags windowFlags()
{
    return (x11() ? Qt::Window : Qt::Tool) | Qt::FramelessWindowHint;
}

void keepOffTaskbar(QWidget &window)
{
    QNativeInterface::QX11Application *native = x11();
    if (!native || !native->connection())
        return;
    xcb_connection_t *connection = native->connection();
    const std::array<const char *, 3> names = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                               "_NET_WM_STATE_SKIP_PAGER"};
    std::array<xcb_intern_atom_cookie_t, 3> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] =
                xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, 3> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
    }
    if (std::find(atoms.begin(), atoms.end(), xcb_atom_t{XCB_ATOM_NONE}) != atoms.end())
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atoms[0], XCB_ATOM_ATOM, 32, 2, &atoms[1]);
}

}
