// What Pellavin's main window does while a question waits for its answer, the plainest way Qt
// allows: a focused line edit with its blinking caret, a label rewritten once a second, and a
// six-frame bitmap cursor shown for 10, 10, 10, 10, 40 and 20 sixtieths of a second in turn.
// The benchmark compares the CPU time the two take while nothing else happens.
#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <array>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Idle"));
    window.resize(480, 300);

    auto *clock = new QLabel(QStringLiteral("0:00:00"), &window);
    clock->setGeometry(380, 10, 90, 20);
    auto *answer = new QLineEdit(&window);
    answer->setGeometry(20, 240, 200, 24);

    // Six 32x32 one-bit frames: a square that grows and shrinks.
    std::array<QCursor, 6> frames;
    for (int i = 0; i < 6; ++i) {
        QBitmap shape(32, 32);
        shape.fill(Qt::color0);
        QPainter painter(&shape);
        painter.setPen(Qt::color1);
        const int inset = 2 + 2 * (i < 3 ? i : 5 - i);
        painter.drawRect(inset, inset, 31 - 2 * inset, 31 - 2 * inset);
        painter.end();
        frames[i] = QCursor(shape, shape, 0, 0);
    }
    const std::array<int, 6> jiffies{10, 10, 10, 10, 40, 20};
    std::size_t step = 0;
    QTimer animation;
    animation.setSingleShot(true);
    QObject::connect(&animation, &QTimer::timeout, &window, [&] {
        step = (step + 1) % frames.size();
        window.setCursor(frames[step]);
        animation.start(jiffies[step] * 1000 / 60);
    });
    window.setCursor(frames[0]);
    animation.start(jiffies[0] * 1000 / 60);

    QElapsedTimer since;
    since.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, clock, [&] {
        const qint64 s = since.elapsed() / 1000;
        clock->setText(QStringLiteral("%1:%2:%3")
                               .arg(s / 3600)
                               .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                               .arg(s % 60, 2, 10, QLatin1Char('0')));
    });
    tick.start(1000);

    window.show();
    window.activateWindow();
    answer->setFocus();
    return app.exec();
}
