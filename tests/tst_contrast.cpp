#include "services/qtruntimeservices.h"
#include "tests/recordingcursorplatform.h"
#include "tests/recordingforms.h"
#include "tests/scriptedservices.h"
#include "windows/contrast.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/frmmath.h"
#include "windows/frmsplash.h"
#include "windows/syscolor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <initializer_list>

namespace {

// Windows' own high-contrast schemes, with their system colours as a desktop hands them over.
QPalette highContrast(QColor window, QColor text, QColor highlight, QColor highlightedText, QColor grayText)
{
    QPalette palette(text, window, text, window, text, text, text, window, window);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, highlightedText);
    palette.setColor(QPalette::Midlight, window);
    palette.setColor(QPalette::Mid, grayText);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, grayText);
    palette.setColor(QPalette::Disabled, QPalette::Text, grayText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, grayText);
    return palette;
}

// What a text is drawn in against what it is drawn on, read from the window's own picture: the
// commonest colour of the text's box is its background, the one furthest from it the text.
double drawnContrast(QWidget *window, QWidget *widget, QRect box)
{
    const QImage image = window->grab(box.translated(widget->mapTo(window, QPoint()))).toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(background))
            background = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast::ratio(QColor(it.key()), QColor(background)));
    return best;
}

// Every visible, enabled text of window: labels, buttons, text boxes, frame captions, menus.
void verifyTextsRead(QWidget *window)
{
    QVERIFY(QTest::qWaitForWindowExposed(window));
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisible() || !widget->isEnabled())
            continue;
        QRect box;
        if (auto *label = qobject_cast<QLabel *>(widget); label && !label->text().isEmpty())
            box = label->contentsRect();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget); button && !button->text().isEmpty())
            box = button->rect().adjusted(4, 4, -4, -4); // the face, not the bevel around it
        else if (auto *edit = qobject_cast<QLineEdit *>(widget); edit && !edit->text().isEmpty()) {
            // Selected text takes the scheme's selection colours, which are the desktop's.
            edit->deselect();
            box = edit->rect().adjusted(2, 2, -2, -2);
        } else if (auto *frame = qobject_cast<QGroupBox *>(widget); frame && !frame->title().isEmpty())
            box = QRect(6, 0, frame->fontMetrics().horizontalAdvance(frame->title()) + 4,
                        frame->fontMetrics().height());
        else if (auto *menuBar = qobject_cast<QMenuBar *>(widget))
            box = menuBar->actionGeometry(menuBar->actions().constFirst());
        if (box.isEmpty())
            continue;
        const double measured = drawnContrast(window, widget, box);
        QVERIFY2(measured >= contrast::ReadableText,
                 qPrintable(QStringLiteral("%1 %2 in %3: contrast %4 to 1")
                                    .arg(QLatin1String(widget->metaObject()->className()),
                                         widget->objectName(), window->metaObject()->className())
                                    .arg(measured, 0, 'f', 2)));
    }
}

}

// Under the ordinary colours and under high-contrast schemes, dark and light, every text of the
// windows and the boxes can be read.
class TestContrast : public QObject
{
    Q_OBJECT

    QPalette m_default;

private slots:
    void initTestCase() { m_default = QApplication::palette(); }
    void cleanup() { QApplication::setPalette(m_default); }

