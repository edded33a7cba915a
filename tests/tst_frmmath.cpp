#include "quiz/quiztexts.h"
#include "tests/mathwindowfixture.h"
#include "tests/screenanswer.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/frmmath.h"
#include "windows/layout.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <algorithm>
#include <memory>

namespace {

QString wrongBox(int triesLeft)
{
    return quiztexts::Wrong(triesLeft);
}

}

class TestFrmMath
    : public QObject
    , MathWindowFixture
{
    Q_OBJECT

    void open(const QString &name = QStringLiteral("Ada"))
    {
        services.inputAnswers.enqueue(name);
        queueBeginner(9, 4, 1);
        w->Show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

    int expectedAnswer() const { return screenAnswer(*w); }

    void type(const QString &text)
    {
        w->txtAnswer->clear();
        QTest::keyClicks(w->txtAnswer, text);
    }

    void pressEnter(QWidget *where)
    {
        where->setFocus();
        QTest::keyClick(where, Qt::Key_Return);
    }

private slots:
    void init()
    {
        freshServices();
        makeWindow();
    }

    void cleanup() { w.reset(); }

    void windowFrame()
    {
        QCOMPARE(w->objectName(), QStringLiteral("frmMath"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Pellavin"));
        QCOMPARE(w->centralWidget()->size(), QSize(305, 263));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        const Qt::WindowFlags flags = w->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        // The application icon, at both of its sizes.
        const QList<QSize> sizes = w->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(48, 48)));
        QVERIFY(sizes.contains(QSize(32, 32)));
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<bool>("autoSize");
        QTest::addColumn<double>("points");
        auto row = [](const char *name, const char *container, const char *text, QRect box, bool autoSize,
                      double points) {
            QTest::newRow(name) << name << container << text << box << autoSize << points;
        };
        const QString client = QStringLiteral("frmMathClient");
        row("fraQuestion", "frmMathClient", "Question", QRect(120, 120, 4335, 1215), false, 8.25);
        row("lblQuestionA", "fraQuestion", "", QRect(240, 360, 885, 645), false, 24);
        row("lblMathOperator", "fraQuestion", "", QRect(1200, 360, 405, 435), false, 24);
        row("lblQuestionB", "fraQuestion", "", QRect(1920, 360, 885, 645), false, 24);
        row("lblEqual", "fraQuestion", "=", QRect(3000, 360, 285, 555), true, 24);
        row("lblAnswer", "fraQuestion", "?", QRect(3480, 360, 255, 555), true, 24);
        row("fraAnswer", "frmMathClient", "Answer", QRect(120, 1440, 2655, 1575), false, 8.25);
        row("lblYourAnswer", "fraAnswer", "Your Answer:", QRect(120, 360, 945, 195), true, 8.25);
        row("txtAnswer", "fraAnswer", "", QRect(1200, 360, 1215, 285), false, 8.25);
        row("cmdSubmit", "fraAnswer", "Submit", QRect(120, 960, 975, 375), false, 8.25);
        row("lblNextQuestion", "fraAnswer", "Next Question", QRect(1200, 960, 1215, 375), false, 8.25);
        row("fraScore", "frmMathClient", "Score", QRect(2880, 1440, 1575, 735), false, 8.25);
        row("lblScore", "fraScore", "", QRect(480, 240, 75, 360), true, 13.5);
        row("fraTime", "frmMathClient", "Time", QRect(2880, 2280, 1575, 735), false, 8.25);
        row("lblHours", "fraTime", "00", QRect(240, 360, 180, 195), true, 8.25);
        row("lblColon1", "fraTime", ":", QRect(435, 345, 45, 195), true, 8.25);
        row("lblMinutes", "fraTime", "00", QRect(480, 360, 180, 195), true, 8.25);
        row("lblColon2", "fraTime", ":", QRect(675, 345, 45, 195), true, 8.25);
        row("lblSeconds", "fraTime", "00", QRect(720, 360, 180, 195), true, 8.25);
        row("fraStatus", "frmMathClient", "Status", QRect(120, 3120, 4335, 735), false, 8.25);
        row("lblQuestionsToGo", "fraStatus", "Number of questions to go:", QRect(120, 360, 1935, 255), false,
            8.25);
        row("lblQuestionsToGoNumber", "fraStatus", "", QRect(2160, 360, 615, 255), false, 8.25);
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        QFETCH(bool, autoSize);
        QFETCH(double, points);

        auto *control = w->findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget()->objectName(), container);
        const QRect expected = twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
        QCOMPARE(control->pos(), expected.topLeft());
        if (auto *label = qobject_cast<QLabel *>(control)) {
            QCOMPARE(label->text(), text);
            if (autoSize) {
                QCOMPARE(label->size(), label->sizeHint());
            } else {
                QCOMPARE(label->size(), expected.size());
                if (text.isEmpty())
                    return;
                // Everything the window shows at load fits its box.
                const QRect needed = label->fontMetrics().boundingRect(
                        expected, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
                QVERIFY2(needed.width() <= expected.width() && needed.height() <= expected.height(),
                         qPrintable(QStringLiteral("%1 needs %2x%3")
                                            .arg(name)
                                            .arg(needed.width())
                                            .arg(needed.height())));
            }
        } else {
            QCOMPARE(control->size(), expected.size());
        }
        if (auto *frame = qobject_cast<QGroupBox *>(control))
            QCOMPARE(frame->title(), text);
        if (auto *button = qobject_cast<QPushButton *>(control)) {
            QCOMPARE(button->text(), text);
            QVERIFY(button->fontMetrics().horizontalAdvance(text) < expected.width() - 8);
        }
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().weight(), QFont::Normal);
    }

    void timersAtCreation()
    {
        auto fresh = std::make_unique<frmMath>(services, cursors, forms);
        QCOMPARE(fresh->tmrTimer->interval(), 1000);
        QVERIFY(fresh->tmrTimer->isActive());
        QCOMPARE(fresh->tmrTimer->parent()->objectName(), QStringLiteral("fraTime"));
        QCOMPARE(fresh->tmrCursorSecurity->interval(), 1);
        QVERIFY(fresh->tmrCursorSecurity->isActive());
    }

    void fixedLabelsClipAndAutoLabelsGrow()
    {
        w->lblQuestionA->setText(QStringLiteral("123456789"));
        QCOMPARE(w->lblQuestionA->size(), twipsRect(0, 0, 885, 645).size());
        const int narrow = w->lblHours->width();
        w->tmrTimer->stop();
        for (const char *text : {"100", "12345"}) {
            w->lblHours->setText(QString());
            setLabelText(w->lblHours, QString::fromLatin1(text));
            QVERIFY(w->lblHours->width() > narrow);
            QCOMPARE(w->lblHours->pos(), twipsRect(240, 360, 0, 0).topLeft());
        }
    }

    void menus()
    {
        QMenuBar *bar = w->menuBar();
        QStringList titles;
        for (QAction *top : bar->actions())
            titles << top->objectName() + u'=' + top->text();
        QCOMPARE(titles, QStringList({"mnuFile=File", "mnuDifficulty=Difficulty", "mnuHelp=Help"}));

        auto items = [](QMenu *menu) {
            QStringList all;
            for (QAction *item : menu->actions()) {
                all << QStringLiteral("%1|%2|%3|%4|%5")
                                .arg(item->objectName(),
                                     item->isSeparator() ? QStringLiteral("-") : item->text(),
                                     item->shortcut().toString(QKeySequence::PortableText))
                                .arg(item->isChecked())
                                .arg(item->isEnabled() && item->isVisible());
            }
            return all;
        };
        QCOMPARE(items(w->mnuFile), QStringList({
                                            "mnuFileNewSession|New Session|Ctrl+N|0|1",
                                            "mnuFilePrint|Print|Ctrl+P|0|1",
                                            "mnuSeparator|-||0|1",
                                            "mnuFileExit|Exit|Ctrl+X|0|1",
                                    }));
        QCOMPARE(items(w->mnuDifficulty), QStringList({
                                                  "mnuDifficultyBeginner|Beginner(+,-)|Ctrl+B|1|1",
                                                  "mnuDifficultyIntermediate|Intermediate(+,-,x)|Ctrl+M|0|1",
                                                  "mnuDifficultyAdvanced|Advanced(+,-,x,/)|Ctrl+A|0|1",
                                          }));
        QCOMPARE(items(w->mnuHelp), QStringList({
                                            "mnuHelpAbout|About||0|1",
                                            "mnuHelpUsingThisProgram|Using this program||0|1",
                                    }));
    }

    void loadAsksNameAndGreetsBeforeTheWindowShows()
    {
        QList<bool> visibleAtBox;
        services.onBox = [&](const ScriptedServices::Box &) { visibleAtBox << w->isVisible(); };
        services.inputAnswers.enqueue(QStringLiteral("  "));
        queueBeginner(9, 4, 2);
        w->Show();

        QCOMPARE(services.randomizeCalls, 1);
        QCOMPARE(visibleAtBox, QList<bool>({false, false}));
        QCOMPARE(services.boxes.size(), 2);
        QCOMPARE(services.boxes[0].prompt, quiztexts::NamePrompt());
        QCOMPARE(services.boxes[0].title, quiztexts::NameTitle());
        QCOMPARE(services.boxes[0].defaultText, quiztexts::DefaultName());
        QCOMPARE(services.boxes[1].prompt, quiztexts::Greeting(QStringLiteral("  ")));
        QCOMPARE(services.boxes[1].title, QString());
        QVERIFY(w->isVisible());
        QCOMPARE(w->lblQuestionA->text(), QStringLiteral("9"));
        QCOMPARE(w->lblMathOperator->text(), QStringLiteral("-"));
        QCOMPARE(w->lblQuestionB->text(), QStringLiteral("4"));
        QCOMPARE(w->lblQuestionsToGoNumber->text(), QStringLiteral("19"));
        QCOMPARE(w->session().strUser, QStringLiteral("  "));
        QCOMPARE(w->focusWidget(), w->txtAnswer);

        // Loaded once: showing the window again asks nothing.
        w->Show();
        QCOMPARE(services.boxes.size(), 2);
    }

    void loadAndActivateInstallTheDefaultCursor()
    {
        cursors.existingFiles = {"Cursors\\Calc-Default.ani"};
        open();
        int loads = 0;
        for (const QString &call : std::as_const(cursors.calls))
            loads += call.startsWith(QStringLiteral("LoadCursorFromFile Cursors\\Calc-Default.ani"));
        // Once by the load step, once more as the window first became active.
        QCOMPARE(loads, 2);
        QCOMPARE(cursors.calls.at(0), QStringLiteral("GetCursor -> 7"));
    }

    void activationOnlyOnReturnFromTheProgramsOtherWindows()
    {
        open();
        auto loads = [&] {
            return static_cast<int>(
                    std::count_if(cursors.calls.cbegin(), cursors.calls.cend(), [](const QString &call) {
                        return call.startsWith(
                                QStringLiteral("LoadCursorFromFile Cursors\\Calc-Default.ani"));
                    }));
        };
        auto comeBackFrom = [&](QWidget &other) {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            other.close();
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w.get()));
        };
        const int before = loads();
        QDialog box(w.get());
        box.setModal(true);
        comeBackFrom(box);
        QCOMPARE(loads(), before);

        // Another program takes the focus, then gives it back.
        QWindowSystemInterface::handleWindowActivated<QWindowSystemInterface::SynchronousDelivery>(nullptr);
        QVERIFY(!QGuiApplication::focusWindow());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(loads(), before);

        auto *help = new frmHelp;
        comeBackFrom(*help);
        QCOMPARE(loads(), before + 1);
        auto *about = new frmAbout(services, {});
        comeBackFrom(*about);
        QCOMPARE(loads(), before + 2);
        // Any other window of the process is no window of the program.
        QWidget stray;
        comeBackFrom(stray);
        QCOMPARE(loads(), before + 2);
    }

    void aWrongAnswerStaysSelectedForTheNextTry()
    {
        open();
        type(QStringLiteral("999"));
        pressEnter(w->txtAnswer);
        QCOMPARE(w->txtAnswer->text(), QStringLiteral("999"));
        QCOMPARE(w->txtAnswer->selectedText(), QStringLiteral("999"));
        QTest::keyClick(w->txtAnswer, Qt::Key_7);
        QCOMPARE(w->txtAnswer->text(), QStringLiteral("7"));

        pressEnter(w->txtAnswer);
        QTest::keyClick(w->txtAnswer, Qt::Key_Right);
        QTest::keyClick(w->txtAnswer, Qt::Key_2);
        QCOMPARE(w->txtAnswer->text(), QStringLiteral("72"));

        // A right answer leaves an empty box for the next question.
        type(QString::number(expectedAnswer()));
        queueBeginner(3, 2, 1);
        pressEnter(w->txtAnswer);
        QCOMPARE(w->txtAnswer->text(), QString());
    }

    void guardTicksOnceWithTheDefaultCursor()
    {
        cursors.existingFiles = {"Cursors\\Calc-Default.ani"};
        cursors.calls.clear();
        w->tmrCursorSecurity_Timer();
        QVERIFY(!w->tmrCursorSecurity->isActive());
        QCOMPARE(cursors.calls.at(2), QStringLiteral("LoadCursorFromFile Cursors\\Calc-Default.ani -> 101"));
        QCOMPARE(w->animatedCursor().lngNewCursor(), 101);
    }

    void focusOrder()
    {
        open();
        QCOMPARE(QApplication::focusWidget(), w->txtAnswer);
        for (QWidget *next :
             {static_cast<QWidget *>(w->cmdSubmit), static_cast<QWidget *>(w->lblNextQuestion),
              static_cast<QWidget *>(w->txtAnswer)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        for (QWidget *label : w->findChildren<QLabel *>())
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }

    void enterPressesSubmitExceptOnNextQuestion()
    {
        open();
        services.boxes.clear();
        type(QStringLiteral("1"));
        pressEnter(w->txtAnswer);
        pressEnter(w->cmdSubmit);
        services.msgBoxAnswers.enqueue(RuntimeServices::Cancel);
        pressEnter(w->lblNextQuestion);
        QCOMPARE(services.prompts(), QStringList({wrongBox(3), wrongBox(2), quiztexts::SkipPrompt()}));
        QCOMPARE(services.boxes.last().title, quiztexts::ConfirmTitle());
        QCOMPARE(w->session().lngResponse, RuntimeServices::Cancel);
        // Esc is no button's key.
        QTest::keyClick(w->txtAnswer, Qt::Key_Escape);
        QCOMPARE(services.boxes.size(), 3);
    }

    void menuShortcutsWinInTheAnswerBox()
    {
        open();
        services.boxes.clear();
        type(QStringLiteral("12"));
        QSignalSpy exit(w->mnuFileExit, &QAction::triggered);
        QTest::keyClick(w->txtAnswer, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(exit.count(), 1);
        QCOMPARE(w->txtAnswer->text(), QStringLiteral("12")); // not cut

        services.msgBoxAnswers.enqueue(RuntimeServices::Cancel);
        QTest::keyClick(w->txtAnswer, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(services.prompts(), QStringList({quiztexts::DifficultyPrompt()}));
        QVERIFY(w->mnuDifficultyBeginner->isChecked());
        QVERIFY(!w->mnuDifficultyAdvanced->isChecked());
        QCOMPARE(w->txtAnswer->text(), QStringLiteral("12"));

        // The level already checked: no box, and the mark stays.
        QTest::keyClick(w->txtAnswer, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(services.boxes.size(), 1);
        QVERIFY(w->mnuDifficultyBeginner->isChecked());

        services.msgBoxAnswers.enqueue(RuntimeServices::Cancel);
        QTest::keyClick(w->txtAnswer, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(services.boxes.last().prompt, quiztexts::NewSessionPrompt());
        // Ordinary editing keys still reach the box.
        QTest::keyClick(w->txtAnswer, Qt::Key_Backspace);
        QCOMPARE(w->txtAnswer->text(), QStringLiteral("1"));
    }

    void difficultyItemsKeepTheMarkTheUserSaw()
    {
        open();
        services.boxes.clear();
        w->mnuDifficultyBeginner->trigger();
        QVERIFY(services.boxes.isEmpty());
        QVERIFY(w->mnuDifficultyBeginner->isChecked());

        services.msgBoxAnswers.enqueue(RuntimeServices::Cancel);
        w->mnuDifficultyIntermediate->trigger();
        QVERIFY(w->mnuDifficultyBeginner->isChecked());
        QVERIFY(!w->mnuDifficultyIntermediate->isChecked());

        services.queueDraw(20, 20);
        services.queueDraw(2, 20);
        services.queueDraw(3, 3);
        w->mnuDifficultyIntermediate->trigger();
        QVERIFY(!w->mnuDifficultyBeginner->isChecked());
        QVERIFY(w->mnuDifficultyIntermediate->isChecked());
        QVERIFY(!w->mnuDifficultyAdvanced->isChecked());
        QCOMPARE(w->lblMathOperator->text(), QStringLiteral("*"));
        QCOMPARE(w->lblQuestionsToGoNumber->text(), QStringLiteral("19"));
    }

    void clockOnTheWindow()
    {
        open();
        setLabelText(w->lblHours, QStringLiteral("99"));
        setLabelText(w->lblMinutes, QStringLiteral("59"));
        setLabelText(w->lblSeconds, QStringLiteral("59"));
        const int twoDigits = w->lblHours->width();
        w->tmrTimer_Timer();
        QCOMPARE(w->lblHours->text() + u':' + w->lblMinutes->text() + u':' + w->lblSeconds->text(),
                 QStringLiteral("100:00:00"));
        QVERIFY(w->lblHours->width() > twoDigits);

        services.msgBoxAnswers.enqueue(RuntimeServices::Ok);
        queueBeginner(5, 5, 2);
        w->mnuFileNewSession->trigger();
        QCOMPARE(w->lblHours->text() + w->lblMinutes->text() + w->lblSeconds->text(),
                 QStringLiteral("000000"));
        QCOMPARE(w->lblHours->width(), twoDigits);
    }

    void redrawLetsTicksThroughButNoUserInput()
    {
        open();
        services.boxes.clear();
        // A Beginner subtraction whose second operand needs two re-draws; while they run, a
        // key press and a timer are pending.
        services.queueDraw(3, 15);
        services.queueDraw(9, 15);
        services.queueDraw(2, 2);
        services.queueDraw(8, 15);
        services.queueDraw(2, 15);
        bool ticked = false;
        QTimer::singleShot(0, this, [&] { ticked = true; });
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                w->windowHandle(), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                w->windowHandle(), QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
        w->engine().MakeQuestion();
        QVERIFY(ticked);
        QVERIFY(services.boxes.isEmpty()); // the Enter waited
        QCOMPARE(w->lblQuestionB->text(), QStringLiteral("2"));
        QCoreApplication::processEvents();
        QCOMPARE(services.prompts(), QStringList({wrongBox(3)}));
    }

    void printAddsEmptyLinesAndNothingOfTheQuiz()
    {
        open();
        services.boxes.clear();
        w->mnuFilePrint->trigger();
        QTest::keyClick(w->txtAnswer, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(services.printed, QStringList({QString(), QString()}));
        QVERIFY(services.boxes.isEmpty());
    }

    void printWithoutAPrinterLeavesTheSessionAsItWas()
    {
        open();
        services.boxes.clear();
        type(QStringLiteral("3"));
        auto snapshot = [&] {
            const QuizSession &s = w->session();
            return QStringList{s.strUser,
                               QString::number(s.intA),
                               QString::number(s.intB),
                               s.strMathOperator,
                               QString::number(s.intTriesLeft),
                               QString::number(s.intQuestionCount),
                               QString::number(s.intCorrectCount),
                               w->lblScore->text(),
                               w->txtAnswer->text(),
                               w->lblQuestionsToGoNumber->text()};
        };
        const QStringList before = snapshot();
        services.printerAvailable = false;
        w->mnuFilePrint->trigger();
        QCOMPARE(services.prompts(), QStringList({frmMath::NoPrinterMessage}));
        QCOMPARE(services.boxes.last().title, QString());
        QCOMPARE(services.boxes.last().buttons, RuntimeServices::Buttons::Ok);
        QCOMPARE(snapshot(), before);
        QVERIFY(w->isVisible());
        QVERIFY(forms.calls.isEmpty());
    }

    void exitInstallsThePlainArrowAndEnds()
    {
        open();
        cursors.existingFiles = {"Cursors\\arrow_m.cur"};
        cursors.calls.clear();
        QTest::keyClick(w->txtAnswer, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(forms.calls, QStringList({"End"}));
        QVERIFY(cursors.calls.filter(QStringLiteral("LoadCursorFromFile"))
                        .constFirst()
                        .startsWith(QStringLiteral("LoadCursorFromFile Cursors\\arrow_m.cur -> ")));
        QCOMPARE(cursors.installed, w->animatedCursor().lngNewCursor());
    }

    void helpMenuOpensTheAuxiliaryWindows()
    {
        open();
        w->mnuHelpAbout->trigger();
        w->mnuHelpUsingThisProgram->trigger();
        QCOMPARE(forms.calls, QStringList({"showAbout", "showHelp"}));
    }

    // A whole session through the window: typed answers, wrong attempts, a fourth-attempt
    // success, given-up questions and skips, the verdict and the next session.
    void wholeSession()
    {
        services.inputAnswers.enqueue(QStringLiteral("Grace <b>"));
        queueBeginner(10, 1, 1);
        w->Show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));

        QStringList expected = {quiztexts::NamePrompt(), quiztexts::Greeting(QStringLiteral("Grace <b>"))};
        auto nextQuestion = [&](int k) { queueBeginner(10 + k % 5, 1 + k % 9, 1 + k % 2); };
        auto answerRight = [&](int k) {
            const int answer = expectedAnswer();
            nextQuestion(k + 1);
            type(QString::number(answer) + QStringLiteral(" points"));
            pressEnter(w->txtAnswer);
            expected << quiztexts::Correct();
        };
        auto answerWrong = [&](int triesLeft) {
            type(QString::number(expectedAnswer() + 1));
            QTest::mouseClick(w->cmdSubmit, Qt::LeftButton);
            expected << wrongBox(triesLeft);
        };
        auto skip = [&](int k, bool confirm) {
            if (confirm)
                nextQuestion(k + 1);
            services.msgBoxAnswers.enqueue(confirm ? RuntimeServices::Ok : RuntimeServices::Cancel);
            QTest::mouseClick(w->lblNextQuestion, Qt::LeftButton);
            expected << quiztexts::SkipPrompt();
        };

        // 1: right away. 2: third attempt. 3: fourth attempt.
        answerRight(1);
        QCOMPARE(w->lblScore->text(), QStringLiteral("100%"));
        answerWrong(3);
        answerWrong(2);
        answerRight(2);
        answerWrong(3);
        answerWrong(2);
        answerWrong(1);
        QCOMPARE(w->lblAnswer->text(), QStringLiteral("?"));
        answerRight(3);
        QCOMPARE(w->lblScore->text(), QStringLiteral("100%"));
        // 4: given up after four wrong attempts.
        nextQuestion(5);
        for (int tries = 3; tries >= 0; --tries)
            answerWrong(tries);
        QCOMPARE(w->lblScore->text(), QStringLiteral("75%"));
        QCOMPARE(w->session().intTriesLeft, qint16(3));
        // 5: a skip cancelled, then confirmed.
        const QString typed = QStringLiteral("7");
        type(typed);
        skip(5, false);
        QCOMPARE(w->txtAnswer->text(), typed);
        QCOMPARE(w->lblQuestionsToGoNumber->text(), QStringLiteral("15"));
        skip(5, true);
        QCOMPARE(w->lblScore->text(), QStringLiteral("60%"));
        // 6 to 13: right.
        for (int k = 6; k <= 13; ++k)
            answerRight(k);
        QCOMPARE(w->session().intCorrectCount, qint16(11));
        // 14 to 19: skipped; 20: given up.
        for (int k = 14; k <= 19; ++k)
            skip(k, true);
        QCOMPARE(w->lblQuestionsToGoNumber->text(), QStringLiteral("0"));
        services.queueDraw(5, 20);
        services.queueDraw(17, 20);
        services.queueDraw(2, 3);
        for (int tries = 3; tries >= 0; --tries)
            answerWrong(tries);
        expected << quiztexts::Pass(QStringLiteral("55"));

        QCOMPARE(services.prompts(), expected);
        for (const ScriptedServices::Box &box : std::as_const(services.boxes)) {
            if (box.prompt != quiztexts::SkipPrompt() && box.prompt != quiztexts::NamePrompt()) {
                QCOMPARE(box.title, QString());
                QCOMPARE(box.buttons, RuntimeServices::Buttons::Ok);
            }
        }
        QVERIFY(!services.drawsExhausted);
        // Promoted, and question 1 of the next session is on screen.
        QVERIFY(!w->mnuDifficultyBeginner->isChecked());
        QVERIFY(w->mnuDifficultyIntermediate->isChecked());
        QVERIFY(!w->mnuDifficultyAdvanced->isChecked());
        QCOMPARE(w->lblQuestionA->text() + w->lblMathOperator->text() + w->lblQuestionB->text(),
                 QStringLiteral("5-17"));
        QCOMPARE(w->lblQuestionsToGoNumber->text(), QStringLiteral("19"));
        QCOMPARE(w->lblScore->text(), QString());
        QCOMPARE(w->lblSeconds->text(), QStringLiteral("00"));
        QCOMPARE(w->txtAnswer->text(), QString());
        QCOMPARE(w->session().strUser, QStringLiteral("Grace <b>"));

        // A negative answer is typed with its sign.
        services.queueDraw(1, 20);
        services.queueDraw(1, 20);
        services.queueDraw(1, 3);
        type(QStringLiteral("-12"));
        pressEnter(w->txtAnswer);
        QCOMPARE(services.boxes.last().prompt, quiztexts::Correct());
        QCOMPARE(w->lblScore->text(), QStringLiteral("100%"));
    }
};

QTEST_MAIN(TestFrmMath)
#include "tst_frmmath.moc"
