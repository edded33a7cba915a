#pragma once

#include "cursor/animatedcursor.h"
#include "quiz/quizengine.h"
#include "quiz/quizsession.h"
#include "quiz/quizview.h"
#include "windows/cursorguard.h"

#include <QMainWindow>

class Forms;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QWindow;
class RuntimeServices;

// The main quiz window: a thin view over the quiz engine.
class frmMath
    : public QMainWindow
    , private QuizView
{
    Q_OBJECT

public:
    inline static const QString DefaultCursorFile = QStringLiteral("Cursors\\Calc-Default.ani");

    inline static const char *const NoPrinterMessage =
            QT_TR_NOOP("No printer is available, so nothing was printed.");

    frmMath(RuntimeServices &services, cursorplatform::CursorPlatform &cursors, Forms &forms,
            QWidget *parent = nullptr);
    ~frmMath() override;

    // Loads the window the first time (name prompt, greeting, first question), then shows
    // it, or brings it to the front when it is up already.
    void Show();

    const QuizSession &session() const { return m_session; }
    QuizEngine &engine() { return m_engine; }
    AnimatedCursor &animatedCursor() { return m_cursor; }

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Terminate();
    void cmdSubmit_Click();
    void lblNextQuestion_Click();
    void tmrTimer_Timer();
    void tmrCursorSecurity_Timer();
    void mnuFileNewSession_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();
    void mnuHelpUsingThisProgram_Click();
    void mnuDifficultyBeginner_Click();
    void mnuDifficultyIntermediate_Click();
    void mnuDifficultyAdvanced_Click();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void buildAnswerFrame(QWidget *client, const QFont &normal);
    void buildMenus();
    QMenu *addMenu(const char *name, const QString &caption);
    QAction *addMenuItem(QMenu *menu, const char *name, const QString &caption, const QKeySequence &shortcut);
    void onDifficultyTriggered(QAction *item, bool checkedNow, void (frmMath::*handler)());
    bool isMenuShortcut(const QKeySequence &keys) const;
    void centreOnScreen();
    void onFocusWindowChanged(QWindow *now);
    void describeForScreenReaders();
    QString spokenQuestion() const;
    QString newsForScreenReaders();
    void tellFocusedControl(const QString &answerBox);
    void onFocusChanged(QWidget *now);

    // QuizView
    QString caption(Caption which) const override;
    void setCaption(Caption which, const QString &text) override;
    QString answerText() const override;
    void setAnswerText(const QString &text) override;
    bool isLevelChecked(Level level) const override;
    void setLevelChecked(Level level, bool checked) override;
    void letPendingEventsRun() override;
    QLabel *label(Caption which) const;
    QAction *levelItem(Level level) const;

    RuntimeServices &m_services;
    Forms &m_forms;
    QuizSession m_session;
    QuizEngine m_engine;
    AnimatedCursor m_cursor;
    bool m_loaded = false;
    // The program's active window before the main window was one of its other windows.
    bool m_cameFromOtherForm = false;
    QSize m_centredFrame;
    bool m_frameSettled = false;
    // Captions change a label at a time; screen readers hear the result once, when the
    // handler that changed them is done.
    QTimer *m_describeLater = nullptr;
    // What the answer box says at rest: the question and the score.
    QString m_toldAnswerBox;
    // The level last told, and whether a session has begun since.
    QAction *m_toldLevel = nullptr;
    bool m_sessionBegun = false;
    // The control whose description carries, once, what the focused control was told.
    QWidget *m_toldOnce = nullptr;

public:
    QGroupBox *fraQuestion = nullptr;
    QLabel *lblQuestionA = nullptr;
    QLabel *lblMathOperator = nullptr;
    QLabel *lblQuestionB = nullptr;
    QLabel *lblEqual = nullptr;
    QLabel *lblAnswer = nullptr;
    QGroupBox *fraAnswer = nullptr;
    QLabel *lblYourAnswer = nullptr;
    QLineEdit *txtAnswer = nullptr;
    QPushButton *cmdSubmit = nullptr;
    QPushButton *lblNextQuestion = nullptr;
    QGroupBox *fraScore = nullptr;
    QLabel *lblScore = nullptr;
    QGroupBox *fraTime = nullptr;
    QLabel *lblHours = nullptr;
    QLabel *lblColon1 = nullptr;
    QLabel *lblMinutes = nullptr;
    QLabel *lblColon2 = nullptr;
    QLabel *lblSeconds = nullptr;
    QTimer *tmrTimer = nullptr;
    QGroupBox *fraStatus = nullptr;
    QLabel *lblQuestionsToGo = nullptr;
    QLabel *lblQuestionsToGoNumber = nullptr;
    CursorGuard *tmrCursorSecurity = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuFileNewSession = nullptr;
    QAction *mnuFilePrint = nullptr;
    QAction *mnuSeparator = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuDifficulty = nullptr;
    QAction *mnuDifficultyBeginner = nullptr;
    QAction *mnuDifficultyIntermediate = nullptr;
    QAction *mnuDifficultyAdvanced = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpAbout = nullptr;
    QAction *mnuHelpUsingThisProgram = nullptr;
};
