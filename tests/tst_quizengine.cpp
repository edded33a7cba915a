#include "quiz/quizengine.h"
#include "tests/fakequizview.h"
#include "tests/scriptedservices.h"

#include <QTest>

#include <cmath>

using Box = ScriptedServices::Box;
using Buttons = RuntimeServices::Buttons;
using Caption = QuizView::Caption;
using Level = QuizView::Level;

namespace {

enum class Command { NewSession, Beginner, Intermediate, Advanced };

// The largest draw the random source can give.
const double JustBelowOne = std::nextafter(1.0, 0.0);

double r(int k, int n)
{
    return ScriptedServices::drawing(k, n);
}

QString levelName(Level level)
{
    switch (level) {
    case Level::Beginner: return QStringLiteral("Beginner");
    case Level::Intermediate: return QStringLiteral("Intermediate");
    case Level::Advanced: return QStringLiteral("Advanced");
    }
    return {};
}

const QString ConfirmTitle = QStringLiteral("Are you sure?");
const QString NewSessionPrompt =
        QStringLiteral("Are you sure you want to start a new session? All your current data will be lost.");
const QString DifficultyPrompt =
        QStringLiteral("Are you sure you want to change difficulties? This will end you session and start a "
                       "new one.");
const QString SkipPrompt =
        QStringLiteral("Are you sure you want to move on to the next question without answering? This will "
                       "count as a wrong answer.");

bool isVerdict(const QString &prompt)
{
    return prompt.startsWith(QLatin1String("You have passed"))
           || prompt.startsWith(QLatin1String("You have failed"));
}

QString wrongBox(int triesLeft)
{
    return QStringLiteral("Sorry, you have answered the question improperly. Try again, you "
                          "have %1 tries left.")
            .arg(triesLeft);
}

// The main window's quiz: the engine wired to an in-memory window and scripted services.
struct Quiz
{
    QuizSession session;
    FakeQuizView view;
    ScriptedServices services;
    QuizEngine engine{session, view, services};

    explicit Quiz(Level level = Level::Beginner)
    {
        setLevel(level);
        session.strUser = QStringLiteral("Ada");
    }

    void setLevel(Level level)
    {
        for (const Level each : {Level::Beginner, Level::Intermediate, Level::Advanced})
            view.checked[each] = each == level;
    }

    QStringList marks() const
    {
        QStringList names;
        for (const Level each : {Level::Beginner, Level::Intermediate, Level::Advanced}) {
            if (view.checked.value(each))
                names << levelName(each);
        }
        return names;
    }

    // Queues the draws that make the engine issue "a op b" at the given level.
    void queue(Level level, int a, QChar op, int b)
    {
        const int code = int(QStringLiteral("+-*/").indexOf(op)) + 1;
        if (level == Level::Beginner) {
            services.draws << r(a, 15) << r(b, 15) << r(code, 2);
        } else if (level == Level::Intermediate) {
            services.draws << r(a, 20) << r(b, 20) << r(code, 3);
        } else {
            services.draws << r(code, 4);
            if (code == 4)
                services.draws << r(b, 20) << r(a / b, 20);
            else
                services.draws << r(a, 20) << r(b, 20);
        }
    }
    // Issues "a op b" at the checked level.
    void ask(int a, QChar op, int b)
    {
        const Level level = view.checked.value(Level::Beginner)       ? Level::Beginner
                            : view.checked.value(Level::Intermediate) ? Level::Intermediate
                                                                      : Level::Advanced;
        queue(level, a, op, b);
        engine.MakeQuestion();
    }
    // Draws of 0 give "1 + 1" at every level.
    void queueOnePlusOne() { services.draws << 0.0 << 0.0 << 0.0; }

    void answer(const QString &text)
    {
        view.answer = text;
        engine.SubmitAnswer();
    }
    void run(Command command)
    {
        switch (command) {
        case Command::NewSession: engine.NewSession(); break;
        case Command::Beginner: engine.ChooseLevel(Level::Beginner); break;
        case Command::Intermediate: engine.ChooseLevel(Level::Intermediate); break;
        case Command::Advanced: engine.ChooseLevel(Level::Advanced); break;
        }
    }

    QString caption(Caption which) const { return view.caption(which); }
    QString question() const
    {
        return caption(Caption::QuestionA) + u' ' + caption(Caption::MathOperator) + u' '
               + caption(Caption::QuestionB);
    }
    bool drewExactlyWhatWasQueued() const { return services.draws.isEmpty() && !services.drawsExhausted; }

