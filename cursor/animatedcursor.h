#pragma once

#include "cursor/cursorplatform.h"

#include <QString>

#include <functional>

// One window's share of the cursor theme: it installs cursor files as the standard arrow,
// remembers the cursor that was shown before, and runs the window's guard tick.
class AnimatedCursor
{
public:
    using Handle = cursorplatform::Handle;

    // Display states of a window, as the guard reads them.
    static constexpr int Normal = 0;
    static constexpr int Minimized = 1;
    static constexpr int Maximized = 2;

    inline static const QString ArrowFile = QStringLiteral("Cursors\\arrow_m.cur");

    AnimatedCursor(cursorplatform::CursorPlatform &platform, QString programFolder);
    ~AnimatedCursor();
    AnimatedCursor(const AnimatedCursor &) = delete;
    AnimatedCursor &operator=(const AnimatedCursor &) = delete;

    // Saves a copy of the current cursor, then installs the file. A path with a backslash
    // is used as it is (relative to the current directory); a bare name is looked up in the
    // program's folder.
    void StartAnimatedCursor(const QString &AniFilePath);
    // Installs the copy saved by the last StartAnimatedCursor, once.
    void RestoreLastCursor();
    // The guard timer's tick: the window's own file while it is in its normal state, the
    // plain arrow once it is minimised, nothing while maximised. The caller disarms the timer.
    void tmrCursorSecurity_Timer(const std::function<int()> &displayState, const QString &ownFile);

    QString resolvePath(const QString &AniFilePath) const;

    Handle lngOldCursor() const { return m_lngOldCursor; }
    Handle lngNewCursor() const { return m_lngNewCursor; }

private:
    cursorplatform::CursorPlatform &m_platform;
    QString m_programFolder;
    Handle m_lngOldCursor = 0;
    Handle m_lngNewCursor = 0;
    // Once the saved copy has been handed to the platform it is no longer ours to install
    // or release.
    bool m_oldHandedOver = false;
};
