// The main window's controls and menus, built once as designed.

#include "windows/frmmath.h"

#include "windows/layout.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace {

QGroupBox *makeFrame(QWidget *parent, const char *name, const QString &caption, const QRect &box)
{
    auto *frame = new CaptionFrame(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFont(dialogFont());
    frame->setGeometry(box);
    return frame;
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

// clang-format off: the controls' layout reads as a table, one control a line
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
    lblMathOperator =
            makeLabel(fraQuestion, "lblMathOperator", {}, twipsRect(1200, 360, 405, 435), large, Fixed);
    lblQuestionB = makeLabel(fraQuestion, "lblQuestionB", {}, twipsRect(1920, 360, 885, 645), large, Fixed);
    lblEqual = makeLabel(fraQuestion, "lblEqual", QStringLiteral("="), twipsRect(3000, 360, 285, 555), large,
                         Auto);
    lblAnswer = makeLabel(fraQuestion, "lblAnswer", QStringLiteral("?"), twipsRect(3480, 360, 255, 555),
                          large, Auto);

    buildAnswerFrame(client, normal);

    fraScore = makeFrame(client, "fraScore", tr("Score"), twipsRect(2880, 1440, 1575, 735));
    lblScore = makeLabel(fraScore, "lblScore", {}, twipsRect(480, 240, 75, 360), scoreFont, Auto);

    fraTime = makeFrame(client, "fraTime", tr("Time"), twipsRect(2880, 2280, 1575, 735));
    lblHours =
            makeLabel(fraTime, "lblHours", QStringLiteral("00"), twipsRect(240, 360, 180, 195), normal, Auto);
    lblColon1 =
            makeLabel(fraTime, "lblColon1", QStringLiteral(":"), twipsRect(435, 345, 45, 195), normal, Auto);
    lblMinutes = makeLabel(fraTime, "lblMinutes", QStringLiteral("00"), twipsRect(480, 360, 180, 195), normal,
                           Auto);
    lblColon2 =
            makeLabel(fraTime, "lblColon2", QStringLiteral(":"), twipsRect(675, 345, 45, 195), normal, Auto);
    lblSeconds = makeLabel(fraTime, "lblSeconds", QStringLiteral("00"), twipsRect(720, 360, 180, 195), normal,
                           Auto);
    // Coarse: the tick may land up to 50 ms off a whole interval, on the same wake-up as the
    // answer box's blinking caret and one repaint with it; ticks do not drift, each one is
    // placed from the last one's due time.
    tmrTimer = makeTimer(fraTime, "tmrTimer", 1000, Qt::CoarseTimer);
    connect(tmrTimer, &QTimer::timeout, this, &frmMath::tmrTimer_Timer);

    fraStatus = makeFrame(client, "fraStatus", tr("Status"), twipsRect(120, 3120, 4335, 735));
    lblQuestionsToGo = makeLabel(fraStatus, "lblQuestionsToGo", tr("Number of questions to go:"),
                                 twipsRect(120, 360, 1935, 255), normal, Fixed);
    lblQuestionsToGoNumber =
            makeLabel(fraStatus, "lblQuestionsToGoNumber", {}, twipsRect(2160, 360, 615, 255), normal, Fixed);

    tmrCursorSecurity = new CursorGuard(*this, m_cursor, DefaultCursorFile);
    connect(tmrCursorSecurity, &QTimer::timeout, this, &frmMath::tmrCursorSecurity_Timer);

    connect(cmdSubmit, &QPushButton::clicked, this, &frmMath::cmdSubmit_Click);
    connect(lblNextQuestion, &QPushButton::clicked, this, &frmMath::lblNextQuestion_Click);

    // Only the answer box and the two buttons take the focus, in this order.
    setTabOrder(txtAnswer, cmdSubmit);
    setTabOrder(cmdSubmit, lblNextQuestion);
    setTabOrder(lblNextQuestion, txtAnswer);
    txtAnswer->setFocus();
}

void frmMath::buildAnswerFrame(QWidget *client, const QFont &normal)
{
    using enum LabelSizing;
    fraAnswer = makeFrame(client, "fraAnswer", tr("Answer"), twipsRect(120, 1440, 2655, 1575));
    lblYourAnswer = makeLabel(fraAnswer, "lblYourAnswer", tr("Your Answer:"), twipsRect(120, 360, 945, 195),
                              normal, Auto);
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
    lblNextQuestion =
            makeButton(fraAnswer, "lblNextQuestion", tr("Next Question"), twipsRect(1200, 960, 1215, 375));
}
// clang-format on

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

// clang-format off: the controls' layout reads as a table, one control a line
void frmMath::buildMenus()
{
    menuBar()->setFont(dialogFont());

    mnuFile = addMenu("mnuFile", tr("File"));
    mnuFileNewSession =
            addMenuItem(mnuFile, "mnuFileNewSession", tr("New Session"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFilePrint = addMenuItem(mnuFile, "mnuFilePrint", tr("Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuSeparator = mnuFile->addSeparator();
    mnuSeparator->setObjectName(QStringLiteral("mnuSeparator"));
    mnuFileExit = addMenuItem(mnuFile, "mnuFileExit", tr("Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    mnuDifficulty = addMenu("mnuDifficulty", tr("Difficulty"));
    mnuDifficultyBeginner = addMenuItem(mnuDifficulty, "mnuDifficultyBeginner", tr("Beginner(+,-)"),
                                        QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuDifficultyIntermediate = addMenuItem(mnuDifficulty, "mnuDifficultyIntermediate",
                                            tr("Intermediate(+,-,x)"), QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuDifficultyAdvanced = addMenuItem(mnuDifficulty, "mnuDifficultyAdvanced", tr("Advanced(+,-,x,/)"),
                                        QKeySequence(Qt::CTRL | Qt::Key_A));
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
// clang-format on

void frmMath::onDifficultyTriggered(QAction *item, bool checkedNow, void (frmMath::*handler)())
{
    // Qt has already flipped the mark; put back the state the user saw, so that the handler
    // decides on it and moves the marks itself.
    item->setChecked(!checkedNow);
    (this->*handler)();
}
