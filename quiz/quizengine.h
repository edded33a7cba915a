#pragma once

#include "quiz/quizsession.h"
#include "quiz/quizview.h"

class RuntimeServices;

// The rules of a quiz: questions, answers, tries, score, the session clock and the
// commands that start a session over.
class QuizEngine
{
public:
    static constexpr qint16 QuestionsPerSession = 20;
    static constexpr qint16 PassMark = 53;

    QuizEngine(QuizSession &session, QuizView &view, RuntimeServices &services);

    // Asks the name, greets the user and issues the first question.
    void Begin();
    // Issues the next question, or ends the session after the twentieth.
    void MakeQuestion();
    void SubmitAnswer();
    void SkipQuestion();
    void Score();
    void WrongScore();
    void ClockTick();
    void NewSession();
    void ChooseLevel(QuizView::Level level);

    const QuizSession &session() const { return m_session; }

private:
    qint16 draw(int n);
    void issueQuestion();
    void endSession();
    // Counters, score and clock back to zero, without issuing a question.
    void clearSession();
    void resetSession();
    void showPercent();

    QuizSession &m_session;
    QuizView &m_view;
    RuntimeServices &m_services;
};
