// Draws the program's pictures and writes them into the repository:
//
//     pellavin_make_pictures <repository>
//
// writes windows/pictures/calculator.jpg (the About box), windows/pictures/logo.jpg (the
// splash window), windows/pictures/pellavin.ico (the program icon) and
// packaging/linux/icons/pellavin-32.png and pellavin-48.png (the same icon for Linux desktops'
// icon themes). Digits are drawn as seven-segment shapes rather than text, so the output does not
// depend on the fonts of the machine.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

// Everything is drawn this many times larger and scaled down, which smooths the edges
// far better than anti-aliasing at 32 pixels does.
constexpr int oversample = 4;

const QColor bodyBlue(0x1f, 0x5f, 0xc8);
const QColor bodyEdge(0x0c, 0x2f, 0x78);
const QColor lcdGreen(0xc8, 0xdc, 0xb4);
const QColor lcdInk(0x20, 0x2a, 0x20);
const QColor keyLight(0xf2, 0xf4, 0xf8);
const QColor keyShade(0x8a, 0x96, 0xb4);
const QColor keyAccent(0xff, 0x8c, 0x1a);

// Segments a..g of a seven-segment digit, as the usual letters name them.
enum Segment : unsigned { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64 };

unsigned segmentsOf(char c)
{
    switch (c) {
    case '0': return A | B | C | D | E | F;
    case '1': return B | C;
    case '2': return A | B | G | E | D;
    case '3': return A | B | G | C | D;
    case '4': return F | G | B | C;
    case '5': return A | F | G | C | D;
    case '6': return A | F | G | E | C | D;
    case '7': return A | B | C;
    case '8': return A | B | C | D | E | F | G;
    case '9': return A | B | C | D | F | G;
    case '-': return G;
    default: return 0;
    }
}

// A bar with pointed ends, lying along the segment's axis.
QPolygonF bar(QPointF from, QPointF to, double thickness)
{
    const double half = thickness / 2;
    if (from.y() == to.y()) {
        return QPolygonF({from,
                          {from.x() + half, from.y() - half},
                          {to.x() - half, to.y() - half},
                          to,
                          {to.x() - half, to.y() + half},
                          {from.x() + half, from.y() + half}});
    }
    return QPolygonF({from,
                      {from.x() + half, from.y() + half},
                      {to.x() + half, to.y() - half},
                      to,
                      {to.x() - half, to.y() - half},
                      {from.x() - half, from.y() + half}});
}

// One character of a calculator display in the box: a digit, '+', '-' or '='.
void drawCharacter(QPainter &p, const QRectF &box, char c, const QColor &ink)
{
    const double t = box.width() * 0.22;
    const double l = box.left() + t / 2, r = box.right() - t / 2;
    const double top = box.top() + t / 2, mid = box.center().y(), bottom = box.bottom() - t / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    if (c == '+') {
        p.drawPolygon(bar({l, mid}, {r, mid}, t));
        const double cx = box.center().x(), arm = (r - l) / 2;
        p.drawPolygon(bar({cx, mid - arm}, {cx, mid + arm}, t));
        return;
    }
    if (c == '=') {
        p.drawPolygon(bar({l, mid - t}, {r, mid - t}, t));
        p.drawPolygon(bar({l, mid + t}, {r, mid + t}, t));
        return;
    }
    const unsigned on = segmentsOf(c);
    const double gap = t * 0.15;
    auto horizontal = [&](double y) { return bar({l + gap, y}, {r - gap, y}, t); };
    auto vertical = [&](double x, double y0, double y1) { return bar({x, y0 + gap}, {x, y1 - gap}, t); };
    if (on & A)
        p.drawPolygon(horizontal(top));
    if (on & G)
        p.drawPolygon(horizontal(mid));
    if (on & D)
        p.drawPolygon(horizontal(bottom));
    if (on & F)
        p.drawPolygon(vertical(l, top, mid));
    if (on & B)
        p.drawPolygon(vertical(r, top, mid));
    if (on & E)
        p.drawPolygon(vertical(l, mid, bottom));
    if (on & C)
        p.drawPolygon(vertical(r, mid, bottom));
}

