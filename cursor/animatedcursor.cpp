#include "cursor/animatedcursor.h"

#include <utility>

using cursorplatform::OCR_NORMAL;

AnimatedCursor::AnimatedCursor(cursorplatform::CursorPlatform &platform, QString programFolder)
    : m_platform(platform)
    , m_programFolder(std::move(programFolder))
{
}

AnimatedCursor::~AnimatedCursor()
{
    if (m_lngOldCursor != 0 && !m_oldHandedOver)
        m_platform.DestroyCursor(m_lngOldCursor);
}

QString AnimatedCursor::resolvePath(const QString &AniFilePath) const
{
    if (AniFilePath.contains(u'\\'))
        return AniFilePath;
    return m_programFolder + u'\\' + AniFilePath;
}

void AnimatedCursor::StartAnimatedCursor(const QString &AniFilePath)
{
    const Handle copy = m_platform.CopyIcon(m_platform.GetCursor());
    // The copy saved by an earlier start would otherwise be lost without being released.
    if (m_lngOldCursor != 0 && !m_oldHandedOver)
        m_platform.DestroyCursor(m_lngOldCursor);
    m_lngOldCursor = copy;
    m_oldHandedOver = false;

    m_lngNewCursor = m_platform.LoadCursorFromFile(resolvePath(AniFilePath).toLocal8Bit().toStdString());
    if (!m_platform.SetSystemCursor(m_lngNewCursor, OCR_NORMAL) && m_lngNewCursor != 0)
        m_platform.DestroyCursor(m_lngNewCursor);
}

void AnimatedCursor::RestoreLastCursor()
{
    // A handle already given away may since have been destroyed or reused: never pass it on.
    if (m_lngOldCursor == 0 || m_oldHandedOver)
        return;
    if (m_platform.SetSystemCursor(m_lngOldCursor, OCR_NORMAL))
        m_oldHandedOver = true;
}

void AnimatedCursor::tmrCursorSecurity_Timer(const std::function<int()> &displayState, const QString &ownFile)
{
    if (displayState() == Normal)
        StartAnimatedCursor(ownFile);
    if (displayState() == Minimized)
        StartAnimatedCursor(ArrowFile);
}
