// The least a Qt Widgets program costs: one window holding one label. The benchmark compares
// Pellavin with this.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    auto *label = new QLabel(QStringLiteral("Pellavin"), &window);
    label->move(20, 20);
    window.resize(200, 80);
    window.show();
    return app.exec();
}
