// Reads back the compiled Windows resource (windres's .res output of app/pellavin.rc) and
// checks the version resource and the icon group field by field.
#include <QFile>
#include <QMap>
#include <QTest>

#include <cstdint>
#include <optional>

namespace {

std::uint32_t u16(const QByteArray &b, qsizetype at)
{
    if (at < 0 || at + 2 > b.size())
        throw std::out_of_range("past the end");
    return static_cast<std::uint8_t>(b[at])
           | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8;
}

std::uint32_t u32(const QByteArray &b, qsizetype at)
{
    return u16(b, at) | u16(b, at + 2) << 16;
}

qsizetype align4(qsizetype at)
{
    return (at + 3) & ~qsizetype(3);
}

// A zero-terminated UTF-16 text at 'at'; 'at' moves past the terminator.
QString utf16(const QByteArray &b, qsizetype &at)
{
    QString text;
    for (std::uint32_t c; (c = u16(b, at)) != 0; at += 2)
        text.append(QChar(static_cast<char16_t>(c)));
    at += 2;
    return text;
}

// A resource type or name: a number, or a text.
struct Id
{
    std::uint32_t number = 0;
    QString name;
};

Id readId(const QByteArray &b, qsizetype &at)
{
    if (u16(b, at) == 0xFFFF) {
        Id id{u16(b, at + 2), {}};
        at += 4;
        return id;
    }
    return Id{0, utf16(b, at)};
}

struct Resource
{
    Id type;
    Id name;
    std::uint32_t language = 0;
    QByteArray data;
};

// The .res file: a row of headers each followed by its data, both on 4-byte boundaries,
// after an empty first entry.
QList<Resource> readRes(const QByteArray &file)
{
    QList<Resource> resources;
    for (qsizetype at = 0; at < file.size();) {
        const std::uint32_t dataSize = u32(file, at);
        const std::uint32_t headerSize = u32(file, at + 4);
        qsizetype field = at + 8;
        Resource r;
        r.type = readId(file, field);
        r.name = readId(file, field);
        field = align4(field);
        r.language = u16(file, field + 6);
        const qsizetype dataAt = at + headerSize;
        if (headerSize < 32 || dataAt + dataSize > file.size())
            throw std::out_of_range("resource past the end");
        r.data = file.mid(dataAt, dataSize);
        if (dataSize != 0 || r.type.number != 0)
            resources.append(r);
        at = align4(dataAt + dataSize);
    }
    return resources;
}

// One node of a version resource: a key, a value and child nodes.
struct VersionNode
{
    QString key;
    bool text = false;
    QByteArray value;
    QList<VersionNode> children;
};

VersionNode readNode(const QByteArray &b, qsizetype at)
{
    const qsizetype end = at + u16(b, at);
    const std::uint32_t valueLength = u16(b, at + 2);
    VersionNode node;
    node.text = u16(b, at + 4) == 1;
    qsizetype field = at + 6;
    node.key = utf16(b, field);
    field = align4(field);
    // Text values count UTF-16 units, binary values bytes.
    const qsizetype valueBytes = node.text ? 2 * qsizetype(valueLength) : qsizetype(valueLength);
    if (end > b.size() || field + valueBytes > end)
        throw std::out_of_range("version node past its end");
    node.value = b.mid(field, valueBytes);
    for (field = align4(field + valueBytes); field < end;) {
        const qsizetype childLength = u16(b, field);
        if (childLength == 0)
            throw std::out_of_range("empty version node");
        node.children.append(readNode(b, field));
        field = align4(field + childLength);
    }
    return node;
}

QString textOf(const VersionNode &node)
{
    QString text;
    for (qsizetype at = 0; at + 1 < node.value.size(); at += 2) {
        const auto c = static_cast<char16_t>(u16(node.value, at));
        if (c == 0)
            break;
        text.append(QChar(c));
    }
    return text;
}

constexpr std::uint32_t RtIcon = 3;
constexpr std::uint32_t RtGroupIcon = 14;
constexpr std::uint32_t RtVersion = 16;

}

class TestWinResource : public QObject
{
    Q_OBJECT

private:
    QList<Resource> m_resources;
    VersionNode m_version;

