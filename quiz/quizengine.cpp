#include "quiz/quizengine.h"

#include "quiz/numbertext.h"
#include "quiz/quiztexts.h"
#include "services/runtimeservices.h"

#include <cmath>

using numbertext::Val;
using Caption = QuizView::Caption;
using Level = QuizView::Level;

namespace {

const QString Zero = QStringLiteral("00");

QString operatorSymbol(int code)
{
    switch (code) {
    case 1: return QStringLiteral("+");
    case 2: return QStringLiteral("-");
    case 3: return QStringLiteral("*");
    case 4: return QStringLiteral("/");
    }
    return {};
}

}

QuizEngine::QuizEngine(QuizSession &session, QuizView &view, RuntimeServices &services)
    : m_session(session)
    , m_view(view)
    , m_services(services)
{
}

qint16 QuizEngine::draw(int n)
{
    // floor(r * n) + 1 rather than floor(r * n + 1): for r just below 1 the sum can round up
    // to n + 1 (an operator code 3 for a beginner, 5 at Advanced); the product never reaches n.
    return static_cast<qint16>(std::floor(m_services.Rnd() * n) + 1);
}

void QuizEngine::Begin()
{
    auto &s = m_session;
    s.strUser =
            m_services.InputBox(quiztexts::NamePrompt(), quiztexts::NameTitle(), quiztexts::DefaultName());
    if (s.strUser.isEmpty())
        s.strUser = quiztexts::DefaultName();
    m_services.MsgBox(quiztexts::Greeting(s.strUser));
    MakeQuestion();
}

void QuizEngine::MakeQuestion()
{
    if (m_session.intQuestionCount < QuestionsPerSession)
        issueQuestion();
    else
        endSession();
    m_view.setCaption(Caption::QuestionsToGoNumber,
                      QString::number(QuestionsPerSession - m_session.intQuestionCount));
}

void QuizEngine::issueQuestion()
{
    auto &s = m_session;
    m_view.setAnswerText(QString());
    m_view.setCaption(Caption::Answer, QStringLiteral("?"));
    s.intA = 0;
    s.intB = 0;
    s.intC = 0;
    s.intTriesLeft = 3;
    ++s.intQuestionCount;

    auto setOperator = [&](qint16 code) {
        s.strMathOperator = QString::number(code);
        m_view.setCaption(Caption::MathOperator, operatorSymbol(code));
    };
    // First operand, then second, each shown as it is drawn.
    auto drawOperands = [&](int n) {
        s.intA = draw(n);
        m_view.setCaption(Caption::QuestionA, QString::number(s.intA));
        s.intB = draw(n);
        m_view.setCaption(Caption::QuestionB, QString::number(s.intB));
    };

    if (m_view.isLevelChecked(Level::Beginner)) {
        drawOperands(15);
        setOperator(draw(2));
        if (Val(s.strMathOperator) == 2) {
            // No negative answers for beginners.
            while (s.intB > s.intA) {
                m_view.letPendingEventsRun();
                s.intB = draw(15);
            }
            m_view.setCaption(Caption::QuestionB, QString::number(s.intB));
        }
    }
    if (m_view.isLevelChecked(Level::Intermediate)) {
        drawOperands(20);
        setOperator(draw(3));
    }
    if (m_view.isLevelChecked(Level::Advanced)) {
        setOperator(draw(4));
        if (Val(s.strMathOperator) == 4) {
            // Draw divisor and quotient, so every division comes out even.
            s.intB = draw(20);
            s.intC = draw(20);
            s.intA = static_cast<qint16>(s.intC * s.intB);
        } else {
            s.intA = draw(20);
            s.intB = draw(20);
        }
        m_view.setCaption(Caption::QuestionA, QString::number(s.intA));
        m_view.setCaption(Caption::QuestionB, QString::number(s.intB));
    }
}

void QuizEngine::endSession()
{
    auto &s = m_session;
    const bool passed = s.intScorePercent >= PassMark;
    const QString percent = QString::number(s.intScorePercent);
    if (passed)
        m_services.MsgBox(quiztexts::Pass(percent));
    else
        m_services.MsgBox(quiztexts::Fail(percent, s.strUser));

    clearSession();

    if (passed) {
        if (m_view.isLevelChecked(Level::Beginner)) {
            m_view.setLevelChecked(Level::Beginner, false);
            m_view.setLevelChecked(Level::Advanced, false);
            m_view.setLevelChecked(Level::Intermediate, true);
        } else if (m_view.isLevelChecked(Level::Intermediate)) {
            m_view.setLevelChecked(Level::Beginner, false);
            m_view.setLevelChecked(Level::Intermediate, false);
            m_view.setLevelChecked(Level::Advanced, true);
        }
    }
    MakeQuestion();
}

