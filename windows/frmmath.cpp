#include "frmmath.h"

#include "forms.h"
#include "frmabout.h"
#include "frmhelp.h"
#include "labelfit.h"
#include "layout.h"
#include "runtimeservices.h"

#include <QAction>
#include <QApplication>
#include <QWindow>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

QGroupBox *makeFrame(QWidget *parent, const char *name, const QString &caption, const QRect &box)
{
    auto *frame = new CaptionFrame(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFont(dialogFont());
    frame->setGeometry(box);
    return frame;
}

// Qt tells screen readers of every description set, changed or not; the clock must not make
// the whole window repeat itself each second.
void describe(QWidget *widget, const QString &text)
{
    if (widget->accessibleDescription() != text)
        widget->setAccessibleDescription(text);
}

QTimer *makeTimer(QObject *parent, const char *name, int intervalMs, Qt::TimerType type)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(intervalMs);
    timer->setTimerType(type);
    return timer;
}

}

frmMath::frmMath(RuntimeServices &services, cursorplatform::CursorPlatform &cursors, Forms &forms,
                 QWidget *parent)
    : QMainWindow(parent),
      m_services(services),
      m_forms(forms),
      m_engine(m_session, *this, services),
      m_cursor(cursors, services.appPath())
{
    setObjectName(QStringLiteral("frmMath"));
    setWindowTitle(QStringLiteral("Pellavin"));
    // Fixed border: no resizing, no minimize or maximize button, but a close button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(dialogFont());
    setWindowIcon(QIcon(QStringLiteral(":/pictures/pellavin.ico")));

    buildControls();
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

frmMath::~frmMath() = default;

void frmMath::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMathClient"));
    client->setFixedSize(twipsToPixels(4575), twipsToPixels(3945));
    setCentralWidget(client);

    const QFont normal = dialogFont();
    const QFont large = dialogFont(24);
    const QFont scoreFont = dialogFont(13.5);
    using enum LabelSizing;

    fraQuestion = makeFrame(client, "fraQuestion", tr("Question"), twipsRect(120, 120, 4335, 1215));
    lblQuestionA = makeLabel(fraQuestion, "lblQuestionA", {}, twipsRect(240, 360, 885, 645), large, Fixed);
    lblMathOperator = makeLabel(fraQuestion, "lblMathOperator", {}, twipsRect(1200, 360, 405, 435), large, Fixed);
    lblQuestionB = makeLabel(fraQuestion, "lblQuestionB", {}, twipsRect(1920, 360, 885, 645), large, Fixed);
    lblEqual = makeLabel(fraQuestion, "lblEqual", QStringLiteral("="), twipsRect(3000, 360, 285, 555), large, Auto);
    lblAnswer = makeLabel(fraQuestion, "lblAnswer", QStringLiteral("?"), twipsRect(3480, 360, 255, 555), large, Auto);

    fraAnswer = makeFrame(client, "fraAnswer", tr("Answer"), twipsRect(120, 1440, 2655, 1575));
    lblYourAnswer = makeLabel(fraAnswer, "lblYourAnswer", tr("Your Answer:"), twipsRect(120, 360, 945, 195), normal, Auto);
    txtAnswer = new QLineEdit(fraAnswer);
    txtAnswer->setObjectName(QStringLiteral("txtAnswer"));
    txtAnswer->setFont(normal);
    txtAnswer->setGeometry(twipsRect(1200, 360, 1215, 285));
    txtAnswer->setMaxLength(std::numeric_limits<int>::max());
    txtAnswer->installEventFilter(this);
    // The label names the box for screen readers too.
    lblYourAnswer->setBuddy(txtAnswer);
    cmdSubmit = makeButton(fraAnswer, "cmdSubmit", tr("Submit"), twipsRect(120, 960, 975, 375));
    cmdSubmit->setDefault(true);
    lblNextQuestion = makeButton(fraAnswer, "lblNextQuestion", tr("Next Question"), twipsRect(1200, 960, 1215, 375));

    fraScore = makeFrame(client, "fraScore", tr("Score"), twipsRect(2880, 1440, 1575, 735));
    lblScore = makeLabel(fraScore, "lblScore", {}, twipsRect(480, 240, 75, 360), scoreFont, Auto);

    fraTime = makeFrame(client, "fraTime", tr("Time"), twipsRect(2880, 2280, 1575, 735));
    lblHours = makeLabel(fraTime, "lblHours", QStringLiteral("00"), twipsRect(240, 360, 180, 195), normal, Auto);
    lblColon1 = makeLabel(fraTime, "lblColon1", QStringLiteral(":"), twipsRect(435, 345, 45, 195), normal, Auto);
    lblMinutes = makeLabel(fraTime, "lblMinutes", QStringLiteral("00"), twipsRect(480, 360, 180, 195), normal, Auto);
    lblColon2 = makeLabel(fraTime, "lblColon2", QStringLiteral(":"), twipsRect(675, 345, 45, 195), normal, Auto);
    lblSeconds = makeLabel(fraTime, "lblSeconds", QStringLiteral("00"), twipsRect(720, 360, 180, 195), normal, Auto);
    // Coarse: the tick may land up to 50 ms off a whole interval, on the same wake-up as the
    // answer box's blinking caret and one repaint with it; ticks do not drift, each one is
    // placed from the last one's due time.
    tmrTimer = makeTimer(fraTime, "tmrTimer", 1000, Qt::CoarseTimer);
    connect(tmrTimer, &QTimer::timeout, this, &frmMath::tmrTimer_Timer);

    fraStatus = makeFrame(client, "fraStatus", tr("Status"), twipsRect(120, 3120, 4335, 735));
    lblQuestionsToGo = makeLabel(fraStatus, "lblQuestionsToGo", tr("Number of questions to go:"), twipsRect(120, 360, 1935, 255), normal, Fixed);
    // The box holds the caption on one line in the classic font only just; where a wider
    // stand-in font would wrap it and cut off the second line, the font is narrowed instead.
    narrowToFit(lblQuestionsToGo);
    lblQuestionsToGoNumber = makeLabel(fraStatus, "lblQuestionsToGoNumber", {}, twipsRect(2160, 360, 615, 255), normal, Fixed);

    tmrCursorSecurity = makeTimer(this, "tmrCursorSecurity", 1, Qt::PreciseTimer);
    connect(tmrCursorSecurity, &QTimer::timeout, this, &frmMath::tmrCursorSecurity_Timer);

    connect(cmdSubmit, &QPushButton::clicked, this, &frmMath::cmdSubmit_Click);
    connect(lblNextQuestion, &QPushButton::clicked, this, &frmMath::lblNextQuestion_Click);

    // Only the answer box and the two buttons take the focus, in this order.
    setTabOrder(txtAnswer, cmdSubmit);
    setTabOrder(cmdSubmit, lblNextQuestion);
    setTabOrder(lblNextQuestion, txtAnswer);
    txtAnswer->setFocus();
}

