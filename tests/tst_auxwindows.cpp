#include "tests/scriptedservices.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/labelfit.h"
#include "windows/layout.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <cstdint>

namespace {

// Little-endian fields of the icon file.
std::uint32_t le(const QByteArray &bytes, qsizetype at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

struct IconImage
{
    int width = 0, height = 0, bits = 0;
    qsizetype offset = 0;
};

QRect pixels(const QRect &twips)
{
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

// Every label's text, wrapped at spaces as the window wraps it, fits the label's box.
void verifyTextsFit(const QWidget *window)
{
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QRect needed = label->fontMetrics().boundingRect(
                label->contentsRect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, label->text());
        QVERIFY2(needed.width() <= label->contentsRect().width()
                         && needed.height() <= label->contentsRect().height(),
                 qPrintable(QStringLiteral("%1 \"%2\" needs %3x%4 in %5x%6")
                                    .arg(label->objectName(), label->text())
                                    .arg(needed.width())
                                    .arg(needed.height())
                                    .arg(label->width())
                                    .arg(label->height())));
    }
    for (const QPushButton *button : window->findChildren<QPushButton *>()) {
        QString shown = button->text();
        shown.remove(u'&');
        QVERIFY2(button->fontMetrics().horizontalAdvance(shown) < button->width() - 8,
                 qPrintable(button->objectName()));
    }
}

void verifyToolWindowFrame(const QWidget *window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    QCOMPARE(window->windowType(), Qt::Tool);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!window->testAttribute(Qt::WA_SetWindowIcon));
    QVERIFY(!window->parentWidget());
}

void verifyControl(const QWidget *window, const QWidget *control, const QString &text, const QRect &twips)
{
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), window);
    QCOMPARE(control->geometry(), pixels(twips));
    // The dialog font, narrowed at most a little where the stand-in runs wide.
    const QFont designed = dialogFont();
    QCOMPARE(control->font().families(), designed.families());
    QCOMPARE(control->font().pointSizeF(), designed.pointSizeF());
    QCOMPARE(control->font().weight(), QFont::Normal);
    const int stretch = control->font().stretch() == QFont::AnyStretch ? 100 : control->font().stretch();
    const int designedStretch = designed.stretch() == QFont::AnyStretch ? 100 : designed.stretch();
    QVERIFY(stretch <= designedStretch && stretch >= 90);
    if (auto *label = qobject_cast<const QLabel *>(control)) {
        QCOMPARE(label->text(), text);
        QVERIFY(label->wordWrap());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    } else if (auto *button = qobject_cast<const QPushButton *>(control)) {
        QCOMPARE(button->text(), text);
    }
}

class VersionServices : public ScriptedServices
{
public:
    QString appTitle() const override { return QStringLiteral("Abacus & Co"); }
    int appMajor() const override { return 2; }
    int appMinor() const override { return 10; }
    int appRevision() const override { return 307; }
};

}

class TestAuxWindows : public QObject
{
    Q_OBJECT

    ScriptedServices services;
    int sysInfoCalls = 0;
    QPointer<frmAbout> about;
    QPointer<frmHelp> help;

    void openAbout()
    {
        about = new frmAbout(services, [this] { ++sysInfoCalls; });
        about->show();
        about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(about));
    }

    void openHelp()
    {
        help = new frmHelp;
        help->show();
        help->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(help));
    }

    QList<IconImage> iconImages(const QByteArray &file)
    {
        QList<IconImage> images;
        if (file.size() < 6 || le(file, 0, 2) != 0 || le(file, 2, 2) != 1)
            return images;
        const int count = static_cast<int>(le(file, 4, 2));
        for (int i = 0; i < count && 6 + 16 * (i + 1) <= file.size(); ++i) {
            const qsizetype entry = 6 + 16 * i;
            IconImage image;
            image.width = static_cast<unsigned char>(file.at(entry));
            image.height = static_cast<unsigned char>(file.at(entry + 1));
            image.bits = static_cast<int>(le(file, entry + 6, 2));
            const std::uint32_t size = le(file, entry + 8, 4);
            image.offset = le(file, entry + 12, 4);
            const int colourStride = ((image.width * image.bits / 8) + 3) & ~3;
            const int maskStride = ((image.width + 31) / 32) * 4;
            // The entry's size covers header, colour rows and mask rows, inside the file.
            if (size != static_cast<std::uint32_t>(40 + (colourStride + maskStride) * image.height)
                || image.offset + size > file.size())
                return {};
            images.append(image);
        }
        return images;
    }

