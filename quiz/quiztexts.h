#pragma once

#include <QCoreApplication>
#include <QString>

// Every text the quiz shows, in the user's language; the English source is exactly what users
// have always seen.
namespace quiztexts {
inline QString NamePrompt()
{
    return QCoreApplication::translate("quiztexts", "What is your name?");
}
inline QString NameTitle()
{
    return QCoreApplication::translate("quiztexts", "User Name Input");
}
inline QString DefaultName()
{
    return QCoreApplication::translate("quiztexts", "Pellavin User");
}
inline QString Greeting(const QString &name)
{
    //: %1 is the user's name. 'Difficulty' is the name of the menu.
    return QCoreApplication::translate(
                   "quiztexts",
                   "Welcome to Pellavin, %1! We will start you off on the beginner level. If you feel you "
                   "want to change your level, please do so at the top of the program, under the "
                   "'Difficulty' tab.")
            .arg(name);
}
inline QString Correct()
{
    //: "sloved" is a misspelling of "solved" on purpose; spell your language correctly.
    return QCoreApplication::translate("quiztexts", "You have sloved the problem correctly!");
}
inline QString Wrong(int triesLeft)
{
    //: %1 is the number of tries left (1 to 3).
    return QCoreApplication::translate(
                   "quiztexts",
                   "Sorry, you have answered the question improperly. Try again, you have %1 tries left.")
            .arg(triesLeft);
}
inline QString ConfirmTitle()
{
    return QCoreApplication::translate("quiztexts", "Are you sure?");
}
inline QString SkipPrompt()
{
    return QCoreApplication::translate(
            "quiztexts", "Are you sure you want to move on to the next question without answering? This will "
                         "count as a wrong answer.");
}
inline QString NewSessionPrompt()
{
    return QCoreApplication::translate(
            "quiztexts", "Are you sure you want to start a new session? All your current data will be lost.");
}
inline QString DifficultyPrompt()
{
    //: "you session" is a slip for "your session" on purpose; write your language correctly.
    return QCoreApplication::translate(
            "quiztexts",
            "Are you sure you want to change difficulties? This will end you session and start a "
            "new one.");
}
inline QString Pass(const QString &percent)
{
    //: %1 is the percentage of right answers. "Congradulations" is misspelt on purpose; spell
    //: your language correctly.
    return QCoreApplication::translate("quiztexts",
                                       "You have passed this difficulty with %1%! Congradulations!")
            .arg(percent);
}
inline QString Fail(const QString &percent, const QString &name)
{
    //: %1 is the percentage of right answers, %2 the user's name.
    return QCoreApplication::translate(
                   "quiztexts", "You have failed this difficulty with %1%. Sorry, %2. Better luck next time.")
            .arg(percent, name);
}
}
