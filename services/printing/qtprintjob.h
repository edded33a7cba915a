#pragma once

#include "services/printing/printjob.h"

#include <memory>

class QPrinter;

// A job on the given printer; nullptr when there is none or its document cannot begin.
std::unique_ptr<PrintJob> openPrintJob(std::unique_ptr<QPrinter> printer);
// A job on the system's default printer.
std::unique_ptr<PrintJob> openDefaultPrintJob();
