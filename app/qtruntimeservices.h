#pragma once

#include "runtimeservices.h"

#include <functional>
#include <memory>
#include <random>

class QPainter;
class QPrinter;

// The services on Qt's own boxes, printer and process launcher.
class QtRuntimeServices final : public RuntimeServices
{
public:
    // Makes the printer that Print writes to: the system's default printer, or nullptr when
    // there is none. Tests print to a file instead.
    using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;

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

    void setPrinterFactory(PrinterFactory factory);

private:
    void finishPrinting();

    std::mt19937_64 m_random;
    PrinterFactory m_printerFactory;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    int m_printedLines = 0;
};