QAction *frmMath::addMenuItem(QMenu *menu, const char *name, const QString &caption,
                              const QKeySequence &shortcut)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    return item;
}

QMenu *frmMath::addMenu(const char *name, const QString &caption)
{
    QMenu *menu = menuBar()->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    // Popups are windows of their own and do not take the font from the window.
    menu->setFont(dialogFont());
    // An open menu is read out by its own name, which it does not take from its title.
    menu->setAccessibleName(caption);
    return menu;
}

void frmMath::buildMenus()
{
    menuBar()->setFont(dialogFont());

    mnuFile = addMenu("mnuFile", tr("File"));
    mnuFileNewSession = addMenuItem(mnuFile, "mnuFileNewSession", tr("New Session"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFilePrint = addMenuItem(mnuFile, "mnuFilePrint", tr("Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuSeparator = mnuFile->addSeparator();
    mnuSeparator->setObjectName(QStringLiteral("mnuSeparator"));
    mnuFileExit = addMenuItem(mnuFile, "mnuFileExit", tr("Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    mnuDifficulty = addMenu("mnuDifficulty", tr("Difficulty"));
    mnuDifficultyBeginner = addMenuItem(mnuDifficulty, "mnuDifficultyBeginner", tr("Beginner(+,-)"), QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuDifficultyIntermediate = addMenuItem(mnuDifficulty, "mnuDifficultyIntermediate", tr("Intermediate(+,-,x)"), QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuDifficultyAdvanced = addMenuItem(mnuDifficulty, "mnuDifficultyAdvanced", tr("Advanced(+,-,x,/)"), QKeySequence(Qt::CTRL | Qt::Key_A));
    for (QAction *item : {mnuDifficultyBeginner, mnuDifficultyIntermediate, mnuDifficultyAdvanced})
        item->setCheckable(true);
    mnuDifficultyBeginner->setChecked(true);

    mnuHelp = addMenu("mnuHelp", tr("Help"));
    mnuHelpAbout = addMenuItem(mnuHelp, "mnuHelpAbout", tr("About"), {});
    mnuHelpUsingThisProgram = addMenuItem(mnuHelp, "mnuHelpUsingThisProgram", tr("Using this program"), {});

    connect(mnuFileNewSession, &QAction::triggered, this, &frmMath::mnuFileNewSession_Click);
    connect(mnuFilePrint, &QAction::triggered, this, &frmMath::mnuFilePrint_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmMath::mnuFileExit_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMath::mnuHelpAbout_Click);
    connect(mnuHelpUsingThisProgram, &QAction::triggered, this, &frmMath::mnuHelpUsingThisProgram_Click);
    connect(mnuDifficultyBeginner, &QAction::triggered, this, [this](bool checked) {
        onDifficultyTriggered(mnuDifficultyBeginner, checked, &frmMath::mnuDifficultyBeginner_Click);
    });
    connect(mnuDifficultyIntermediate, &QAction::triggered, this, [this](bool checked) {
        onDifficultyTriggered(mnuDifficultyIntermediate, checked, &frmMath::mnuDifficultyIntermediate_Click);
    });
    connect(mnuDifficultyAdvanced, &QAction::triggered, this, [this](bool checked) {
        onDifficultyTriggered(mnuDifficultyAdvanced, checked, &frmMath::mnuDifficultyAdvanced_Click);
    });
}

void frmMath::onDifficultyTriggered(QAction *item, bool checkedNow, void (frmMath::*handler)())
{
    // Qt has already flipped the mark; put back the state the user saw, so that the handler
    // decides on it and moves the marks itself.
    item->setChecked(!checkedNow);
    (this->*handler)();
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
    m_cursor.tmrCursorSecurity_Timer([this] { return displayState(); }, DefaultCursorFile);
    tmrCursorSecurity->stop();
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

int frmMath::displayState() const
{
    if (isMinimized())
        return AnimatedCursor::Minimized;
    if (isMaximized())
        return AnimatedCursor::Maximized;
    return AnimatedCursor::Normal;
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
                m_cameFromOtherForm = qobject_cast<const frmAbout *>(window) || qobject_cast<const frmHelp *>(window);
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

QString frmMath::spokenQuestion() const
{
    if (lblQuestionA->text().isEmpty())
        return {};
    // Screen readers say the operators as drawn as "plus", "dash", "star" and "slash", and at
    // their lowest punctuation level not at all; words are heard at every level.
    const QString drawn = lblMathOperator->text();
    QString op = drawn;
    if (drawn == u"+")
        op = tr("plus");
    else if (drawn == u"-")
        op = tr("minus");
    else if (drawn == u"*")
        op = tr("times");
    else if (drawn == u"/")
        op = tr("divided by");
    return lblQuestionA->text() + u' ' + op + u' ' + lblQuestionB->text() + u' '
           + lblEqual->text() + u' ' + lblAnswer->text();
}

void frmMath::describeForScreenReaders()
{
    // Each frame reads as its caption followed by what it shows. The answer box also carries
    // the question and the score, and the focused control tells what is new (see below).
    const QString question = spokenQuestion();
    const QString score = lblScore->text();
    describe(fraQuestion, question);
    describe(fraScore, score);
    describe(fraTime, lblHours->text() + lblColon1->text() + lblMinutes->text() + lblColon2->text()
                          + lblSeconds->text());
    describe(fraStatus, lblQuestionsToGo->text() + u' ' + lblQuestionsToGoNumber->text());
    QString answerBox = question;
    if (!score.isEmpty())
        answerBox += QStringLiteral(", ") + fraScore->title() + u' ' + score;
    tellFocusedControl(answerBox);
}

QString frmMath::newsForScreenReaders()
{
    // Said once, before the question: a new level, and the length of a session begun.
    QString news;
    for (QAction *item : {mnuDifficultyBeginner, mnuDifficultyIntermediate, mnuDifficultyAdvanced}) {
        if (item->isChecked() && item != m_toldLevel) {
            m_toldLevel = item;
            // "Intermediate(+,-,x)" is read as "Intermediate", without its punctuation.
            const QString caption = item->text();
            news += mnuDifficulty->title() + u' ' + caption.left(caption.indexOf(u'(')).trimmed()
                    + QStringLiteral(", ");
        }
    }
    if (m_sessionBegun)
        news += tr("%1 questions").arg(QuizEngine::QuestionsPerSession) + QStringLiteral(", ");
    m_sessionBegun = false;
    return news;
}

void frmMath::tellFocusedControl(const QString &answerBox)
{
    // A screen reader speaks a changed description of the focused control, and of no other
    // control: so whichever of the three has the focus (or gets it back when a message box
    // closes) carries what is new, and a student who skips hears the next question too. The
    // clock is not in it.
    const QString news = newsForScreenReaders();
    if (news.isEmpty() && answerBox == m_toldAnswerBox)
        return;
    m_toldAnswerBox = answerBox;
    // With the focus elsewhere (in the menu bar), the answer box keeps it for later.
    QWidget *focused = focusWidget();
    if (focused != cmdSubmit && focused != lblNextQuestion)
        focused = txtAnswer;
    if (m_toldOnce && m_toldOnce != focused)
        describe(m_toldOnce, m_toldOnce == txtAnswer ? answerBox : QString());
    describe(txtAnswer, answerBox);
    describe(focused, news + answerBox);
    m_toldOnce = focused != txtAnswer || !news.isEmpty() ? focused : nullptr;
}

void frmMath::onFocusChanged(QWidget *now)
{
    // What was told once is dropped when the focus moves on, to another control or to a
    // message box, after the move itself is told, so that coming back does not repeat it.
    if (!m_toldOnce || !now || now == m_toldOnce)
        return;
    QTimer::singleShot(0, this, [this] {
        if (!m_toldOnce || QApplication::focusWidget() == m_toldOnce)
            return;
        describe(m_toldOnce, m_toldOnce == txtAnswer ? m_toldAnswerBox : QString());
        m_toldOnce = nullptr;
    });
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
