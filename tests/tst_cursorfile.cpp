#include "cursorfile.h"

#include <QFile>
#include <QtEndian>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using cursorfile::Cursor;
using cursorfile::Frame;

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& b)
{
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<std::size_t>(b.size())};
}

QByteArray toBytes(const std::vector<std::uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

std::optional<Cursor> parse(const QByteArray& b)
{
    return cursorfile::parse(bytesOf(b));
}

QString shippedPath(const char* name)
{
    return QStringLiteral(PELLAVIN_SOURCE_DIR "/Cursors/") + QLatin1String(name);
}

QByteArray shipped(const char* name)
{
    QFile f(shippedPath(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(f.fileName()));
    return f.readAll();
}

QByteArray le16(quint32 v)
{
    const char b[2] = {char(v & 0xff), char((v >> 8) & 0xff)};
    return QByteArray(b, 2);
}
QByteArray le32(quint32 v) { return le16(v & 0xffff) + le16(v >> 16); }

quint32 get32(const QByteArray& b, qsizetype at)
{
    quint32 v;
    std::memcpy(&v, b.constData() + at, 4);
    return qFromLittleEndian(v);
}

void put32(QByteArray& b, qsizetype at, quint32 v)
{
    b.replace(at, 4, le32(v));
}

QByteArray chunk(const char* tag, const QByteArray& data)
{
    QByteArray c = QByteArray(tag, 4) + le32(quint32(data.size())) + data;
    return data.size() % 2 ? c + '\0' : c;
}

QByteArray riff(const QByteArray& chunks)
{
    return "RIFF" + le32(quint32(chunks.size() + 4)) + "ACON" + chunks;
}

// Offset of the data of the first top-level chunk with this tag in an .ani file.
qsizetype chunkData(const QByteArray& ani, const char* tag)
{
    for (qsizetype at = 12; at + 8 <= ani.size(); at += 8 + ((get32(ani, at + 4) + 1) & ~1u))
        if (ani.mid(at, 4) == tag)
            return at + 8;
    qFatal("no %s chunk", tag);
}

// A cursor file holding one image; hotspot fields double as planes/bit count for icons.
QByteArray iconFile(const QByteArray& image, int w, int h, int type = 2, int hx = 0, int hy = 0)
{
    return le16(0) + le16(quint32(type)) + le16(1) + char(w & 0xff) + char(h & 0xff) + char(0) + char(0)
        + le16(quint32(hx)) + le16(quint32(hy)) + le32(quint32(image.size())) + le32(22) + image;
}

QByteArray dibHeader(qint32 w, qint32 h, int bpp, quint32 colorsUsed = 0)
{
    return le32(40) + le32(quint32(w)) + le32(quint32(h * 2)) + le16(1) + le16(quint32(bpp)) + le32(0) + le32(0)
        + le32(0) + le32(0) + le32(colorsUsed) + le32(0);
}

// values are palette indices (bpp <= 8) or 0xRRGGBB / 0xAARRGGBB, top row first.
QByteArray dib(int w, int h, int bpp, const QList<uint>& palette, const QList<uint>& values,
               const QList<int>& masked, quint32 colorsUsed = 0)
{
    QByteArray out = dibHeader(w, h, bpp, colorsUsed);
    for (uint c : palette)
        out += le32(c);
    const int stride = (w * bpp + 31) / 32 * 4, maskStride = (w + 31) / 32 * 4;
    QByteArray pixels, mask;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0'), mrow(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            const uint v = values[y * w + x];
            const int bit = x * bpp;
            if (bpp < 8)
                row[bit / 8] = char(row[bit / 8] | (v << (8 - bpp - bit % 8)));
            else
                for (int k = 0; k < bpp / 8; ++k)
                    row[bit / 8 + k] = char((v >> (8 * k)) & 0xff);
            if (masked[y * w + x])
                mrow[x / 8] = char(mrow[x / 8] | (0x80 >> (x % 8)));
        }
        pixels += row;
        mask += mrow;
    }
    return out + pixels + mask;
}

QByteArray pngBytes(quint32 w, quint32 h)
{
    auto be32 = [](quint32 v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + be32(13) + "IHDR" + be32(w) + be32(h) + QByteArray("\x08\x06\0\0\0", 5)
        + be32(0) + "IEND-ish";
}

Frame solidFrame(int w, int h, int hx, int hy)
{
    Frame f;
    f.width = w;
    f.height = h;
    f.hotspotX = hx;
    f.hotspotY = hy;
    for (int i = 0; i < w * h; ++i)
        f.argb.push_back(i % 3 == 0 ? 0u : 0xff000000u | quint32(i * 2654435761u >> 8));
    return f;
}

}  // namespace

