#include "windows/frmmath.h"

#include "services/runtimeservices.h"
#include "windows/forms.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/labelfit.h"
#include "windows/layout.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

frmMath::frmMath(RuntimeServices &services, cursorplatform::CursorPlatform &cursors, Forms &forms,
                 QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_forms(forms)
    , m_engine(m_session, *this, services)
    , m_cursor(cursors, services.appPath())
{
    setObjectName(QStringLiteral("frmMath"));
    setWindowTitle(QStringLiteral("Pellavin"));
    // Fixed border: no resizing, no minimize or maximize button, but a close button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(dialogFont());
    setWindowIcon(QIcon(QStringLiteral(":/pictures/pellavin.ico")));

    buildControls();
    // The questions-to-go caption only just fits its box in the classic font; where a wider
    // stand-in font would wrap it and cut off the second line, the font is narrowed instead.
    narrowToFit(lblQuestionsToGo);
    buildMenus();

    setFixedSize(centralWidget()->width(), centralWidget()->height() + menuBar()->sizeHint().height());
    centreOnScreen();

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmMath::onFocusWindowChanged);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { onFocusChanged(now); });

    // The greeting names the first level; only a change of it is told.
    m_toldLevel = mnuDifficultyBeginner;
    m_describeLater = new QTimer(this);
    m_describeLater->setSingleShot(true);
    m_describeLater->setInterval(0);
    connect(m_describeLater, &QTimer::timeout, this, &frmMath::describeForScreenReaders);
    describeForScreenReaders();

    // Both timers run from the window's creation.
    tmrTimer->start();
    tmrCursorSecurity->start();
}

frmMath::~frmMath()
{
    // Destroying the controls moves the application's focus, and what the focus handlers read
    // is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
}

void frmMath::Show()
{
    const bool firstDisplay = !m_loaded;
    if (firstDisplay) {
        m_loaded = true;
        Form_Load();
    }
    show();
    if (firstDisplay)
        centreOnScreen();
    raise();
    activateWindow();
    // The first display is an activation of its own, whatever had the focus before: the
    // name prompt, the greeting, or no window of the program at all.
    if (firstDisplay) {
        m_cameFromOtherForm = false;
        Form_Activate();
    }
}

void frmMath::centreOnScreen()
{
    // The whole frame, title bar and borders included, as far as they are known yet: the
    // window system may tell them only once the window is up (see event()).
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
    m_centredFrame = frame.size();
}

bool frmMath::event(QEvent *event)
{
    // A window manager adds its frame after the window is mapped; centre once more when the
    // first activation shows a frame of another size than the one centred.
    if (event->type() == QEvent::WindowActivate && !m_frameSettled) {
        m_frameSettled = true;
        if (frameGeometry().size() != m_centredFrame)
            centreOnScreen();
    }
    return QMainWindow::event(event);
}

void frmMath::Form_Load()
{
    m_services.Randomize();
    m_cursor.StartAnimatedCursor(DefaultCursorFile);
    m_engine.Begin();
}

void frmMath::Form_Activate()
{
    m_cursor.StartAnimatedCursor(DefaultCursorFile);
}

void frmMath::Form_Resize()
{
    tmrCursorSecurity->stop();
}

void frmMath::Form_Terminate()
{
    m_cursor.StartAnimatedCursor(AnimatedCursor::ArrowFile);
}

void frmMath::cmdSubmit_Click()
{
    const qint16 question = m_session.intQuestionCount;
    const qint16 tries = m_session.intTriesLeft;
    m_engine.SubmitAnswer();
    // A wrong answer stays in the box for another try: selected, so that typing replaces it
    // while the arrow keys still edit it.
    if (m_session.intQuestionCount == question && m_session.intTriesLeft < tries)
        txtAnswer->selectAll();
}

void frmMath::lblNextQuestion_Click()
{
    m_engine.SkipQuestion();
}

void frmMath::tmrTimer_Timer()
{
    m_engine.ClockTick();
}

void frmMath::tmrCursorSecurity_Timer()
{
    tmrCursorSecurity->tick();
}

void frmMath::mnuFileNewSession_Click()
{
    m_engine.NewSession();
}

void frmMath::mnuDifficultyBeginner_Click()
{
    m_engine.ChooseLevel(Level::Beginner);
}

void frmMath::mnuDifficultyIntermediate_Click()
{
    m_engine.ChooseLevel(Level::Intermediate);
}

void frmMath::mnuDifficultyAdvanced_Click()
{
    m_engine.ChooseLevel(Level::Advanced);
}

