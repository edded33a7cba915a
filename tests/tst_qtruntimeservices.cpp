#include "services/launcher.h"
#include "services/printing/qtprintjob.h"
#include "services/qtruntimeservices.h"

#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <functional>

namespace {

QList<QAccessible::Event> *alerts = nullptr;

void recordAlerts(QAccessibleEvent *event)
{
    if (alerts && event->type() == QAccessible::Alert)
        alerts->append(event->type());
}

}

// The real boxes, answered from a timer once they are up. Kept to a few smoke tests: the
// windows' own tests use the scripted services instead.
class TestQtRuntimeServices : public QObject
{
    Q_OBJECT

    QtRuntimeServices services;

    static void whenModalIsUp(const std::function<void(QWidget *)> &act)
    {
        QTimer::singleShot(0, [act] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            act(QApplication::activeModalWidget());
        });
    }

private slots:
    void messageBoxWithOkAlone()
    {
        QString title, text;
        int buttons = 0;
        bool plain = false;
        QMessageBox::Icon icon = QMessageBox::Warning;
        bool quitsOnClose = true;
        whenModalIsUp([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            plain = box->textFormat() == Qt::PlainText;
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            quitsOnClose = box->testAttribute(Qt::WA_QuitOnClose);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(services.MsgBox(QStringLiteral("<b>Ada</b>")), RuntimeServices::Ok);
        QCOMPARE(title, QStringLiteral("Pellavin"));
        QCOMPARE(text, QStringLiteral("<b>Ada</b>"));
        QVERIFY(plain);
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, 1);
        QVERIFY(!quitsOnClose);
    }

    void messageBoxIsAnnouncedAsAnAlert()
    {
        QList<QAccessible::Event> seen;
        alerts = &seen;
        QAccessible::installUpdateHandler(recordAlerts);
        QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY(platform);
        platform->setActive(true);
        QAccessible::Role role = QAccessible::NoRole;
        QString name;
        QStringList texts;
        int alertsWhileUp = 0;
        whenModalIsUp([&](QWidget *modal) {
            QAccessibleInterface *box = QAccessible::queryAccessibleInterface(modal);
            role = box->role();
            name = box->text(QAccessible::Name);
            // The prompt is read from the box's text, which the box holds as a child.
            for (int i = 0; i < box->childCount(); ++i)
                if (box->child(i)->role() == QAccessible::StaticText)
                    texts << box->child(i)->text(QAccessible::Name);
            alertsWhileUp = static_cast<int>(seen.size());
            QTest::keyClick(modal, Qt::Key_Return);
        });
        services.MsgBox(QStringLiteral("You have sloved the problem correctly!"));
        platform->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        alerts = nullptr;
        QCOMPARE(alertsWhileUp, 1);
        QCOMPARE(role, QAccessible::AlertMessage);
        QCOMPARE(name, QStringLiteral("Pellavin"));
        QVERIFY(texts.contains(QStringLiteral("You have sloved the problem correctly!")));
    }

    void confirmationBox()
    {
        whenModalIsUp([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(services.MsgBox(QStringLiteral("Sure?"), RuntimeServices::Buttons::OkCancel,
                                 QStringLiteral("Are you sure?")),
                 RuntimeServices::Cancel);
        QString title;
        whenModalIsUp([&](QWidget *modal) {
            title = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QCOMPARE(services.MsgBox(QStringLiteral("Sure?"), RuntimeServices::Buttons::OkCancel,
                                 QStringLiteral("Are you sure?")),
                 RuntimeServices::Ok);
        QCOMPARE(title, QStringLiteral("Are you sure?"));
    }

    void inputBox()
    {
        QString shownDefault;
        int width = 0, titleWidth = 0;
        QStringList clipped;
        whenModalIsUp([&](QWidget *modal) {
            auto *edit = modal->findChild<QLineEdit *>();
            shownDefault = edit->text();
            width = modal->width();
            titleWidth = modal->fontMetrics().horizontalAdvance(modal->windowTitle());
            // The prompt, the default name and the buttons have their room at any scale.
            for (const QLabel *label : modal->findChildren<QLabel *>()) {
                const QRect needed = label->fontMetrics().boundingRect(
                        label->contentsRect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                        label->text());
                if (needed.width() > label->contentsRect().width()
                    || needed.height() > label->contentsRect().height())
                    clipped << label->text();
            }
            if (edit->fontMetrics().horizontalAdvance(edit->text()) > edit->width() - 8)
                clipped << edit->text();
            for (const QPushButton *button : modal->findChildren<QPushButton *>())
                if (button->fontMetrics().horizontalAdvance(button->text().remove(u'&'))
                    > button->width() - 8)
                    clipped << button->text();
            edit->setText(QStringLiteral("Grace"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QCOMPARE(services.InputBox(QStringLiteral("What is your name?"), QStringLiteral("User Name Input"),
                                   QStringLiteral("Pellavin User")),
                 QStringLiteral("Grace"));
        QCOMPARE(shownDefault, QStringLiteral("Pellavin User"));
        // Room for the whole title beside the title bar's buttons, even in a bold title font.
        QVERIFY2(width >= 2 * titleWidth + 100,
                 qPrintable(QStringLiteral("%1 for %2").arg(width).arg(titleWidth)));
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u'|')));

        whenModalIsUp([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(services.InputBox(QStringLiteral("Name?"), QStringLiteral("T"), QStringLiteral("x")),
                 QString());

        // Names of any length.
        const QString longName(40000, u'n');
        whenModalIsUp([&](QWidget *modal) {
            auto *edit = modal->findChild<QLineEdit *>();
            edit->setText(longName);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QCOMPARE(services.InputBox(QStringLiteral("Name?"), QStringLiteral("T"), QString()), longName);
    }

    void randomDrawsStayInTheUnitInterval()
    {
        services.Randomize();
        int low = 0;
        for (int i = 0; i < 20000; ++i) {
            const double r = services.Rnd();
            QVERIFY(r >= 0.0 && r < 1.0);
            low += r < 0.5;
        }
        QVERIFY(low > 9000 && low < 11000);
    }

    void applicationFacts()
    {
        QCOMPARE(services.appTitle(), QStringLiteral("Pellavin"));
        QCOMPARE(QStringLiteral("%1.%2.%3")
                         .arg(services.appMajor())
                         .arg(services.appMinor())
                         .arg(services.appRevision()),
                 QStringLiteral("1.0.0"));
        QVERIFY(!services.appPath().isEmpty());
        QVERIFY(!services.appPath().endsWith(u'/'));
    }

    // Print goes into one document that stays open until the program ends, then comes out whole.
    void printTwiceIntoOneDocument()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        int printersMade = 0;
        {
            QtRuntimeServices printing;
            printing.setPrintJobFactory([&] {
                ++printersMade;
                auto printer = std::make_unique<QPrinter>();
                printer->setOutputFormat(QPrinter::PdfFormat);
                printer->setOutputFileName(pdf);
                return openPrintJob(std::move(printer));
            });
            QVERIFY(printing.PrintLine(QString()));
            QVERIFY(printing.PrintLine(QString()));
            QVERIFY(!QFileInfo(pdf).exists() || QFileInfo(pdf).size() == 0);
        }
        QCOMPARE(printersMade, 1);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
        QCOMPARE(QString::fromLatin1(bytes).count(page), 1);
    }

    void printWithoutAWorkingPrinter()
    {
        QtRuntimeServices printing;
        printing.setPrintJobFactory([] { return openPrintJob(nullptr); });
        QVERIFY(!printing.PrintLine(QString()));

        // A printer that cannot start its document; the next Print tries afresh.
        int tries = 0;
        printing.setPrintJobFactory([&tries] {
            ++tries;
            auto printer = std::make_unique<QPrinter>();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QStringLiteral("/nonexistent-folder/out.pdf"));
            return openPrintJob(std::move(printer));
        });
        QVERIFY(!printing.PrintLine(QString()));
        QVERIFY(!printing.PrintLine(QString()));
        QCOMPARE(tries, 2);
    }

    void fileTest()
    {
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("tool"));
        const QString hidden = dir.filePath(QStringLiteral(".tool"));
        for (const QString &path : {plain, hidden}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(services.FileExists(plain));
        QVERIFY(!services.FileExists(hidden));
        QVERIFY(!services.FileExists(dir.path()));
        QVERIFY(!services.FileExists(dir.filePath(QStringLiteral("missing"))));
    }

    void fileTestCountsOnlyOrdinaryFiles()
    {
        // As the system gives them: normal, read-only and archive, hidden, system, system and
        // archive, folder, nothing there.
        const std::pair<std::uint32_t, bool> cases[] = {{0x80, true},
                                                        {0x21, true},
                                                        {0x2, false},
                                                        {0x4, false},
                                                        {0x24, false},
                                                        {0x10, false},
                                                        {launcher::NoFile, false}};
        for (const auto &[attributes, counts] : cases)
            QCOMPARE(launcher::isOrdinaryFile(attributes), counts);
    }

    void readsACommandLineAsTheSystemDoes_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("programs"); // what exists
        QTest::addColumn<QString>("program");      // empty: nothing starts
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("tries");
        const QString tool = QStringLiteral("C:\\Program Files\\Info\\msinfo32.exe");
        // The value a real machine holds, and what anyone may drop at the root of its drive.
        const QString real =
                QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
        const QString planted = QStringLiteral("C:\\Program.exe");
        QTest::newRow("quoted, with arguments")
                << '"' + tool + "\" /report a.txt" << QStringList() << tool << "/report a.txt" << 0;
        QTest::newRow("quoted, never closed") << '"' + tool << QStringList() << tool << "" << 0;
        QTest::newRow("the real value") << "  " + real + " " << QStringList{real} << real << "" << 1;
        QTest::newRow("the real value beside a planted program")
                << real << QStringList{planted, real} << real << "" << 1;
        QTest::newRow("a planted program, the real tool missing") << real << QStringList{planted} << ""
                                                                  << "" << 1;
        QTest::newRow("arguments after an explicit .exe")
                << "C:\\Tools\\msinfo.exe /report \"a b.txt\"" << QStringList{"C:\\Tools\\msinfo.exe"}
                << "C:\\Tools\\msinfo.exe"
                << "/report \"a b.txt\"" << 2;
        QTest::newRow("arguments after .EXE, with blanks in the folder")
                << "  " + tool.toUpper() + "  /nfo x" << QStringList{tool.toUpper(), planted}
                << tool.toUpper() << "/nfo x" << 3;
        QTest::newRow("no extension")
                << "C:\\My.Tools\\info" << QStringList{"C:\\My.Tools\\info.exe"} << "C:\\My.Tools\\info.exe"
                << "" << 2;
        QTest::newRow("nothing found") << tool + " /a" << QStringList() << ""
                                       << "" << 3;
        QTest::newRow("blanks only") << " \t " << QStringList() << ""
                                     << "" << 0;
        QTest::newRow("empty quotes") << "\"\" x" << QStringList() << ""
                                      << "" << 0;
        QTest::newRow("too long") << QString(int(launcher::MaxCommandLine) + 1, 'x') << QStringList() << ""
                                  << "" << 0;
        QTest::newRow("blanks without end") << QString(" a").repeated(5000) << QStringList() << ""
                                            << "" << 2;
        QTest::newRow(".exe at every blank") << QString(" a.exe").repeated(5000) << QStringList() << ""
                                             << "" << launcher::MaxProgramTries;
    }

    void readsACommandLineAsTheSystemDoes()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, programs);
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        QFETCH(int, tries);
        int tried = 0;
        const auto command =
                launcher::readCommandLine(line.toStdU16String(), u".exe", [&](const std::u16string &name) {
                    ++tried;
                    return programs.contains(QString::fromStdU16String(name));
                });
        QCOMPARE(tried, tries);
        QCOMPARE(command.has_value(), !program.isEmpty());
        if (command) {
            QCOMPARE(QString::fromStdU16String(command->program), program);
            QCOMPARE(QString::fromStdU16String(command->arguments), arguments);
        }
    }

    // A program in a folder with a blank in its name, started quoted and unquoted.
    void startsACommandLine()
    {
#ifndef Q_OS_UNIX
        QSKIP("the program it starts is a shell script");
#endif
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("my tools")));
        const QString program = dir.filePath(QStringLiteral("my tools/run.exe"));
        QFile script(program), out(program + QStringLiteral(".out"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$@\" > \"$0.out\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        for (const QString &line : {'"' + program + '"', program}) {
            out.remove();
            QVERIFY(services.Shell(line + QStringLiteral(" one  two")));
            QTRY_VERIFY(out.size() > 0);
            QVERIFY(out.open(QIODevice::ReadOnly));
            QCOMPARE(out.readAll(), QByteArray("one two\n"));
            out.close();
        }
        QVERIFY(!services.Shell(dir.filePath(QStringLiteral("my tools/missing"))));
    }
};

QTEST_MAIN(TestQtRuntimeServices)
#include "tst_qtruntimeservices.moc"
