#include "app/windowregistry.h"
#include "quiz/quiztexts.h"
#include "services/qtruntimeservices.h"
#include "tests/recordingcursorplatform.h"
#include "tests/scriptedservices.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/frmmath.h"
#include "windows/frmsplash.h"
#include "windows/layout.h"

#include <QAction>
#include <QApplication>
#include <QBackingStore>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

using Window = WindowRegistry::Window;

namespace {

// Counts the timer events that reach the main window's cursor guard.
class GuardTicks : public QObject
{
public:
    int ticks = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer && qobject_cast<frmMath *>(watched->parent())
            && watched->objectName() == QLatin1String("tmrCursorSecurity"))
            ++ticks;
        return false;
    }
};

}

// The program's start: the registry builds the splash window alone, and a key or a click there
// hands over to the main window. Then the ways the program ends.
class TestStartup : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    RecordingCursorPlatform cursors;
    std::unique_ptr<WindowRegistry> forms;

    frmSplash &splash() { return forms->splash(); }

    void queueFirstQuestion()
    {
        services.inputAnswers.enqueue(QStringLiteral("Ada"));
        services.queueDraw(9, 15);
        services.queueDraw(4, 15);
        services.queueDraw(1, 2);
    }

    void startAndActivate()
    {
        forms->start();
        splash().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&splash()));
    }

    void verifyHandedOver()
    {
        QVERIFY(forms->loaded(Window::Math));
        QVERIFY(forms->math().isVisible());
        QVERIFY(!splash().isVisible());
        QCOMPARE(services.prompts(),
                 QStringList({quiztexts::NamePrompt(), quiztexts::Greeting(QStringLiteral("Ada"))}));
        QCOMPARE(forms->math().lblQuestionsToGoNumber->text(), QStringLiteral("19"));
        QCOMPARE(forms->math().lblQuestionA->text() + forms->math().lblMathOperator->text()
                         + forms->math().lblQuestionB->text(),
                 QStringLiteral("9+4"));
    }

    void handOver()
    {
        startAndActivate();
        queueFirstQuestion();
        QTest::keyClick(&splash(), Qt::Key_Return);
        QVERIFY(QTest::qWaitForWindowActive(&forms->math()));
    }

    template<typename T> static int instancesOf()
    {
        int n = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            n += qobject_cast<T *>(window) != nullptr;
        return n;
    }

    int countOf(const QString &prefix, qsizetype from = 0) const
    {
        int n = 0;
        for (qsizetype i = from; i < cursors.calls.size(); ++i)
            n += cursors.calls.at(i).startsWith(prefix);
        return n;
    }

