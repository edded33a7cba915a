#include "cursor/animatedcursor.h"
#include "cursor/cursorplatform_qt.h"
#include "cursor/file/cursorwriter.h"
#include "tests/cursorbytes.h"
#include "tests/recordingforms.h"
#include "tests/scriptedservices.h"
#include "windows/frmmath.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <set>

namespace {

const std::string Cursors = PELLAVIN_SOURCE_DIR "/Cursors/";

QImage frameImage(const cursorfile::Frame &frame)
{
    QImage image(frame.width, frame.height, QImage::Format_ARGB32);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x)
            image.setPixel(x, y, frame.argb.at(static_cast<std::size_t>(y) * frame.width + x));
    }
    return image;
}

QImage shown(const QCursor &cursor)
{
    return cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}

}

class TestQtCursor : public QObject
{
    Q_OBJECT

    std::unique_ptr<QtCursorPlatform> platform;

private slots:
    void init() { platform = std::make_unique<QtCursorPlatform>(); }
    void cleanup() { platform.reset(); }

    void ordinaryArrowBeforeAnyInstall()
    {
        QCOMPARE(platform->currentArrow().shape(), Qt::ArrowCursor);
        QVERIFY(platform->GetCursor() != 0);
    }

    void handlesAreSmallAndOwnedByTheLayer()
    {
        const auto loaded = platform->LoadCursorFromFile(Cursors + "arrow_m.cur");
        QVERIFY(loaded > 0 && loaded < 100);
        const auto copy = platform->CopyIcon(loaded);
        QVERIFY(copy != 0 && copy != loaded);
        QCOMPARE(platform->CopyIcon(0), 0);
        QCOMPARE(platform->CopyIcon(12345), 0);

        QVERIFY(platform->SetSystemCursor(loaded, cursorplatform::OCR_NORMAL));
        // Handed over: the handle is gone, and installing it again fails without effect.
        QVERIFY(!platform->isValid(loaded));
        QVERIFY(!platform->SetSystemCursor(loaded, cursorplatform::OCR_NORMAL));
        QVERIFY(!platform->SetSystemCursor(0, cursorplatform::OCR_NORMAL));
        QVERIFY(!platform->SetSystemCursor(copy, 32513)); // only the standard arrow
        platform->DestroyCursor(copy);
        QVERIFY(!platform->isValid(copy));
        QCOMPARE(platform->handleCount(), 0);
    }

    void badFilesGiveNoHandle_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("not a cursor");
        QByteArray cut;
        QFile file(QString::fromStdString(Cursors + "Calc-Default.ani"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        cut = file.readAll().left(600);
        QTest::newRow("truncated animation") << cut;
    }

    void badFilesGiveNoHandle()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("bad.ani")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QCOMPARE(platform->LoadCursorFromFile(file.fileName().toStdString()), 0);
        QCOMPARE(platform->LoadCursorFromFile(dir.filePath(QStringLiteral("missing.cur")).toStdString()), 0);
        QCOMPARE(platform->handleCount(), 0);
    }

