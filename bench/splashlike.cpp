// What Pellavin's splash window shows, drawn the plainest way Qt allows: the same labels in
// the same fonts and sizes, the same picture, in a frameless window, all built before it shows.
// The benchmark counts the instructions this takes to its first picture.
#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace {

void addLabel(QWidget *parent, const QString &text, const QRect &box, double points, bool bold,
              Qt::Alignment alignment = Qt::AlignLeft)
{
    auto *label = new QLabel(text, parent);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    // Pellavin's windows take a font narrowed to 97 % from the desktop default.
    font.setStretch(97);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setGeometry(box);
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window.setFixedSize(492, 279);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::HighlightedText));
    window.setPalette(palette);
    window.setAutoFillBackground(true);

    auto *frame = new QFrame(&window);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(8, 4, 480, 270);

    auto *logo = new QLabel(frame);
    logo->setPixmap(QPixmap(QStringLiteral(":/logo.jpg")));
    logo->setScaledContents(true);
    logo->setGeometry(8, 56, 144, 168);

    addLabel(frame, QStringLiteral("Copyright"), QRect(304, 204, 161, 17), 8.25, false);
    addLabel(frame, QStringLiteral("Varnholt Corp."), QRect(304, 218, 161, 17), 8.25, false);
    addLabel(frame, QStringLiteral("Version 1.0.0"), QRect(348, 180, 110, 19), 12, true, Qt::AlignRight);
    addLabel(frame, QStringLiteral("Platform"), QRect(370, 156, 87, 24), 15.75, true, Qt::AlignRight);
    addLabel(frame, QStringLiteral("Pellavin"), QRect(168, 76, 180, 51), 32.25, true);
    addLabel(frame, QStringLiteral("Varnholt Corp."), QRect(157, 47, 170, 29), 18, true);

    window.move(window.screen()->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
