#include "frmabout.h"
#include "frmhelp.h"
#include "frmmath.h"
#include "frmsplash.h"
#include "labelfit.h"
#include "layout.h"
#include "recordingcursorplatform.h"
#include "recordingforms.h"
#include "scriptedservices.h"
#include "translations.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

void removeTranslations()
{
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator *>());
}

QStringList placeholders(const QString &text)
{
    QStringList found;
    for (const auto &match : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

// Every fixed label and button shows its whole text; a label that sizes itself to its text
// overlaps no other control and stays inside its frame; every frame's caption fits its frame.
void verifyShownWhole(const QWidget *window)
{
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QString name = label->objectName() + u' ' + label->text();
        if (label->wordWrap()) {
            QVERIFY2(showsWholeText(label), qPrintable(name));
            continue;
        }
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), qPrintable(name));
        for (const QWidget *other : label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(other == label || !other->geometry().intersects(label->geometry()),
                     qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
    }
    for (const QPushButton *button : window->findChildren<QPushButton *>())
        QVERIFY2(showsWholeText(button), qPrintable(button->objectName() + u' ' + button->text()));
    for (const QGroupBox *frame : window->findChildren<QGroupBox *>())
        QVERIFY2(frame->fontMetrics().horizontalAdvance(frame->title()) + 16 < frame->width(),
                 qPrintable(frame->title()));
}

}

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { removeTranslations(); }

    void languageChosen_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<QString>("installed");
        QTest::newRow("C") << QStringList{"C"} << "";
        QTest::newRow("POSIX") << QStringList{"POSIX"} << "";
        QTest::newRow("English first") << QStringList{"en-US", "de-DE"} << "";
        QTest::newRow("German") << QStringList{"de-DE", "de"} << "de_DE";
        QTest::newRow("Canadian French") << QStringList{"fr-CA"} << "fr_CA";
        QTest::newRow("environment form") << QStringList{"es_MX.UTF-8"} << "es_MX";
        QTest::newRow("unknown, then Spanish") << QStringList{"pt-BR", "", "es"} << "es";
        QTest::newRow("none spoken") << QStringList{"pt-BR", "ja"} << "";
        QTest::newRow("none at all") << QStringList{} << "";
    }

    void languageChosen()
    {
        QFETCH(QStringList, uiLanguages);
        QFETCH(QString, installed);
        QCOMPARE(installTranslations(uiLanguages), installed);
        const bool translated = !installed.isEmpty();
        QCOMPARE(frmMath::tr("Submit") != u"Submit", translated);
        // Qt's own box buttons, from Qt's translations.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel") != u"Cancel", translated);
    }

    void textsFit_data()
    {
        QTest::addColumn<QString>("language");
        for (const char *language : {"de", "fr", "es"})
            QTest::newRow(language) << language;
    }

    void textsFit()
    {
        QFETCH(QString, language);
        QCOMPARE(installTranslations({language}), language);
        ScriptedServices services;
        RecordingCursorPlatform cursors;
        RecordingForms forms;
        frmMath math(services, cursors, forms);
        math.show();
        QVERIFY(QTest::qWaitForWindowExposed(&math));
        // The longest score and count the window shows.
        setLabelText(math.lblScore, QStringLiteral("100%"));
        setLabelText(math.lblQuestionsToGoNumber, QStringLiteral("20"));
        verifyShownWhole(&math);
        frmSplash splash(services, cursors, forms);
        verifyShownWhole(&splash);
        frmAbout about(services, [] {});
        verifyShownWhole(&about);
        frmHelp help;
        verifyShownWhole(&help);
    }

    void translationsComplete_data()
    {
        QTest::addColumn<QString>("language");
        for (const char *language : {"de", "fr", "es"})
            QTest::newRow(language) << language;
    }

    void translationsComplete()
    {
        QFETCH(QString, language);
        QFile file(QStringLiteral(PELLAVIN_SOURCE_DIR "/i18n/pellavin_%1.ts").arg(language));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString source;
        int messages = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"source") {
                source = xml.readElementText();
            } else if (xml.name() == u"translation") {
                const QString type = xml.attributes().value(QStringLiteral("type")).toString();
                const QString text = xml.readElementText();
                QVERIFY2(type.isEmpty() && !text.isEmpty(), qPrintable(type + u' ' + source));
                QVERIFY2(placeholders(text) == placeholders(source), qPrintable(text));
                ++messages;
            }
        }
        QVERIFY(!xml.hasError());
        QVERIFY(messages > 40);
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