    // Everything a command could change, apart from lngResponse.
    QString snapshot() const
    {
        const QuizSession &s = session;
        QStringList all{s.strUser, s.strMathOperator, view.answer, marks().join(u',')};
        for (const int n : {s.intA, s.intB, s.intC, s.intTriesLeft, s.intScorePercent, s.intQuestionCount,
                            s.intCorrectCount})
            all << QString::number(n);
        for (auto it = view.captions.cbegin(); it != view.captions.cend(); ++it)
            all << it.value();
        return all.join(u'|');
    }
};

// Round 100c/q to an integer, an exact half to the even neighbour, in integers only.
int percentRoundedOnce(int c, int q)
{
    const int whole = 100 * c / q;
    const int twiceRest = 2 * (100 * c % q);
    return whole + (twiceRest > q || (twiceRest == q && whole % 2 == 1) ? 1 : 0);
}

// Round 100c/q to tenths (half up), then those tenths to an integer (half to even).
int percentRoundedTwice(int c, int q)
{
    const int tenths = (2000 * c + q) / (2 * q);
    const int whole = tenths / 10;
    const int digit = tenths % 10;
    return whole + (digit > 5 || (digit == 5 && whole % 2 == 1) ? 1 : 0);
}

}

Q_DECLARE_METATYPE(QuizView::Level)
Q_DECLARE_METATYPE(Command)

class TestQuizEngine : public QObject
{
    Q_OBJECT

private slots:
    void issuesQuestionOfLevel_data();
    void issuesQuestionOfLevel();
    void beginnerSubtractionNeverGoesNegative_data();
    void beginnerSubtractionNeverGoesNegative();
    void endOfSession_data();
    void endOfSession();
    void scoreForEveryCount();
    void roundingsThatDiffer_data();
    void roundingsThatDiffer();
    void submitting_data();
    void submitting();
    void fourWrongAttemptsGiveUp();
    void correctAtFourthAttemptCounts();
    void skipConfirmed();
    void skipCancelled();
    void confirmedReset_data();
    void confirmedReset();
    void cancelledReset_data();
    void cancelledReset();
    void choosingCheckedLevelDoesNothing_data();
    void choosingCheckedLevelDoesNothing();
    void resetOnTwentiethQuestionGivesNoVerdict_data();
    void resetOnTwentiethQuestionGivesNoVerdict();
    void clockTick_data();
    void clockTick();
    void begin_data();
    void begin();
};

void TestQuizEngine::issuesQuestionOfLevel_data()
{
    QTest::addColumn<Level>("level");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("expectedC");

    const double top = JustBelowOne;
    QTest::newRow("beginner, lowest draws") << Level::Beginner << QList{0.0, 0.0, 0.0} << "1 + 1"
                                            << "1" << 0;
    QTest::newRow("beginner, highest operands") << Level::Beginner << QList{top, top, 0.0} << "15 + 15"
                                                << "1" << 0;
    QTest::newRow("beginner, highest draws") << Level::Beginner << QList{top, top, top} << "15 - 15"
                                             << "2" << 0;
    QTest::newRow("beginner, a then b then operator")
            << Level::Beginner << QList{r(9, 15), r(4, 15), r(2, 2)} << "9 - 4"
            << "2" << 0;
    QTest::newRow("intermediate, lowest draws") << Level::Intermediate << QList{0.0, 0.0, 0.0} << "1 + 1"
                                                << "1" << 0;
    QTest::newRow("intermediate, highest draws") << Level::Intermediate << QList{top, top, top} << "20 * 20"
                                                 << "3" << 0;
    QTest::newRow("intermediate subtraction goes negative")
            << Level::Intermediate << QList{r(3, 20), r(17, 20), r(2, 3)} << "3 - 17"
            << "2" << 0;
    QTest::newRow("advanced, lowest draws") << Level::Advanced << QList{0.0, 0.0, 0.0} << "1 + 1"
                                            << "1" << 0;
    QTest::newRow("advanced division 400 / 20") << Level::Advanced << QList{r(4, 4), top, top} << "400 / 20"
                                                << "4" << 20;
    QTest::newRow("advanced, highest operands") << Level::Advanced << QList{r(3, 4), top, top} << "20 * 20"
                                                << "3" << 0;
    QTest::newRow("advanced, highest draws") << Level::Advanced << QList{top, top, top} << "400 / 20"
                                             << "4" << 20;
    QTest::newRow("advanced, operator drawn first")
            << Level::Advanced << QList{r(3, 4), r(6, 20), r(7, 20)} << "6 * 7"
            << "3" << 0;
    QTest::newRow("advanced subtraction goes negative")
            << Level::Advanced << QList{r(2, 4), r(3, 20), r(17, 20)} << "3 - 17"
            << "2" << 0;
    QTest::newRow("advanced division 7 / 7")
            << Level::Advanced << QList{r(4, 4), r(7, 20), r(1, 20)} << "7 / 7"
            << "4" << 1;
    QTest::newRow("advanced division, divisor before quotient")
            << Level::Advanced << QList{r(4, 4), r(2, 20), r(7, 20)} << "14 / 2"
            << "4" << 7;
    QTest::newRow("advanced division, lowest operands")
            << Level::Advanced << QList{r(4, 4), 0.0, 0.0} << "1 / 1"
            << "4" << 1;
}

