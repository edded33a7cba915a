#include "services/qtruntimeservices.h"

#include "services/appinfo.h"
#include "services/launcher.h"
#include "services/printing/qtprintjob.h"

#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

// A box comes up over the window the user is working in, and gives it the focus back when it
// closes, if it is still open: a window manager may pass the focus to another window instead,
// skipping a utility window such as the About box.
class BoxOwner
{
public:
    BoxOwner()
        : m_window(QApplication::activeWindow())
    {
    }
    ~BoxOwner()
    {
        if (m_window && m_window->isVisible())
            m_window->activateWindow();
    }
    BoxOwner(const BoxOwner &) = delete;
    BoxOwner &operator=(const BoxOwner &) = delete;

    QWidget *window() const { return m_window; }

private:
    QPointer<QWidget> m_window;
};

}

QtRuntimeServices::QtRuntimeServices()
    : m_random(0)
    , m_printJobFactory(openDefaultPrintJob)
{
}

// The open document goes to the printer when the program ends rather than being lost.
QtRuntimeServices::~QtRuntimeServices() = default;

int QtRuntimeServices::MsgBox(const QString &prompt, Buttons buttons, const QString &title)
{
    // Over the window the user is working in, when there is one.
    const BoxOwner owner;
    QMessageBox box(owner.window());
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title.isEmpty() ? appTitle() : title);
    // Names and other typed text reach these boxes: never interpret them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(prompt);
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    // A box shown while no other window is up (during start-up) must not end the program
    // when it closes.
    box.setAttribute(Qt::WA_QuitOnClose, false);
    return box.exec() == QMessageBox::Ok ? Ok : Cancel;
}

QString QtRuntimeServices::InputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    const BoxOwner owner;
    QInputDialog dialog(owner.window());
    dialog.setWindowTitle(title.isEmpty() ? appTitle() : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setAttribute(Qt::WA_QuitOnClose, false);
    // Wide enough that the title bar shows the whole title beside its buttons. The dialog's
    // layout fixes its own minimum, so the field is widened instead.
    if (auto *field = dialog.findChild<QLineEdit *>()) {
        // A name has no length limit.
        field->setMaxLength(std::numeric_limits<int>::max());
        const int titleWidth = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle());
        field->setMinimumWidth(std::max(field->sizeHint().width(), 2 * titleWidth + 100));
    }
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

void QtRuntimeServices::Randomize()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    m_random.seed(
            static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

double QtRuntimeServices::Rnd()
{
    // 53 random bits make every double in [0, 1) on the 2^-53 grid equally likely.
    return static_cast<double>(m_random() >> 11) * 0x1.0p-53;
}

QString QtRuntimeServices::appTitle() const
{
    return QString::fromLatin1(appinfo::Title);
}

int QtRuntimeServices::appMajor() const
{
    return appinfo::Major;
}

int QtRuntimeServices::appMinor() const
{
    return appinfo::Minor;
}

int QtRuntimeServices::appRevision() const
{
    return appinfo::Revision;
}

QString QtRuntimeServices::appPath() const
{
    return QDir::toNativeSeparators(QApplication::applicationDirPath());
}

bool QtRuntimeServices::Shell(const QString &path)
{
    const auto command = launcher::readCommandLine(
            path.toStdU16String(), launcher::ProgramExtension, [](const std::u16string &program) {
                return launcher::isOrdinaryFile(launcher::fileAttributes(program));
            });
    return command && launcher::start(*command);
}

bool QtRuntimeServices::FileExists(const QString &path) const
{
    return launcher::isOrdinaryFile(launcher::fileAttributes(path.toStdU16String()));
}

bool QtRuntimeServices::PrintLine(const QString &text)
{
    if (!m_printJob) {
        m_printJob = m_printJobFactory ? m_printJobFactory() : nullptr;
        if (!m_printJob)
            return false;
    }
    return m_printJob->PrintLine(text);
}

void QtRuntimeServices::setPrintJobFactory(PrintJobFactory factory)
{
    m_printJobFactory = std::move(factory);
}

void QtRuntimeServices::End()
{
    // The open document goes to the printer before the program ends.
    m_printJob.reset();
    std::fflush(nullptr);
    std::_Exit(0);
}