private slots:
    void init()
    {
        services = ScriptedServices();
        cursors = RecordingCursorPlatform();
        cursors.existingFiles = {"Cursors\\Calc-Hello.ani", "Cursors\\Calc-Default.ani",
                                 "Cursors\\arrow_m.cur"};
        forms = std::make_unique<WindowRegistry>(services, cursors, [] {});
    }

    void cleanup() { forms.reset(); }

    void startShowsTheSplashWindowAlone()
    {
        forms->start();
        QVERIFY(splash().isVisible());
        QVERIFY(!forms->loaded(Window::Math));
        QVERIFY(!forms->loaded(Window::About));
        QVERIFY(!forms->loaded(Window::Help));
        QVERIFY(services.boxes.isEmpty());
        QCOMPARE(cursors.calls.mid(0, 4), QStringList({"GetCursor -> 7", "CopyIcon 7 -> 100",
                                                       "LoadCursorFromFile Cursors\\Calc-Hello.ani -> 101",
                                                       "SetSystemCursor 101 32512 -> ok"}));
        // One instance of each: asking again gives the same window.
        QCOMPARE(&forms->splash(), &splash());
    }

    void splashWindow()
    {
        frmSplash &w = splash();
        QCOMPARE(w.objectName(), QStringLiteral("frmSplash"));
        QCOMPARE(w.size(), QSize(492, 279));
        QCOMPARE(w.windowTitle(), QString());
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        // X11 window managers may not activate a tool window; there it is an ordinary one.
        QCOMPARE(w.windowFlags() & Qt::WindowType_Mask,
                 QGuiApplication::platformName() == QLatin1String("xcb") ? Qt::Window : Qt::Tool);
        QCOMPARE(w.tmrCursorSecurity->interval(), 1);
        QCOMPARE(w.Frame1->geometry(), twipsRect(120, 60, 7200, 4050));
        QCOMPARE(w.Frame1->title(), QString());
        QVERIFY(w.Frame1->autoFillBackground());
        QCOMPARE(w.imgLogo->geometry(), twipsRect(120, 840, 2160, 2520));
        QVERIFY(w.imgLogo->hasScaledContents());
        for (QWidget *child : w.findChildren<QWidget *>())
            QCOMPARE(child->focusPolicy(), Qt::NoFocus);
    }

    // The logo is decoded once the window is on screen, yet before anything of it is painted.
    void splashLogoIsInTheFirstPicture()
    {
        frmSplash &w = splash();
        QVERIFY(w.imgLogo->pixmap().isNull());
        struct FirstPaint : QObject
        {
            QLabel *logo = nullptr;
            int paints = 0;
            QSize size;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint && paints++ == 0)
                    size = logo->pixmap().size();
                return false;
            }
        } watch;
        watch.logo = w.imgLogo;
        w.imgLogo->installEventFilter(&watch);
        forms->start();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(watch.paints > 0);
        QCOMPARE(watch.size, QSize(200, 200));
        w.imgLogo->removeEventFilter(&watch);
    }

    // Unloading gives back the logo and the picture buffer of the hidden window; shown again,
    // it has both back.
    void unloadedSplashWindowComesBackWhole()
    {
        handOver();
        frmSplash &w = splash();
        QVERIFY(w.imgLogo->pixmap().isNull());
        QVERIFY(w.backingStore()->size().width() <= 1);

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.imgLogo->pixmap().size(), QSize(200, 200));
        QTRY_COMPARE(w.backingStore()->size(), w.size());
    }

    void splashLabels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("anchor");
        auto row = [](const char *name, const char *text, QRect box, double points, bool bold,
                      const char *anchor) {
            QTest::newRow(name) << name << text << box << points << bold << anchor;
        };
        row("lblCopyright", "Copyright", QRect(4560, 3060, 2415, 255), 8.25, false, "box");
        row("lblCompany", "Varnholt Corp.", QRect(4560, 3270, 2415, 255), 8.25, false, "box");
        row("lblVersion", "Version 1.0.0", QRect(5970, 2700, 885, 285), 12, true, "right");
        row("lblPlatform", "Platform", QRect(5580, 2340, 1275, 360), 15.75, true, "right");
        row("lblProductName", "Pellavin", QRect(2520, 1140, 2430, 765), 32.25, true, "left");
        row("lblCompanyProduct", "Varnholt Corp.", QRect(2355, 705, 2475, 435), 18, true, "left");
    }

    void splashLabels()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QString, anchor);
        auto *label = splash().findChild<QLabel *>(name);
        QVERIFY(label);
        QCOMPARE(label->parentWidget(), splash().Frame1);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->font().pointSizeF(), points);
        QCOMPARE(label->font().bold(), bold);
        QVERIFY(!label->autoFillBackground());
        const QString family = QFontInfo(label->font()).family();
        QVERIFY2(family == u"Arial" || family == u"Liberation Sans", qPrintable(family));
        const QRect box = twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
        if (anchor == u"box") {
            QCOMPARE(label->geometry(), box);
            QVERIFY(label->fontMetrics().horizontalAdvance(text) <= box.width());
        } else {
            QCOMPARE(label->size(), label->sizeHint());
            QCOMPARE(label->y(), box.y());
            if (anchor == u"left")
                QCOMPARE(label->x(), box.x());
            else
                QCOMPARE(label->x() + label->width(), box.x() + box.width());
        }
    }

    void versionNumbersAreWrittenInFull()
    {
        services.versionMinor = 10;
        forms = std::make_unique<WindowRegistry>(services, cursors, [] {});
        QCOMPARE(splash().lblVersion->text(), QStringLiteral("Version 1.10.0"));
        // Both right-aligned labels keep their shared right edge.
        QCOMPARE(splash().lblVersion->geometry().right(), splash().lblPlatform->geometry().right());
    }

    void keysThatTypeACharacterHandOver_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("handsOver");
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << true;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << true;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << true;
        QTest::newRow("digit") << int(Qt::Key_7) << 0 << true;
        QTest::newRow("arrow") << int(Qt::Key_Left) << 0 << false;
        QTest::newRow("Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << false;
        QTest::newRow("F1") << int(Qt::Key_F1) << 0 << false;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << false;
        QTest::newRow("Alt+letter") << int(Qt::Key_A) << int(Qt::AltModifier) << false;
        const int altGr = int(Qt::ControlModifier | Qt::AltModifier);
        QTest::newRow("AltGr @") << int(Qt::Key_At) << altGr << true;
        QTest::newRow("AltGr {") << int(Qt::Key_BraceLeft) << altGr << true;
        QTest::newRow("AltGr+Shift |") << int(Qt::Key_Bar) << (altGr | int(Qt::ShiftModifier)) << true;
    }

    void keysThatTypeACharacterHandOver()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, handsOver);
        startAndActivate();
        queueFirstQuestion();
        const Handle saved = splash().animatedCursor().lngOldCursor();
        const qsizetype before = cursors.calls.size();
        QTest::keyClick(&splash(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (!handsOver) {
            QVERIFY(splash().isVisible());
            QVERIFY(!forms->loaded(Window::Math));
            QVERIFY(services.boxes.isEmpty());
            return;
        }
        verifyHandedOver();
        // The key path leaves the cursor as the main window installed it.
        QCOMPARE(countOf(QStringLiteral("SetSystemCursor %1 ").arg(saved), before), 0);
        QVERIFY(countOf(QStringLiteral("LoadCursorFromFile Cursors\\Calc-Default.ani"), before) >= 1);
    }

    void clicksHandOverThenRestoreTheCursor_data()
    {
        QTest::addColumn<QString>("control");
        for (const char *name : {"Frame1", "imgLogo", "lblCompany", "lblCompanyProduct", "lblCopyright",
                                 "lblPlatform", "lblProductName", "lblVersion"})
            QTest::newRow(name) << name;
    }

    void clicksHandOverThenRestoreTheCursor()
    {
        QFETCH(QString, control);
        startAndActivate();
        queueFirstQuestion();
        splash().tmrCursorSecurity->stop();
        auto *target = splash().findChild<QWidget *>(control);
        QVERIFY(target);
        const Handle saved = splash().animatedCursor().lngOldCursor();
        // Frame1 is clicked where no label covers it.
        const QPoint where = control == u"Frame1" ? QPoint(4, 4) : target->rect().center();
        QTest::mouseClick(target, Qt::LeftButton, {}, where);
        verifyHandedOver();
        QCOMPARE(cursors.calls.last(), QStringLiteral("SetSystemCursor %1 32512 -> ok").arg(saved));
    }

    // Until its first exposure the window's own handle is watched too; a release there is no
    // click of a control.
    void aReleaseOnTheUnexposedWindowDoesNothing()
    {
        forms->start();
        QVERIFY(splash().imgLogo->pixmap().isNull());
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(3, 2), QPointF(3, 2), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(splash().windowHandle(), &release);
        QVERIFY(QTest::qWaitForWindowExposed(&splash()));
        QVERIFY(splash().isVisible());
        QVERIFY(!forms->loaded(Window::Math));
    }

    void aClickOnTheMarginDoesNothing()
    {
        startAndActivate();
        QTest::mouseClick(&splash(), Qt::LeftButton, {}, QPoint(3, 2));
        QTest::mouseClick(splash().imgLogo, Qt::RightButton);
        QVERIFY(splash().isVisible());
        QVERIFY(!forms->loaded(Window::Math));
    }

    void splashGuardIsArmedOnEveryResize()
    {
        startAndActivate();
        QTRY_VERIFY(!splash().tmrCursorSecurity->isActive());
        const qsizetype before = cursors.calls.size();
        QResizeEvent resize(splash().size(), splash().size());
        QApplication::sendEvent(&splash(), &resize);
        QVERIFY(splash().tmrCursorSecurity->isActive());
        QTRY_VERIFY(!splash().tmrCursorSecurity->isActive());
        QCOMPARE(countOf(QStringLiteral("LoadCursorFromFile Cursors\\Calc-Hello.ani"), before), 1);
    }

    void handingOverDoesNotEndTheProgram()
    {
        QSignalSpy ended(forms.get(), &WindowRegistry::lastWindowClosed);
        startAndActivate();
        // Timers and posted events run while the name prompt is up, as they do in a real box.
        services.onBox = [](const ScriptedServices::Box &) { QTest::qWait(20); };
        queueFirstQuestion();
        QTest::keyClick(&splash(), Qt::Key_A);
        QTest::qWait(20);
        QCOMPARE(ended.count(), 0);
        QVERIFY(forms->math().isVisible());
    }

    void closingTheLastWindowEndsTheProgram()
    {
        QSignalSpy ended(forms.get(), &WindowRegistry::lastWindowClosed);
        startAndActivate();
        queueFirstQuestion();
        QTest::keyClick(&splash(), Qt::Key_Return);
        QVERIFY(QTest::qWaitForWindowActive(&forms->math()));
        const Handle saved = splash().animatedCursor().lngOldCursor();
        const qsizetype before = cursors.calls.size();
        forms->math().close();
        QTRY_COMPARE(ended.count(), 1);
        // The splash window puts back its copy, then the main window installs the plain arrow,
        // which is what stays on the desktop.
        const QStringList atEnd = cursors.calls.mid(before);
        const qsizetype arrow =
                atEnd.indexOf(QRegularExpression("LoadCursorFromFile Cursors.arrow_m.cur -> .*"));
        const qsizetype restore = atEnd.indexOf(QStringLiteral("SetSystemCursor %1 32512 -> ok").arg(saved));
        QVERIFY(restore >= 0 && restore < arrow);
        QCOMPARE(atEnd.last(),
                 QStringLiteral("SetSystemCursor %1 32512 -> ok").arg(atEnd.at(arrow).section(' ', -1)));
        // Nothing is installed again when the registry goes.
        const qsizetype after = cursors.calls.size();
        forms.reset();
        QCOMPARE(countOf(QStringLiteral("SetSystemCursor"), after), 0);
    }

    void exitEndsAtOnce()
    {
        startAndActivate();
        queueFirstQuestion();
        QTest::keyClick(&splash(), Qt::Key_Return);
        const qsizetype before = cursors.calls.size();
        forms->math().mnuFileExit->trigger();
        QVERIFY(services.ended);
        QCOMPARE(countOf(QStringLiteral("LoadCursorFromFile Cursors\\arrow_m.cur"), before), 1);
        // No terminate handler runs after Exit.
        const qsizetype atExit = cursors.calls.size();
        forms.reset();
        QCOMPARE(countOf(QStringLiteral("SetSystemCursor"), atExit), 0);
        QCOMPARE(countOf(QStringLiteral("LoadCursorFromFile"), atExit), 0);
    }

    void theMainWindowDisarmsItsGuardWhenItShows()
    {
        handOver();
        QVERIFY(!forms->math().tmrCursorSecurity->isActive());
    }

    void theMainWindowIsCentredByItsWholeFrame()
    {
        handOver();
        frmMath &w = forms->math();
        const QPoint centre = w.screen()->availableGeometry().center();
        // Within a pixel: an odd difference of sizes cannot be split evenly.
        QTRY_VERIFY2((w.frameGeometry().center() - centre).manhattanLength() <= 2,
                     qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                                        .arg(w.frameGeometry().x())
                                        .arg(w.frameGeometry().y())
                                        .arg(w.frameGeometry().width())
                                        .arg(w.frameGeometry().height())));
    }

    void oneAboutBoxAndOneHelpWindow()
    {
        handOver();
        frmMath &w = forms->math();
        w.mnuHelpAbout->trigger();
        QPointer<QWidget> about = forms->loaded(Window::About);
        QVERIFY(about && about->isVisible());
        w.mnuHelpAbout->trigger();
        QCOMPARE(forms->loaded(Window::About), about.data());
        QCOMPARE(instancesOf<frmAbout>(), 1);
        QVERIFY(!about->parentWidget());
        QVERIFY(!about->isModal());

        w.mnuHelpUsingThisProgram->trigger();
        w.mnuHelpUsingThisProgram->trigger();
        QCOMPARE(instancesOf<frmHelp>(), 1);
        QVERIFY(forms->loaded(Window::Help)->isVisible());
        // The main window stays usable while both are open.
        QVERIFY(w.isEnabled());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        // OK discards the box; the next one is built anew.
        forms->about().cmdOK->click();
        QTRY_VERIFY(about.isNull());
        QVERIFY(!forms->loaded(Window::About));
        w.mnuHelpAbout->trigger();
        QVERIFY(forms->loaded(Window::About));
        QCOMPARE(instancesOf<frmAbout>(), 1);
    }

    void exitWithTheAboutBoxOpen()
    {
        QSignalSpy ended(forms.get(), &WindowRegistry::lastWindowClosed);
        handOver();
        forms->math().mnuHelpAbout->trigger();
        const qsizetype before = cursors.calls.size();
        forms->math().mnuFileExit->trigger();
        QVERIFY(services.ended);
        QCOMPARE(countOf(QStringLiteral("LoadCursorFromFile Cursors\\arrow_m.cur"), before), 1);
        forms.reset();
        QCOMPARE(countOf(QStringLiteral("LoadCursorFromFile"), before), 1);
        QCOMPARE(ended.count(), 0);
    }

    void closingTheMainWindowWithTheHelpWindowOpen()
    {
        QSignalSpy ended(forms.get(), &WindowRegistry::lastWindowClosed);
        handOver();
        forms->math().mnuHelpUsingThisProgram->trigger();
        const qsizetype before = cursors.calls.size();
        forms->math().close();
        QTest::qWait(20);
        QCOMPARE(ended.count(), 0);
        QCOMPARE(countOf(QStringLiteral("LoadCursorFromFile Cursors\\arrow_m.cur"), before), 0);

        forms->help().OKButton->click();
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(countOf(QStringLiteral("LoadCursorFromFile Cursors\\arrow_m.cur"), before), 1);
    }

    void activationCountsWithRealWindows()
    {
        handOver();
        const QString installs = QStringLiteral("LoadCursorFromFile Cursors\\Calc-Default.ani");
        QCOMPARE(countOf(installs), 2);
        forms->math().mnuHelpAbout->trigger();
        QVERIFY(QTest::qWaitForWindowActive(&forms->about()));
        forms->about().cmdOK->click();
        forms->math().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&forms->math()));
        QCOMPARE(countOf(installs), 3);
        // A window of another program takes the focus, then gives it back: on a real screen a
        // real one, elsewhere what the platform would report.
        QProcess other;
        if (QGuiApplication::platformName() == u"xcb"
            && !QStandardPaths::findExecutable(QStringLiteral("xmessage")).isEmpty()) {
            other.start(QStringLiteral("xmessage"), {QStringLiteral("another program")});
            QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::focusWindow(), 10000);
            other.kill();
            other.waitForFinished();
        } else {
            QWindowSystemInterface::handleWindowActivated<QWindowSystemInterface::SynchronousDelivery>(
                    nullptr);
        }
        forms->math().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&forms->math()));
        QCOMPARE(countOf(installs), 3);
    }

    void systemInfoRunsTheLauncher()
    {
        int launches = 0;
        forms = std::make_unique<WindowRegistry>(services, cursors, [&launches] { ++launches; });
        forms->about().cmdSysInfo->click();
        QCOMPARE(launches, 1);
        QVERIFY(!forms->loaded(Window::Math));
    }

    // A box over the About box gives it the focus back when it closes, though a window manager
    // passes it to a normal window instead: the About box is a utility window.
    void aBoxGivesTheFocusBackToItsWindow()
    {
        QtRuntimeServices real;
        forms = std::make_unique<WindowRegistry>(services, cursors, [&real] {
            real.MsgBox(QStringLiteral("System Information Is Unavailable At This Time"));
        });
        handOver();
        forms->math().mnuHelpAbout->trigger();
        frmAbout &about = forms->about();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        about.cmdSysInfo->setFocus();
        bool answered = false;
        QTimer::singleShot(0, this, [&answered] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            // Up long enough for the window manager to count it as focused.
            QVERIFY(QTest::qWaitForWindowActive(QApplication::activeModalWidget()));
            QTest::qWait(500);
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
            answered = true;
        });
        QTest::keyClick(about.cmdSysInfo, Qt::Key_Space);
        QVERIFY(answered);
        // Time for the window manager to pass the focus on, as it would.
        QTest::qWait(300);
        QTRY_COMPARE(QApplication::activeWindow(), &about);
        QCOMPARE(QApplication::focusWidget(), about.cmdSysInfo);
    }

    // The real boxes, answered as they come up: the start must never end the program between
    // the splash window, the name prompt, the greeting and the main window.
    void realStartManyTimes()
    {
        QtRuntimeServices real;
        QTimer answerer;
        answerer.setInterval(5);
        connect(&answerer, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget())
                QTest::keyClick(modal, Qt::Key_Return);
        });
        answerer.start();
        // The main window's guard may tick once while the boxes are up. Its ticks are counted
        // as they are delivered: the guard can tick in the same pass of a box's event loop as
        // the answerer's last key, after anything the answerer could look at.
        GuardTicks guard;
        qApp->installEventFilter(&guard);
        for (int run = 0; run < 10; ++run) {
            const qsizetype before = cursors.calls.size();
            WindowRegistry registry(real, cursors, [] {});
            guard.ticks = 0;
            QSignalSpy ended(&registry, &WindowRegistry::lastWindowClosed);
            registry.start();
            registry.splash().activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&registry.splash()));
            QTest::keyClick(&registry.splash(), Qt::Key_Space);
            QVERIFY(registry.math().isVisible());
            QCOMPARE(registry.math().session().strUser, quiztexts::DefaultName());
            QCOMPARE(registry.math().lblQuestionsToGoNumber->text(), QStringLiteral("19"));
            QTest::qWait(10);
            QCOMPARE(ended.count(), 0);
            // Installed by the load step and by the first activation, and by the guard if it
            // ticked while the boxes were up; no more.
            QVERIFY(guard.ticks <= 1);
            QCOMPARE(countOf(QStringLiteral("LoadCursorFromFile Cursors\\Calc-Default.ani"), before),
                     2 + guard.ticks);
        }
    }

private:
    using Handle = cursorplatform::Handle;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
