#pragma once

#include "cursor/animatedcursor.h"

#include <QTimer>

class QWidget;

// A window's cursor guard: a 1 ms timer, armed from the window's creation, whose tick puts
// the window's own cursor back while the window shows normally (the plain arrow once it is
// minimised) and then disarms the timer. The window connects its timeout to the window's
// own handler, which calls tick().
class CursorGuard : public QTimer
{
    Q_OBJECT

public:
    CursorGuard(QWidget &window, AnimatedCursor &cursor, QString ownFile);

    void tick();

private:
    int displayState() const;

    QWidget &m_window;
    AnimatedCursor &m_cursor;
    const QString m_ownFile;
};
