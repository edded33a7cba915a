#pragma once

#include <QString>

// Every text the quiz shows, exactly as users have always seen it.
namespace quiztexts {
inline const QString NamePrompt = QStringLiteral("What is your name?");
inline const QString NameTitle = QStringLiteral("User Name Input");
inline const QString DefaultName = QStringLiteral("Pellavin User");
inline const QString GreetingBefore = QStringLiteral("Welcome to Pellavin, ");
inline const QString GreetingAfter = QStringLiteral(
    "! We will start you off on the beginner level. If you feel you want to change your "
    "level, please do so at the top of the program, under the 'Difficulty' tab.");
inline const QString Correct = QStringLiteral("You have sloved the problem correctly!");
inline const QString WrongBefore = QStringLiteral(
    "Sorry, you have answered the question improperly. Try again, you have ");
inline const QString WrongAfter = QStringLiteral(" tries left.");
inline const QString ConfirmTitle = QStringLiteral("Are you sure?");
inline const QString SkipPrompt = QStringLiteral(
    "Are you sure you want to move on to the next question without answering? This will "
    "count as a wrong answer.");
inline const QString NewSessionPrompt = QStringLiteral(
    "Are you sure you want to start a new session? All your current data will be lost.");
inline const QString DifficultyPrompt = QStringLiteral(
    "Are you sure you want to change difficulties? This will end you session and start a "
    "new one.");
inline const QString PassBefore = QStringLiteral("You have passed this difficulty with ");
inline const QString PassAfter = QStringLiteral("%! Congradulations!");
inline const QString FailBefore = QStringLiteral("You have failed this difficulty with ");
inline const QString FailMiddle = QStringLiteral("%. Sorry, ");
inline const QString FailAfter = QStringLiteral(". Better luck next time.");
}
