#pragma once

#include "cursor/cursorplatform.h"
#include "windows/forms.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QWidget;
class RuntimeServices;
class frmAbout;
class frmHelp;
class frmMath;
class frmSplash;

// The program's four windows, at most one live instance of each, built on first use. It also
// decides when the program ends: when no window of it is left open, except while the splash
// window hands over to the main window, whose name prompt and greeting come up before it shows.
class WindowRegistry final
    : public QObject
    , public Forms
{
    Q_OBJECT

public:
    enum class Window { Splash, Math, About, Help };

    WindowRegistry(RuntimeServices &services, cursorplatform::CursorPlatform &cursors,
                   std::function<void()> startSysInfo);
    ~WindowRegistry() override;

    // Builds and shows the splash window; nothing else exists until the user acts on it.
    void start();

    // The live instance, built first if there is none.
    frmSplash &splash();
    frmMath &math();
    frmAbout &about();
    frmHelp &help();
    // The live instance, or nullptr.
    QWidget *loaded(Window which) const;

    void showMath() override;
    void showAbout() override;
    void showHelp() override;
    void End() override;

signals:
    // The last window has closed and the terminate handlers have run: the program ends now.
    void lastWindowClosed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A row of the table of windows: how the window is built, its terminate handler if its
    // class has one, and its live instance.
    struct Row
    {
        Window which;
        std::function<QWidget *()> make;
        void (*terminate)(QWidget &window);
        QPointer<QWidget> live;
    };
    template<class Make> static Row makeRow(Window which, Make make);
    // The live instance of a window, built first if there is none.
    template<class Form> Form &instance(Window which);

    void watch(QWidget *window);
    static void bringToFront(QWidget *window);
    void checkForEnd();
    void terminate();

    RuntimeServices &m_services;
    cursorplatform::CursorPlatform &m_cursors;
    std::function<void()> m_startSysInfo;
    // In the order the terminate handlers run; the windows are deleted in the reverse order.
    std::vector<Row> m_windows;
    int m_handingOver = 0;
    bool m_terminated = false;
    bool m_ended = false;
    bool m_boxIconsFound = false;
};
