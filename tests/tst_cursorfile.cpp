#include "cursor/file/cursorwriter.h"
#include "tests/cursorbytes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using cursorfile::Cursor;
using cursorfile::Frame;

namespace {

std::optional<Cursor> parse(const QByteArray &b)
{
    return cursorfile::parse({reinterpret_cast<const std::uint8_t *>(b.constData()), std::size_t(b.size())});
}

using cursorbytes::toBytes;

QString shippedPath(const QString &name)
{
    return QStringLiteral(PELLAVIN_SOURCE_DIR "/Cursors/") + name;
}

QByteArray shipped(const QString &name)
{
    QFile f(name.startsWith(u'/') ? name : shippedPath(name));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(f.fileName()));
    return f.readAll();
}

QByteArray le16(quint32 v)
{
    const char b[2] = {char(v & 0xff), char((v >> 8) & 0xff)};
    return QByteArray(b, 2);
}

QByteArray le32(quint32 v)
{
    return le16(v & 0xffff) + le16(v >> 16);
}

QByteArray with32(QByteArray b, qsizetype at, quint32 v)
{
    return b.replace(at, 4, le32(v));
}

QByteArray chunk(const char *tag, const QByteArray &data)
{
    const QByteArray c = QByteArray(tag, 4) + le32(quint32(data.size())) + data;
    return data.size() % 2 ? c + '\0' : c;
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(quint32(chunks.size() + 4)) + "ACON" + chunks;
}

// Where the data of the first top-level chunk with this tag starts in an .ani file.
qsizetype chunkData(const QByteArray &ani, const char *tag)
{
    for (qsizetype at = 12; at + 8 <= ani.size();) {
        if (ani.mid(at, 4) == tag)
            return at + 8;
        at += 8 + ((qFromLittleEndian<quint32>(ani.constData() + at + 4) + 1) & ~1u);
    }
    qFatal("no %s chunk", tag);
}

// A one-image .cur (type 2) or .ico (type 1); the image starts at offset 22.
QByteArray iconFile(const QByteArray &image, int w, int h, int type = 2, int hx = 0, int hy = 0)
{
    return le16(0) + le16(quint32(type)) + le16(1) + char(w & 0xff) + char(h & 0xff) + QByteArray(2, '\0')
           + le16(quint32(hx)) + le16(quint32(hy)) + le32(quint32(image.size())) + le32(22) + image;
}

QByteArray dibHeader(int w, int h, int bpp, quint32 colorsUsed = 0)
{
    return le32(40) + le32(quint32(w)) + le32(quint32(h * 2)) + le16(1) + le16(quint32(bpp))
           + QByteArray(16, '\0') + le32(colorsUsed) + le32(0);
}

// values: palette indices (bpp <= 8) or 0x(AA)RRGGBB, top row first; masked: AND-mask bits.
QByteArray dib(int w, int h, int bpp, const QList<uint> &palette, const QList<uint> &values,
               const QList<int> &masked, quint32 colorsUsed = 0)
{
    QByteArray out = dibHeader(w, h, bpp, colorsUsed), mask;
    for (uint c : palette)
        out += le32(c);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row((w * bpp + 31) / 32 * 4, '\0'), mrow((w + 31) / 32 * 4, '\0');
        for (int x = 0, bit = 0; x < w; ++x, bit += bpp) {
            const uint v = values[y * w + x];
            if (bpp < 8)
                row[bit / 8] = char(row[bit / 8] | (v << (8 - bpp - bit % 8)));
            for (int k = 0; k < bpp / 8; ++k)
                row[bit / 8 + k] = char(v >> (8 * k));
            if (masked[y * w + x])
                mrow[x / 8] = char(mrow[x / 8] | (0x80 >> (x % 8)));
        }
        out += row;
        mask += mrow;
    }
    return out + mask;
}

QByteArray pngBytes(quint32 w, quint32 h)
{
    return cursorbytes::png(w, h);
}

// Flips a bit in the CRC of the first chunk of this type.
QByteArray badCrc(QByteArray png, const char *type)
{
    const qsizetype at = png.indexOf(type), last = at + 7 + qFromBigEndian<quint32>(png.constData() + at - 4);
    png[last] = char(png[last] ^ 1);
    return png;
}