void frmMath::mnuFilePrint_Click()
{
    // The session must survive a missing or failing printer: say so and carry on.
    if (!m_services.PrintLine(QString()))
        m_services.MsgBox(tr(NoPrinterMessage));
}

void frmMath::mnuFileExit_Click()
{
    m_cursor.StartAnimatedCursor(AnimatedCursor::ArrowFile);
    m_forms.End();
}

void frmMath::mnuHelpAbout_Click()
{
    m_forms.showAbout();
}

void frmMath::mnuHelpUsingThisProgram_Click()
{
    m_forms.showHelp();
}

void frmMath::onFocusWindowChanged(QWindow *now)
{
    // The focus leaving the program for another one is no change of the program's active
    // window: the one it had is still the last, and coming back from there is no activation.
    if (!now || !m_loaded)
        return;
    if (now != windowHandle()) {
        // Only the program's other windows count, not its message boxes.
        m_cameFromOtherForm = false;
        for (const QWidget *window : QApplication::topLevelWidgets()) {
            if (window->windowHandle() == now)
                m_cameFromOtherForm =
                        qobject_cast<const frmAbout *>(window) || qobject_cast<const frmHelp *>(window);
        }
        return;
    }
    if (m_cameFromOtherForm)
        Form_Activate();
    m_cameFromOtherForm = false;
}

bool frmMath::isMenuShortcut(const QKeySequence &keys) const
{
    for (const QAction *item : {mnuFileNewSession, mnuFilePrint, mnuFileExit, mnuDifficultyBeginner,
                                mnuDifficultyIntermediate, mnuDifficultyAdvanced}) {
        if (!item->shortcut().isEmpty() && item->shortcut().matches(keys) == QKeySequence::ExactMatch)
            return true;
    }
    return false;
}

bool frmMath::eventFilter(QObject *watched, QEvent *event)
{
    // Alt with a key is a command on the desktop, never typing; with no access letters on the
    // menus it does nothing here.
    if (watched == txtAnswer && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) == Qt::AltModifier
            && !key->text().isEmpty())
            return true;
    }
    // The answer box claims Ctrl+X, Ctrl+A and friends for itself; the menu's shortcuts win.
    if (watched == txtAnswer && event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (isMenuShortcut(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMath::keyPressEvent(QKeyEvent *event)
{
    // A main window has no default button of its own: Enter presses Submit wherever the
    // focus is, except on Next Question, which Enter presses itself.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (focusWidget() == lblNextQuestion)
            lblNextQuestion->click();
        else
            cmdSubmit->click();
        event->accept();
        return;
    }
    // F10 opens the menu bar at its first menu, as on the desktop's other programs.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        menuBar()->setActiveAction(mnuFile->menuAction());
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmMath::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

QLabel *frmMath::label(Caption which) const
{
    switch (which) {
    case Caption::QuestionA: return lblQuestionA;
    case Caption::MathOperator: return lblMathOperator;
    case Caption::QuestionB: return lblQuestionB;
    case Caption::Answer: return lblAnswer;
    case Caption::Score: return lblScore;
    case Caption::Hours: return lblHours;
    case Caption::Minutes: return lblMinutes;
    case Caption::Seconds: return lblSeconds;
    case Caption::QuestionsToGoNumber: return lblQuestionsToGoNumber;
    }
    return nullptr;
}

QAction *frmMath::levelItem(Level level) const
{
    switch (level) {
    case Level::Beginner: return mnuDifficultyBeginner;
    case Level::Intermediate: return mnuDifficultyIntermediate;
    case Level::Advanced: return mnuDifficultyAdvanced;
    }
    return nullptr;
}

QString frmMath::caption(Caption which) const
{
    return label(which)->text();
}

void frmMath::setCaption(Caption which, const QString &text)
{
    setLabelText(label(which), text);
    // The count to go is set once for every question issued; question 1 begins a session.
    if (which == Caption::QuestionsToGoNumber && m_session.intQuestionCount == 1)
        m_sessionBegun = true;
    m_describeLater->start();
}

QString frmMath::answerText() const
{
    return txtAnswer->text();
}

void frmMath::setAnswerText(const QString &text)
{
    txtAnswer->setText(text);
}

bool frmMath::isLevelChecked(Level level) const
{
    return levelItem(level)->isChecked();
}

void frmMath::setLevelChecked(Level level, bool checked)
{
    levelItem(level)->setChecked(checked);
}

void frmMath::letPendingEventsRun()
{
    // A question still being drawn is not read out.
    const bool describePending = m_describeLater->isActive();
    m_describeLater->stop();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (describePending)
        m_describeLater->start();
}
