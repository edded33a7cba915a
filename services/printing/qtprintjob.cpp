#include "services/printing/qtprintjob.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class QtPrintJob final : public PrintJob
{
public:
    QtPrintJob(std::unique_ptr<QPrinter> printer, std::unique_ptr<QPainter> painter)
        : m_printer(std::move(printer))
        , m_painter(std::move(painter))
    {
    }
    ~QtPrintJob() override { m_painter->end(); }
    QtPrintJob(const QtPrintJob &) = delete;
    QtPrintJob &operator=(const QtPrintJob &) = delete;

    bool PrintLine(const QString &text) override
    {
        const int lineHeight = m_painter->fontMetrics().lineSpacing();
        if ((m_lines + 1) * lineHeight > m_printer->height()) {
            if (!m_printer->newPage())
                return false;
            m_lines = 0;
        }
        m_painter->drawText(0, (m_lines + 1) * lineHeight, text);
        ++m_lines;
        return true;
    }

private:
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    int m_lines = 0;
};

}

std::unique_ptr<PrintJob> openPrintJob(std::unique_ptr<QPrinter> printer)
{
    if (!printer)
        return nullptr;
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer.get()))
        return nullptr;
    return std::make_unique<QtPrintJob>(std::move(printer), std::move(painter));
}

std::unique_ptr<PrintJob> openDefaultPrintJob()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return openPrintJob(std::make_unique<QPrinter>(info));
}