class TestCursorFile : public QObject {
    Q_OBJECT

private slots:
    void shippedFiles_data();
    void shippedFiles();
    void roundTrip_data();
    void roundTrip();
    void aniRoundTripKeepsSequenceAndTimes();
    void everyTruncationIsRejected_data();
    void everyTruncationIsRejected();
    void damagedFilesAreRejected_data();
    void damagedFilesAreRejected();
    void harmlessExtrasAreTolerated_data();
    void harmlessExtrasAreTolerated();
    void dibBitDepths_data();
    void dibBitDepths();
    void imageChoiceAndHotSpots();
    void pngEntries();
    void load();
};

void TestCursorFile::shippedFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QList<int>>("sequence");
    QTest::addColumn<QList<int>>("jiffies");
    QTest::addColumn<bool>("animated");

    QTest::newRow("arrow") << "arrow_m.cur" << 1 << QList<int>{0} << QList<int>{0} << false;
    // Uses a rate chunk: the answer on the calculator stays up longer.
    QTest::newRow("default") << "Calc-Default.ani" << 6 << QList<int>{0, 1, 2, 3, 4, 5}
                             << QList<int>{10, 10, 10, 10, 40, 20} << true;
    // Uses a seq chunk: typing dots twice, then "Hi!" hopping.
    QTest::newRow("hello") << "Calc-Hello.ani" << 5 << QList<int>{0, 1, 2, 0, 1, 2, 3, 4, 3, 4, 3, 3}
                           << QList<int>(12, 10) << true;
}

void TestCursorFile::shippedFiles()
{
    QFETCH(QString, file);
    QFETCH(int, frames);
    QFETCH(QList<int>, sequence);
    QFETCH(QList<int>, jiffies);
    QFETCH(bool, animated);

    const auto c = cursorfile::load(shippedPath(qPrintable(file)).toStdString());
    QVERIFY(c);
    QCOMPARE(int(c->frames.size()), frames);
    QCOMPARE(QList<int>(c->sequence.begin(), c->sequence.end()), sequence);
    QCOMPARE(QList<int>(c->jiffies.begin(), c->jiffies.end()), jiffies);
    QCOMPARE(c->animated, animated);
    for (const auto& f : c->frames) {
        QCOMPARE(f.width, 32);
        QCOMPARE(f.height, 32);
        QCOMPARE(f.hotspotX, 0);
        QCOMPARE(f.hotspotY, 0);
        QVERIFY(f.png.empty());
        auto at = [&](int x, int y) { return f.argb[std::size_t(y * 32 + x)]; };
        QCOMPARE(at(0, 0), 0xffffffffu);  // the tip: white outline
        QCOMPARE(at(1, 3), 0xff000000u);  // black body just below it
        for (int i = 0; i < 32; ++i) {
            QCOMPARE(at(i, 31), 0u);       // bottom margin
            QCOMPARE(at(0, 20 + i % 12), 0u);  // left edge below the arrow
        }
    }
}

void TestCursorFile::roundTrip_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("hx");
    QTest::addColumn<int>("hy");

    QTest::newRow("1x1") << 1 << 1 << 0 << 0;
    QTest::newRow("odd width pads mask rows") << 17 << 5 << 16 << 4;
    QTest::newRow("33 wide needs two mask words") << 33 << 2 << 3 << 1;
    QTest::newRow("256 is stored as 0") << 256 << 256 << 128 << 255;
}

void TestCursorFile::roundTrip()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, hx);
    QFETCH(int, hy);

    const Frame f = solidFrame(w, h, hx, hy);
    const auto c = parse(toBytes(cursorfile::writeCur(f)));
    QVERIFY(c);
    QCOMPARE(c->frames.size(), 1u);
    const Frame& g = c->frames[0];
    QCOMPARE(g.width, w);
    QCOMPARE(g.height, h);
    QCOMPARE(g.hotspotX, hx);
    QCOMPARE(g.hotspotY, hy);
    QVERIFY(g.argb == f.argb);
}

