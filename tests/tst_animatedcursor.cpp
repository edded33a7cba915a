#include "cursor/animatedcursor.h"
#include "tests/recordingcursorplatform.h"

#include <QTest>

#include <algorithm>
#include <optional>

namespace {
const QString Default = QStringLiteral("Cursors\\Calc-Default.ani");
const QString Arrow = QStringLiteral("Cursors\\arrow_m.cur");
}

class TestAnimatedCursor : public QObject
{
    Q_OBJECT

    RecordingCursorPlatform platform;
    std::optional<AnimatedCursor> cursor;

private slots:
    void init()
    {
        cursor.reset();
        platform = RecordingCursorPlatform();
        platform.existingFiles = {Default.toStdString(), Arrow.toStdString()};
        cursor.emplace(platform, QStringLiteral("/opt/pellavin"));
    }

    void startSavesACopyThenInstallsTheFile()
    {
        cursor->StartAnimatedCursor(Default);
        QCOMPARE(platform.calls, QStringList({
                                         "GetCursor -> 7",
                                         "CopyIcon 7 -> 100",
                                         "LoadCursorFromFile Cursors\\Calc-Default.ani -> 101",
                                         "SetSystemCursor 101 32512 -> ok",
                                 }));
        QCOMPARE(cursor->lngOldCursor(), 100);
        QCOMPARE(cursor->lngNewCursor(), 101);
    }

    void restoreInstallsTheSavedCopyOnlyOnce()
    {
        cursor->StartAnimatedCursor(Default);
        platform.calls.clear();
        cursor->RestoreLastCursor();
        QCOMPARE(platform.calls, QStringList({"SetSystemCursor 100 32512 -> ok"}));
        QCOMPARE(platform.installed, 100);

        // The platform owns the copy now: a second restore must not hand it over again.
        platform.calls.clear();
        cursor->RestoreLastCursor();
        QVERIFY(platform.calls.isEmpty());
        QCOMPARE(cursor->lngOldCursor(), 100);
    }

    void restoreBeforeAnyStartDoesNothing()
    {
        cursor->RestoreLastCursor();
        QVERIFY(platform.calls.isEmpty());
    }

    void secondStartReleasesTheFirstCopyAndRestoreBringsBackTheSecond()
    {
        cursor->StartAnimatedCursor(Default);
        platform.current = 9; // what the platform shows after the first install
        platform.calls.clear();
        cursor->StartAnimatedCursor(Default);
        QCOMPARE(platform.calls, QStringList({
                                         "GetCursor -> 9",
                                         "CopyIcon 9 -> 102",
                                         "DestroyCursor 100",
                                         "LoadCursorFromFile Cursors\\Calc-Default.ani -> 103",
                                         "SetSystemCursor 103 32512 -> ok",
                                 }));
        platform.calls.clear();
        cursor->RestoreLastCursor();
        QCOMPARE(platform.calls, QStringList({"SetSystemCursor 102 32512 -> ok"}));
        QVERIFY(platform.live.empty());
    }

    void startAfterRestoreDoesNotReleaseWhatThePlatformOwns()
    {
        cursor->StartAnimatedCursor(Default);
        cursor->RestoreLastCursor();
        platform.calls.clear();
        cursor->StartAnimatedCursor(Default);
        QVERIFY(!platform.calls.join(u'\n').contains(QStringLiteral("DestroyCursor")));
    }

    void missingFileChangesNothingButTheSavedCopy()
    {
        cursor->StartAnimatedCursor(QStringLiteral("Cursors\\missing.ani"));
        QCOMPARE(platform.calls, QStringList({
                                         "GetCursor -> 7",
                                         "CopyIcon 7 -> 100",
                                         "LoadCursorFromFile Cursors\\missing.ani -> 0",
                                         "SetSystemCursor 0 32512 -> failed",
                                 }));
        QCOMPARE(platform.installed, 0);
        QCOMPARE(cursor->lngOldCursor(), 100);
        QCOMPARE(cursor->lngNewCursor(), 0);
    }

    void noCurrentCursorLeavesNothingToRestore()
    {
        platform.current = 0;
        cursor->StartAnimatedCursor(Default);
        QCOMPARE(cursor->lngOldCursor(), 0);
        platform.calls.clear();
        cursor->RestoreLastCursor();
        QVERIFY(platform.calls.isEmpty());
    }

    void unsentCopyIsReleasedWithTheWindow()
    {
        cursor->StartAnimatedCursor(Default);
        cursor.reset();
        QVERIFY(platform.live.empty());
        QCOMPARE(platform.calls.last(), QStringLiteral("DestroyCursor 100"));
    }

    void pathRule_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("resolved");
        QTest::newRow("backslash: current directory") << "/opt/pellavin"
                                                      << "Cursors\\arrow_m.cur"
                                                      << "Cursors\\arrow_m.cur";
        QTest::newRow("leading backslash") << "/opt/pellavin"
                                           << "\\arrow_m.cur"
                                           << "\\arrow_m.cur";
        QTest::newRow("bare name: program folder") << "/opt/pellavin"
                                                   << "arrow_m.cur"
                                                   << "/opt/pellavin\\arrow_m.cur";
        QTest::newRow("no separator test at the folder's end") << "C:\\"
                                                               << "arrow_m.cur"
                                                               << "C:\\\\arrow_m.cur";
        QTest::newRow("forward slash is no backslash") << "/opt/pellavin"
                                                       << "Cursors/arrow_m.cur"
                                                       << "/opt/pellavin\\Cursors/arrow_m.cur";
    }

    void pathRule()
    {
        QFETCH(QString, folder);
        QFETCH(QString, given);
        QFETCH(QString, resolved);
        AnimatedCursor other(platform, folder);
        QCOMPARE(other.resolvePath(given), resolved);
        other.StartAnimatedCursor(given);
        const QString load = QStringLiteral("LoadCursorFromFile %1 -> ").arg(resolved);
        QVERIFY(std::any_of(platform.calls.cbegin(), platform.calls.cend(),
                            [&](const QString &call) { return call.startsWith(load); }));
    }

    void guard_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QStringList>("loads");
        QTest::newRow("normal: own file") << 0 << 0 << QStringList{"Cursors\\Calc-Default.ani"};
        QTest::newRow("minimised: plain arrow only") << 1 << 1 << QStringList{"Cursors\\arrow_m.cur"};
        QTest::newRow("maximised: nothing") << 2 << 2 << QStringList{};
        QTest::newRow("minimised between the reads: both")
                << 0 << 1 << QStringList{"Cursors\\Calc-Default.ani", "Cursors\\arrow_m.cur"};
    }

    void guard()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QStringList, loads);
        int reads = 0;
        cursor->tmrCursorSecurity_Timer([&] { return reads++ == 0 ? first : second; }, Default);
        QCOMPARE(reads, 2);
        QStringList loaded;
        for (const QString &call : std::as_const(platform.calls)) {
            if (call.startsWith(QStringLiteral("LoadCursorFromFile ")))
                loaded << call.section(u' ', 1, 1);
        }
        QCOMPARE(loaded, loads);
    }
};

QTEST_APPLESS_MAIN(TestAnimatedCursor)
#include "tst_animatedcursor.moc"
