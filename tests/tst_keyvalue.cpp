#include "services/registry/keyvalue.h"
#include "tests/memoryregistry.h"

#include <QTest>

#include <stdexcept>

namespace {
const std::string Key = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string Value = "PATH";

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(static_cast<char>(v));
    return result;
}
}

class TestKeyValue : public QObject
{
    Q_OBJECT

private slots:
    void readsAValue_data()
    {
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("keyVal");

        const QByteArray before("before");
        const uint sz = registry::TypeSz;
        const uint dword = registry::TypeDword;
        QTest::newRow("text loses its final zero")
                << sz << QByteArray("C:\\msinfo32.exe", 16) << true << QByteArray("C:\\msinfo32.exe");
        QTest::newRow("text without a final zero stays whole")
                << sz << QByteArray("abc") << true << QByteArray("abc");
        QTest::newRow("only one final zero goes")
                << sz << QByteArray("ab\0\0", 4) << true << QByteArray("ab\0", 3);
        QTest::newRow("a lone zero is the empty text") << sz << QByteArray(1, '\0') << true << QByteArray();
        QTest::newRow("1024 bytes fit") << sz << QByteArray(1024, 'x') << true << QByteArray(1024, 'x');
        QTest::newRow("1025 bytes count as missing") << sz << QByteArray(1025, 'x') << false << QByteArray();
        QTest::newRow("dword, most significant byte first")
                << dword << bytes({0x78, 0x56, 0x34, 0x12}) << true << QByteArray("&h12345678");
        QTest::newRow("dword loses a last stored zero byte")
                << dword << bytes({0x01, 0, 0, 0}) << true << QByteArray("&h001");
        QTest::newRow("dword zero bytes in the middle")
                << dword << bytes({0x0C, 0x0B, 0, 0x0A}) << true << QByteArray("&hA0BC");
        QTest::newRow("dword digits are upper case")
                << dword << bytes({0xFF, 0xAB, 0x10, 0x00}) << true << QByteArray("&h10ABFF");
        QTest::newRow("dword zero") << dword << bytes({0, 0, 0, 0}) << true << QByteArray("&h000");
        QTest::newRow("expandable text leaves the value")
                << uint(registry::TypeExpandSz) << QByteArray("%SystemRoot%", 13) << true << before;
        QTest::newRow("binary leaves the value") << 3u << bytes({1, 2, 3}) << true << before;
    }

    void readsAValue()
    {
        QFETCH(uint, type);
        QFETCH(QByteArray, stored);
        QFETCH(bool, found);
        QFETCH(QByteArray, keyVal);

        // The double grants read rights only, like a limited account: asking for more fails.
        MemoryRegistry reg;
        reg.set(Key, Value, type, stored);
        std::string KeyVal = "before";
        QCOMPARE(registry::GetKeyValue(reg, registry::HKeyLocalMachine, Key, Value, KeyVal), found);
        QCOMPARE(QByteArray::fromStdString(KeyVal), keyVal);
        QCOMPARE(reg.calls,
                 QStringList({
                         QStringLiteral("open 80000002 %1 0 20019 -> 0 100").arg(QString::fromStdString(Key)),
                         found ? QStringLiteral("query 100 PATH -> 0")
                               : QStringLiteral("query 100 PATH -> 234"),
                         QStringLiteral("close 100 -> 0"),
                 }));
    }

    void missingKeyOrValueEmptiesTheTextAndStillCloses_data()
    {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("no key")
                << false
                << QStringList({
                           QStringLiteral("open 80000002 %1 0 20019 -> 2 0").arg(QString::fromStdString(Key)),
                           QStringLiteral("close 0 -> 6"),
                   });
        QTest::newRow("no value") << true
                                  << QStringList({
                                             QStringLiteral("open 80000002 %1 0 20019 -> 0 100")
                                                     .arg(QString::fromStdString(Key)),
                                             QStringLiteral("query 100 PATH -> 2"),
                                             QStringLiteral("close 100 -> 0"),
                                     });
    }

    void missingKeyOrValueEmptiesTheTextAndStillCloses()
    {
        QFETCH(bool, keyExists);
        QFETCH(QStringList, calls);
        MemoryRegistry reg;
        if (keyExists)
            reg.setKey(Key);
        std::string KeyVal = "before";
        QVERIFY(!registry::GetKeyValue(reg, registry::HKeyLocalMachine, Key, Value, KeyVal));
        QVERIFY(KeyVal.empty());
        QCOMPARE(reg.calls, calls);
    }

    void aValueOfNoBytesThrowsWithTheKeyClosed()
    {
        MemoryRegistry reg;
        reg.set(Key, Value, registry::TypeSz, QByteArray());
        std::string KeyVal = "before";
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 registry::GetKeyValue(reg, registry::HKeyLocalMachine, Key, Value, KeyVal));
        QVERIFY(reg.open.empty());
        QCOMPARE(reg.calls.last(), QStringLiteral("close 100 -> 0"));
    }

    void whereThereIsNoRegistryNothingOpens()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has a registry");
#else
        registry::Registry &reg = registry::systemRegistry();
        registry::Key key = 7;
        QVERIFY(reg.RegOpenKeyExA(registry::HKeyLocalMachine, Key, 0, registry::KeyRead, key)
                != registry::ErrorSuccess);
        QCOMPARE(key, registry::Key(0));
        QVERIFY(reg.RegOpenKeyExA(registry::HKeyLocalMachine, {}, 0, registry::KeyRead, key)
                != registry::ErrorSuccess);
        std::string KeyVal = "before";
        QVERIFY(!registry::GetKeyValue(reg, registry::HKeyLocalMachine, Key, Value, KeyVal));
        QVERIFY(KeyVal.empty());
#endif
    }
};

QTEST_APPLESS_MAIN(TestKeyValue)
#include "tst_keyvalue.moc"
