#pragma once

#include "windows/frmmath.h"

#include <QLabel>

// The answer to the question the main window shows, worked out from what is on screen.
inline int screenAnswer(const frmMath &w)
{
    const int a = w.lblQuestionA->text().toInt();
    const int b = w.lblQuestionB->text().toInt();
    const QString op = w.lblMathOperator->text();
    if (op == u"+")
        return a + b;
    if (op == u"-")
        return a - b;
    if (op == u"*")
        return a * b;
    return a / b;
}
