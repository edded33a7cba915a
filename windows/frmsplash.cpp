#include "windows/frmsplash.h"

#include "services/runtimeservices.h"
#include "windows/contrast.h"
#include "windows/forms.h"
#include "windows/layout.h"
#include "windows/splashtype.h"
#include "windows/syscolor.h"

#include <QBackingStore>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

// Where the desktop keeps no numbered colours, the nearest role of the palette stands in: the
// text drawn on the highlight, which is also the colour of text on an active title bar.
QColor systemColour(int index, const QPalette &palette)
{
    if (const std::optional<std::uint32_t> rgb = syscolor::systemColour(index))
        return QColor::fromRgb(*rgb);
    return palette.color(QPalette::Active, QPalette::HighlightedText);
}

void fillWith(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The labels on the frame keep the scheme's text colour where that reads; a high-contrast scheme
// may give the frame's system colour that colour too. Then the highlight, which the scheme makes
// to carry exactly this colour's text, or black or white.
void keepTextReadable(QWidget *frame)
{
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, contrast::firstReadable(palette.color(QPalette::Window),
                                                                   {palette.color(QPalette::WindowText),
                                                                    palette.color(QPalette::Highlight)}));
    frame->setPalette(palette);
}
}

frmSplash::frmSplash(RuntimeServices &services, cursorplatform::CursorPlatform &cursors, Forms &forms,
                     QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_forms(forms)
    , m_cursor(cursors, services.appPath())
{
    setObjectName(QStringLiteral("frmSplash"));
    // No title bar, no border to drag, no taskbar button.
    setWindowFlags(splashtype::windowFlags());
    setFixedSize(twipsToPixels(7380), twipsToPixels(4185));
    fillWith(this, systemColour(syscolor::CaptionText, palette()));
    buildControls();
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    splashtype::keepOffTaskbar(*this);

    tmrCursorSecurity->start();
    Form_Load();
}

frmSplash::~frmSplash() = default;

void frmSplash::buildControls()
{
    tmrCursorSecurity = new CursorGuard(*this, m_cursor, HelloCursorFile);
    connect(tmrCursorSecurity, &QTimer::timeout, this, &frmSplash::tmrCursorSecurity_Timer);

    Frame1 = new CaptionFrame(QString(), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(120, 60, 7200, 4050));
    fillWith(Frame1, systemColour(syscolor::HighlightText, palette()));
    keepTextReadable(Frame1);

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(twipsRect(120, 840, 2160, 2520));
    // Stretched to its box, proportions not kept. The picture itself is decoded when the
    // window is first exposed (see showEvent).
    imgLogo->setScaledContents(true);
    imgLogo->setAccessibleName(tr("Pellavin logo"));

    using enum LabelSizing;
    lblCopyright = makeLabel(Frame1, "lblCopyright", tr("Copyright"), twipsRect(4560, 3060, 2415, 255),
                             arialFont(8.25, false), Fixed);
    lblCompany = makeLabel(Frame1, "lblCompany", QStringLiteral("Varnholt Corp."),
                           twipsRect(4560, 3270, 2415, 255), arialFont(8.25, false), Fixed);
    lblVersion = makeLabel(Frame1, "lblVersion", QStringLiteral("Version"), twipsRect(5970, 2700, 885, 285),
                           arialFont(12, true), AutoRightAligned);
    lblPlatform = makeLabel(Frame1, "lblPlatform", tr("Platform"), twipsRect(5580, 2340, 1275, 360),
                            arialFont(15.75, true), AutoRightAligned);
    lblProductName = makeLabel(Frame1, "lblProductName", QStringLiteral("Product"),
                               twipsRect(2520, 1140, 2430, 765), arialFont(32.25, true), Auto);
    lblCompanyProduct = makeLabel(Frame1, "lblCompanyProduct", QStringLiteral("Varnholt Corp."),
                                  twipsRect(2355, 705, 2475, 435), arialFont(18, true), Auto);

    for (QWidget *control :
         {static_cast<QWidget *>(Frame1), static_cast<QWidget *>(imgLogo),
          static_cast<QWidget *>(lblCopyright), static_cast<QWidget *>(lblCompany),
          static_cast<QWidget *>(lblVersion), static_cast<QWidget *>(lblPlatform),
          static_cast<QWidget *>(lblProductName), static_cast<QWidget *>(lblCompanyProduct)}) {
        control->setFocusPolicy(Qt::NoFocus);
        control->installEventFilter(this);
    }
}

void frmSplash::Form_Load()
{
    //: Major, minor and revision number.
    setLabelText(lblVersion, tr("Version %1.%2.%3")
                                     .arg(m_services.appMajor())
                                     .arg(m_services.appMinor())
                                     .arg(m_services.appRevision()));
    setLabelText(lblProductName, m_services.appTitle());
    // The window has no title bar to read; a screen reader reads this, and how to go on.
    setAccessibleName(m_services.appTitle());
    setAccessibleDescription(tr("Press any key to start."));
    m_cursor.StartAnimatedCursor(HelloCursorFile);
}

void frmSplash::Form_Resize()
{
    tmrCursorSecurity->start();
}

void frmSplash::Form_KeyPress(int)
{
    unloadAndShowMath();
}

void frmSplash::Form_Terminate()
{
    m_cursor.RestoreLastCursor();
}

void frmSplash::tmrCursorSecurity_Timer()
{
    tmrCursorSecurity->tick();
}

void frmSplash::Frame1_Click()
{
    clicked();
}
void frmSplash::imgLogo_Click()
{
    clicked();
}
void frmSplash::lblCompany_Click()
{
    clicked();
}
void frmSplash::lblCompanyProduct_Click()
{
    clicked();
}
void frmSplash::lblCopyright_Click()
{
    clicked();
}
void frmSplash::lblPlatform_Click()
{
    clicked();
}
void frmSplash::lblProductName_Click()
{
    clicked();
}
void frmSplash::lblVersion_Click()
{
    clicked();
}

void frmSplash::clicked()
{
    unloadAndShowMath();
    m_cursor.RestoreLastCursor();
}

void frmSplash::unloadAndShowMath()
{
    close();
    unloadPictures();
    m_forms.showMath();
}

void frmSplash::unloadPictures()
{
    // A hidden window keeps its back buffer and its label keeps the logo and a scaled copy,
    // which the main window would be built on top of. Both come back if the window is shown
    // again: the buffer at the window's size, the logo at its next exposure.
    imgLogo->clear();
    if (QBackingStore *store = backingStore())
        store->resize(QSize(1, 1));
}

bool frmSplash::event(QEvent *event)
{
    // Every key that types a character counts, Enter, Esc and Tab included; keys that type
    // none (arrows, Shift, function keys, Delete) and Alt combinations do nothing. On Windows
    // AltGr arrives as Ctrl+Alt, and what it types ("@", "{", "€") counts.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        const Qt::KeyboardModifiers altGr = Qt::ControlModifier | Qt::AltModifier;
        const bool altCombination = (key->modifiers() & altGr) == Qt::AltModifier;
        if (!text.isEmpty() && key->key() != Qt::Key_Delete && !altCombination) {
            Form_KeyPress(text.at(0).unicode());
        }
        return true;
    }
    return QWidget::event(event);
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && watched == windowHandle()) {
        windowHandle()->removeEventFilter(this);
        loadLogo();
        return false;
    }
    // A click is a left press and release on the same control. The window's own handle is
    // watched too until its first exposure, and it is no widget.
    if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType()) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        auto *control = static_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton && control->rect().contains(mouse->position().toPoint())) {
            const std::pair<QWidget *, void (frmSplash::*)()> handlers[] = {
                    {Frame1, &frmSplash::Frame1_Click},
                    {imgLogo, &frmSplash::imgLogo_Click},
                    {lblCompany, &frmSplash::lblCompany_Click},
                    {lblCompanyProduct, &frmSplash::lblCompanyProduct_Click},
                    {lblCopyright, &frmSplash::lblCopyright_Click},
                    {lblPlatform, &frmSplash::lblPlatform_Click},
                    {lblProductName, &frmSplash::lblProductName_Click},
                    {lblVersion, &frmSplash::lblVersion_Click},
            };
            for (const auto &[source, handler] : handlers) {
                if (source == control) {
                    (this->*handler)();
                    return true;
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmSplash::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmSplash::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Decoding the JPEG loads Qt's image plugins and the JPEG library, which would delay the
    // window's appearance; at the first exposure, just before the first paint, the window
    // is already on screen and its first picture still has the logo.
    if (imgLogo->pixmap().isNull() && windowHandle())
        windowHandle()->installEventFilter(this);
}

void frmSplash::loadLogo()
{
    if (imgLogo->pixmap().isNull())
        imgLogo->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.jpg")));
}

void frmSplash::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    tmrCursorSecurity->stop();
}