private slots:
    void cleanup()
    {
        delete about;
        delete help;
        sysInfoCalls = 0;
    }

    void aboutFrame()
    {
        about = new frmAbout(services, [] {});
        QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(about->windowTitle(), QStringLiteral("About Pellavin"));
        verifyToolWindowFrame(about);
        QCOMPARE(about->geometry(), twipsRect(2340, 1935, 5730, 3075));
        about->show();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QCOMPARE(about->size(), twipsRect(0, 0, 5730, 3075).size());
    }

    void aboutControls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("lblTitle") << "lblTitle"
                                  << "Pellavin" << QRect(1560, 240, 3885, 480);
        QTest::newRow("lblVersion") << "lblVersion"
                                    << "Version 1.0.0" << QRect(1560, 840, 3885, 225);
        QTest::newRow("lblDescription")
                << "lblDescription"
                << "A Pellavin program designed to build mathimatical skills. Users will expriance some "
                   "challange in the beginning, but towards the end of the sessions the goal is to "
                   "improve your speed and accurace when solving the questions given."
                << QRect(1560, 1125, 3885, 1170);
        QTest::newRow("cmdOK") << "cmdOK"
                               << "OK" << QRect(2880, 2640, 1260, 345);
        QTest::newRow("cmdSysInfo") << "cmdSysInfo"
                                    << "&System Info..." << QRect(4260, 2640, 1245, 345);
    }

    void aboutControls()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        about = new frmAbout(services, [] {});
        verifyControl(about, about->findChild<QWidget *>(name), text, twips);
    }

    void aboutTextsAndPictureFit()
    {
        about = new frmAbout(services, [] {});
        verifyTextsFit(about);
        QCOMPARE(about->lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(about->lblDescription->palette().color(QPalette::WindowText), QColor(Qt::black));

        // The picture inside a two-pixel sunken border, sized to it.
        QCOMPARE(about->picIcon->objectName(), QStringLiteral("picIcon"));
        QCOMPARE(about->picIcon->pixmap().size(), QSize(80, 80));
        QCOMPARE(about->picIcon->frameWidth(), 2);
        QCOMPARE(about->picIcon->frameShadow(), QFrame::Sunken);
        QCOMPARE(about->picIcon->geometry(), QRect(twipsRect(120, 240, 0, 0).topLeft(), QSize(84, 84)));
        QCOMPARE(about->picIcon->contentsRect().size(), QSize(80, 80));
    }

    void aboutLoadWritesTitleAndVersion()
    {
        VersionServices other;
        about = new frmAbout(other, [] {});
        QCOMPARE(about->windowTitle(), QStringLiteral("About Abacus & Co"));
        QCOMPARE(about->lblTitle->text(), QStringLiteral("Abacus & Co"));
        QCOMPARE(about->lblVersion->text(), QStringLiteral("Version 2.10.307"));
    }

    void aboutEtchedRule()
    {
        about = new frmAbout(services, [] {});
        QCOMPARE(about->Line1->objectName(), QStringLiteral("Line1"));
        const QImage shot = about->grab().toImage();
        const QColor grey(128, 128, 128), white(Qt::white);
        const int y = twipsToPixels(2445);
        // At the centre of the logical pixel, so that the same places are read at any scale.
        const qreal scale = shot.devicePixelRatio();
        auto at = [&](int x, int row) {
            return QColor(
                    shot.pixel(static_cast<int>((x + 0.5) * scale), static_cast<int>((row + 0.5) * scale)));
        };
        // Grey from x 6 up to, not including, x 376; white two rows below, from x 7.
        QCOMPARE(at(6, y), grey);
        QCOMPARE(at(375, y), grey);
        QVERIFY(at(5, y) != grey);
        QVERIFY(at(376, y) != grey);
        for (int row : {y + 1, y + 2}) {
            QCOMPARE(at(7, row), white);
            QCOMPARE(at(375, row), white);
            QVERIFY(at(6, row) != white);
            QVERIFY(at(376, row) != white);
        }
        QVERIFY(at(100, y - 1) != grey);
        QVERIFY(at(100, y + 3) != white);
    }

    void aboutFocusAndTabOrder()
    {
        openAbout();
        QCOMPARE(QApplication::focusWidget(), about->cmdOK);
        QVERIFY(about->cmdOK->isDefault());
        for (QWidget *next :
             {static_cast<QWidget *>(about->picIcon), static_cast<QWidget *>(about->cmdSysInfo),
              static_cast<QWidget *>(about->cmdOK)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        for (QWidget *label : {about->lblTitle, about->lblVersion, about->lblDescription})
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }

    void aboutKeys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("launches");
        QTest::newRow("Enter on OK") << "cmdOK" << int(Qt::Key_Return) << 0 << true << 0;
        QTest::newRow("keypad Enter on OK")
                << "cmdOK" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true << 0;
        QTest::newRow("Space on OK") << "cmdOK" << int(Qt::Key_Space) << 0 << true << 0;
        QTest::newRow("Esc on OK") << "cmdOK" << int(Qt::Key_Escape) << 0 << true << 0;
        QTest::newRow("Enter on the picture") << "picIcon" << int(Qt::Key_Return) << 0 << true << 0;
        QTest::newRow("Esc on the picture") << "picIcon" << int(Qt::Key_Escape) << 0 << true << 0;
        QTest::newRow("Enter on System Info") << "cmdSysInfo" << int(Qt::Key_Return) << 0 << false << 1;
        QTest::newRow("Space on System Info") << "cmdSysInfo" << int(Qt::Key_Space) << 0 << false << 1;
        QTest::newRow("Esc on System Info") << "cmdSysInfo" << int(Qt::Key_Escape) << 0 << true << 0;
        QTest::newRow("Alt+S on OK") << "cmdOK" << int(Qt::Key_S) << int(Qt::AltModifier) << false << 1;
        QTest::newRow("Alt+S on the picture")
                << "picIcon" << int(Qt::Key_S) << int(Qt::AltModifier) << false << 1;
        QTest::newRow("S alone") << "cmdOK" << int(Qt::Key_S) << 0 << false << 0;
    }

    void aboutKeys()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closes);
        QFETCH(int, launches);
        openAbout();
        auto *target = about->findChild<QWidget *>(focus);
        target->setFocus();
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        // Alt+S clicks the button a moment later, as a pressed button shows.
        QTRY_COMPARE(sysInfoCalls, launches);
        if (closes) {
            QTRY_VERIFY(about.isNull());
        } else {
            QTest::qWait(150);
            QCOMPARE(sysInfoCalls, launches);
            QVERIFY(about);
            QVERIFY(about->isVisible());
        }
    }

    void aboutCloseButtonDiscards()
    {
        openAbout();
        about->close();
        QTRY_VERIFY(about.isNull());
        QCOMPARE(sysInfoCalls, 0);
    }

    void aboutSysInfoLeavesTheBoxOpen()
    {
        openAbout();
        about->cmdSysInfo->click();
        about->cmdSysInfo->click();
        QCOMPARE(sysInfoCalls, 2);
        QVERIFY(about->isVisible());
        about->cmdOK->click();
        QTRY_VERIFY(about.isNull());
        QCOMPARE(sysInfoCalls, 2);
    }

    void helpFrame()
    {
        help = new frmHelp;
        QCOMPARE(help->objectName(), QStringLiteral("frmHelp"));
        QCOMPARE(help->windowTitle(), QStringLiteral("Help using Pellavin"));
        verifyToolWindowFrame(help);
        QCOMPARE(help->geometry(), twipsRect(2760, 3750, 4890, 3615));
    }

    void helpControls_data()
    {
        QTest::addColumn<int>("element"); // -1 for controls that are not Label2
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("Label1")
                << -1 << "Label1"
                << "Use the difficulty settings to choose the difficulty which most suits you."
                << QRect(120, 120, 4335, 495);
        QTest::newRow("Label2(0)") << 0 << "Label2"
                                   << "Beginner - Only addition and subtraction(+,-)"
                                   << QRect(120, 720, 4455, 255);
        QTest::newRow("Label2(1)") << 1 << "Label2"
                                   << "Intermediate - Only addition, subtraction, and multiplication.(+,-,*)"
                                   << QRect(120, 1080, 4575, 255);
        QTest::newRow("Label2(2)") << 2 << "Label2"
                                   << "Advanced - All four mathimatical operators will be used.(+,-,*,/)"
                                   << QRect(120, 1440, 4575, 255);
        QTest::newRow("Label3")
                << -1 << "Label3"
                << "Answer the questions as they are given to you (20 questions is all), and use the "
                   "submit button to submit your answers. If you feel you need to skip the question, "
                   "click 'Next Question', this will count as a wrong answer. If you do choose to do "
                   "the question, but answer correctly, you will have 3 chances to get the right "
                   "answer before you are given the next question."
                << QRect(120, 1800, 4575, 1215);
        QTest::newRow("OKButton") << -1 << "OKButton"
                                  << "OK" << QRect(3600, 3120, 1215, 375);
    }

    void helpControls()
    {
        QFETCH(int, element);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        help = new frmHelp;
        QWidget *control = nullptr;
        if (element < 0) {
            control = help->findChild<QWidget *>(name);
        } else {
            const QList<QLabel *> elements = help->findChildren<QLabel *>(name);
            QCOMPARE(elements.size(), 3);
            for (QLabel *label : elements) {
                if (label->property("index").toInt() == element)
                    control = label;
            }
            QCOMPARE(control, help->Label2.at(static_cast<std::size_t>(element)));
        }
        verifyControl(help, control, text, twips);
        if (auto *label = qobject_cast<QLabel *>(control))
            QVERIFY(label->autoFillBackground());
    }

    void helpTextsFit()
    {
        help = new frmHelp;
        verifyTextsFit(help);
    }

    void helpKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << false;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << false;
        QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier) << false;
    }

    void helpKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closes);
        openHelp();
        QCOMPARE(QApplication::focusWidget(), help->OKButton);
        QVERIFY(!help->OKButton->isDefault() || help->OKButton->autoDefault());
        QTest::keyClick(help->OKButton, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (closes) {
            QTRY_VERIFY(help.isNull());
        } else {
            QTest::qWait(50);
            QVERIFY(help);
            QVERIFY(help->isVisible());
            QCOMPARE(QApplication::focusWidget(), help->OKButton);
        }
    }

    void helpOkDiscardsAndReopensAnew()
    {
        openHelp();
        help->OKButton->click();
        QTRY_VERIFY(help.isNull());
        openHelp();
        QCOMPARE(
                help->Label1->text(),
                QStringLiteral("Use the difficulty settings to choose the difficulty which most suits you."));
        help->close();
        QTRY_VERIFY(help.isNull());
    }

    void narrowingStopsWhereTheTextFits()
    {
        QWidget parent;
        const QString text = QStringLiteral("Intermediate - Only addition, subtraction");
        QLabel *label =
                makeLabel(&parent, "probe", text, QRect(0, 0, 1000, 17), dialogFont(), LabelSizing::Fixed);
        const QFont before = label->font();
        narrowToFit(label);
        QCOMPARE(label->font(), before);

        // A box a few pixels short of the line: narrowed just enough to fit on one line.
        const int natural = label->fontMetrics().horizontalAdvance(text);
        label->resize(natural - 3, 17);
        narrowToFit(label);
        QVERIFY(label->font().stretch() < (before.stretch() ? before.stretch() : 100));
        QVERIFY(label->fontMetrics().horizontalAdvance(text) <= natural - 3);
        QFont wider = label->font();
        wider.setStretch(wider.stretch() + 1);
        QVERIFY(QFontMetrics(wider).horizontalAdvance(text) > natural - 3);

        // Far too small a box: the font stops at the floor and the text is clipped.
        label->setFont(before);
        label->resize(natural / 2, 17);
        narrowToFit(label, 93);
        QCOMPARE(label->font().stretch(), 93);
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("calculator") << frmAbout::PicturePath << QSize(80, 80);
        QTest::newRow("logo") << ":/pictures/logo.jpg" << QSize(200, 200);
    }

    void pictures()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), size);
        QVERIFY(!image.isGrayscale());
        // The calculator's blue body shows in the middle.
        const QColor centre = image.pixelColor(size.width() / 2, size.height() * 3 / 4);
        QVERIFY2(centre.blue() > centre.red() + 60, qPrintable(centre.name()));
    }

    void programIcon()
    {
        QFile file(QStringLiteral(PELLAVIN_SOURCE_DIR "/windows/pictures/pellavin.ico"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QFile built(QStringLiteral(":/pictures/pellavin.ico"));
        QVERIFY(built.open(QIODevice::ReadOnly));
        QCOMPARE(built.readAll(), bytes);

        const QList<IconImage> images = iconImages(bytes);
        QCOMPARE(images.size(), 3);
        const int expected[][3] = {{48, 48, 24}, {48, 48, 32}, {32, 32, 32}};
        for (int i = 0; i < 3; ++i) {
            const IconImage &image = images.at(i);
            QCOMPARE(image.width, expected[i][0]);
            QCOMPARE(image.height, expected[i][1]);
            QCOMPARE(image.bits, expected[i][2]);
            // A plain BITMAPINFOHEADER DIB, twice as high for the mask, uncompressed.
            QCOMPARE(le(bytes, image.offset, 4), 40u);
            QCOMPARE(le(bytes, image.offset + 4, 4), std::uint32_t(image.width));
            QCOMPARE(le(bytes, image.offset + 8, 4), std::uint32_t(2 * image.height));
            QCOMPARE(le(bytes, image.offset + 12, 2), 1u);
            QCOMPARE(le(bytes, image.offset + 14, 2), std::uint32_t(image.bits));
            QCOMPARE(le(bytes, image.offset + 16, 4), 0u);
        }

        // The 24-bit image is transparent through its mask exactly where the 32-bit one of
        // the same size is through its alpha: the corners, but not the middle.
        const IconImage &plain = images.at(0), &alpha = images.at(1);
        const qsizetype maskStart = plain.offset + 40 + 48 * 3 * 48;
        const qsizetype alphaStart = alpha.offset + 40;
        auto masked = [&](int x, int row) {
            return (static_cast<unsigned char>(bytes.at(maskStart + row * 8 + x / 8)) >> (7 - x % 8)) & 1;
        };
        auto alphaAt = [&](int x, int row) {
            return static_cast<unsigned char>(bytes.at(alphaStart + (row * 48 + x) * 4 + 3));
        };
        for (int row = 0; row < 48; ++row) {
            for (int x = 0; x < 48; ++x)
                QCOMPARE(masked(x, row) == 1, alphaAt(x, row) < 128);
        }
        QVERIFY(masked(0, 0) && masked(47, 47));
        QVERIFY(!masked(24, 24));
        QCOMPARE(alphaAt(24, 24), 255);

        // The system's reader agrees.
        QImageReader reader(file.fileName(), "ico");
        QCOMPARE(reader.imageCount(), 3);
    }
};

QTEST_MAIN(TestAuxWindows)
#include "tst_auxwindows.moc"
