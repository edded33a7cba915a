#pragma once

#include "services/runtimeservices.h"

#include <QList>
#include <QQueue>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <random>

// Runtime services for tests: every box is recorded and answered from a script, random
// draws come from a queue (or from a seeded generator), and nothing is launched, printed or
// ended for real.
class ScriptedServices : public RuntimeServices
{
public:
    struct Box
    {
        enum class Kind { Message, Input } kind;
        QString prompt;
        QString title; // as passed; empty means the application title
        Buttons buttons = Buttons::Ok;
        QString defaultText; // input boxes only
    };

    QList<Box> boxes;
    QQueue<int> msgBoxAnswers;    // answered with Ok when empty
    QQueue<QString> inputAnswers; // an input box answers its default text when empty
    QQueue<double> draws;         // Rnd() fails the test when empty (see drawsExhausted)
    bool drawsExhausted = false;
    int randomizeCalls = 0;
    QStringList launched;
    QSet<QString> unstartable; // Shell fails for these paths
    QStringList failedStarts;
    QSet<QString> existingFiles; // what FileExists finds
    mutable QStringList fileTests;
    QStringList printed;
    bool printerAvailable = true;
    bool ended = false;
    QString programFolder = QStringLiteral("/opt/pellavin");
    int versionMinor = 0;

    int MsgBox(const QString &prompt, Buttons buttons, const QString &title) override
    {
        boxes.append({Box::Kind::Message, prompt, title, buttons, {}});
        if (onBox)
            onBox(boxes.last());
        return msgBoxAnswers.isEmpty() ? Ok : msgBoxAnswers.dequeue();
    }

    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        boxes.append({Box::Kind::Input, prompt, title, Buttons::OkCancel, defaultText});
        if (onBox)
            onBox(boxes.last());
        return inputAnswers.isEmpty() ? defaultText : inputAnswers.dequeue();
    }

    void Randomize() override { ++randomizeCalls; }

    // Draws come from this generator, once seeded, rather than from the queue.
    void drawFromSeed(std::uint64_t seed) { m_generator.emplace(seed); }

    double Rnd() override
    {
        if (m_generator)
            return static_cast<double>((*m_generator)() >> 11) * 0x1.0p-53;
        if (draws.isEmpty()) {
            drawsExhausted = true;
            return 0.0;
        }
        return draws.dequeue();
    }

    // The value r for which floor(r * n + 1) gives k.
    static double drawing(int k, int n) { return (k - 0.5) / n; }
    void queueDraw(int k, int n) { draws.enqueue(drawing(k, n)); }

    QString appTitle() const override { return QStringLiteral("Pellavin"); }
    int appMajor() const override { return 1; }
    int appMinor() const override { return versionMinor; }
    int appRevision() const override { return 0; }
    QString appPath() const override { return programFolder; }
    bool Shell(const QString &path) override
    {
        if (unstartable.contains(path)) {
            failedStarts.append(path);
            return false;
        }
        launched.append(path);
        return true;
    }
    bool FileExists(const QString &path) const override
    {
        fileTests.append(path);
        return existingFiles.contains(path);
    }
    bool PrintLine(const QString &text) override
    {
        if (!printerAvailable)
            return false;
        printed.append(text);
        return true;
    }
    void End() override { ended = true; }

    QStringList prompts() const
    {
        QStringList all;
        for (const Box &box : boxes)
            all.append(box.prompt);
        return all;
    }

    // Called as each box opens, before it is answered: a test can look at the window then.
    std::function<void(const Box &)> onBox;

private:
    std::optional<std::mt19937_64> m_generator;
};