void TestQuizEngine::issuesQuestionOfLevel()
{
    QFETCH(Level, level);
    QFETCH(QList<double>, draws);
    QFETCH(QString, question);
    QFETCH(QString, code);
    QFETCH(int, expectedC);

    Quiz q(level);
    // Leftovers of a fourth question given up with an answer typed.
    q.session.intQuestionCount = 4;
    q.session.intTriesLeft = -1;
    q.session.intC = 99;
    q.view.answer = QStringLiteral("123");
    q.view.captions[Caption::Answer] = QStringLiteral("8");
    q.services.draws << draws;

    q.engine.MakeQuestion();

    // The highest rows use the largest double below 1, for which r * N + 1 rounds up to
    // N + 1 when N is 2 or 4.
    QCOMPARE(q.question(), question);
    QCOMPARE(q.session.strMathOperator, code);
    QCOMPARE(q.caption(Caption::QuestionA), QString::number(q.session.intA));
    QCOMPARE(q.caption(Caption::QuestionB), QString::number(q.session.intB));
    QCOMPARE(q.session.intC, expectedC);
    QCOMPARE(q.session.intTriesLeft, 3);
    QCOMPARE(q.session.intQuestionCount, 5);
    QCOMPARE(q.caption(Caption::QuestionsToGoNumber), QStringLiteral("15"));
    QCOMPARE(q.caption(Caption::Answer), QStringLiteral("?"));
    QCOMPARE(q.view.answer, QString());
    QCOMPARE(q.view.pendingEventRuns, 0);
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::beginnerSubtractionNeverGoesNegative_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<QChar>("op");
    QTest::addColumn<QList<int>>("drawnB");
    QTest::addColumn<QString>("question");

    QTest::newRow("smaller b stands") << 9 << QChar(u'-') << QList{3} << "9 - 3";
    QTest::newRow("equal b stands") << 9 << QChar(u'-') << QList{9} << "9 - 9";
    QTest::newRow("one re-draw to 9 - 9") << 9 << QChar(u'-') << QList{15, 9} << "9 - 9";
    QTest::newRow("three re-draws") << 5 << QChar(u'-') << QList{12, 14, 6, 1} << "5 - 1";
    QTest::newRow("addition is not re-drawn") << 3 << QChar(u'+') << QList{12} << "3 + 12";
}