void TestCursorFile::aniRoundTripKeepsSequenceAndTimes()
{
    Cursor in;
    in.frames = {solidFrame(8, 8, 1, 2), solidFrame(32, 32, 31, 0), solidFrame(5, 3, 4, 2)};
    in.sequence = {2, 0, 1, 0};
    in.jiffies = {3, 7, 7, 60};
    in.animated = true;
    const auto out = parse(toBytes(cursorfile::writeAni(in)));
    QVERIFY(out);
    QVERIFY(out->animated);
    QVERIFY(out->sequence == in.sequence);
    QVERIFY(out->jiffies == in.jiffies);
    QCOMPARE(out->frames.size(), in.frames.size());
    for (std::size_t i = 0; i < in.frames.size(); ++i) {
        QVERIFY(out->frames[i].argb == in.frames[i].argb);
        QCOMPARE(out->frames[i].hotspotX, in.frames[i].hotspotX);
    }

    // The writer refuses what it could not write faithfully.
    Cursor bad = in;
    bad.sequence = {0, 3};
    QVERIFY(cursorfile::writeAni(bad).empty());
    QVERIFY(cursorfile::writeAni(Cursor{}).empty());
    Frame torn = solidFrame(4, 4, 0, 0);
    torn.argb.pop_back();
    QVERIFY(cursorfile::writeCur(torn).empty());
}

void TestCursorFile::everyTruncationIsRejected_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("cur") << "arrow_m.cur";
    QTest::newRow("ani with rate") << "Calc-Default.ani";
    QTest::newRow("ani with seq") << "Calc-Hello.ani";
}

void TestCursorFile::everyTruncationIsRejected()
{
    QFETCH(QString, file);
    const QByteArray whole = shipped(qPrintable(file));
    QVERIFY(parse(whole));
    for (qsizetype n = 0; n < whole.size(); ++n)
        if (parse(whole.left(n)))
            QFAIL(qPrintable(QStringLiteral("accepted the first %1 bytes").arg(n)));
}

void TestCursorFile::damagedFilesAreRejected_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray arrow = shipped("arrow_m.cur"), dflt = shipped("Calc-Default.ani"), hello = shipped("Calc-Hello.ani");
    auto set32 = [](QByteArray b, qsizetype at, quint32 v) { put32(b, at, v); return b; };
    const qsizetype anih = chunkData(hello, "anih"), seq = chunkData(hello, "seq "), list = chunkData(dflt, "LIST");
    const QByteArray goodIcon = iconFile(dib(1, 1, 24, {}, {0xff0000}, {0}), 1, 1);

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray(1, '\0');
    QTest::newRow("just RIFF") << QByteArray("RIFF");
    QTest::newRow("bad form type") << QByteArray(hello).replace(8, 4, "AVI ");
    QTest::newRow("RIFF size past the end") << set32(hello, 4, quint32(hello.size()));
    QTest::newRow("RIFF size max") << set32(hello, 4, 0xffffffffu);
    QTest::newRow("anih cbSize") << set32(hello, anih, 40);
    QTest::newRow("anih nFrames + 1") << set32(hello, anih + 4, 6);
    QTest::newRow("anih nFrames - 1") << set32(hello, anih + 4, 4);
    QTest::newRow("anih nFrames 0") << set32(hello, anih + 4, 0);
    QTest::newRow("anih nFrames max") << set32(hello, anih + 4, 0xffffffffu);
    QTest::newRow("anih nSteps beyond seq") << set32(hello, anih + 8, 13);
    QTest::newRow("anih nSteps huge") << set32(hello, anih + 8, 0x40000000u);
    QTest::newRow("anih nSteps 0") << set32(hello, anih + 8, 0);
    QTest::newRow("anih nSteps without seq") << set32(dflt, chunkData(dflt, "anih") + 8, 7);
    QTest::newRow("anih cx 257") << set32(hello, anih + 12, 257);
    QTest::newRow("seq index past last frame") << set32(hello, seq + 3 * 4, 5);
    QTest::newRow("seq index max") << set32(hello, seq, 0xffffffffu);
    QTest::newRow("LIST size past the end") << set32(dflt, list - 4, quint32(dflt.size()));
    QTest::newRow("LIST size max") << set32(dflt, list - 4, 0xfffffff0u);
    QTest::newRow("icon size past LIST") << set32(dflt, list + 8, 0x10000);
    QTest::newRow("icon that is not a cursor") << set32(dflt, list + 12, 0x00030000);
    QTest::newRow("zero frames") << riff(chunk("anih", le32(36) + le32(0) + le32(0) + QByteArray(20, '\0') + le32(10) + le32(1))
                                         + chunk("LIST", "fram"));
    QTest::newRow("no anih") << riff(chunk("LIST", "fram" + chunk("icon", goodIcon)));

    // .cur directory and DIB header (image starts at offset 22).
    QTest::newRow("cur reserved") << QByteArray(arrow).replace(0, 2, le16(1));
    QTest::newRow("cur type 3") << QByteArray(arrow).replace(2, 2, le16(3));
    QTest::newRow("cur count 0") << QByteArray(arrow).replace(4, 2, le16(0));
    QTest::newRow("cur count past the end") << QByteArray(arrow).replace(4, 2, le16(0xffff));
    QTest::newRow("image offset past the end") << set32(arrow, 18, quint32(arrow.size()));
    QTest::newRow("offset+size overflows") << set32(set32(arrow, 18, 0xffffffffu), 14, 0xffffffffu);
    QTest::newRow("DIB header size huge") << set32(arrow, 22, 0xfffffff0u);
    QTest::newRow("DIB width huge") << set32(arrow, 26, 0x7fffffffu);
    QTest::newRow("DIB width 257") << set32(arrow, 26, 257);
    QTest::newRow("DIB width 0") << set32(arrow, 26, 0);
    QTest::newRow("DIB height negative") << set32(arrow, 30, quint32(-64));
    QTest::newRow("DIB height bigger than the data") << set32(arrow, 30, 66);
    QTest::newRow("DIB 16 bit") << QByteArray(arrow).replace(36, 2, le16(16));
    QTest::newRow("DIB compressed") << set32(arrow, 38, 1);
    QTest::newRow("palette past the end") << iconFile(dibHeader(2, 2, 8, 200) + QByteArray(64, '\0'), 2, 2);
}