void QuizEngine::SubmitAnswer()
{
    auto &s = m_session;
    const double code = Val(s.strMathOperator);
    if (code == 1)
        s.intC = static_cast<qint16>(s.intA + s.intB);
    else if (code == 2)
        s.intC = static_cast<qint16>(s.intA - s.intB);
    else if (code == 3)
        s.intC = static_cast<qint16>(s.intA * s.intB);

    if (Val(m_view.answerText()) == s.intC) {
        m_view.setCaption(Caption::Answer, QString::number(s.intC));
        Score();
        m_services.MsgBox(quiztexts::Correct());
        MakeQuestion();
    } else {
        m_services.MsgBox(quiztexts::Wrong(s.intTriesLeft));
        --s.intTriesLeft;
    }
    if (s.intTriesLeft < 0) {
        WrongScore();
        MakeQuestion();
    }
}

void QuizEngine::SkipQuestion()
{
    m_session.lngResponse = m_services.MsgBox(quiztexts::SkipPrompt(), RuntimeServices::Buttons::OkCancel,
                                              quiztexts::ConfirmTitle());
    if (m_session.lngResponse == RuntimeServices::Ok) {
        WrongScore();
        MakeQuestion();
    }
}

void QuizEngine::Score()
{
    auto &s = m_session;
    ++s.intCorrectCount;
    const double p = static_cast<double>(s.intCorrectCount) / s.intQuestionCount * 100;
    s.intScorePercent = static_cast<qint16>(numbertext::RoundHalfEven(p));
    showPercent();
}

void QuizEngine::WrongScore()
{
    auto &s = m_session;
    const double p = static_cast<double>(s.intCorrectCount) / s.intQuestionCount * 100;
    // Rounded to one decimal first, then to a whole number: 10.526 becomes 10.5, then 10.
    const double oneDecimal = Val(numbertext::Format00_0(p));
    s.intScorePercent = static_cast<qint16>(numbertext::RoundHalfEven(oneDecimal));
    showPercent();
}

void QuizEngine::showPercent()
{
    m_view.setCaption(Caption::Score, QString::number(m_session.intScorePercent) + u'%');
}

void QuizEngine::ClockTick()
{
    // The clock's only state is the text of its three labels.
    m_view.setCaption(Caption::Seconds, numbertext::Format00(static_cast<long long>(
                                                Val(m_view.caption(Caption::Seconds)) + 1)));
    if (Val(m_view.caption(Caption::Seconds)) == 60) {
        m_view.setCaption(Caption::Seconds, Zero);
        m_view.setCaption(Caption::Minutes, numbertext::Format00(static_cast<long long>(
                                                    Val(m_view.caption(Caption::Minutes)) + 1)));
    }
    if (Val(m_view.caption(Caption::Minutes)) == 60) {
        m_view.setCaption(Caption::Hours, numbertext::Format00(static_cast<long long>(
                                                  Val(m_view.caption(Caption::Hours)) + 1)));
        m_view.setCaption(Caption::Minutes, Zero);
    }
}

void QuizEngine::NewSession()
{
    m_session.lngResponse = m_services.MsgBox(quiztexts::NewSessionPrompt(),
                                              RuntimeServices::Buttons::OkCancel, quiztexts::ConfirmTitle());
    if (m_session.lngResponse != RuntimeServices::Ok)
        return;
    resetSession();
}

void QuizEngine::ChooseLevel(Level level)
{
    if (m_view.isLevelChecked(level))
        return;
    m_session.lngResponse = m_services.MsgBox(quiztexts::DifficultyPrompt(),
                                              RuntimeServices::Buttons::OkCancel, quiztexts::ConfirmTitle());
    if (m_session.lngResponse != RuntimeServices::Ok)
        return;
    for (const Level each : {Level::Beginner, Level::Intermediate, Level::Advanced})
        m_view.setLevelChecked(each, each == level);
    resetSession();
}

void QuizEngine::clearSession()
{
    auto &s = m_session;
    s.intQuestionCount = 0;
    m_view.setCaption(Caption::Seconds, Zero);
    m_view.setCaption(Caption::Minutes, Zero);
    m_view.setCaption(Caption::Hours, Zero);
    s.intCorrectCount = 0;
    m_view.setCaption(Caption::Score, QString());
    s.intScorePercent = 0;
}

void QuizEngine::resetSession()
{
    clearSession();
    MakeQuestion();
}