Frame patterned(int w, int h, int hx, int hy)
{
    Frame f{w, h, hx, hy, {}, {}};
    for (int i = 0; i < w * h; ++i)
        f.argb.push_back(i % 3 == 0 ? 0u : 0xff000000u | (quint32(i) * 2654435761u >> 8));
    return f;
}

} // namespace

class TestCursorFile : public QObject
{
    Q_OBJECT

private slots:
    void shippedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QList<int>>("sequence");
        QTest::addColumn<QList<int>>("jiffies");
        QTest::addColumn<bool>("animated");
        QTest::newRow("arrow") << "arrow_m.cur" << 1 << QList<int>{0} << QList<int>{0} << false;
        // A rate chunk: the calculator's answer stays up longer.
        QTest::newRow("default") << "Calc-Default.ani" << 6 << QList<int>{0, 1, 2, 3, 4, 5}
                                 << QList<int>{10, 10, 10, 10, 40, 20} << true;
        // A seq chunk: typing dots twice, then "Hi!" hopping.
        QTest::newRow("hello") << "Calc-Hello.ani" << 5 << QList<int>{0, 1, 2, 0, 1, 2, 3, 4, 3, 4, 3, 3}
                               << QList<int>(12, 10) << true;
    }

    void shippedFiles()
    {
        QFETCH(QString, file);
        const auto c = cursorfile::load(shippedPath(file).toStdString());
        QVERIFY(c);
        QTEST(int(c->frames.size()), "frames");
        QTEST(QList<int>(c->sequence.begin(), c->sequence.end()), "sequence");
        QTEST(QList<int>(c->jiffies.begin(), c->jiffies.end()), "jiffies");
        QTEST(c->animated, "animated");
        for (const auto &f : c->frames) {
            QCOMPARE(QList<int>({f.width, f.height, f.hotspotX, f.hotspotY}), QList<int>({32, 32, 0, 0}));
            auto at = [&](int x, int y) { return f.argb[std::size_t(y * 32 + x)]; };
            QCOMPARE(at(0, 0), 0xffffffffu); // the tip: white outline
            QCOMPARE(at(1, 3), 0xff000000u); // black body below it
            for (int i = 0; i < 32; ++i) {
                QCOMPARE(at(i, 31), 0u);          // bottom margin
                QCOMPARE(at(0, 20 + i % 12), 0u); // left edge below the arrow
            }
        }
    }

    void roundTrip()
    {
        // Odd widths pad the mask rows, 33 needs two mask words, 256 is stored as 0 in the directory.
        for (auto [w, h, hx, hy] :
             {std::array{1, 1, 0, 0}, {17, 5, 16, 4}, {33, 2, 3, 1}, {256, 256, 128, 255}}) {
            const Frame f = patterned(w, h, hx, hy);
            const auto c = parse(toBytes(cursorfile::writeCur(f)));
            QVERIFY(c);
            const Frame &g = c->frames.at(0);
            QCOMPARE(QList<int>({g.width, g.height, g.hotspotX, g.hotspotY}), QList<int>({w, h, hx, hy}));
            QVERIFY(g.argb == f.argb);
        }

        Cursor in{{patterned(8, 8, 1, 2), patterned(32, 32, 31, 0), patterned(5, 3, 4, 2)},
                  {2, 0, 1, 0},
                  {3, 7, 7, 60},
                  true};
        const auto out = parse(toBytes(cursorfile::writeAni(in)));
        QVERIFY(out);
        QVERIFY(out->animated && out->sequence == in.sequence && out->jiffies == in.jiffies);
        QCOMPARE(out->frames.size(), in.frames.size());
        for (std::size_t i = 0; i < in.frames.size(); ++i)
            QVERIFY(out->frames[i].argb == in.frames[i].argb
                    && out->frames[i].hotspotX == in.frames[i].hotspotX);

        // The writer refuses what it could not write faithfully.
        in.sequence = {0, 3};
        QVERIFY(cursorfile::writeAni(in).empty());
        QVERIFY(cursorfile::writeAni(Cursor{}).empty());
        Frame torn = patterned(4, 4, 0, 0);
        torn.argb.pop_back();
        QVERIFY(cursorfile::writeCur(torn).empty());
    }

    void everyTruncationIsRejected_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("cur") << "arrow_m.cur";
        QTest::newRow("ani with rate") << "Calc-Default.ani";
        QTest::newRow("ani with seq") << "Calc-Hello.ani";
    }

    void everyTruncationIsRejected()
    {
        QFETCH(QString, file);
        const QByteArray whole = shipped(file);
        QVERIFY(parse(whole));
        for (qsizetype n = 0; n < whole.size(); ++n)
            if (parse(whole.left(n)))
                QFAIL(qPrintable(QStringLiteral("accepted the first %1 bytes").arg(n)));
    }

    void damagedFilesAreRejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray arrow = shipped("arrow_m.cur"), dflt = shipped("Calc-Default.ani"),
                         hello = shipped("Calc-Hello.ani");
        const qsizetype anih = chunkData(hello, "anih"), seq = chunkData(hello, "seq "),
                        list = chunkData(dflt, "LIST");

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("just RIFF") << QByteArray("RIFF");
        QTest::newRow("bad form type") << QByteArray(hello).replace(8, 4, "AVI ");
        QTest::newRow("RIFF size past the end") << with32(hello, 4, quint32(hello.size()));
        QTest::newRow("RIFF size max") << with32(hello, 4, 0xffffffffu);
        QTest::newRow("anih cbSize") << with32(hello, anih, 40);
        QTest::newRow("anih nFrames + 1") << with32(hello, anih + 4, 6);
        QTest::newRow("anih nFrames - 1") << with32(hello, anih + 4, 4);
        QTest::newRow("anih nFrames max") << with32(hello, anih + 4, 0xffffffffu);
        QTest::newRow("anih nSteps beyond seq") << with32(hello, anih + 8, 13);
        QTest::newRow("anih nSteps huge") << with32(hello, anih + 8, 0x40000000u);
        QTest::newRow("anih nSteps 0") << with32(hello, anih + 8, 0);
        QTest::newRow("anih nSteps without seq") << with32(dflt, chunkData(dflt, "anih") + 8, 7);
        QTest::newRow("anih cx 257") << with32(hello, anih + 12, 257);
        QTest::newRow("seq index past last frame") << with32(hello, seq + 3 * 4, 5);
        QTest::newRow("seq index max") << with32(hello, seq, 0xffffffffu);
        QTest::newRow("LIST size past the end") << with32(dflt, list - 4, quint32(dflt.size()));
        QTest::newRow("LIST size max") << with32(dflt, list - 4, 0xfffffff0u);
        QTest::newRow("icon size past LIST") << with32(dflt, list + 8, 0x10000);
        QTest::newRow("icon that is not a cursor") << with32(dflt, list + 12, 0x00030000);
        QTest::newRow("zero frames") << riff(
                chunk("anih", le32(36) + QByteArray(24, '\0') + le32(10) + le32(1)) + chunk("LIST", "fram"));
        QTest::newRow("no anih") << riff(chunk("LIST", "fram" + chunk("icon", arrow)));

        QTest::newRow("cur reserved") << QByteArray(arrow).replace(0, 2, le16(1));
        QTest::newRow("cur type 3") << QByteArray(arrow).replace(2, 2, le16(3));
        QTest::newRow("cur count 0") << QByteArray(arrow).replace(4, 2, le16(0));
        QTest::newRow("cur count past the end") << QByteArray(arrow).replace(4, 2, le16(0xffff));
        QTest::newRow("image offset past the end") << with32(arrow, 18, quint32(arrow.size()));
        QTest::newRow("offset+size overflows") << with32(with32(arrow, 18, 0xffffffffu), 14, 0xffffffffu);
        QTest::newRow("DIB header size huge") << with32(arrow, 22, 0xfffffff0u);
        QTest::newRow("DIB width huge") << with32(arrow, 26, 0x7fffffffu);
        QTest::newRow("DIB width 257") << with32(arrow, 26, 257);
        QTest::newRow("DIB width 0") << with32(arrow, 26, 0);
        QTest::newRow("DIB height negative") << with32(arrow, 30, quint32(-64));
        QTest::newRow("DIB height beyond the data") << with32(arrow, 30, 66);
        QTest::newRow("DIB 16 bit") << QByteArray(arrow).replace(36, 2, le16(16));
        QTest::newRow("DIB compressed") << with32(arrow, 38, 1);
        QTest::newRow("palette past the end")
                << iconFile(dibHeader(2, 2, 8, 200) + QByteArray(64, '\0'), 2, 2);
        QTest::newRow("24 bit colour table past the end")
                << iconFile(dibHeader(2, 2, 24, 3) + QByteArray(32, '\0'), 2, 2);
        QTest::newRow("24 bit colour table huge")
                << iconFile(dibHeader(2, 2, 24, 0xffffffffu) + QByteArray(32, '\0'), 2, 2);
    }

    void damagedFilesAreRejected()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!parse(bytes));
    }

    void harmlessExtrasAreTolerated_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray hello = shipped("Calc-Hello.ani");
        auto inserted = [&](const QByteArray &c) {
            return with32(QByteArray(hello).insert(12, c), 4, quint32(hello.size() + c.size() - 8));
        };
        QTest::newRow("LIST INFO") << inserted(
                chunk("LIST", "INFO" + chunk("INAM", "Hello") + chunk("IART", "Pellavin!")));
        QTest::newRow("unknown odd-sized chunk") << inserted(chunk("junk", "abc"));
        QTest::newRow("bytes after the RIFF") << hello + "trailing";
    }

    void harmlessExtrasAreTolerated()
    {
        QFETCH(QByteArray, bytes);
        const auto c = parse(bytes), original = parse(shipped("Calc-Hello.ani"));
        QVERIFY(c);
        QVERIFY(c->sequence == original->sequence && c->frames.size() == original->frames.size());
        QVERIFY(c->frames.back().argb == original->frames.back().argb);
    }

    void dibBitDepths_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QList<uint>>("expected");
        // 3x2 (odd width, so rows are padded); the top row's last pixel is masked out.
        const QList<int> mask{0, 0, 1, 0, 0, 0};
        const QList<uint> pal{0x000000, 0xffffff, 0x3366cc, 0xff8800};
        const uint W = 0xffffffff, B = 0xff000000, U = 0xff3366cc, O = 0xffff8800;
        QTest::newRow("1 bit") << dib(3, 2, 1, pal.mid(0, 2), {1, 0, 1, 0, 1, 1}, mask)
                               << QList<uint>{W, B, 0, B, W, W};
        QTest::newRow("4 bit") << dib(3, 2, 4, pal, {3, 2, 1, 0, 1, 2}, mask, 4)
                               << QList<uint>{O, U, 0, B, W, U};
        QTest::newRow("8 bit") << dib(3, 2, 8, pal, {2, 3, 0, 3, 0, 1}, mask, 4)
                               << QList<uint>{U, O, 0, O, B, W};
        QTest::newRow("8 bit, index past the palette")
                << dib(3, 2, 8, pal, {200, 3, 0, 255, 0, 1}, mask, 4) << QList<uint>{B, O, 0, B, B, W};
        QTest::newRow("24 bit") << dib(3, 2, 24, {}, {0x123456, 0xabcdef, 0x010203, 0, 0xffffff, 0x3366cc},
                                       mask)
                                << QList<uint>{0xff123456, 0xffabcdef, 0, B, W, U};
        // A colour count at 24 and 32 bits means a table sits between header and pixels, unused.
        QTest::newRow("24 bit after a colour table") << dib(
                3, 2, 24, pal.mid(0, 2), {0x123456, 0xabcdef, 0x010203, 0, 0xffffff, 0x3366cc}, mask, 2)
                                                     << QList<uint>{0xff123456, 0xffabcdef, 0, B, W, U};
        QTest::newRow("32 bit after a colour table")
                << dib(3, 2, 32, pal, {0x80123456, 0x00abcdef, 0xff010203, W, W, W}, mask, 4)
                << QList<uint>{0x80123456, 0, 0xff010203, W, W, W};
        QTest::newRow("32 bit alpha beats the mask")
                << dib(3, 2, 32, {}, {0x80123456, 0x00abcdef, 0xff010203, W, W, W}, mask)
                << QList<uint>{0x80123456, 0, 0xff010203, W, W, W};
        QTest::newRow("32 bit without alpha uses the mask")
                << dib(3, 2, 32, {}, {0x123456, 0xabcdef, 0x010203, 0, 0, 0}, mask)
                << QList<uint>{0xff123456, 0xffabcdef, 0, B, B, B};
    }

    void dibBitDepths()
    {
        QFETCH(QByteArray, image);
        const auto c = parse(iconFile(image, 3, 2));
        QVERIFY(c);
        QCOMPARE(QList<int>({c->frames[0].width, c->frames[0].height}), QList<int>({3, 2}));
        QTEST(QList<uint>(c->frames[0].argb.begin(), c->frames[0].argb.end()), "expected");
    }

    void imageChoiceAndHotSpots()
    {
        // The image nearest 32x32 wins, then the deepest one.
        auto solid = [](int side, int bpp, QList<uint> pal, uint v) {
            return dib(side, side, bpp, pal, QList<uint>(side * side, v), QList<int>(side * side, 0));
        };
        const QByteArray images[] = {solid(16, 32, {}, 0xffffffff), solid(32, 4, QList<uint>(16, 0xff00), 1),
                                     solid(32, 32, {}, 0xff0000ff), solid(48, 32, {}, 0xffffffff)};
        QByteArray dir = le16(0) + le16(2) + le16(4), data;
        for (const auto &img : images) {
            dir += QByteArray(4, '\0') + le16(5) + le16(6) + le32(quint32(img.size()))
                   + le32(quint32(6 + 16 * 4 + data.size()));
            data += img;
        }
        auto c = parse(dir + data);
        QVERIFY(c);
        QCOMPARE(QList<int>({c->frames[0].width, c->frames[0].hotspotX, c->frames[0].hotspotY}),
                 QList<int>({32, 5, 6}));
        QCOMPARE(c->frames[0].argb[0], 0xff0000ffu);

        const QByteArray img = dib(3, 2, 24, {}, QList<uint>(6, 0), QList<int>(6, 0));
        c = parse(iconFile(img, 3, 2, 2, 40, 1));
        QCOMPARE(QList<int>({c->frames[0].hotspotX, c->frames[0].hotspotY}),
                 QList<int>({2, 1})); // clamped into the image
        c = parse(iconFile(img, 3, 2, 1, 1, 32));
        QCOMPARE(QList<int>({c->frames[0].hotspotX, c->frames[0].hotspotY}),
                 QList<int>({1, 1})); // icons use their centre
    }

    // A damaged image that would have been the best choice gives way to the next best.
    void damagedBestImageFallsBack()
    {
        const QByteArray good = dib(16, 16, 32, {}, QList<uint>(16 * 16, 0xffffffff), QList<int>(16 * 16, 0));
        for (const QByteArray &damaged :
             {badCrc(pngBytes(32, 32), "IDAT"),
              dib(32, 32, 32, {}, QList<uint>(1024, 0), QList<int>(1024, 0)).chopped(4)}) {
            const QByteArray file = le16(0) + le16(2) + le16(2) + QByteArray(8, '\0')
                                    + le32(quint32(damaged.size())) + le32(38) + QByteArray(8, '\0')
                                    + le32(quint32(good.size())) + le32(quint32(38 + damaged.size()))
                                    + damaged + good;
            const auto c = parse(file);
            QVERIFY(c && c->frames[0].width == 16);
            QVERIFY(!parse(iconFile(damaged, 32, 32)));
        }
    }

    // The reader accepts a PNG image exactly when the image decoder will read it (but for the
    // compressed data itself, which only the decoder inflates).
    void pngAgreesWithTheDecoder_data()
    {
        using namespace cursorbytes;
        QTest::addColumn<QByteArray>("png");
        QTest::addColumn<bool>("sound");
        const QByteArray end = pngChunk("IEND", {}), text = pngChunk("tEXt", "Title"), sound = png(5, 3);
        QTest::newRow("sound") << sound << true;
        QTest::newRow("palette image")
                << pngSignature + ihdr(5, 3, 8, 3) + pngChunk("PLTE", "abc") + idat(5, 3, 1) + end << true;
        QTest::newRow("bad IHDR CRC") << badCrc(sound, "IHDR") << false;
        QTest::newRow("bad IDAT CRC") << badCrc(sound, "IDAT") << false;
        QTest::newRow("bad text CRC, passed over") << badCrc(png(5, 3, text), "tEXt") << true;
        QTest::newRow("bad text CRC before IHDR")
                << badCrc(pngSignature + text + ihdr(5, 3) + idat(5, 3) + end, "tEXt") << false;
        QTest::newRow("no IDAT") << pngSignature + ihdr(5, 3) + end << false;
        QTest::newRow("no IEND") << sound.chopped(12) << false;
        QTest::newRow("RGBA at 4 bits") << pngSignature + ihdr(5, 3, 4, 6) + idat(5, 3) + end << false;
        QTest::newRow("palette image without PLTE")
                << pngSignature + ihdr(5, 3, 8, 3) + idat(5, 3, 1) + end << false;
        QTest::newRow("unknown critical chunk") << png(5, 3, pngChunk("ABCD", "x")) << false;
        QTest::newRow("fuzz seed png.cur")
                << shipped(PELLAVIN_SOURCE_DIR "/fuzz/corpus/png.cur").mid(22) << false;
        QTest::newRow("fuzz seed png-valid.cur")
                << shipped(PELLAVIN_SOURCE_DIR "/fuzz/corpus/png-valid.cur").mid(22) << true;
    }

    void pngAgreesWithTheDecoder()
    {
        QFETCH(QByteArray, png);
        QFETCH(bool, sound);
        QCOMPARE(!QImage::fromData(png, "PNG").isNull(), sound);
        QCOMPARE(bool(parse(iconFile(png, 0, 0))), sound);
    }

    // Every frame counts towards the budget, repeated ones too, though they are read once.
    void decodedSizeBudget_data()
    {
        using cursorbytes::repeatedFrames;
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("accepted");
        static_assert(cursorfile::maxDecodedPixels == 64 * 256 * 256
                      && cursorfile::maxDecodedPixels == 4096 * 32 * 32);
        QTest::newRow("64 of 256x256") << repeatedFrames(256, 256, 64) << true;
        QTest::newRow("65 of 256x256") << repeatedFrames(256, 256, 65) << false;
        QTest::newRow("4096 of 32x32") << repeatedFrames(32, 32, 4096) << true;
        QTest::newRow("4096 of 32x33") << repeatedFrames(32, 33, 4096) << false;
    }

    void decodedSizeBudget()
    {
        QFETCH(QByteArray, file);
        const auto c = parse(file);
        QTEST(bool(c), "accepted");
        if (c)
            QVERIFY(c->frames.size() == 1 && c->sequence == std::vector<std::size_t>(c->sequence.size(), 0));
    }

    // The file of the report, 1.5 MB: refused from its headers, before any frame is decoded.
    void smallFileOfHugeFramesIsRefusedQuickly()
    {
        const QByteArray file = cursorbytes::hugeFramesFile();
        QVERIFY(file.size() < 2'000'000);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!parse(file));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
    }

    void load()
    {
        QVERIFY(cursorfile::load(shippedPath("arrow_m.cur").toStdString()));
        QVERIFY(!cursorfile::load(shippedPath("no-such-cursor.cur").toStdString()));
        QVERIFY(!cursorfile::load(""));
        QVERIFY(!cursorfile::load(PELLAVIN_SOURCE_DIR "/Cursors"));

        // A valid cursor padded past the size limit is refused.
        QTemporaryDir dir;
        QFile big(dir.filePath("big.cur"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(shipped("arrow_m.cur") + QByteArray(qsizetype(cursorfile::maxFileSize), '\0'));
        big.close();
        QVERIFY(!cursorfile::load(big.fileName().toStdString()));

        QVERIFY(!cursorfile::load("/dev/zero"));
    }

    // A named pipe in a cursor file's place is refused at once, not waited on for a writer
    // (should the open block, the test runs into its time limit).
    void namedPipeDoesNotBlock()
    {
#ifndef Q_OS_UNIX
        QSKIP("named pipes live outside the file system here");
#else
        QTemporaryDir dir;
        const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.ani"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QVERIFY(!cursorfile::load(fifo.toStdString()));
#endif
    }
};

QTEST_APPLESS_MAIN(TestCursorFile)
#include "tst_cursorfile.moc"
