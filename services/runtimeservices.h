#pragma once

#include <QString>

// The services every window leans on: boxes, randomness, program facts, launching,
// files and the printer. Windows receive one of these so that tests can answer boxes
// and fix random draws without a user or a clock.
class RuntimeServices
{
public:
    enum class Buttons { Ok, OkCancel };
    static constexpr int Ok = 1;
    static constexpr int Cancel = 2;

    virtual ~RuntimeServices() = default;

    // Modal box without an icon; an empty title shows the application title.
    // Returns Ok or Cancel.
    virtual int MsgBox(const QString &prompt, Buttons buttons = Buttons::Ok, const QString &title = {}) = 0;
    // Returns the field's text on OK and the empty text on Cancel.
    virtual QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) = 0;

    // Seeds the random source from the clock.
    virtual void Randomize() = 0;
    // Uniform in [0, 1).
    virtual double Rnd() = 0;

    virtual QString appTitle() const = 0;
    virtual int appMajor() const = 0;
    virtual int appMinor() const = 0;
    virtual int appRevision() const = 0;
    // The program file's folder, without a trailing separator.
    virtual QString appPath() const = 0;

    // Starts a program without waiting; false when it could not be started. The path is the
    // program's whole path, or a quoted path or one ending in ".exe" with arguments after it.
    virtual bool Shell(const QString &path) = 0;
    // Whether an ordinary (not hidden, not system) file exists at path.
    virtual bool FileExists(const QString &path) const = 0;
    // Adds one line to the default printer's open document; false when there is no printer
    // or it failed.
    virtual bool PrintLine(const QString &text) = 0;

    // Ends the program at once: no further window handler runs.
    virtual void End() = 0;
};
