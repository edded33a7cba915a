#pragma once

#include <QString>
#include <QtGlobal>

// The whole state of a quiz session, owned by the main window. The cursor handles that
// sit beside it belong to the window's cursor object. Widths match the fields' ranges:
// integers are 16-bit, longs 32-bit.
struct QuizSession
{
    QString strUser;
    qint16 intA = 0;
    qint16 intB = 0;
    qint16 intC = 0;
    QString strMathOperator;
    qint32 lngResponse = 0;
    qint16 intTriesLeft = 0;
    qint16 intScorePercent = 0;
    qint16 intQuestionCount = 0;
    qint16 intCorrectCount = 0;
};
