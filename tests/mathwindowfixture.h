#pragma once

#include "tests/recordingcursorplatform.h"
#include "tests/recordingforms.h"
#include "tests/scriptedservices.h"
#include "windows/frmmath.h"

#include <QTimer>

#include <memory>

// The main window over scripted services, a recording cursor platform and a recording
// window registry, as the window tests build it.
class MathWindowFixture
{
protected:
    ScriptedServices services;
    RecordingCursorPlatform cursors;
    RecordingForms forms;
    std::unique_ptr<frmMath> w;

    void freshServices()
    {
        services = ScriptedServices();
        cursors = RecordingCursorPlatform();
        forms = RecordingForms();
    }

    // Ticks come from the tests, not from the wall clock.
    void makeWindow()
    {
        w = std::make_unique<frmMath>(services, cursors, forms);
        w->tmrTimer->stop();
        w->tmrCursorSecurity->stop();
    }

    // Draws that make a Beginner question a op b (a >= b, so no re-draw is needed).
    void queueBeginner(int a, int b, int op)
    {
        services.queueDraw(a, 15);
        services.queueDraw(b, 15);
        services.queueDraw(op, 2);
    }
};
