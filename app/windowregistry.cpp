#include "app/windowregistry.h"

#include "services/runtimeservices.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/frmmath.h"
#include "windows/frmsplash.h"

#include <QApplication>
#include <QEvent>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <type_traits>
#include <utility>

template<class Make> WindowRegistry::Row WindowRegistry::makeRow(Window which, Make make)
{
    using Form = std::remove_pointer_t<std::invoke_result_t<Make>>;
    Row row{which, std::move(make), nullptr, {}};
    if constexpr (requires(Form & form) { form.Form_Terminate(); })
        row.terminate = [](QWidget &window) { static_cast<Form &>(window).Form_Terminate(); };
    return row;
}

WindowRegistry::WindowRegistry(RuntimeServices &services, cursorplatform::CursorPlatform &cursors,
                               std::function<void()> startSysInfo)
    : m_services(services)
    , m_cursors(cursors)
    , m_startSysInfo(std::move(startSysInfo))
    // The splash window's terminate handler runs first: after a key hand-over it still holds
    // its copy of the greeting cursor, which must not be what stays on the desktop. The main
    // window's handler then installs the plain arrow last.
    , m_windows{
              makeRow(Window::Splash, [this] { return new frmSplash(m_services, m_cursors, *this); }),
              makeRow(Window::Math, [this] { return new frmMath(m_services, m_cursors, *this); }),
              // Closing discards the window, so the next one is built anew from its design.
              makeRow(Window::About, [this] { return new frmAbout(m_services, m_startSysInfo); }),
              makeRow(Window::Help, [] { return new frmHelp; }),
      }
{
    // Qt's own rule would end the program between the splash window and the main window,
    // while only the name prompt is up; the registry decides instead.
    QApplication::setQuitOnLastWindowClosed(false);
}

WindowRegistry::~WindowRegistry()
{
    if (!m_ended && !m_terminated)
        terminate();
    // Last built, first deleted. (Plain reverse iterators: clang 14, which the analysers use,
    // cannot read libstdc++ 12's reverse view.)
    for (auto row = m_windows.rbegin(); row != m_windows.rend(); ++row)
        delete row->live.data();
}

void WindowRegistry::start()
{
    bringToFront(&splash());
}

template<class Form> Form &WindowRegistry::instance(Window which)
{
    const auto found = std::ranges::find(m_windows, which, &Row::which);
    Q_ASSERT(found != m_windows.end());
    Row &row = *found;
    if (!row.live) {
        row.live = row.make();
        watch(row.live);
    }
    return static_cast<Form &>(*row.live);
}

frmSplash &WindowRegistry::splash()
{
    return instance<frmSplash>(Window::Splash);
}

frmMath &WindowRegistry::math()
{
    return instance<frmMath>(Window::Math);
}

frmAbout &WindowRegistry::about()
{
    return instance<frmAbout>(Window::About);
}

frmHelp &WindowRegistry::help()
{
    return instance<frmHelp>(Window::Help);
}

QWidget *WindowRegistry::loaded(Window which) const
{
    const auto row = std::ranges::find(m_windows, which, &Row::which);
    return row == m_windows.end() ? nullptr : row->live.data();
}

void WindowRegistry::showMath()
{
    ++m_handingOver;
    math().Show();
    --m_handingOver;
}

void WindowRegistry::showAbout()
{
    bringToFront(&about());
}

void WindowRegistry::showHelp()
{
    bringToFront(&help());
}

void WindowRegistry::bringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void WindowRegistry::End()
{
    m_ended = true;
    m_services.End();
}

void WindowRegistry::watch(QWidget *window)
{
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, &WindowRegistry::checkForEnd); });
}

bool WindowRegistry::eventFilter(QObject *watched, QEvent *event)
{
    // Looked at once the event has run its course, so that a close that was refused, or a
    // window that was only minimised, does not count.
    if (event->type() == QEvent::Hide)
        QTimer::singleShot(0, this, &WindowRegistry::checkForEnd);
    // The name prompt's buttons show the style's standard icons, and finding them the first
    // time reads the icon theme: most of the hand-over's cost. Done once the splash window's
    // first picture is out, while the student reads it.
    if (event->type() == QEvent::Paint && !m_boxIconsFound && watched == loaded(Window::Splash)) {
        m_boxIconsFound = true;
        QTimer::singleShot(0, this, [] {
            for (const QStyle::StandardPixmap icon :
                 {QStyle::SP_DialogOkButton, QStyle::SP_DialogCancelButton})
                QApplication::style()->standardIcon(icon);
        });
    }
    return QObject::eventFilter(watched, event);
}

void WindowRegistry::checkForEnd()
{
    if (m_ended || m_terminated || m_handingOver > 0)
        return;
    for (const Row &row : m_windows) {
        if (row.live && row.live->isVisible())
            return;
    }
    terminate();
    emit lastWindowClosed();
}

void WindowRegistry::terminate()
{
    m_terminated = true;
    for (const Row &row : m_windows) {
        if (row.live && row.terminate)
            row.terminate(*row.live);
    }
}
