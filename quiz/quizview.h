#pragma once

#include <QString>

// What the quiz engine sees of the main window. Some of the session's state lives only
// on screen (the level in the Difficulty check marks, the clock in three labels), so the
// engine reads it back from here.
class QuizView
{
public:
    enum class Caption {
        QuestionA,
        MathOperator,
        QuestionB,
        Answer,
        Score,
        Hours,
        Minutes,
        Seconds,
        QuestionsToGoNumber,
    };
    enum class Level { Beginner, Intermediate, Advanced };

    virtual ~QuizView() = default;

    virtual QString caption(Caption which) const = 0;
    virtual void setCaption(Caption which, const QString &text) = 0;
    virtual QString answerText() const = 0;
    virtual void setAnswerText(const QString &text) = 0;
    virtual bool isLevelChecked(Level level) const = 0;
    virtual void setLevelChecked(Level level, bool checked) = 0;
    // Lets timer ticks and painting through, but no clicks or key presses, so that no
    // second command can start while a question is half drawn.
    virtual void letPendingEventsRun() = 0;
};
