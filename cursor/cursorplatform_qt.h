#pragma once

#include "cursor/cursorplatform.h"

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <QPixmap>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

// Where no desktop-wide cursor can be replaced, "the standard arrow" is the arrow cursor of
// this program's own windows: every top-level window, those opened later included, shows the
// installed cursor wherever its widgets do not ask for another (a text box keeps its I-beam).
class QtCursorPlatform final
    : public QObject
    , public cursorplatform::CursorPlatform
{
    Q_OBJECT

public:
    using Handle = cursorplatform::Handle;

    // What a handle stands for: the frames of a cursor file, or the platform's own arrow when
    // there are none.
    // A frame becomes a cursor when it is first shown, since that computes its mask: a
    // window shows its first frame at once and the others only as the animation reaches them.
    struct Frame
    {
        QPixmap pixels;
        QPoint hotspot;
        mutable std::optional<QCursor> cursor;

        const QCursor &shown() const
        {
            if (!cursor)
                cursor.emplace(pixels, hotspot.x(), hotspot.y());
            return *cursor;
        }
    };

    struct Image
    {
        std::vector<Frame> frames;
        std::vector<std::size_t> sequence;
        std::vector<int> stepMs;
    };

    QtCursorPlatform();
    ~QtCursorPlatform() override;

    Handle GetCursor() override;
    Handle CopyIcon(Handle cursor) override;
    Handle LoadCursorFromFile(const std::string &path) override;
    bool SetSystemCursor(Handle cursor, std::uint32_t id) override;
    void DestroyCursor(Handle cursor) override;

    // The arrow cursor the program's windows show now.
    QCursor currentArrow() const;
    // Which step of an animated cursor is on screen; 0 for a static one.
    std::size_t currentStep() const { return m_step; }
    int handleCount() const { return static_cast<int>(m_handles.size()); }
    bool isValid(Handle cursor) const { return m_handles.count(cursor) != 0; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Handle store(std::shared_ptr<const Image> image);
    void install(std::shared_ptr<const Image> image);
    void applyToWindows();
    void applyTo(QWidget *window);
    void nextStep();
    void scheduleNextStep();

    // The handle that stands for "the cursor shown now".
    static constexpr Handle SystemArrow = 1;

    std::map<Handle, std::shared_ptr<const Image>> m_handles;
    // Images decoded from files, by the files' bytes, for as long as a handle or the installed
    // cursor keeps them: loading a file again while its cursor is in use decodes nothing.
    std::map<std::vector<std::uint8_t>, std::weak_ptr<const Image>> m_loaded;
    Handle m_nextHandle = SystemArrow + 1;
    std::shared_ptr<const Image> m_installed;
    std::size_t m_step = 0;
    std::size_t m_nextStep = 0;
    // The windows whose cursor this layer set, hidden ones included.
    std::vector<QPointer<QWidget>> m_themed;
    QTimer m_animation;
    bool m_watching = false;
    bool m_closing = false;
};
