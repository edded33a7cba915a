// What the main window tells screen readers, beyond what Qt tells of its controls by itself.

#include "windows/frmmath.h"

#include "quiz/quizengine.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

// Qt tells screen readers of every description set, changed or not; the clock must not make
// the whole window repeat itself each second.
void describe(QWidget *widget, const QString &text)
{
    if (widget->accessibleDescription() != text)
        widget->setAccessibleDescription(text);
}

}

QString frmMath::spokenQuestion() const
{
    if (lblQuestionA->text().isEmpty())
        return {};
    // Screen readers say the operators as drawn as "plus", "dash", "star" and "slash", and at
    // their lowest punctuation level not at all; words are heard at every level.
    const QString drawn = lblMathOperator->text();
    QString op = drawn;
    if (drawn == u"+")
        op = tr("plus");
    else if (drawn == u"-")
        op = tr("minus");
    else if (drawn == u"*")
        op = tr("times");
    else if (drawn == u"/")
        op = tr("divided by");
    return lblQuestionA->text() + u' ' + op + u' ' + lblQuestionB->text() + u' ' + lblEqual->text() + u' '
           + lblAnswer->text();
}

void frmMath::describeForScreenReaders()
{
    // Each frame reads as its caption followed by what it shows. The answer box also carries
    // the question and the score, and the focused control tells what is new (see below).
    const QString question = spokenQuestion();
    const QString score = lblScore->text();
    describe(fraQuestion, question);
    describe(fraScore, score);
    describe(fraTime, lblHours->text() + lblColon1->text() + lblMinutes->text() + lblColon2->text()
                              + lblSeconds->text());
    describe(fraStatus, lblQuestionsToGo->text() + u' ' + lblQuestionsToGoNumber->text());
    QString answerBox = question;
    if (!score.isEmpty())
        answerBox += QStringLiteral(", ") + fraScore->title() + u' ' + score;
    tellFocusedControl(answerBox);
}

QString frmMath::newsForScreenReaders()
{
    // Said once, before the question: a new level, and the length of a session begun.
    QString news;
    for (QAction *item : {mnuDifficultyBeginner, mnuDifficultyIntermediate, mnuDifficultyAdvanced}) {
        if (item->isChecked() && item != m_toldLevel) {
            m_toldLevel = item;
            // "Intermediate(+,-,x)" is read as "Intermediate", without its punctuation.
            const QString caption = item->text();
            news += mnuDifficulty->title() + u' ' + caption.left(caption.indexOf(u'(')).trimmed()
                    + QStringLiteral(", ");
        }
    }
    if (m_sessionBegun)
        news += tr("%1 questions").arg(QuizEngine::QuestionsPerSession) + QStringLiteral(", ");
    m_sessionBegun = false;
    return news;
}

void frmMath::tellFocusedControl(const QString &answerBox)
{
    // A screen reader speaks a changed description of the focused control, and of no other
    // control: so whichever of the three has the focus (or gets it back when a message box
    // closes) carries what is new, and a student who skips hears the next question too. The
    // clock is not in it.
    const QString news = newsForScreenReaders();
    if (news.isEmpty() && answerBox == m_toldAnswerBox)
        return;
    m_toldAnswerBox = answerBox;
    // With the focus elsewhere (in the menu bar), the answer box keeps it for later.
    QWidget *focused = focusWidget();
    if (focused != cmdSubmit && focused != lblNextQuestion)
        focused = txtAnswer;
    if (m_toldOnce && m_toldOnce != focused)
        describe(m_toldOnce, m_toldOnce == txtAnswer ? answerBox : QString());
    describe(txtAnswer, answerBox);
    describe(focused, news + answerBox);
    m_toldOnce = focused != txtAnswer || !news.isEmpty() ? focused : nullptr;
}

void frmMath::onFocusChanged(QWidget *now)
{
    // What was told once is dropped when the focus moves on, to another control or to a
    // message box, after the move itself is told, so that coming back does not repeat it.
    if (!m_toldOnce || !now || now == m_toldOnce)
        return;
    QTimer::singleShot(0, this, [this] {
        if (!m_toldOnce || QApplication::focusWidget() == m_toldOnce)
            return;
        describe(m_toldOnce, m_toldOnce == txtAnswer ? m_toldAnswerBox : QString());
        m_toldOnce = nullptr;
    });
}
