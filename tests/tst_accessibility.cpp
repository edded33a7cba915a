#include "quiz/quiztexts.h"
#include "tests/mathwindowfixture.h"
#include "windows/frmabout.h"
#include "windows/frmhelp.h"
#include "windows/frmmath.h"
#include "windows/frmsplash.h"

#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <memory>

namespace {

// What a screen reader is told, as it is told: the event and the object's texts at that moment.
struct Told
{
    QAccessible::Event type;
    QString object;
    QString name;
    QString description;
};

QList<Told> *told = nullptr;

void recordUpdate(QAccessibleEvent *event)
{
    if (!told)
        return;
    QAccessibleInterface *iface = event->accessibleInterface();
    told->append({event->type(), event->object() ? event->object()->objectName() : QString(),
                  iface ? iface->text(QAccessible::Name) : QString(),
                  iface ? iface->text(QAccessible::Description) : QString()});
}

struct Node
{
    QAccessible::Role role;
    QString object;
    QString name;
    QString description;
    QAccessible::State state;
};

// The tree below the main window as a screen reader walks it, menus included.
void walk(QAccessibleInterface *iface, QList<Node> &nodes, int depth = 0)
{
    QVERIFY(iface && iface->isValid());
    QVERIFY(depth < 12);
    QObject *object = iface->object();
    nodes.append({iface->role(), object ? object->objectName() : QString(), iface->text(QAccessible::Name),
                  iface->text(QAccessible::Description), iface->state()});
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), nodes, depth + 1);
}

}

class TestAccessibility
    : public QObject
    , MathWindowFixture
{
    Q_OBJECT

    QList<Told> events;

    void open()
    {
        services.inputAnswers.enqueue(QStringLiteral("Ada"));
        queueBeginner(9, 4, 1);
        w->Show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCoreApplication::processEvents();
    }

    QList<Node> tree()
    {
        QList<Node> nodes;
        walk(QAccessible::queryAccessibleInterface(w.get()), nodes);
        return nodes;
    }

    static const Node *find(const QList<Node> &nodes, const QString &object, QAccessible::Role role)
    {
        for (const Node &node : nodes)
            if (node.object == object && node.role == role)
                return &node;
        return nullptr;
    }

    QString description(QWidget *widget)
    {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description);
    }

    QStringList toldDescriptions(const QString &object) const
    {
        QStringList all;
        for (const Told &each : events)
            if (each.object == object && each.type == QAccessible::DescriptionChanged)
                all << each.description;
        return all;
    }