// Right-aligned, as a calculator shows its numbers; characters keep a digit's proportions
// however wide the display is.
void drawText(QPainter &p, const QRectF &box, const char *text, const QColor &ink)
{
    const int n = static_cast<int>(std::strlen(text));
    const double width = std::min(box.height() * 0.56, box.width() / n * 0.78);
    const double pitch = width / 0.78;
    for (int i = 0; i < n; ++i) {
        const double right = box.right() - (n - 1 - i) * pitch;
        drawCharacter(p, QRectF(right - width, box.top(), width, box.height()), text[i], ink);
    }
}

struct CalculatorStyle
{
    const char *display; // what the display shows
    int keyColumns;
    int keyRows;
    bool outline;     // a dark edge keeps the body readable on any background
    double lcdHeight; // share of the body's height
};

// A pocket calculator filling the unit square [0,1]x[0,1] (the painter scales it).
void drawCalculator(QPainter &p, const QRectF &body, const CalculatorStyle &style)
{
    const double w = body.width(), h = body.height();
    QLinearGradient shine(body.topLeft(), body.bottomRight());
    shine.setColorAt(0, bodyBlue.lighter(135));
    shine.setColorAt(1, bodyBlue.darker(120));
    p.setPen(style.outline ? QPen(bodyEdge, w * 0.03) : QPen(Qt::NoPen));
    p.setBrush(shine);
    p.drawRoundedRect(body, w * 0.12, w * 0.12);

    const QRectF lcd(body.left() + w * 0.12, body.top() + h * 0.09, w * 0.76, h * style.lcdHeight);
    p.setPen(QPen(bodyEdge, w * 0.02));
    p.setBrush(lcdGreen);
    p.drawRoundedRect(lcd, w * 0.03, w * 0.03);
    const QRectF digits =
            lcd.adjusted(lcd.width() * 0.08, lcd.height() * 0.18, -lcd.width() * 0.08, -lcd.height() * 0.18);
    drawText(p, digits, style.display, lcdInk);

    const double padTop = 0.09 + style.lcdHeight + 0.08;
    const QRectF pad(body.left() + w * 0.12, body.top() + h * padTop, w * 0.76, h * (0.92 - padTop));
    const double cw = pad.width() / style.keyColumns, ch = pad.height() / style.keyRows;
    for (int row = 0; row < style.keyRows; ++row) {
        for (int col = 0; col < style.keyColumns; ++col) {
            const QRectF key(pad.left() + col * cw + cw * 0.1, pad.top() + row * ch + ch * 0.12, cw * 0.8,
                             ch * 0.76);
            const bool equals = row == style.keyRows - 1 && col == style.keyColumns - 1;
            const QColor face = equals ? keyAccent : keyLight;
            p.setPen(Qt::NoPen);
            p.setBrush(keyShade.darker(130));
            p.drawRoundedRect(key.translated(0, ch * 0.07), cw * 0.15, cw * 0.15);
            p.setBrush(face);
            p.drawRoundedRect(key, cw * 0.15, cw * 0.15);
        }
    }
}

// Draws at `oversample` times the size and scales down.
template<typename Paint> QImage render(int width, int height, const QColor &background, Paint paint)
{
    QImage big(width * oversample, height * oversample, QImage::Format_ARGB32_Premultiplied);
    big.fill(background);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(big.width(), big.height());
        paint(p);
    }
    return big.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32);
}

QImage calculatorPicture()
{
    // The About box shows it on the dialog's grey, inside a sunken border.
    return render(80, 80, QColor(0xf4, 0xf4, 0xf4), [](QPainter &p) {
        drawCalculator(p, QRectF(0.14, 0.05, 0.72, 0.9), {"12", 4, 4, true, 0.25});
    });
}

QImage logoPicture()
{
    // Stretched to 144x168 on the splash window: bold shapes and few details survive that.
    return render(200, 200, Qt::white, [](QPainter &p) {
        QRadialGradient sun(QPointF(0.5, 0.45), 0.6);
        sun.setColorAt(0, QColor(0xff, 0xf1, 0xa8));
        sun.setColorAt(1, QColor(0xff, 0xc2, 0x40));
        p.setPen(Qt::NoPen);
        p.setBrush(sun);
        p.drawRoundedRect(QRectF(0.02, 0.02, 0.96, 0.96), 0.12, 0.12);
        drawCalculator(p, QRectF(0.17, 0.08, 0.66, 0.84), {"7+5", 4, 4, true, 0.32});
    });
}

QImage iconPicture(int side)
{
    return render(side, side, Qt::transparent, [](QPainter &p) {
        drawCalculator(p, QRectF(0.12, 0.03, 0.76, 0.94), {"12", 3, 3, true, 0.25});
    });
}

