#pragma once

#include "quiz/quizview.h"

#include <QMap>

// The main window as the quiz engine sees it, kept in memory.
class FakeQuizView : public QuizView
{
public:
    FakeQuizView()
    {
        captions[Caption::Answer] = QStringLiteral("?");
        captions[Caption::Hours] = QStringLiteral("00");
        captions[Caption::Minutes] = QStringLiteral("00");
        captions[Caption::Seconds] = QStringLiteral("00");
        checked[Level::Beginner] = true;
    }

    QMap<Caption, QString> captions;
    QString answer;
    QMap<Level, bool> checked;
    int pendingEventRuns = 0;

    QString caption(Caption which) const override { return captions.value(which); }
    void setCaption(Caption which, const QString &text) override { captions[which] = text; }
    QString answerText() const override { return answer; }
    void setAnswerText(const QString &text) override { answer = text; }
    bool isLevelChecked(Level level) const override { return checked.value(level); }
    void setLevelChecked(Level level, bool on) override { checked[level] = on; }
    void letPendingEventsRun() override { ++pendingEventRuns; }

    QString clock() const
    {
        return caption(Caption::Hours) + u':' + caption(Caption::Minutes) + u':' + caption(Caption::Seconds);
    }
    void setClock(const QString &h, const QString &m, const QString &s)
    {
        captions[Caption::Hours] = h;
        captions[Caption::Minutes] = m;
        captions[Caption::Seconds] = s;
    }
};