    void backslashesSeparateFolders()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Cursors")));
        QVERIFY(QFile::copy(QString::fromStdString(Cursors + "arrow_m.cur"),
                            dir.filePath(QStringLiteral("Cursors/arrow_m.cur"))));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        AnimatedCursor cursor(*platform, QStringLiteral("/nowhere"));
        cursor.StartAnimatedCursor(QStringLiteral("Cursors\\arrow_m.cur"));
        QDir::setCurrent(previous);
        QVERIFY(cursor.lngNewCursor() != 0);
        QCOMPARE(platform->currentArrow().shape(), Qt::BitmapCursor);
    }

    // Every window of the program shows the installed cursor's current frame as its arrow,
    // windows opened later included, while a text box keeps its I-beam.
    void windowsShowTheInstalledFrame()
    {
        const auto file = cursorfile::load(Cursors + "Calc-Default.ani");
        QVERIFY(file && file->sequence.size() > 1);

        QWidget before;
        auto *edit = new QLineEdit(&before);
        before.show();
        QVERIFY(platform->SetSystemCursor(platform->LoadCursorFromFile(Cursors + "Calc-Default.ani"),
                                          cursorplatform::OCR_NORMAL));
        const cursorfile::Frame &first = file->frames.at(file->sequence.at(platform->currentStep()));
        QCOMPARE(shown(before.cursor()), frameImage(first));
        QCOMPARE(before.cursor().hotSpot(), QPoint(first.hotspotX, first.hotspotY));
        QCOMPARE(edit->cursor().shape(), Qt::IBeamCursor);

        QDialog later;
        later.show();
        QCOMPARE(shown(later.cursor()), shown(platform->currentArrow()));

        // It animates: the window follows the steps.
        const std::size_t step = platform->currentStep();
        QTRY_VERIFY_WITH_TIMEOUT(platform->currentStep() != step, 2000);
        const cursorfile::Frame &now = file->frames.at(file->sequence.at(platform->currentStep()));
        QCOMPARE(shown(before.cursor()), frameImage(now));

        // Copying "the cursor shown now" and installing the copy brings it back later.
        const auto saved = platform->CopyIcon(platform->GetCursor());
        QVERIFY(platform->SetSystemCursor(platform->LoadCursorFromFile(Cursors + "arrow_m.cur"),
                                          cursorplatform::OCR_NORMAL));
        QCOMPARE(platform->currentStep(), std::size_t(0));
        QVERIFY(platform->SetSystemCursor(saved, cursorplatform::OCR_NORMAL));
        QCOMPARE(shown(later.cursor()), shown(platform->currentArrow()));
    }

    // Steps that show the frame already on screen are passed over in one wait, the step after
    // the last one included; a window hidden meanwhile shows the frame of the moment again.
    void stepsOfOneFrameWakeOnce()
    {
        QTemporaryDir dir;
        const auto square = [](std::uint32_t colour) {
            return cursorfile::Frame{2, 2, 0, 0, std::vector<std::uint32_t>(4, colour), {}};
        };
        cursorfile::Cursor cursor;
        cursor.frames = {square(0xff000000u), square(0xffffffffu)};
        cursor.sequence = {0, 1, 1, 1, 0};
        cursor.jiffies = {1, 1, 1, 1, 1};
        const QString path = dir.filePath(QStringLiteral("steps.ani"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cursorbytes::toBytes(cursorfile::writeAni(cursor)));
        file.close();

        QWidget window;
        window.show();
        QVERIFY(platform->SetSystemCursor(platform->LoadCursorFromFile(path.toStdString()),
                                          cursorplatform::OCR_NORMAL));
        // Every step taken, as it is taken. Only steps 1 and 4 change the frame, so a look now
        // and then can find the same step each time however often it has changed meanwhile (a
        // throttled machine's timing lines the looks up with the steps).
        std::vector<std::size_t> steps{platform->currentStep()};
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (platform->currentStep() != steps.back())
                steps.push_back(platform->currentStep());
        });
        watch.start(1);
        QTRY_VERIFY_WITH_TIMEOUT(steps.size() > 6, 5000);
        const std::set<std::size_t> seen(steps.begin() + 1, steps.end());
        QCOMPARE(seen, (std::set<std::size_t>{1, 4}));

        window.hide();
        const std::size_t taken = steps.size();
        QTRY_VERIFY_WITH_TIMEOUT(steps.size() > taken + 1, 5000);
        window.show();
        QCOMPARE(shown(window.cursor()), shown(platform->currentArrow()));
    }

    void mainWindowShowsTheDefaultCursor()
    {
        ScriptedServices services;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QStringLiteral(PELLAVIN_SOURCE_DIR));
        RecordingForms forms;
        frmMath window(services, *platform, forms);
        window.tmrTimer->stop();
        window.Form_Activate();
        QDir::setCurrent(previous);
        window.show();

        const auto file = cursorfile::load(Cursors + "Calc-Default.ani");
        QVERIFY(file);
        const cursorfile::Frame &frame = file->frames.at(file->sequence.at(platform->currentStep()));
        QCOMPARE(shown(window.cursor()), frameImage(frame));
        QCOMPARE(shown(window.lblNextQuestion->cursor()), frameImage(frame));
        QCOMPARE(window.txtAnswer->cursor().shape(), Qt::IBeamCursor);
    }

    // Loading a file whose cursor is still in use (the main window does on each activation, while
    // its saved copy holds the one before) shares the decoded frames instead of decoding again.
    void reloadingSharesTheDecodedFrames()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cursor.ani"));
        QVERIFY(QFile::copy(QString::fromStdString(Cursors + "Calc-Default.ani"), path));
        auto installFile = [&] {
            return platform->SetSystemCursor(platform->LoadCursorFromFile(path.toStdString()),
                                             cursorplatform::OCR_NORMAL);
        };
        QVERIFY(installFile());
        const qint64 first = platform->currentArrow().pixmap().cacheKey();
        const auto saved = platform->CopyIcon(platform->GetCursor());
        QVERIFY(installFile());
        QCOMPARE(platform->currentArrow().pixmap().cacheKey(), first);
        // Other bytes under the same name are another cursor.
        QFile::remove(path);
        QVERIFY(QFile::copy(QString::fromStdString(Cursors + "arrow_m.cur"), path));
        QVERIFY(installFile());
        QVERIFY(platform->currentArrow().pixmap().cacheKey() != first);
        platform->DestroyCursor(saved);
    }

    void windowWithItsOwnCursorIsLeftAlone()
    {
        QWidget busy;
        busy.setCursor(Qt::WaitCursor);
        busy.show();
        QVERIFY(platform->SetSystemCursor(platform->LoadCursorFromFile(Cursors + "arrow_m.cur"),
                                          cursorplatform::OCR_NORMAL));
        QCOMPARE(busy.cursor().shape(), Qt::WaitCursor);
    }

    // With an oversized animation in place of both animated cursors, the main window comes up
    // at once and the cursor stays as it was.
    void oversizedAnimationIsRefused()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Cursors")));
        const QByteArray bytes = cursorbytes::hugeFramesFile();
        for (const char *name : {"Cursors/Calc-Default.ani", "Cursors/Calc-Hello.ani"}) {
            QFile file(dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        ScriptedServices services;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QElapsedTimer clock;
        clock.start();
        RecordingForms forms;
        frmMath window(services, *platform, forms);
        window.tmrTimer->stop();
        window.Show();
        window.Form_Activate();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const qint64 elapsed = clock.elapsed();
        QDir::setCurrent(previous);

        QCOMPARE(platform->currentArrow().shape(), Qt::ArrowCursor);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(services.boxes.size(), 2); // the name prompt and the greeting, nothing about the cursor
        QVERIFY2(elapsed < 2000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
        QCOMPARE(platform->LoadCursorFromFile(
                         dir.filePath(QStringLiteral("Cursors/Calc-Default.ani")).toStdString()),
                 0);
    }
};

QTEST_MAIN(TestQtCursor)
#include "tst_qtcursor.moc"
