#include "app/sysinfo.h"
#include "tests/memoryregistry.h"
#include "tests/scriptedservices.h"

#include <QTest>

namespace {
const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString Tool =
        QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
const QString Folder = QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo");
const QString FolderTool = Folder + QStringLiteral("\\MSINFO32.EXE");
const QString QuotedFolderTool = '"' + FolderTool + '"';
const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

QByteArray text(const QString &s)
{
    return s.toLocal8Bit() + '\0';
}
}

class TestSysInfo : public QObject
{
    Q_OBJECT

private slots:
    void findsAndStartsTheTool_data()
    {
        // A type of 0 leaves the value out of the registry.
        QTest::addColumn<uint>("pathType");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<uint>("folderType");
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("unstartable");
        QTest::addColumn<QStringList>("launched");
        QTest::addColumn<QStringList>("fileTests");
        QTest::addColumn<bool>("folderKeyTried");

        const uint sz = registry::TypeSz;
        const uint none = 0;
        QTest::newRow("PATH starts without a file test")
                << sz << text(Tool) << sz << text(Folder) << QStringList() << QStringList()
                << QStringList{Tool} << QStringList() << false;
        QTest::newRow("PATH to a missing file fails to start")
                << sz << text(Tool) << sz << text(Folder) << QStringList{FolderTool} << QStringList{Tool}
                << QStringList() << QStringList() << false;
        QTest::newRow("PATH of no bytes gives up at once")
                << sz << QByteArray() << sz << text(Folder) << QStringList{FolderTool} << QStringList()
                << QStringList() << QStringList() << false;
        QTest::newRow("PATH of another type starts an empty path")
                << uint(registry::TypeExpandSz) << text(Tool) << sz << text(Folder) << QStringList{FolderTool}
                << QStringList{QString()} << QStringList() << QStringList() << false;
        QTest::newRow("PATH over 1024 bytes counts as missing")
                << sz << QByteArray(1025, 'x') << sz << text(Folder) << QStringList{FolderTool}
                << QStringList() << QStringList{QuotedFolderTool} << QStringList{FolderTool} << true;
        QTest::newRow("folder holding the tool")
                << none << QByteArray() << sz << text(Folder) << QStringList{FolderTool} << QStringList()
                << QStringList{QuotedFolderTool} << QStringList{FolderTool} << true;
        QTest::newRow("folder without the tool")
                << none << QByteArray() << sz << text(Folder) << QStringList() << QStringList()
                << QStringList() << QStringList{FolderTool} << true;
        // An empty folder would name "\MSINFO32.EXE" on the current drive, planted there here.
        const QStringList planted{QStringLiteral("\\MSINFO32.EXE")};
        QTest::newRow("folder of another type counts as not found")
                << none << QByteArray() << uint(registry::TypeExpandSz) << text(Folder) << planted
                << QStringList() << QStringList() << QStringList() << true;
        QTest::newRow("folder of a lone zero counts as not found")
                << none << QByteArray() << sz << QByteArray(1, '\0') << planted << QStringList()
                << QStringList() << QStringList() << true;
        QTest::newRow("folder of no bytes counts as not found")
                << none << QByteArray() << sz << QByteArray() << planted << QStringList() << QStringList()
                << QStringList() << true;
        QTest::newRow("nothing at all") << none << QByteArray() << none << QByteArray() << QStringList()
                                        << QStringList() << QStringList() << QStringList() << true;
    }

    void findsAndStartsTheTool()
    {
        QFETCH(uint, pathType);
        QFETCH(QByteArray, path);
        QFETCH(uint, folderType);
        QFETCH(QByteArray, folder);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, unstartable);
        QFETCH(QStringList, launched);
        QFETCH(QStringList, fileTests);
        QFETCH(bool, folderKeyTried);

        MemoryRegistry reg;
        if (pathType != 0)
            reg.set(ToolKey, "PATH", pathType, path);
        if (folderType != 0)
            reg.set(FolderKey, "MSINFO", folderType, folder);
        ScriptedServices services;
        services.existingFiles = QSet<QString>(existing.begin(), existing.end());
        services.unstartable = QSet<QString>(unstartable.begin(), unstartable.end());

        StartSysInfo(services, reg);

        QCOMPARE(services.launched, launched);
        // Every path that cannot start is tried once, then the message follows.
        QCOMPARE(services.failedStarts, unstartable);
        QCOMPARE(services.fileTests, fileTests);
        if (launched.isEmpty()) {
            QCOMPARE(services.boxes.size(), 1);
            const auto &box = services.boxes.first();
            QCOMPARE(box.prompt, Unavailable);
            QCOMPARE(box.buttons, RuntimeServices::Buttons::Ok);
            QVERIFY(box.title.isEmpty());
        } else {
            QVERIFY(services.boxes.isEmpty());
        }
        QCOMPARE(reg.calls.filter(QString::fromStdString(FolderKey)).isEmpty(), !folderKeyTried);
        QVERIFY(reg.open.empty());
    }

    void withoutARegistryTheMessageShows()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has a registry");
#else
        ScriptedServices services;
        StartSysInfo(services, registry::systemRegistry());
        QVERIFY(services.launched.isEmpty());
        QCOMPARE(services.prompts(), QStringList{Unavailable});
#endif
    }
};

QTEST_GUILESS_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