void TestCursorFile::damagedFilesAreRejected()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!parse(bytes));
}

void TestCursorFile::harmlessExtrasAreTolerated_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray hello = shipped("Calc-Hello.ani");
    auto insertChunk = [&](const QByteArray& c) {
        QByteArray b = hello;
        b.insert(12, c);
        put32(b, 4, quint32(b.size() - 8));
        return b;
    };
    QTest::newRow("LIST INFO") << insertChunk(chunk("LIST", "INFO" + chunk("INAM", "Hello") + chunk("IART", "Pellavin!")));
    QTest::newRow("unknown odd-sized chunk") << insertChunk(chunk("junk", "abc"));
    QTest::newRow("bytes after the RIFF") << hello + "trailing";
}

void TestCursorFile::harmlessExtrasAreTolerated()
{
    QFETCH(QByteArray, bytes);
    const auto c = parse(bytes), original = parse(shipped("Calc-Hello.ani"));
    QVERIFY(c);
    QVERIFY(c->sequence == original->sequence);
    QCOMPARE(c->frames.size(), original->frames.size());
    QVERIFY(c->frames.back().argb == original->frames.back().argb);
}

void TestCursorFile::dibBitDepths_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QList<uint>>("expected");

    // 3x2 images (odd width, so rows are padded); the last pixel of the top row is masked out.
    const QList<int> mask{0, 0, 1, 0, 0, 0};
    const QList<uint> pal{0x000000, 0xffffff, 0x3366cc, 0xff8800};
    const uint W = 0xffffffff, B = 0xff000000, U = 0xff3366cc, O = 0xffff8800;
    QTest::newRow("1 bit") << dib(3, 2, 1, pal.mid(0, 2), {1, 0, 1, 0, 1, 1}, mask) << QList<uint>{W, B, 0, B, W, W};
    QTest::newRow("4 bit") << dib(3, 2, 4, pal, {3, 2, 1, 0, 1, 2}, mask, 4) << QList<uint>{O, U, 0, B, W, U};
    QTest::newRow("8 bit") << dib(3, 2, 8, pal, {2, 3, 0, 3, 0, 1}, mask, 4) << QList<uint>{U, O, 0, O, B, W};
    QTest::newRow("8 bit, index past the palette is black") << dib(3, 2, 8, pal, {200, 3, 0, 255, 0, 1}, mask, 4)
                                                            << QList<uint>{B, O, 0, B, B, W};
    QTest::newRow("24 bit") << dib(3, 2, 24, {}, {0x123456, 0xabcdef, 0x010203, 0, 0xffffff, 0x3366cc}, mask)
                            << QList<uint>{0xff123456, 0xffabcdef, 0, B, W, U};
    QTest::newRow("32 bit alpha wins over the mask") << dib(3, 2, 32, {}, {0x80123456, 0x00abcdef, 0xff010203, W, W, W}, mask)
                                                    << QList<uint>{0x80123456, 0, 0xff010203, W, W, W};
    QTest::newRow("32 bit without alpha uses the mask") << dib(3, 2, 32, {}, {0x123456, 0xabcdef, 0x010203, 0, 0, 0}, mask)
                                                       << QList<uint>{0xff123456, 0xffabcdef, 0, B, B, B};
}