void TestQuizEngine::beginnerSubtractionNeverGoesNegative()
{
    QFETCH(int, a);
    QFETCH(QChar, op);
    QFETCH(QList<int>, drawnB);
    QFETCH(QString, question);

    Quiz q;
    q.queue(Level::Beginner, a, op, drawnB.first());
    for (qsizetype i = 1; i < drawnB.size(); ++i)
        q.services.draws << r(drawnB.at(i), 15);

    q.engine.MakeQuestion();

    QCOMPARE(q.question(), question);
    QCOMPARE(q.session.intB, drawnB.last());
    // Ticks and painting go on while the loop runs: once per re-draw.
    QCOMPARE(q.view.pendingEventRuns, int(drawnB.size()) - 1);
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::endOfSession_data()
{
    QTest::addColumn<Level>("level");
    QTest::addColumn<int>("correct");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("nextLevel");

    const QString pass55 = QStringLiteral("You have passed this difficulty with 55%! Congradulations!");
    const QString fail50 = QStringLiteral(
            "You have failed this difficulty with 50%. Sorry, Ada Lovelace. Better luck next time.");
    QTest::newRow("beginner pass moves up") << Level::Beginner << 11 << pass55 << "Intermediate";
    QTest::newRow("intermediate pass moves up") << Level::Intermediate << 11 << pass55 << "Advanced";
    QTest::newRow("advanced pass stays") << Level::Advanced << 11 << pass55 << "Advanced";
    QTest::newRow("advanced perfect session")
            << Level::Advanced << 20 << "You have passed this difficulty with 100%! Congradulations!"
            << "Advanced";
    QTest::newRow("beginner fail stays") << Level::Beginner << 10 << fail50 << "Beginner";
    QTest::newRow("intermediate fail stays") << Level::Intermediate << 10 << fail50 << "Intermediate";
    QTest::newRow("advanced fail with none right")
            << Level::Advanced << 0
            << "You have failed this difficulty with 0%. Sorry, Ada Lovelace. Better luck next time."
            << "Advanced";
}

void TestQuizEngine::endOfSession()
{
    QFETCH(Level, level);
    QFETCH(int, correct);
    QFETCH(QString, verdict);
    QFETCH(QString, nextLevel);

    Quiz q(level);
    q.session.strUser = QStringLiteral("Ada Lovelace");
    int countAtVerdict = -1;
    QStringList marksAtVerdict;
    q.services.onBox = [&](const Box &box) {
        if (isVerdict(box.prompt)) {
            countAtVerdict = q.session.intQuestionCount;
            marksAtVerdict = q.marks();
        }
    };

    q.queueOnePlusOne();
    q.engine.MakeQuestion();
    for (int n = 1; n <= 20; ++n) {
        q.queueOnePlusOne();
        if (n == 20)
            q.view.setClock(QStringLiteral("01"), QStringLiteral("12"), QStringLiteral("34"));
        if (n <= correct)
            q.answer(QStringLiteral("2"));
        else
            q.engine.SkipQuestion();
    }

    const Box &box = q.services.boxes.last();
    QCOMPARE(box.prompt, verdict);
    QCOMPARE(box.title, QString());
    QVERIFY(box.buttons == Buttons::Ok);
    // The verdict comes before anything of the next session.
    QCOMPARE(countAtVerdict, 20);
    QCOMPARE(marksAtVerdict, QStringList{levelName(level)});
    QCOMPARE(q.marks(), QStringList{nextLevel});
    QCOMPARE(q.session.intQuestionCount, 1);
    QCOMPARE(q.session.intCorrectCount, 0);
    QCOMPARE(q.session.intScorePercent, 0);
    QCOMPARE(q.session.intTriesLeft, 3);
    QCOMPARE(q.caption(Caption::Score), QString());
    QCOMPARE(q.view.clock(), QStringLiteral("00:00:00"));
    QCOMPARE(q.caption(Caption::QuestionsToGoNumber), QStringLiteral("19"));
    QCOMPARE(q.question(), QStringLiteral("1 + 1"));
    QCOMPARE(q.session.strUser, QStringLiteral("Ada Lovelace"));
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::scoreForEveryCount()
{
    for (qint16 issued = 1; issued <= 20; ++issued) {
        for (qint16 correct = 0; correct <= issued; ++correct) {
            const QByteArray pair = QByteArray::number(correct) + " of " + QByteArray::number(issued);
            if (correct >= 1) { // Score counts the answer it was called for
                Quiz answered;
                answered.session.intQuestionCount = issued;
                answered.session.intCorrectCount = qint16(correct - 1);
                answered.engine.Score();
                const int expected = percentRoundedOnce(correct, issued);
                QVERIFY2(answered.session.intCorrectCount == correct, pair);
                QVERIFY2(answered.session.intScorePercent == expected, pair);
                QVERIFY2(answered.caption(Caption::Score) == QString::number(expected) + u'%', pair);
            }
            Quiz givenUp;
            givenUp.session.intQuestionCount = issued;
            givenUp.session.intCorrectCount = correct;
            givenUp.engine.WrongScore();
            const int expected = percentRoundedTwice(correct, issued);
            QVERIFY2(givenUp.session.intCorrectCount == correct, pair);
            QVERIFY2(givenUp.session.intScorePercent == expected, pair);
            QVERIFY2(givenUp.caption(Caption::Score) == QString::number(expected) + u'%', pair);
        }
    }
}

void TestQuizEngine::roundingsThatDiffer_data()
{
    QTest::addColumn<qint16>("correct");
    QTest::addColumn<qint16>("issued");
    QTest::addColumn<QString>("byScore");
    QTest::addColumn<QString>("byWrongScore");

    QTest::newRow("5 of 11") << qint16(5) << qint16(11) << "45%"
                             << "46%";
    QTest::newRow("6 of 11") << qint16(6) << qint16(11) << "55%"
                             << "54%";
    QTest::newRow("2 of 19") << qint16(2) << qint16(19) << "11%"
                             << "10%";
    QTest::newRow("17 of 19") << qint16(17) << qint16(19) << "89%"
                              << "90%";
    QTest::newRow("1 of 8, half to even") << qint16(1) << qint16(8) << "12%"
                                          << "12%";
    QTest::newRow("3 of 8, half to even") << qint16(3) << qint16(8) << "38%"
                                          << "38%";
    QTest::newRow("5 of 8, half to even") << qint16(5) << qint16(8) << "62%"
                                          << "62%";
    QTest::newRow("7 of 8, half to even") << qint16(7) << qint16(8) << "88%"
                                          << "88%";
}

void TestQuizEngine::roundingsThatDiffer()
{
    QFETCH(qint16, correct);
    QFETCH(qint16, issued);
    QFETCH(QString, byScore);
    QFETCH(QString, byWrongScore);

    Quiz answered;
    answered.session.intQuestionCount = issued;
    answered.session.intCorrectCount = qint16(correct - 1);
    answered.engine.Score();
    QCOMPARE(answered.caption(Caption::Score), byScore);

    Quiz givenUp;
    givenUp.session.intQuestionCount = issued;
    givenUp.session.intCorrectCount = correct;
    givenUp.engine.WrongScore();
    QCOMPARE(givenUp.caption(Caption::Score), byWrongScore);
}

void TestQuizEngine::submitting_data()
{
    QTest::addColumn<Level>("level");
    QTest::addColumn<int>("a");
    QTest::addColumn<QChar>("op");
    QTest::addColumn<int>("b");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // lblAnswer once answered; empty when wrong

    const auto I = Level::Intermediate;
    const auto A = Level::Advanced;
    QTest::newRow("letters after 12") << I << 7 << QChar(u'+') << 5 << "12abc"
                                      << "12";
    QTest::newRow("12.0") << I << 7 << QChar(u'+') << 5 << "12.0"
                          << "12";
    QTest::newRow("1 blank 2") << I << 7 << QChar(u'+') << 5 << "1 2"
                               << "12";
    QTest::newRow("12.5 is wrong") << I << 7 << QChar(u'+') << 5 << "12.5"
                                   << "";
    QTest::newRow("empty box for 9 - 9") << Level::Beginner << 9 << QChar(u'-') << 9 << ""
                                         << "0";
    QTest::newRow("minus sign for 3 - 17") << I << 3 << QChar(u'-') << 17 << "-14"
                                           << "-14";
    QTest::newRow("no minus sign for 3 - 17") << I << 3 << QChar(u'-') << 17 << "14"
                                              << "";
    QTest::newRow("product") << I << 4 << QChar(u'*') << 5 << "20"
                             << "20";
    QTest::newRow("wrong product keeps ?") << I << 4 << QChar(u'*') << 5 << "9"
                                           << "";
    QTest::newRow("advanced 3 - 17") << A << 3 << QChar(u'-') << 17 << "-14"
                                     << "-14";
    QTest::newRow("quotient of 400 / 20") << A << 400 << QChar(u'/') << 20 << "20"
                                          << "20";
    QTest::newRow("dividend is wrong") << A << 400 << QChar(u'/') << 20 << "400"
                                       << "";
    QTest::newRow("quotient of 7 / 7") << A << 7 << QChar(u'/') << 7 << "1"
                                       << "1";
    QTest::newRow("beyond a double is just wrong") << A << 20 << QChar(u'*') << 20 << "1e400"
                                                   << "";
}

void TestQuizEngine::submitting()
{
    QFETCH(Level, level);
    QFETCH(int, a);
    QFETCH(QChar, op);
    QFETCH(int, b);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    const bool correct = !shown.isEmpty();

    Quiz q(level);
    q.ask(a, op, b);
    const QString question = q.question();
    if (correct)
        q.queueOnePlusOne();
    QString answerAtBox;
    QString scoreAtBox;
    q.services.onBox = [&](const Box &) {
        answerAtBox = q.caption(Caption::Answer);
        scoreAtBox = q.caption(Caption::Score);
    };

    q.answer(typed);

    QCOMPARE(q.services.boxes.size(), 1);
    const Box &box = q.services.boxes.first();
    QCOMPARE(box.title, QString());
    QVERIFY(box.buttons == Buttons::Ok);
    if (correct) {
        QCOMPARE(box.prompt, QStringLiteral("You have sloved the problem correctly!"));
        // The question stands with its answer, already scored, while the box is up.
        QCOMPARE(answerAtBox, shown);
        QCOMPARE(scoreAtBox, QStringLiteral("100%"));
        QCOMPARE(q.session.intCorrectCount, 1);
        QCOMPARE(q.session.intQuestionCount, 2);
        QCOMPARE(q.session.intTriesLeft, 3);
        QCOMPARE(q.question(), QStringLiteral("1 + 1"));
        QCOMPARE(q.caption(Caption::Answer), QStringLiteral("?"));
        QCOMPARE(q.view.answer, QString());
    } else {
        QCOMPARE(box.prompt, wrongBox(3));
        QCOMPARE(answerAtBox, QStringLiteral("?"));
        QCOMPARE(q.caption(Caption::Answer), QStringLiteral("?"));
        QCOMPARE(q.view.answer, typed);
        QCOMPARE(q.session.intTriesLeft, 2);
        QCOMPARE(q.session.intCorrectCount, 0);
        QCOMPARE(q.session.intQuestionCount, 1);
        QCOMPARE(q.caption(Caption::Score), QString());
        QCOMPARE(q.question(), question);
    }
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::fourWrongAttemptsGiveUp()
{
    Quiz q;
    q.ask(7, u'+', 5);

    for (int triesLeft = 3; triesLeft >= 1; --triesLeft) {
        q.answer(QStringLiteral("13"));
        QCOMPARE(q.services.boxes.last().prompt, wrongBox(triesLeft));
        QCOMPARE(q.session.intTriesLeft, triesLeft - 1);
        QCOMPARE(q.question(), QStringLiteral("7 + 5"));
        QCOMPARE(q.caption(Caption::Score), QString()); // tries left: not scored yet
    }
    q.queueOnePlusOne();
    q.answer(QStringLiteral("13"));

    QCOMPARE(q.services.boxes.size(), 4);
    QCOMPARE(q.services.boxes.last().prompt, wrongBox(0));
    QCOMPARE(q.caption(Caption::Score), QStringLiteral("0%"));
    QCOMPARE(q.session.intCorrectCount, 0);
    QCOMPARE(q.session.intQuestionCount, 2);
    QCOMPARE(q.session.intTriesLeft, 3);
    QCOMPARE(q.question(), QStringLiteral("1 + 1"));
    QCOMPARE(q.caption(Caption::Answer), QStringLiteral("?"));
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::correctAtFourthAttemptCounts()
{
    Quiz q;
    q.ask(7, u'+', 5);
    for (int attempt = 1; attempt <= 3; ++attempt)
        q.answer(QStringLiteral("13"));
    q.queueOnePlusOne();
    q.answer(QStringLiteral("12"));

    QCOMPARE(q.services.prompts(), (QStringList{wrongBox(3), wrongBox(2), wrongBox(1),
                                                QStringLiteral("You have sloved the problem correctly!")}));
    QCOMPARE(q.session.intCorrectCount, 1);
    QCOMPARE(q.caption(Caption::Score), QStringLiteral("100%"));
    QCOMPARE(q.session.intTriesLeft, 3);
    QCOMPARE(q.question(), QStringLiteral("1 + 1"));
}

void TestQuizEngine::skipConfirmed()
{
    Quiz q;
    q.ask(7, u'+', 5);
    q.queue(Level::Beginner, 8, u'-', 2);
    q.answer(QStringLiteral("12"));
    q.answer(QStringLiteral("5"));
    q.queueOnePlusOne();

    q.engine.SkipQuestion();

    const Box &box = q.services.boxes.last();
    QCOMPARE(box.prompt, SkipPrompt);
    QCOMPARE(box.title, ConfirmTitle);
    QVERIFY(box.buttons == Buttons::OkCancel);
    QCOMPARE(q.session.lngResponse, 1);
    QCOMPARE(q.caption(Caption::Score), QStringLiteral("50%"));
    QCOMPARE(q.session.intCorrectCount, 1);
    QCOMPARE(q.session.intQuestionCount, 3);
    QCOMPARE(q.session.intTriesLeft, 3);
    QCOMPARE(q.question(), QStringLiteral("1 + 1"));
    QCOMPARE(q.view.answer, QString());
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::skipCancelled()
{
    Quiz q;
    q.ask(7, u'+', 5);
    q.queue(Level::Beginner, 8, u'-', 2);
    q.answer(QStringLiteral("12"));
    q.answer(QStringLiteral("5"));
    q.view.answer = QStringLiteral("6 or so");
    q.session.lngResponse = 1;
    const QString before = q.snapshot();

    q.services.msgBoxAnswers << RuntimeServices::Cancel;
    q.engine.SkipQuestion();

    QCOMPARE(q.services.boxes.last().prompt, SkipPrompt);
    QCOMPARE(q.session.lngResponse, 2);
    QCOMPARE(q.snapshot(), before);
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::confirmedReset_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<Level>("from");
    QTest::addColumn<Level>("to");
    QTest::addColumn<QString>("prompt");

    QTest::newRow("new session at beginner")
            << Command::NewSession << Level::Beginner << Level::Beginner << NewSessionPrompt;
    QTest::newRow("new session at advanced")
            << Command::NewSession << Level::Advanced << Level::Advanced << NewSessionPrompt;
    QTest::newRow("beginner to intermediate")
            << Command::Intermediate << Level::Beginner << Level::Intermediate << DifficultyPrompt;
    QTest::newRow("beginner to advanced")
            << Command::Advanced << Level::Beginner << Level::Advanced << DifficultyPrompt;
    QTest::newRow("intermediate to beginner")
            << Command::Beginner << Level::Intermediate << Level::Beginner << DifficultyPrompt;
    QTest::newRow("advanced to intermediate")
            << Command::Intermediate << Level::Advanced << Level::Intermediate << DifficultyPrompt;
}

void TestQuizEngine::confirmedReset()
{
    QFETCH(Command, command);
    QFETCH(Level, from);
    QFETCH(Level, to);
    QFETCH(QString, prompt);

    // A session under way: first question skipped, second tried once, clock running.
    Quiz q(from);
    q.ask(3, u'+', 4);
    q.queue(from, 5, u'+', 6);
    q.engine.SkipQuestion();
    q.answer(QStringLiteral("10"));
    q.view.answer = QStringLiteral("9");
    q.view.setClock(QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"));
    const int boxesBefore = int(q.services.boxes.size());

    q.queue(to, 8, u'-', 3);
    q.run(command);

    QCOMPARE(q.services.boxes.size(), boxesBefore + 1);
    const Box &box = q.services.boxes.last();
    QCOMPARE(box.prompt, prompt);
    QCOMPARE(box.title, ConfirmTitle);
    QVERIFY(box.buttons == Buttons::OkCancel);
    QCOMPARE(q.session.lngResponse, 1);
    QCOMPARE(q.marks(), QStringList{levelName(to)});
    QCOMPARE(q.question(), QStringLiteral("8 - 3")); // drawn at the new level
    QCOMPARE(q.view.clock(), QStringLiteral("00:00:00"));
    QCOMPARE(q.caption(Caption::Score), QString());
    QCOMPARE(q.session.intScorePercent, 0);
    QCOMPARE(q.session.intQuestionCount, 1);
    QCOMPARE(q.session.intCorrectCount, 0);
    QCOMPARE(q.session.intTriesLeft, 3);
    QCOMPARE(q.caption(Caption::QuestionsToGoNumber), QStringLiteral("19"));
    QCOMPARE(q.caption(Caption::Answer), QStringLiteral("?"));
    QCOMPARE(q.view.answer, QString());
    QCOMPARE(q.session.strUser, QStringLiteral("Ada"));
    QVERIFY(q.drewExactlyWhatWasQueued());

    // Nothing of the old session weighs on the new one.
    q.queueOnePlusOne();
    q.answer(QStringLiteral("5"));
    QCOMPARE(q.caption(Caption::Score), QStringLiteral("100%"));
}

void TestQuizEngine::cancelledReset_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<Level>("from");

    QTest::newRow("new session") << Command::NewSession << Level::Beginner;
    QTest::newRow("to intermediate") << Command::Intermediate << Level::Beginner;
    QTest::newRow("to advanced") << Command::Advanced << Level::Intermediate;
    QTest::newRow("to beginner") << Command::Beginner << Level::Advanced;
}

void TestQuizEngine::cancelledReset()
{
    QFETCH(Command, command);
    QFETCH(Level, from);

    Quiz q(from);
    q.ask(3, u'+', 4);
    q.queue(from, 5, u'+', 6);
    q.answer(QStringLiteral("7"));
    q.answer(QStringLiteral("10"));
    q.view.answer = QStringLiteral("9");
    q.view.setClock(QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"));
    q.session.lngResponse = 1;
    const QString before = q.snapshot();

    q.services.msgBoxAnswers << RuntimeServices::Cancel;
    q.run(command);

    QCOMPARE(q.services.boxes.last().title, ConfirmTitle);
    QCOMPARE(q.session.lngResponse, 2);
    QCOMPARE(q.snapshot(), before);
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::choosingCheckedLevelDoesNothing_data()
{
    QTest::addColumn<Level>("level");
    QTest::addColumn<Command>("command");

    QTest::newRow("beginner") << Level::Beginner << Command::Beginner;
    QTest::newRow("intermediate") << Level::Intermediate << Command::Intermediate;
    QTest::newRow("advanced") << Level::Advanced << Command::Advanced;
}

void TestQuizEngine::choosingCheckedLevelDoesNothing()
{
    QFETCH(Level, level);
    QFETCH(Command, command);

    Quiz q(level);
    q.ask(3, u'+', 4);
    q.view.setClock(QStringLiteral("00"), QStringLiteral("02"), QStringLiteral("03"));
    q.session.lngResponse = 2;
    const QString before = q.snapshot();

    q.run(command);

    QVERIFY(q.services.boxes.isEmpty());
    QCOMPARE(q.session.lngResponse, 2);
    QCOMPARE(q.snapshot(), before);
}

void TestQuizEngine::resetOnTwentiethQuestionGivesNoVerdict_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("level");

    QTest::newRow("new session") << Command::NewSession << "Beginner";
    QTest::newRow("to intermediate") << Command::Intermediate << "Intermediate";
}

void TestQuizEngine::resetOnTwentiethQuestionGivesNoVerdict()
{
    QFETCH(Command, command);
    QFETCH(QString, level);

    // Nineteen right answers: the twentieth question is on screen and a pass is certain.
    Quiz q;
    q.queueOnePlusOne();
    q.engine.MakeQuestion();
    for (int n = 1; n <= 19; ++n) {
        q.queueOnePlusOne();
        q.answer(QStringLiteral("2"));
    }
    QCOMPARE(q.session.intQuestionCount, 20);
    QCOMPARE(q.caption(Caption::QuestionsToGoNumber), QStringLiteral("0"));

    q.queueOnePlusOne();
    q.run(command);

    for (const QString &prompt : q.services.prompts())
        QVERIFY2(!isVerdict(prompt), qPrintable(prompt));
    QCOMPARE(q.marks(), QStringList{level});
    QCOMPARE(q.session.intQuestionCount, 1);
    QCOMPARE(q.session.intCorrectCount, 0);
    QCOMPARE(q.caption(Caption::QuestionsToGoNumber), QStringLiteral("19"));
    QVERIFY(q.drewExactlyWhatWasQueued());
}

void TestQuizEngine::clockTick_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("a second") << QStringList{"00", "00", "00"} << "00:00:01";
    QTest::newRow("into the next minute") << QStringList{"00", "00", "59"} << "00:01:00";
    QTest::newRow("into the next hour") << QStringList{"00", "59", "59"} << "01:00:00";
    QTest::newRow("no wrap after a day") << QStringList{"23", "59", "59"} << "24:00:00";
    QTest::newRow("hours widen to three digits") << QStringList{"99", "59", "59"} << "100:00:00";
    QTest::newRow("three-digit hours go on") << QStringList{"100", "59", "59"} << "101:00:00";
}

void TestQuizEngine::clockTick()
{
    QFETCH(QStringList, before);
    QFETCH(QString, after);

    Quiz q;
    q.view.setClock(before.at(0), before.at(1), before.at(2));
    q.engine.ClockTick();
    QCOMPARE(q.view.clock(), after);
}

void TestQuizEngine::begin_data()
{
    QTest::addColumn<bool>("replies");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("name");

    QTest::newRow("default name accepted") << false << ""
                                           << "Pellavin User";
    QTest::newRow("cancel or cleared field") << true << ""
                                             << "Pellavin User";
    QTest::newRow("blanks only stay the name") << true << "   "
                                               << "   ";
    QTest::newRow("punctuation kept verbatim") << true << " O'Neil-Smith, Jr.! "
                                               << " O'Neil-Smith, Jr.! ";
}

void TestQuizEngine::begin()
{
    QFETCH(bool, replies);
    QFETCH(QString, reply);
    QFETCH(QString, name);

    Quiz q;
    q.session.strUser.clear();
    if (replies)
        q.services.inputAnswers << reply;
    int countAtGreeting = -1;
    q.services.onBox = [&](const Box &) { countAtGreeting = q.session.intQuestionCount; };
    q.queueOnePlusOne();

    q.engine.Begin();

    QCOMPARE(q.services.boxes.size(), 2);
    const Box &prompt = q.services.boxes.at(0);
    QVERIFY(prompt.kind == Box::Kind::Input);
    QCOMPARE(prompt.prompt, QStringLiteral("What is your name?"));
    QCOMPARE(prompt.title, QStringLiteral("User Name Input"));
    QCOMPARE(prompt.defaultText, QStringLiteral("Pellavin User"));
    const Box &greeting = q.services.boxes.at(1);
    QVERIFY(greeting.kind == Box::Kind::Message);
    QCOMPARE(greeting.prompt,
             QStringLiteral("Welcome to Pellavin, ") + name
                     + QStringLiteral("! We will start you off on the beginner level. If you feel "
                                      "you want to change your level, please do so at the top of "
                                      "the program, under the 'Difficulty' tab."));
    QCOMPARE(greeting.title, QString());
    QVERIFY(greeting.buttons == Buttons::Ok);
    QCOMPARE(countAtGreeting, 0); // greeted before the first question
    QCOMPARE(q.session.strUser, name);
    QCOMPARE(q.session.intQuestionCount, 1);
    QCOMPARE(q.session.intTriesLeft, 3);
    QCOMPARE(q.question(), QStringLiteral("1 + 1"));
    QCOMPARE(q.caption(Caption::QuestionsToGoNumber), QStringLiteral("19"));
    QCOMPARE(q.marks(), QStringList{QStringLiteral("Beginner")});
    QVERIFY(q.drewExactlyWhatWasQueued());
}

QTEST_GUILESS_MAIN(TestQuizEngine)
#include "tst_quizengine.moc"