    void everyTextReads_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("default") << QApplication::palette();
        QTest::newRow("High Contrast Black")
                << highContrast(Qt::black, Qt::white, QColor(26, 235, 255), Qt::black, QColor(63, 242, 63));
        QTest::newRow("High Contrast White")
                << highContrast(Qt::white, Qt::black, QColor(55, 0, 110), Qt::white, QColor(96, 0, 0));
        // A scheme whose highlighted text is no different from its ordinary text.
        QTest::newRow("dark, highlighted text as plain text")
                << highContrast(Qt::black, Qt::white, QColor(0, 0, 128), Qt::white, QColor(128, 128, 128));
    }

    void everyTextReads()
    {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        ScriptedServices services;
        RecordingCursorPlatform cursors;
        RecordingForms forms;

        frmSplash splash(services, cursors, forms);
        frmMath math(services, cursors, forms);
        math.tmrTimer->stop();
        frmAbout about(services, {});
        frmHelp help;
        for (QWidget *window : std::initializer_list<QWidget *>{&splash, &math, &about, &help}) {
            window->show();
            verifyTextsRead(window);
        }

        // The boxes as the program shows them.
        QtRuntimeServices real;
        int checked = 0;
        const auto whenUp = [&] {
            QTimer::singleShot(0, this, [&] {
                QTRY_VERIFY(QApplication::activeModalWidget());
                QWidget *box = QApplication::activeModalWidget();
                verifyTextsRead(box);
                ++checked;
                QTest::keyClick(box, Qt::Key_Escape);
            });
        };
        whenUp();
        real.MsgBox(QStringLiteral("System Information Is Unavailable At This Time"));
        whenUp();
        real.InputBox(QStringLiteral("Enter your name:"), QStringLiteral("User Name Input"),
                      QStringLiteral("Student"));
        QCOMPARE(checked, 2);
    }

    void ratioOfKnownPairs_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("expected");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
        QTest::newRow("#767676 on white") << QColor(0x767676) << QColor(Qt::white) << 4.54;
        QTest::newRow("grey on Windows Classic") << QColor(128, 128, 128) << QColor(212, 208, 200) << 2.57;
        QTest::newRow("the same colour") << QColor(212, 208, 200) << QColor(212, 208, 200) << 1.0;
    }

    void ratioOfKnownPairs()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, expected);
        const double measured = contrast::ratio(a, b);
        QVERIFY2(qAbs(measured - expected) < 0.005, qPrintable(QString::number(measured)));
    }

    // The About box's rule stays grey unless the scheme is a high-contrast one that hides grey.
    void ruleColour_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<int>("desktopSwitch"); // -1 where the desktop has none
        QTest::addColumn<bool>("highContrast");
        QTest::addColumn<QColor>("rule");
        const QColor grey(128, 128, 128);
        const QPalette classic(Qt::black, QColor(212, 208, 200));
        const QPalette hcBlack = highContrast(Qt::black, Qt::white, QColor(26, 235, 255), Qt::black, grey);
        QTest::newRow("Windows Classic") << classic << -1 << false << grey;
        QTest::newRow("Windows Classic, switch off") << classic << 0 << false << grey;
        QTest::newRow("Classic's colours, switch on") << classic << 1 << true << QColor(Qt::black);
        QTest::newRow("light grey") << QPalette(Qt::black, QColor(239, 239, 239)) << -1 << false << grey;
        QTest::newRow("High Contrast Black") << hcBlack << -1 << true << grey;
        QTest::newRow("High Contrast Black, switch off") << hcBlack << 0 << false << grey;
        QTest::newRow("green on black, switch on")
                << highContrast(Qt::black, Qt::green, Qt::cyan, Qt::black, grey) << 1 << true << grey;
    }

    void ruleColour()
    {
        QFETCH(QPalette, palette);
        QFETCH(int, desktopSwitch);
        QFETCH(bool, highContrast);
        QFETCH(QColor, rule);
        const auto flag = desktopSwitch < 0 ? std::nullopt : std::optional<bool>(desktopSwitch == 1);
        QCOMPARE(contrast::highContrast(palette, flag), highContrast);
        QCOMPARE(contrast::markColour(QColor(128, 128, 128), palette, flag), rule);
        // Drawn too where this desktop's switch is the row's: none here, off in a fresh Wine prefix.
        if (flag != syscolor::highContrast())
            return;
        QApplication::setPalette(palette);
        ScriptedServices services;
        frmAbout about(services, {});
        const QImage shot = about.Line1->grab().toImage();
        QCOMPARE(QColor(shot.pixel(QPoint(100, 0) * shot.devicePixelRatio())), rule);
    }

    // A scheme changed while the About box is open reaches its two black texts too.
    void aboutFollowsASchemeChange()
    {
        ScriptedServices services;
        frmAbout about(services, {});
        about.show();
        QCOMPARE(about.lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
        QApplication::setPalette(
                highContrast(Qt::black, Qt::yellow, QColor(0, 0, 128), Qt::white, QColor(128, 128, 128)));
        QTRY_COMPARE(about.lblTitle->palette().color(QPalette::WindowText), QColor(Qt::yellow));
        QCOMPARE(about.lblDescription->palette().color(QPalette::WindowText), QColor(Qt::yellow));
        verifyTextsRead(&about);
    }
};

QTEST_MAIN(TestContrast)
#include "tst_contrast.moc"
