#pragma once

#include <QString>

// One printed document: begun when the job is opened, sent to the printer whole when the job
// is destroyed. The program sees printing only through this, so that Qt's print support is
// loaded when the student first prints rather than at every start.
class PrintJob
{
public:
    virtual ~PrintJob() = default;
    // Writes a line under the last one, on a new page when this one is full; false when the
    // printer refuses it.
    virtual bool PrintLine(const QString &text) = 0;
};

// The printing module's one entry: a job on the system's default printer, owned by the caller,
// or nullptr when there is no printer or it cannot begin a document.
using OpenDefaultPrintJob = PrintJob *();
inline constexpr char OpenDefaultPrintJobSymbol[] = "pellavin_open_default_print_job";