    std::optional<Resource> find(std::uint32_t type, std::uint32_t name) const
    {
        for (const Resource &r : m_resources)
            if (r.type.number == type && r.name.number == name && r.type.name.isEmpty())
                return r;
        return std::nullopt;
    }

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(PELLAVIN_RES_FILE));
        QVERIFY2(file.open(QIODevice::ReadOnly), PELLAVIN_RES_FILE);
        m_resources = readRes(file.readAll());
        const auto version = find(RtVersion, 1);
        QVERIFY(version);
        m_version = readNode(version->data, 0);
    }

    void holdsOnlyTheIconAndTheVersion()
    {
        QMap<std::uint32_t, int> counts;
        for (const Resource &r : m_resources) {
            QVERIFY2(r.type.name.isEmpty(), "a resource type by name");
            ++counts[r.type.number];
        }
        const QMap<std::uint32_t, int> expected{{RtIcon, 3}, {RtGroupIcon, 1}, {RtVersion, 1}};
        QCOMPARE(counts, expected);
    }

    void fixedPart()
    {
        QCOMPARE(m_version.key, QStringLiteral("VS_VERSION_INFO"));
        const QByteArray &f = m_version.value;
        QCOMPARE(f.size(), 52);
        QCOMPARE(u32(f, 0), 0xFEEF04BDu);      // signature
        QCOMPARE(u32(f, 8), 0x00010000u);      // file version 1.0
        QCOMPARE(u32(f, 12), 0x00000000u);     // .0.0
        QCOMPARE(u32(f, 16), 0x00010000u);     // product version 1.0
        QCOMPARE(u32(f, 20), 0x00000000u);     // .0.0
        QCOMPARE(u32(f, 28) & u32(f, 24), 0u); // no flags set
        QCOMPARE(u32(f, 28), 0u);
        QCOMPARE(u32(f, 32), 0x00000004u); // VOS__WINDOWS32
        QCOMPARE(u32(f, 36), 0x00000001u); // VFT_APP
        QCOMPARE(u32(f, 40), 0u);          // no subtype
    }

    void oneStringTable()
    {
        QList<QString> blocks;
        for (const VersionNode &child : m_version.children)
            blocks.append(child.key);
        blocks.sort();
        QCOMPARE(blocks, (QList<QString>{QStringLiteral("StringFileInfo"), QStringLiteral("VarFileInfo")}));
        for (const VersionNode &child : m_version.children) {
            if (child.key != QLatin1String("StringFileInfo"))
                continue;
            QCOMPARE(child.children.size(), 1);
            QCOMPARE(child.children.first().key, QStringLiteral("040904B0"));
        }
    }

    void strings()
    {
        QMap<QString, QString> found;
        for (const VersionNode &child : m_version.children) {
            if (child.key != QLatin1String("StringFileInfo"))
                continue;
            for (const VersionNode &entry : child.children.first().children) {
                QVERIFY2(entry.text, qPrintable(entry.key));
                QVERIFY2(!found.contains(entry.key), qPrintable(entry.key));
                found.insert(entry.key, textOf(entry));
            }
        }
        const QMap<QString, QString> expected{
                {QStringLiteral("CompanyName"), QStringLiteral("Varnholt Corp")},
                {QStringLiteral("ProductName"), QStringLiteral("Pellavin")},
                {QStringLiteral("FileVersion"), QStringLiteral("1.00")},
                {QStringLiteral("ProductVersion"), QStringLiteral("1.00")},
                {QStringLiteral("InternalName"), QStringLiteral("Pellavin")},
                {QStringLiteral("OriginalFilename"), QStringLiteral("Pellavin.exe")},
        };
        QCOMPARE(found, expected);
    }

    void translation()
    {
        for (const VersionNode &child : m_version.children) {
            if (child.key != QLatin1String("VarFileInfo"))
                continue;
            QCOMPARE(child.children.size(), 1);
            const VersionNode &var = child.children.first();
            QCOMPARE(var.key, QStringLiteral("Translation"));
            QCOMPARE(var.value, QByteArray("\x09\x04\xB0\x04", 4));
            return;
        }
        QFAIL("no VarFileInfo");
    }

    void iconGroup_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("bits");
        QTest::newRow("48 pixels, 24 bits") << 0 << 48 << 24;
        QTest::newRow("48 pixels, 32 bits with alpha") << 1 << 48 << 32;
        QTest::newRow("32 pixels, 32 bits with alpha") << 2 << 32 << 32;
    }

    // Each entry of the group names an icon resource holding that image of pellavin.ico.
    void iconGroup()
    {
        QFETCH(int, index);
        QFETCH(int, side);
        QFETCH(int, bits);

        const auto group = find(RtGroupIcon, 1);
        QVERIFY(group);
        const QByteArray &g = group->data;
        QCOMPARE(u16(g, 0), 0u);
        QCOMPARE(u16(g, 2), 1u); // icons, not cursors
        QCOMPARE(u16(g, 4), 3u);
        QCOMPARE(g.size(), 6 + 3 * 14);

        const qsizetype entry = 6 + 14 * index;
        QCOMPARE(int(static_cast<std::uint8_t>(g[entry])), side);
        QCOMPARE(int(static_cast<std::uint8_t>(g[entry + 1])), side);
        QCOMPARE(u16(g, entry + 4), 1u); // planes
        QCOMPARE(int(u16(g, entry + 6)), bits);
        const auto icon = find(RtIcon, u16(g, entry + 12));
        QVERIFY(icon);
        QCOMPARE(u32(g, entry + 8), std::uint32_t(icon->data.size()));

        // The image is the bitmap header and rows with twice the height (colour and mask).
        const QByteArray &dib = icon->data;
        QCOMPARE(u32(dib, 0), 40u);
        QCOMPARE(int(u32(dib, 4)), side);
        QCOMPARE(int(u32(dib, 8)), 2 * side);
        QCOMPARE(int(u16(dib, 14)), bits);

        QFile ico(QStringLiteral(PELLAVIN_ICO_FILE));
        QVERIFY(ico.open(QIODevice::ReadOnly));
        const QByteArray file = ico.readAll();
        const qsizetype dirEntry = 6 + 16 * index;
        QCOMPARE(file.mid(u32(file, dirEntry + 12), u32(file, dirEntry + 8)), dib);

        if (bits == 32) {
            bool seeThrough = false;
            bool solid = false;
            const qsizetype rows = 40;
            for (qsizetype at = rows + 3; at < rows + qsizetype(side) * side * 4; at += 4) {
                seeThrough |= static_cast<std::uint8_t>(dib[at]) == 0;
                solid |= static_cast<std::uint8_t>(dib[at]) == 255;
            }
            QVERIFY2(seeThrough && solid, "the alpha channel is used");
        }
    }
};

QTEST_GUILESS_MAIN(TestWinResource)
#include "tst_winresource.moc"