private slots:
    void initTestCase()
    {
        QAccessible::installUpdateHandler(recordUpdate);
        // As when a screen reader is listening: only then are changes told at all.
        QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY(platform);
        platform->setActive(true);
        told = &events;
    }

    void cleanupTestCase()
    {
        told = nullptr;
        QAccessible::installUpdateHandler(nullptr);
    }

    void init()
    {
        freshServices();
        makeWindow();
        events.clear();
    }

    void cleanup() { w.reset(); }

    void everyControlReadsByNameAndRole_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        auto row = [](const char *object, QAccessible::Role role, const char *name,
                      const char *description = "") {
            QTest::newRow(object) << QString::fromUtf8(object) << role << QString::fromUtf8(name)
                                  << QString::fromUtf8(description);
        };
        row("frmMath", QAccessible::Window, "Pellavin");
        row("fraQuestion", QAccessible::Grouping, "Question", "9 plus 4 = ?");
        row("lblQuestionA", QAccessible::StaticText, "9");
        row("lblMathOperator", QAccessible::StaticText, "+");
        row("lblQuestionB", QAccessible::StaticText, "4");
        row("lblEqual", QAccessible::StaticText, "=");
        row("lblAnswer", QAccessible::StaticText, "?");
        row("fraAnswer", QAccessible::Grouping, "Answer");
        row("lblYourAnswer", QAccessible::StaticText, "Your Answer:");
        row("txtAnswer", QAccessible::EditableText, "Your Answer:", "20 questions, 9 plus 4 = ?");
        row("cmdSubmit", QAccessible::Button, "Submit");
        row("lblNextQuestion", QAccessible::Button, "Next Question");
        row("fraScore", QAccessible::Grouping, "Score");
        row("fraTime", QAccessible::Grouping, "Time", "00:00:00");
        row("lblHours", QAccessible::StaticText, "00");
        row("lblSeconds", QAccessible::StaticText, "00");
        row("fraStatus", QAccessible::Grouping, "Status", "Number of questions to go: 19");
        row("lblQuestionsToGo", QAccessible::StaticText, "Number of questions to go:");
        row("lblQuestionsToGoNumber", QAccessible::StaticText, "19");
        row("mnuFile", QAccessible::MenuItem, "File");
        row("mnuFileNewSession", QAccessible::MenuItem, "New Session");
        row("mnuFilePrint", QAccessible::MenuItem, "Print");
        row("mnuFileExit", QAccessible::MenuItem, "Exit");
        row("mnuDifficulty", QAccessible::MenuItem, "Difficulty");
        row("mnuDifficultyBeginner", QAccessible::MenuItem, "Beginner(+,-)");
        row("mnuDifficultyIntermediate", QAccessible::MenuItem, "Intermediate(+,-,x)");
        row("mnuDifficultyAdvanced", QAccessible::MenuItem, "Advanced(+,-,x,/)");
        row("mnuHelp", QAccessible::MenuItem, "Help");
        row("mnuHelpAbout", QAccessible::MenuItem, "About");
        row("mnuHelpUsingThisProgram", QAccessible::MenuItem, "Using this program");
    }

    void everyControlReadsByNameAndRole()
    {
        QFETCH(QString, object);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, name);
        QFETCH(QString, description);

        open();
        const QList<Node> nodes = tree();
        const Node *node = find(nodes, object, role);
        QVERIFY2(node, qPrintable(object + QStringLiteral(" not in the tree with its role")));
        QCOMPARE(node->name, name);
        if (!description.isEmpty())
            QCOMPARE(node->description, description);
    }

    void nothingThatActsIsNameless()
    {
        open();
        for (const Node &node : tree()) {
            switch (node.role) {
            case QAccessible::Button:
            case QAccessible::EditableText:
            case QAccessible::Grouping:
            case QAccessible::MenuItem:
            case QAccessible::PopupMenu:
            case QAccessible::Window:
                QVERIFY2(!node.name.isEmpty(), qPrintable(node.object + QStringLiteral(" has no name")));
                break;
            default: break;
            }
        }
    }

    void theAnswerBoxIsLabelledByYourAnswer()
    {
        open();
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(w->txtAnswer);
        QList<QObject *> labels;
        for (const auto &[label, relation] : box->relations(QAccessible::Label))
            labels << label->object();
        QVERIFY(labels.contains(w->lblYourAnswer));
        QVERIFY(box->state().focused);
    }

    void theLevelReadsAsACheckMark()
    {
        open();
        auto checked = [&](const char *object) {
            const QList<Node> nodes = tree();
            const Node *node = find(nodes, QString::fromLatin1(object), QAccessible::MenuItem);
            return node && node->state.checkable && node->state.checked;
        };
        QVERIFY(checked("mnuDifficultyBeginner"));
        QVERIFY(!checked("mnuDifficultyAdvanced"));
        services.queueDraw(4, 4);
        services.queueDraw(6, 20);
        services.queueDraw(3, 20);
        w->mnuDifficultyAdvanced->trigger();
        QVERIFY(!checked("mnuDifficultyBeginner"));
        QVERIFY(checked("mnuDifficultyAdvanced"));
    }

    void operatorsAreSpokenAsWords_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("question");
        QTest::newRow("addition") << 1 << "18 plus 6 = ?";
        QTest::newRow("subtraction") << 2 << "18 minus 6 = ?";
        QTest::newRow("multiplication") << 3 << "18 times 6 = ?";
        QTest::newRow("division") << 4 << "18 divided by 6 = ?";
    }

    void operatorsAreSpokenAsWords()
    {
        QFETCH(int, op);
        QFETCH(QString, question);
        open();
        services.queueDraw(op, 4);
        if (op == 4) {
            services.queueDraw(6, 20);
            services.queueDraw(3, 20);
        } else {
            services.queueDraw(18, 20);
            services.queueDraw(6, 20);
        }
        w->mnuDifficultyAdvanced->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(description(w->fraQuestion), question);
        QCOMPARE(description(w->txtAnswer), "Difficulty Advanced, 20 questions, " + question);
    }

    void aNewQuestionAndScoreAreToldOnceTheHandlerIsDone()
    {
        open();
        events.clear();
        QString questionWhileBoxIsUp;
        services.onBox = [&](const ScriptedServices::Box &) {
            // A real box runs the event loop while it is up.
            QCoreApplication::processEvents();
            questionWhileBoxIsUp = description(w->fraQuestion);
        };
        queueBeginner(7, 5, 1);
        w->txtAnswer->setText(QStringLiteral("13"));
        w->cmdSubmit->click();
        QCOMPARE(questionWhileBoxIsUp, QStringLiteral("9 plus 4 = 13"));
        QCOMPARE(services.prompts().last(), quiztexts::Correct());
        QCoreApplication::processEvents();

        QCOMPARE(description(w->txtAnswer), QStringLiteral("7 plus 5 = ?, Score 100%"));
        QCOMPARE(toldDescriptions(QStringLiteral("txtAnswer")),
                 QStringList({"9 plus 4 = 13, Score 100%", "7 plus 5 = ?, Score 100%"}));
        QCOMPARE(toldDescriptions(QStringLiteral("fraScore")), QStringList({"100%"}));
        QCOMPARE(toldDescriptions(QStringLiteral("fraStatus")),
                 QStringList({"Number of questions to go: 18"}));
        // The label itself tells its new text too.
        bool scoreLabelTold = false;
        for (const Told &each : std::as_const(events))
            scoreLabelTold = scoreLabelTold || (each.object == u"lblScore" && each.name == u"100%");
        QVERIFY(scoreLabelTold);
    }

    void aWrongAnswerChangesNothingThatIsRead()
    {
        open();
        events.clear();
        w->txtAnswer->setText(QStringLiteral("12"));
        w->cmdSubmit->click();
        QCoreApplication::processEvents();
        QCOMPARE(description(w->txtAnswer), QStringLiteral("20 questions, 9 plus 4 = ?"));
        QVERIFY(toldDescriptions(QStringLiteral("txtAnswer")).isEmpty());
    }

    void aQuestionStillBeingDrawnIsNotTold()
    {
        open();
        events.clear();
        // 3 - 9 is drawn first and re-drawn to 3 - 2 while pending events run.
        queueBeginner(3, 9, 2);
        services.queueDraw(2, 15);
        w->lblNextQuestion->click();
        QCoreApplication::processEvents();
        QCOMPARE(toldDescriptions(QStringLiteral("fraQuestion")), QStringList({"3 minus 2 = ?"}));
    }

    void theFocusedControlTellsWhatIsNewOnce_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("afterwards");
        QTest::newRow("skip, on Next Question") << "lblNextQuestion"
                                                << "skip"
                                                << "3 plus 2 = ?, Score 0%"
                                                << "";
        QTest::newRow("skip, on Submit") << "cmdSubmit"
                                         << "skip"
                                         << "3 plus 2 = ?, Score 0%"
                                         << "";
        QTest::newRow("skip, in the answer box") << "txtAnswer"
                                                 << "skip"
                                                 << "3 plus 2 = ?, Score 0%"
                                                 << "3 plus 2 = ?, Score 0%";
        QTest::newRow("new level, on Next Question") << "lblNextQuestion"
                                                     << "level"
                                                     << "Difficulty Intermediate, 20 questions, 3 plus 2 = ?"
                                                     << "";
        QTest::newRow("new session, in the answer box") << "txtAnswer"
                                                        << "session"
                                                        << "20 questions, 3 plus 2 = ?"
                                                        << "3 plus 2 = ?";
    }

    void theFocusedControlTellsWhatIsNewOnce()
    {
        QFETCH(QString, focus);
        QFETCH(QString, command);
        QFETCH(QString, told);
        QFETCH(QString, afterwards);
        open();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        auto *focused = w->findChild<QWidget *>(focus);
        focused->setFocus();
        QCoreApplication::processEvents();
        events.clear();
        if (command == u"level") {
            services.queueDraw(3, 20);
            services.queueDraw(2, 20);
            services.queueDraw(1, 3);
            w->mnuDifficultyIntermediate->trigger();
        } else {
            queueBeginner(3, 2, 1);
            if (command == u"skip")
                w->lblNextQuestion_Click();
            else
                w->mnuFileNewSession->trigger();
        }
        QCoreApplication::processEvents();
        QCOMPARE(toldDescriptions(focus).last(), told);
        // Once the focus moves on, the control says what it always says.
        (focused == w->txtAnswer ? static_cast<QWidget *>(w->cmdSubmit) : w->txtAnswer)->setFocus();
        QTRY_COMPARE(description(focused), afterwards);
    }

    void whatIsToldOnceIsDroppedWhenABoxTakesTheFocus()
    {
        open();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QLineEdit box;
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.setFocus();
        QTRY_COMPARE(description(w->txtAnswer), QStringLiteral("9 plus 4 = ?"));
    }

    void altKeysTypeNothingAndF10OpensTheMenuBar()
    {
        open();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w->txtAnswer, Qt::Key_H, Qt::AltModifier);
        QTest::keyClick(w->txtAnswer, Qt::Key_7);
        QCOMPARE(w->txtAnswer->text(), QStringLiteral("7"));
        QTest::keyClick(w->txtAnswer, Qt::Key_F10);
        QTRY_VERIFY(w->mnuFile->isVisible());
        w->mnuFile->hide();
    }

    void theOtherWindowsNameWhatTheyShow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("splash") << "frmSplash";
        QTest::newRow("about") << "frmAbout";
        QTest::newRow("help") << "frmHelp";
    }

    void theOtherWindowsNameWhatTheyShow()
    {
        QFETCH(QString, window);
        std::unique_ptr<QWidget> shown;
        if (window == u"frmSplash")
            shown = std::make_unique<frmSplash>(services, cursors, forms);
        else if (window == u"frmAbout")
            shown = std::make_unique<frmAbout>(services, [] {});
        else
            shown = std::make_unique<frmHelp>();
        shown->setAttribute(Qt::WA_DeleteOnClose, false);
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        QList<Node> nodes;
        walk(QAccessible::queryAccessibleInterface(shown.get()), nodes);
        for (const Node &node : std::as_const(nodes)) {
            const bool mustBeNamed = node.state.focusable || node.role == QAccessible::Button
                                     || node.role == QAccessible::Graphic || node.role == QAccessible::Window
                                     || node.role == QAccessible::Dialog;
            QVERIFY2(!mustBeNamed || !node.name.isEmpty(),
                     qPrintable(node.object + QStringLiteral(" has no name")));
        }
    }

    void theClockReadsAsOneTime()
    {
        open();
        events.clear();
        for (int i = 0; i < 61; ++i)
            w->tmrTimer_Timer();
        QCoreApplication::processEvents();
        QCOMPARE(description(w->fraTime), QStringLiteral("00:01:01"));
        // Reachable, never told by itself.
        QVERIFY(toldDescriptions(QStringLiteral("txtAnswer")).isEmpty());
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
