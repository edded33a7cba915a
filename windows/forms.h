#pragma once

// What a window asks of the program's window registry. Each window class has at most one
// live instance, built on first use.
class Forms
{
public:
    virtual ~Forms() = default;

    // Builds the main window on first use, which runs its load step (name prompt, greeting,
    // first question), then shows it.
    virtual void showMath() = 0;
    // Modeless, without an owner; brought to the front when it is open already.
    virtual void showAbout() = 0;
    virtual void showHelp() = 0;
    // Ends the program at once: no window handler runs after it.
    virtual void End() = 0;
};
