#pragma once

#include "windows/forms.h"

#include <QStringList>

// A window registry that only writes down what the windows asked of it.
class RecordingForms : public Forms
{
public:
    QStringList calls;

    void showMath() override { calls << QStringLiteral("showMath"); }
    void showAbout() override { calls << QStringLiteral("showAbout"); }
    void showHelp() override { calls << QStringLiteral("showHelp"); }
    void End() override { calls << QStringLiteral("End"); }
};