void TestCursorFile::dibBitDepths()
{
    QFETCH(QByteArray, image);
    QFETCH(QList<uint>, expected);
    const auto c = parse(iconFile(image, 3, 2));
    QVERIFY(c);
    const Frame& f = c->frames[0];
    QCOMPARE(f.width, 3);
    QCOMPARE(f.height, 2);
    QCOMPARE(QList<uint>(f.argb.begin(), f.argb.end()), expected);
}

void TestCursorFile::imageChoiceAndHotSpots()
{
    // Several images: the one nearest 32x32 wins, then the deepest.
    const QList<QByteArray> images = {dib(16, 16, 32, {}, QList<uint>(256, 0xffffffff), QList<int>(256, 0)),
                                      dib(32, 32, 4, QList<uint>(16, 0x00ff00), QList<uint>(1024, 1), QList<int>(1024, 0)),
                                      dib(32, 32, 32, {}, QList<uint>(1024, 0xff0000ff), QList<int>(1024, 0)),
                                      dib(48, 48, 32, {}, QList<uint>(2304, 0xffffffff), QList<int>(2304, 0))};
    QByteArray dir = le16(0) + le16(2) + le16(quint16(images.size())), data;
    qsizetype offset = 6 + 16 * images.size();
    for (const auto& img : images) {
        dir += QByteArray(4, '\0') + le16(5) + le16(6) + le32(quint32(img.size())) + le32(quint32(offset + data.size()));
        data += img;
    }
    auto c = parse(dir + data);
    QVERIFY(c);
    QCOMPARE(c->frames[0].width, 32);
    QCOMPARE(c->frames[0].argb[0], 0xff0000ffu);
    QCOMPARE(c->frames[0].hotspotX, 5);

    const QByteArray img = dib(3, 2, 24, {}, QList<uint>(6, 0), QList<int>(6, 0));
    c = parse(iconFile(img, 3, 2, 2, 40, 1));
    QCOMPARE(c->frames[0].hotspotX, 2);  // clamped into the image
    QCOMPARE(c->frames[0].hotspotY, 1);
    c = parse(iconFile(img, 3, 2, 1, 1, 32));
    QVERIFY(c);
    QCOMPARE(c->frames[0].hotspotX, 1);  // icons point with their centre
    QCOMPARE(c->frames[0].hotspotY, 1);
}

void TestCursorFile::pngEntries()
{
    const QByteArray png = pngBytes(48, 20);
    const auto c = parse(iconFile(png, 48, 20, 2, 7, 9));
    QVERIFY(c);
    const Frame& f = c->frames[0];
    QCOMPARE(f.width, 48);
    QCOMPARE(f.height, 20);
    QCOMPARE(f.hotspotX, 7);
    QVERIFY(f.argb.empty());
    QCOMPARE(toBytes(f.png), png);
    // And back: the writer stores the PNG as it is.
    QCOMPARE(toBytes(parse(toBytes(cursorfile::writeCur(f)))->frames[0].png), png);

    QVERIFY(!parse(iconFile(pngBytes(300, 20), 0, 20)));
    QVERIFY(!parse(iconFile(pngBytes(0, 20), 0, 20)));
    QVERIFY(!parse(iconFile(png.left(20), 48, 20)));
    QVERIFY(!parse(iconFile(QByteArray(png).replace(12, 4, "IDAT"), 48, 20)));
}

void TestCursorFile::load()
{
    QVERIFY(cursorfile::load(shippedPath("arrow_m.cur").toStdString()));
    QVERIFY(!cursorfile::load(shippedPath("no-such-cursor.cur").toStdString()));
    QVERIFY(!cursorfile::load(""));
    QVERIFY(!cursorfile::load(PELLAVIN_SOURCE_DIR "/Cursors"));

    // A valid cursor padded past the size limit is refused without being parsed.
    QTemporaryDir dir;
    QFile big(dir.filePath(QStringLiteral("big.cur")));
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(shipped("arrow_m.cur") + QByteArray(qsizetype(cursorfile::maxFileSize), '\0'));
    big.close();
    QVERIFY(!cursorfile::load(big.fileName().toStdString()));
}

QTEST_APPLESS_MAIN(TestCursorFile)
#include "tst_cursorfile.moc"