void put16(QByteArray &out, unsigned value)
{
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

void put32(QByteArray &out, std::uint32_t value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// One icon image as the DIB an icon directory points at: header, colour rows and the
// AND mask, both bottom-up. At 24 bits transparency lives only in the mask, so masked
// pixels are black in the colour part, as the system expects.
QByteArray iconDib(const QImage &image, int bitsPerPixel)
{
    const int w = image.width(), h = image.height();
    const int colourStride = ((w * bitsPerPixel / 8) + 3) & ~3;
    const int maskStride = ((w + 31) / 32) * 4;
    const auto imageBytes = static_cast<std::uint32_t>((colourStride + maskStride) * h);

    QByteArray out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(2 * h)); // colour rows plus mask rows
    put16(out, 1);
    put16(out, static_cast<unsigned>(bitsPerPixel));
    put32(out, 0); // BI_RGB
    put32(out, imageBytes);
    for (int i = 0; i < 4; ++i)
        put32(out, 0);

    auto transparent = [&](int x, int y) { return qAlpha(image.pixel(x, y)) < 128; };
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < w; ++x) {
            const QRgb px = image.pixel(x, y);
            if (bitsPerPixel == 24) {
                const QRgb shown = transparent(x, y) ? 0 : px;
                row.append(static_cast<char>(qBlue(shown)));
                row.append(static_cast<char>(qGreen(shown)));
                row.append(static_cast<char>(qRed(shown)));
            } else {
                row.append(static_cast<char>(qBlue(px)));
                row.append(static_cast<char>(qGreen(px)));
                row.append(static_cast<char>(qRed(px)));
                row.append(static_cast<char>(qAlpha(px)));
            }
        }
        row.append(QByteArray(colourStride - row.size(), '\0'));
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (transparent(x, y))
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

QByteArray iconFile()
{
    // Non-premultiplied colour, as icon files store it.
    const QImage big = iconPicture(48);
    const QImage small = iconPicture(32);
    struct Entry
    {
        const QImage &image;
        int bits;
    };
    const Entry entries[] = {{big, 24}, {big, 32}, {small, 32}};

    QByteArray dir, data;
    put16(dir, 0);
    put16(dir, 1); // icon, not cursor
    put16(dir, std::size(entries));
    const int firstOffset = 6 + 16 * static_cast<int>(std::size(entries));
    for (const Entry &entry : entries) {
        const QByteArray dib = iconDib(entry.image, entry.bits);
        dir.append(static_cast<char>(entry.image.width()));
        dir.append(static_cast<char>(entry.image.height()));
        dir.append('\0'); // no palette
        dir.append('\0');
        put16(dir, 1);
        put16(dir, static_cast<unsigned>(entry.bits));
        put32(dir, static_cast<std::uint32_t>(dib.size()));
        put32(dir, static_cast<std::uint32_t>(firstOffset + data.size()));
        data.append(dib);
    }
    return dir + data;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

bool writePng(const QString &path, const QImage &image)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

bool writeJpeg(const QString &path, const QImage &image)
{
    // The pictures have no transparency; JPEG wants plain RGB.
    if (!image.convertToFormat(QImage::Format_RGB32).save(path, "JPEG", 92)) {
        std::fprintf(stderr, "cannot write %s (is the qjpeg image plugin installed?)\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <repository>\n", argv[0]);
        return 2;
    }
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath(QStringLiteral("windows/pictures"))
        || !root.mkpath(QStringLiteral("packaging/linux/icons"))) {
        std::fprintf(stderr, "cannot create the picture folders in %s\n", argv[1]);
        return 1;
    }
    const bool ok =
            writeJpeg(root.filePath(QStringLiteral("windows/pictures/calculator.jpg")), calculatorPicture())
            && writeJpeg(root.filePath(QStringLiteral("windows/pictures/logo.jpg")), logoPicture())
            && writeFile(root.filePath(QStringLiteral("windows/pictures/pellavin.ico")), iconFile())
            && writePng(root.filePath(QStringLiteral("packaging/linux/icons/pellavin-32.png")),
                        iconPicture(32))
            && writePng(root.filePath(QStringLiteral("packaging/linux/icons/pellavin-48.png")),
                        iconPicture(48));
    return ok ? 0 : 1;
}
