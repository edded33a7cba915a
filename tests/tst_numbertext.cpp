#include "quiz/numbertext.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QScopeGuard>
#include <QTest>

#include <clocale>
#include <limits>
#include <locale>

using namespace numbertext;

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// A C++ locale whose decimal separator is a comma, for machines without a German C locale.
struct CommaPoint : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
};

QByteArray show(double value)
{
    return QByteArray::number(value, 'g', 17);
}

}

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void val_data();
    void val();
    void valReadsAFullStopWhateverTheLocale();
    void aPastedMegabyteReadsInBoundedTime_data();
    void aPastedMegabyteReadsInBoundedTime();
    void format00_data();
    void format00();
    void format00_0_data();
    void format00_0();
    void roundHalfEven_data();
    void roundHalfEven();
};

void TestNumberText::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("letters end the number") << "12abc" << 12.0;
    QTest::newRow("zero decimals") << "12.0" << 12.0;
    QTest::newRow("a half") << "12.5" << 12.5;
    QTest::newRow("blank between digits") << "1 2" << 12.0;
    QTest::newRow("tab and line feed anywhere") << "\t1\n2 .\t5\n" << 12.5;
    QTest::newRow("carriage return ends it") << "1\r2" << 1.0;
    QTest::newRow("blanks inside the exponent") << "1 e\t+ 2" << 100.0;
    QTest::newRow("empty text") << "" << 0.0;
    QTest::newRow("blanks only") << " \t\n" << 0.0;
    QTest::newRow("no digits") << "abc" << 0.0;
    QTest::newRow("minus sign") << "-14" << -14.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("blank after the sign") << "- 3" << -3.0;
    QTest::newRow("two signs") << "+-3" << 0.0;
    QTest::newRow("small e") << "1e1" << 10.0;
    QTest::newRow("capital E") << "1E1" << 10.0;
    QTest::newRow("e without digits") << "1e" << 1.0;
    QTest::newRow("e and sign without digits") << "1e+" << 1.0;
    QTest::newRow("negative exponent") << "2e-1" << 0.2;
    QTest::newRow("e before any digit") << "e5" << 0.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("hexadecimal is not read") << "&H10" << 0.0;
    QTest::newRow("beyond a double") << "1e400" << Infinity;
    QTest::newRow("beyond a double, negative") << "-1e400" << -Infinity;
    QTest::newRow("below the smallest double") << "1e-400" << 0.0;
    QTest::newRow("310 nines") << QString(310, u'9') << Infinity;
    QTest::newRow("100000 leading zeros") << QString(100000, u'0') + QLatin1String("12") << 12.0;
    QTest::newRow("401 digits scaled back by e-400")
            << QLatin1Char('1') + QString(400, u'0') + QLatin1String("e-400") << 1.0;
    QTest::newRow("tiny fraction times a huge exponent")
            << QLatin1String("0.") + QString(399, u'0') + QLatin1String("1e400") << 1.0;
    QTest::newRow("Arabic-Indic digit ends it") << QStringLiteral(u"1\u0662") << 1.0;
    QTest::newRow("full-width digit ends it") << QStringLiteral(u"3\uFF14") << 3.0;
    QTest::newRow("decimal comma ends it") << "12,5" << 12.0;
}

void TestNumberText::val()
{
    QFETCH(QString, text);
    QFETCH(double, expected);

    const double actual = Val(text);
    // Exact: an answer is judged by equality, so "nearly" would hide a fault.
    QVERIFY2(actual == expected, show(actual) + " instead of " + show(expected));
}

void TestNumberText::valReadsAFullStopWhateverTheLocale()
{
    const QLocale savedDefault;
    const std::locale savedCpp = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const QByteArray savedC = std::setlocale(LC_ALL, nullptr);
    const auto restore = qScopeGuard([&] {
        QLocale::setDefault(savedDefault);
        std::locale::global(savedCpp);
        std::setlocale(LC_ALL, savedC.constData());
    });

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    bool germanC = false;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252"})
        germanC = germanC || std::setlocale(LC_ALL, name) != nullptr;
    if (!germanC)
        qInfo("No German C locale on this machine; checked with a comma C++ locale only");

    QCOMPARE(Val(u"12,5"), 12.0);
    QCOMPARE(Val(u"12.5"), 12.5);
    QCOMPARE(Format00_0(12.5), QStringLiteral("12.5"));
}

void TestNumberText::aPastedMegabyteReadsInBoundedTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    const qsizetype megabyte = 1 << 20;
    QTest::newRow("digits") << QString(megabyte, u'7') << Infinity;
    QTest::newRow("blanks, then a digit") << QString(megabyte, u' ') + u'5' << 5.0;
    QTest::newRow("digits of an exponent") << QLatin1String("1e") + QString(megabyte, u'9') << Infinity;
    QTest::newRow("zeros scaled back") << QString(megabyte, u'0') + QLatin1String("1e-1048570") << 0.0;
    QTest::newRow("fraction digits") << QLatin1String("0.") + QString(megabyte, u'3') << 1.0 / 3;
    QTest::newRow("letters") << QString(megabyte, u'a') << 0.0;
}

void TestNumberText::aPastedMegabyteReadsInBoundedTime()
{
    QFETCH(QString, text);
    QFETCH(double, expected);

    QElapsedTimer clock;
    clock.start();
    const double actual = Val(text);
    // Linear in the text: well under a second, even in a sanitized debug build.
    QVERIFY2(clock.elapsed() < 3000, QByteArray::number(clock.elapsed()) + " ms");
    QVERIFY2(actual == expected, show(actual) + " instead of " + show(expected));
}

void TestNumberText::format00_data()
{
    QTest::addColumn<long long>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0LL << "00";
    QTest::newRow("one digit") << 7LL << "07";
    QTest::newRow("two digits") << 59LL << "59";
    QTest::newRow("three digits") << 100LL << "100";
    QTest::newRow("five digits") << 12345LL << "12345";
}

void TestNumberText::format00()
{
    QFETCH(long long, value);
    QFETCH(QString, expected);

    QCOMPARE(Format00(value), expected);
}

void TestNumberText::format00_0_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << "00.0";
    QTest::newRow("one digit") << 5.0 << "05.0";
    QTest::newRow("2 of 19") << 10.526315789 << "10.5";
    QTest::newRow("hundred") << 100.0 << "100.0";
    QTest::newRow("5 of 11") << 45.4545 << "45.5";
}

void TestNumberText::format00_0()
{
    QFETCH(double, value);
    QFETCH(QString, expected);

    QCOMPARE(Format00_0(value), expected);
}

void TestNumberText::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");

    QTest::newRow("half to zero") << 0.5 << 0.0;
    QTest::newRow("one and a half up") << 1.5 << 2.0;
    QTest::newRow("two and a half down") << 2.5 << 2.0;
    QTest::newRow("12.5 down") << 12.5 << 12.0;
    QTest::newRow("37.5 up") << 37.5 << 38.0;
    QTest::newRow("below a half") << 10.4 << 10.0;
    QTest::newRow("above a half") << 10.6 << 11.0;
    QTest::newRow("negative half") << -2.5 << -2.0;
}

void TestNumberText::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);

    const double actual = RoundHalfEven(value);
    QVERIFY2(actual == expected, show(actual) + " instead of " + show(expected));
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
