// Reads cursor files back with the program's own reader and draws every frame of
// each on one PNG, so a person can check what actually ships:
//
//     pellavin_cursor_sheet <output.png> <cursor file>...
//
// Frames are magnified 3x on a checkerboard; the hot spot is marked with a red
// ring and each frame is labelled with its index and how long its first step shows.

#include "cursor/file/cursorfile.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int scale = 3, gap = 12, labelWidth = 170, rowTextHeight = 16;

QImage frameImage(const cursorfile::Frame &f)
{
    if (!f.png.empty())
        return QImage::fromData(f.png.data(), static_cast<int>(f.png.size()), "PNG")
                .convertToFormat(QImage::Format_ARGB32);
    QImage img(f.width, f.height, QImage::Format_ARGB32);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            img.setPixel(x, y, f.argb[static_cast<std::size_t>(y * f.width + x)]);
    return img;
}

void checkerboard(QPainter &p, const QRect &r)
{
    const int cell = 2 * scale;
    p.save();
    p.setClipRect(r);
    for (int y = r.top(); y <= r.bottom(); y += cell)
        for (int x = r.left(); x <= r.right(); x += cell)
            p.fillRect(x, y, cell, cell,
                       ((x - r.left()) / cell + (y - r.top()) / cell) % 2 ? QColor(0x8c, 0x8c, 0x8c)
                                                                          : QColor(0xb4, 0xb4, 0xb4));
    p.restore();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output.png> <cursor file>...\n", argv[0]);
        return 2;
    }

    struct Row
    {
        QString name;
        std::optional<cursorfile::Cursor> cursor;
    };
    std::vector<Row> rows;
    int widest = 0, tallest = 0;
    std::size_t mostFrames = 1;
    for (int i = 2; i < argc; ++i) {
        Row r{QFileInfo(QString::fromLocal8Bit(argv[i])).fileName(), cursorfile::load(argv[i])};
        if (r.cursor) {
            mostFrames = std::max(mostFrames, r.cursor->frames.size());
            for (const auto &f : r.cursor->frames) {
                widest = std::max(widest, f.width);
                tallest = std::max(tallest, f.height);
            }
        }
        rows.push_back(std::move(r));
    }
    const int cellW = std::max(widest, 32) * scale, cellH = std::max(tallest, 32) * scale;
    const int rowH = cellH + rowTextHeight + gap;
    QImage sheet(labelWidth + static_cast<int>(mostFrames) * (cellW + gap) + gap,
                 static_cast<int>(rows.size()) * rowH + gap, QImage::Format_ARGB32);
    sheet.fill(QColor(0xf4, 0xf1, 0xea));

    QPainter p(&sheet);
    QFont font = p.font();
    font.setPixelSize(12);
    p.setFont(font);
    int y = gap;
    bool allRead = true;
    for (const auto &r : rows) {
        p.setPen(Qt::black);
        QString info;
        if (!r.cursor) {
            info = QStringLiteral("could not be read");
            allRead = false;
        } else {
            const auto &c = *r.cursor;
            info = QStringLiteral("%1 frame(s), %2 step(s)%3")
                           .arg(c.frames.size())
                           .arg(c.sequence.size())
                           .arg(c.animated ? QStringLiteral(", animated") : QString());
        }
        p.drawText(QRect(gap, y, labelWidth - gap, cellH),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, r.name + QLatin1Char('\n') + info);
        if (r.cursor) {
            const auto &c = *r.cursor;
            for (std::size_t i = 0; i < c.frames.size(); ++i) {
                const auto &f = c.frames[i];
                const QRect cell(labelWidth + static_cast<int>(i) * (cellW + gap), y, f.width * scale,
                                 f.height * scale);
                checkerboard(p, cell);
                p.drawImage(cell, frameImage(f));
                p.setPen(QPen(Qt::red, 1));
                p.drawEllipse(QPointF(cell.left() + (f.hotspotX + 0.5) * scale,
                                      cell.top() + (f.hotspotY + 0.5) * scale),
                              scale * 1.5, scale * 1.5);
                // Time of the frame's first appearance in the sequence.
                QString when = QStringLiteral("#%1").arg(i);
                for (std::size_t s = 0; s < c.sequence.size(); ++s)
                    if (c.sequence[s] == i) {
                        when += QStringLiteral("  %1 jif").arg(c.jiffies[s]);
                        break;
                    }
                p.setPen(Qt::black);
                p.drawText(QRect(cell.left(), cell.bottom() + 2, cellW, rowTextHeight),
                           Qt::AlignLeft | Qt::AlignTop, when);
            }
        }
        y += rowH;
    }
    p.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return allRead ? 0 : 1;
}
