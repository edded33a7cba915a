#include "windows/cursorguard.h"

#include <QWidget>

CursorGuard::CursorGuard(QWidget &window, AnimatedCursor &cursor, QString ownFile)
    : QTimer(&window)
    , m_window(window)
    , m_cursor(cursor)
    , m_ownFile(std::move(ownFile))
{
    setObjectName(QStringLiteral("tmrCursorSecurity"));
    setInterval(1);
    setTimerType(Qt::PreciseTimer);
}

void CursorGuard::tick()
{
    m_cursor.tmrCursorSecurity_Timer([this] { return displayState(); }, m_ownFile);
    stop();
}

int CursorGuard::displayState() const
{
    if (m_window.isMinimized())
        return AnimatedCursor::Minimized;
    if (m_window.isMaximized())
        return AnimatedCursor::Maximized;
    return AnimatedCursor::Normal;
}
