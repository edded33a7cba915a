#include "i18n/translations.h"
#include "tests/recordingcursorplatform.h"
#include "tests/recordingforms.h"
#include "tests/scriptedservices.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/frmmath.h"
#include "windows/frmsplash.h"
#include "windows/labelfit.h"
#include "windows/layout.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

// Each fixed label and button shows its whole text; a label sized to its text stays inside its
// frame, clear of the other controls; each frame's caption fits its frame.
static void verifyShownWhole(const QWidget &window)
{
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        const QString name = label->objectName() + u' ' + label->text();
        QVERIFY2(label->text().isEmpty() || !label->wordWrap() || showsWholeText(label), qPrintable(name));
        for (const QWidget *other :
             label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(label->wordWrap() || other == label || !other->geometry().intersects(label->geometry()),
                     qPrintable(name + u' ' + other->objectName()));
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), qPrintable(name));
    }
    for (const QPushButton *button : window.findChildren<QPushButton *>())
        QVERIFY2(showsWholeText(button), qPrintable(button->text()));
    for (const QGroupBox *frame : window.findChildren<QGroupBox *>())
        QVERIFY2(frame->fontMetrics().horizontalAdvance(frame->title()) + 16 < frame->width(),
                 qPrintable(frame->title()));
}

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qDeleteAll(qApp->findChildren<QTranslator *>()); }

    void languageChosen_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<QString>("installed");
        QTest::newRow("C") << QStringList{"C", "de"} << "";
        QTest::newRow("English first") << QStringList{"en-US", "de-DE"} << "";
        QTest::newRow("German") << QStringList{"de-DE", "de"} << "de_DE";
        QTest::newRow("environment form") << QStringList{"fr_CA.UTF-8"} << "fr_CA";
        QTest::newRow("unknown, then Spanish") << QStringList{"ja", "", "es"} << "es";
    }

    void languageChosen()
    {
        QFETCH(QStringList, uiLanguages);
        QFETCH(QString, installed);
        QCOMPARE(installTranslations(uiLanguages), installed);
        QCOMPARE(frmMath::tr("Submit") != u"Submit", !installed.isEmpty());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel") != u"Cancel", !installed.isEmpty());
    }

    void translated_data()
    {
        QTest::addColumn<QString>("language");
        for (const char *language : {"de", "fr", "es"})
            QTest::newRow(language) << language;
    }

    void translated()
    {
        QFETCH(QString, language);
        QCOMPARE(installTranslations({language}), language);
        ScriptedServices services;
        RecordingCursorPlatform cursors;
        RecordingForms forms;
        frmMath math(services, cursors, forms);
        math.show();
        setLabelText(math.lblScore, QStringLiteral("100%"));
        verifyShownWhole(math);
        verifyShownWhole(frmSplash(services, cursors, forms));
        verifyShownWhole(frmAbout(services, [] {}));
        verifyShownWhole(frmHelp());

        // Every translation carries the placeholders of its English.
        QFile file(QStringLiteral(PELLAVIN_SOURCE_DIR "/i18n/pellavin_%1.ts").arg(language));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QRegularExpression message(
                QStringLiteral("<source>(.*?)</source>.*?<translation>(.*?)</translation>"),
                QRegularExpression::DotMatchesEverythingOption);
        for (const auto &match : message.globalMatch(QString::fromUtf8(file.readAll())))
            for (const char *placeholder : {"%1", "%2", "%3"})
                QVERIFY2(match.captured(2).contains(placeholder) == match.captured(1).contains(placeholder),
                         qPrintable(match.captured(2)));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
