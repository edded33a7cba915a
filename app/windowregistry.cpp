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

#include <utility>

WindowRegistry::WindowRegistry(RuntimeServices &services, cursorplatform::CursorPlatform &cursors,
                               std::function<void()> startSysInfo)
    : m_services(services)
    , m_cursors(cursors)
    , m_startSysInfo(std::move(startSysInfo))
{
    // Qt's own rule would end the program between the splash window and the main window,
    // while only the name prompt is up; the registry decides instead.
    QApplication::setQuitOnLastWindowClosed(false);
}

WindowRegistry::~WindowRegistry()
{
    if (!m_ended && !m_terminated)
        terminate();
    delete m_help.data();
    delete m_about.data();
    delete m_math.data();
    delete m_splash.data();
}

void WindowRegistry::start()
{
    bringToFront(&splash());
}

frmSplash &WindowRegistry::splash()
{
    if (!m_splash) {
        m_splash = new frmSplash(m_services, m_cursors, *this);
        watch(m_splash);
    }
    return *m_splash;
}

frmMath &WindowRegistry::math()
{
    if (!m_math) {
        m_math = new frmMath(m_services, m_cursors, *this);
        watch(m_math);
    }
    return *m_math;
}

frmAbout &WindowRegistry::about()
{
    // Closing discards the window, so the next one is built anew from its design.
    if (!m_about) {
        m_about = new frmAbout(m_services, m_startSysInfo);
        watch(m_about);
    }
    return *m_about;
}

frmHelp &WindowRegistry::help()
{
    if (!m_help) {
        m_help = new frmHelp;
        watch(m_help);
    }
    return *m_help;
}

QWidget *WindowRegistry::loaded(Window which) const
{
    switch (which) {
    case Window::Splash: return m_splash;
    case Window::Math: return m_math;
    case Window::About: return m_about;
    case Window::Help: return m_help;
    }
    return nullptr;
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
    if (event->type() == QEvent::Paint && watched == m_splash && !m_boxIconsFound) {
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
    for (const QWidget *window :
         {loaded(Window::Splash), loaded(Window::Math), loaded(Window::About), loaded(Window::Help)}) {
        if (window && window->isVisible())
            return;
    }
    terminate();
    emit lastWindowClosed();
}

void WindowRegistry::terminate()
{
    m_terminated = true;
    // The splash window's handler first: after a key hand-over it still holds its copy of the
    // greeting cursor, which must not be what stays on the desktop. The main window's handler
    // then installs the plain arrow last.
    if (m_splash)
        m_splash->Form_Terminate();
    if (m_math)
        m_math->Form_Terminate();
}
