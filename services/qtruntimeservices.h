#pragma once

#include "services/printing/printjob.h"
#include "services/runtimeservices.h"

#include <functional>
#include <memory>
#include <random>

// The services on Qt's own boxes, printer and process launcher.
class QtRuntimeServices final : public RuntimeServices
{
public:
    // Opens the document that Print writes to: on the system's default printer, or nullptr when
    // there is none. Tests print to a file instead.
    using PrintJobFactory = std::function<std::unique_ptr<PrintJob>()>;

    QtRuntimeServices();
    ~QtRuntimeServices() override;

    int MsgBox(const QString &prompt, Buttons buttons = Buttons::Ok, const QString &title = {}) override;
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    void Randomize() override;
    double Rnd() override;
    QString appTitle() const override;
    int appMajor() const override;
    int appMinor() const override;
    int appRevision() const override;
    QString appPath() const override;
    bool Shell(const QString &path) override;
    bool FileExists(const QString &path) const override;
    bool PrintLine(const QString &text) override;
    void End() override;

    void setPrintJobFactory(PrintJobFactory factory);

private:
    std::mt19937_64 m_random;
    PrintJobFactory m_printJobFactory;
    std::unique_ptr<PrintJob> m_printJob;
};
