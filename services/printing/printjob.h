#pragma once

#include <QString>

// One printed document: begun when the job is opened, sent to the printer whole when the job
// is destroyed. Tests put a job on a file in place of the printer's.
class PrintJob
{
public:
    virtual ~PrintJob() = default;
    // Writes a line under the last one, on a new page when this one is full; false when the
    // printer refuses it.
    virtual bool PrintLine(const QString &text) = 0;
};
