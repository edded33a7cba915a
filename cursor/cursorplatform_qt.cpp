#include "cursor/cursorplatform_qt.h"

#include "cursor/file/cursorfile.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Marks the windows whose cursor this layer set, so that a window that chose its own
// cursor on purpose is left alone.
const char ThemedProperty[] = "pellavinThemedCursor";

constexpr double MsPerJiffy = 1000.0 / 60.0;

QImage toImage(const cursorfile::Frame &frame)
{
    if (!frame.png.empty()) {
        QImage image;
        image.loadFromData(frame.png.data(), static_cast<int>(frame.png.size()), "PNG");
        return image;
    }
    QImage image(frame.width, frame.height, QImage::Format_ARGB32);
    if (image.isNull() || frame.argb.size() != static_cast<std::size_t>(frame.width) * frame.height)
        return {};
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(image.scanLine(y), frame.argb.data() + static_cast<std::size_t>(y) * frame.width,
                    static_cast<std::size_t>(frame.width) * sizeof(std::uint32_t));
    return image;
}

std::shared_ptr<const QtCursorPlatform::Image> ordinaryArrow()
{
    auto image = std::make_shared<QtCursorPlatform::Image>();
    image->frames.push_back({{}, {}, QCursor(Qt::ArrowCursor)});
    image->sequence.push_back(0);
    image->stepMs.push_back(0);
    return image;
}

}

QtCursorPlatform::QtCursorPlatform()
    : m_installed(ordinaryArrow())
{
    m_animation.setSingleShot(true);
    m_animation.setTimerType(Qt::PreciseTimer);
    connect(&m_animation, &QTimer::timeout, this, &QtCursorPlatform::nextStep);
    // Cursor images must not outlive the application object that made them.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            m_animation.stop();
            m_handles.clear();
            m_loaded.clear();
            m_themed.clear();
            m_installed = ordinaryArrow();
            m_step = 0;
            m_closing = true;
        });
    }
}

QtCursorPlatform::~QtCursorPlatform()
{
    if (m_watching && qApp)
        qApp->removeEventFilter(this);
}

QtCursorPlatform::Handle QtCursorPlatform::store(std::shared_ptr<const Image> image)
{
    const Handle handle = m_nextHandle++;
    m_handles.emplace(handle, std::move(image));
    return handle;
}

QtCursorPlatform::Handle QtCursorPlatform::GetCursor()
{
    return SystemArrow;
}

QtCursorPlatform::Handle QtCursorPlatform::CopyIcon(Handle cursor)
{
    if (cursor == SystemArrow)
        return store(m_installed);
    const auto it = m_handles.find(cursor);
    return it == m_handles.end() ? 0 : store(it->second);
}

QtCursorPlatform::Handle QtCursorPlatform::LoadCursorFromFile(const std::string &path)
{
    // The windows are gone once the program quits; an image made now would outlive the
    // application object that it needs.
    if (m_closing)
        return 0;
    // The program names its files with backslashes, which separate folders here too.
    std::string local = path;
    for (char &c : local) {
        if (c == '\\')
            c = '/';
    }
    std::optional<std::vector<std::uint8_t>> bytes = cursorfile::readFile(local);
    if (!bytes)
        return 0;
    std::erase_if(m_loaded, [](const auto &entry) { return entry.second.expired(); });
    if (const auto it = m_loaded.find(*bytes); it != m_loaded.end())
        return store(it->second.lock());

    const std::optional<cursorfile::Cursor> file = cursorfile::parse(*bytes);
    if (!file)
        return 0;

    auto image = std::make_shared<Image>();
    for (const cursorfile::Frame &frame : file->frames) {
        const QImage pixels = toImage(frame);
        // The size was counted against the budget from the headers; hold the decoder to it.
        if (pixels.isNull() || pixels.size() != QSize(frame.width, frame.height))
            return 0;
        image->frames.push_back({QPixmap::fromImage(pixels), QPoint(frame.hotspotX, frame.hotspotY), {}});
    }
    image->sequence = file->sequence;
    for (const std::uint32_t jiffies : file->jiffies) {
        // A file may ask for 0 or for years: keep each step between one jiffy and a minute.
        const std::uint32_t bounded = std::clamp<std::uint32_t>(jiffies, 1, 60 * 60);
        image->stepMs.push_back(static_cast<int>(std::lround(bounded * MsPerJiffy)));
    }
    if (image->frames.empty() || image->sequence.empty() || image->sequence.size() != image->stepMs.size())
        return 0;
    m_loaded.emplace(std::move(*bytes), image);
    return store(std::move(image));
}

bool QtCursorPlatform::SetSystemCursor(Handle cursor, std::uint32_t id)
{
    if (id != cursorplatform::OCR_NORMAL)
        return false;
    const auto it = m_handles.find(cursor);
    if (it == m_handles.end())
        return false;
    // Like the desktop, the installed cursor takes over the handle, which is no longer valid.
    std::shared_ptr<const Image> image = std::move(it->second);
    m_handles.erase(it);
    install(std::move(image));
    return true;
}

void QtCursorPlatform::DestroyCursor(Handle cursor)
{
    m_handles.erase(cursor);
}

QCursor QtCursorPlatform::currentArrow() const
{
    return m_installed->frames.at(m_installed->sequence.at(m_step)).shown();
}

void QtCursorPlatform::install(std::shared_ptr<const Image> image)
{
    m_installed = std::move(image);
    m_step = 0;
    m_animation.stop();
    if (!m_watching && qApp) {
        // Windows opened later take the installed cursor when they first show.
        qApp->installEventFilter(this);
        m_watching = true;
    }
    applyToWindows();
}

void QtCursorPlatform::nextStep()
{
    m_step = m_nextStep;
    // The windows that show this layer's cursor are known from the install and from every
    // window shown since: a step need not look through all the program's widgets for them.
    std::erase_if(m_themed, [](const QPointer<QWidget> &window) { return window.isNull(); });
    for (const QPointer<QWidget> &window : m_themed) {
        if (window->isVisible())
            window->setCursor(currentArrow());
    }
    scheduleNextStep();
}

void QtCursorPlatform::applyToWindows()
{
    // Hidden windows take the cursor when they show (see eventFilter); setting it on them now
    // would cost a request to the window system on every step.
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (window->isVisible())
                applyTo(window);
        }
    }
    scheduleNextStep();
}

void QtCursorPlatform::scheduleNextStep()
{
    const std::vector<std::size_t> &sequence = m_installed->sequence;
    if (sequence.size() < 2)
        return;
    // Steps that show the frame already on screen change nothing: wake once for all of them.
    int wait = m_installed->stepMs.at(m_step);
    std::size_t next = (m_step + 1) % sequence.size();
    while (next != m_step && sequence.at(next) == sequence.at(m_step)) {
        wait += m_installed->stepMs.at(next);
        next = (next + 1) % sequence.size();
    }
    m_nextStep = next;
    m_animation.start(wait);
}

void QtCursorPlatform::applyTo(QWidget *window)
{
    const bool themed = window->property(ThemedProperty).toBool();
    if (window->testAttribute(Qt::WA_SetCursor) && !themed)
        return;
    window->setCursor(currentArrow());
    if (!themed)
        window->setProperty(ThemedProperty, true);
    if (std::find(m_themed.begin(), m_themed.end(), window) == m_themed.end())
        m_themed.emplace_back(window);
}

bool QtCursorPlatform::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow())
            applyTo(widget);
    }
    return QObject::eventFilter(watched, event);
}

cursorplatform::CursorPlatform &cursorplatform::systemCursorPlatform()
{
    static QtCursorPlatform platform;
    return platform;
}
