// Drives the real main window, with services that answer every box at once and keep no
// record, for the two figures that need many answers:
//
//     pellavin_bench_harness answer COUNT     time from Enter on a right answer to the next
//                                             question painted
//     pellavin_bench_harness soak EVENTS SEED resident memory before and after random events
//
// Run it from the folder that holds Cursors/, on the same screen as the program.

#include "services/runtimeservices.h"
#include "windows/forms.h"
#include "windows/frmmath.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <vector>

namespace {

class InstantServices final : public RuntimeServices
{
public:
    explicit InstantServices(std::uint64_t seed)
        : m_random(seed)
    {
    }

    int nextAnswer = Ok;

    int MsgBox(const QString &, Buttons buttons, const QString &) override
    {
        return buttons == Buttons::OkCancel ? nextAnswer : Ok;
    }
    QString InputBox(const QString &, const QString &, const QString &) override
    {
        return QStringLiteral("Ada");
    }
    void Randomize() override { }
    double Rnd() override { return std::uniform_real_distribution<double>(0.0, 1.0)(m_random); }
    QString appTitle() const override { return QStringLiteral("Pellavin"); }
    int appMajor() const override { return 1; }
    int appMinor() const override { return 0; }
    int appRevision() const override { return 0; }
    QString appPath() const override { return QCoreApplication::applicationDirPath(); }
    bool Shell(const QString &) override { return false; }
    bool FileExists(const QString &) const override { return false; }
    bool PrintLine(const QString &) override { return true; }
    void End() override { }

private:
    std::mt19937_64 m_random;
};

class NoForms final : public Forms
{
public:
    void showMath() override { }
    void showAbout() override { }
    void showHelp() override { }
    void End() override { }
};

long residentKb()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

int rightAnswer(const QuizSession &s)
{
    switch (s.strMathOperator.toInt()) {
    case 1: return s.intA + s.intB;
    case 2: return s.intA - s.intB;
    case 3: return s.intA * s.intB;
    default: return s.intB == 0 ? 0 : s.intA / s.intB;
    }
}

// Every posted event handled, the repaint of the changed labels included.
void drain()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int answer(frmMath &w, int count)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const qint16 before = w.session().intQuestionCount;
        w.txtAnswer->setText(QString::number(rightAnswer(w.session())));
        drain();
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(w.txtAnswer, Qt::Key_Return);
        drain();
        const auto end = std::chrono::steady_clock::now();
        if (w.session().intQuestionCount == before && before != 20) {
            std::printf("error=answer-not-taken\n");
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("answer_ms=%.3f answer_max_ms=%.3f answers=%d\n", times[times.size() / 2], times.back(),
                count);
    return 0;
}

int soak(frmMath &w, InstantServices &services, int events, std::uint32_t seed)
{
    std::mt19937 random(seed);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const QString megabyte = QString(1 << 20, u'7');
    const QStringList shapes = {
            QString(),
            QStringLiteral("0"),
            QStringLiteral("-3"),
            QStringLiteral("+12"),
            QStringLiteral("3.5"),
            QStringLiteral("1e3"),
            QStringLiteral("abc"),
            QStringLiteral(" 7 "),
            QStringLiteral("&H1F"),
            QStringLiteral("--4"),
            QStringLiteral("12abc"),
            QString(300, u'9'),
            QStringLiteral("ÄÖ漢字"),
            QStringLiteral("32768"),
    };
    const std::vector<QAction *> menu = {
            w.mnuFileNewSession,         w.mnuFilePrint,          w.mnuFileExit,  w.mnuDifficultyBeginner,
            w.mnuDifficultyIntermediate, w.mnuDifficultyAdvanced, w.mnuHelpAbout, w.mnuHelpUsingThisProgram,
    };

    auto run = [&](int count) {
        for (int i = 0; i < count; ++i) {
            services.nextAnswer = pick(2) ? RuntimeServices::Ok : RuntimeServices::Cancel;
            const int kind = pick(100);
            if (kind < 30) {
                w.txtAnswer->setText(QString::number(rightAnswer(w.session())));
            } else if (kind < 50) {
                w.txtAnswer->setText(shapes.at(pick(static_cast<int>(shapes.size()))));
            } else if (kind < 51) {
                // A megabyte pasted over whatever is in the box.
                w.txtAnswer->selectAll();
                w.txtAnswer->insert(megabyte);
            } else if (kind < 70) {
                if (pick(2))
                    QTest::keyClick(w.txtAnswer, Qt::Key_Return);
                else
                    w.cmdSubmit->click();
            } else if (kind < 78) {
                w.lblNextQuestion->click();
            } else if (kind < 88) {
                menu.at(static_cast<std::size_t>(pick(static_cast<int>(menu.size()))))->trigger();
            } else {
                w.tmrTimer_Timer();
            }
            drain();
        }
    };

    // Memory is compared in like states: a new question on screen, its box empty (a pasted
    // megabyte held in the box, with its undo steps, is the box's content, not growth).
    auto measure = [&](long &raw, long &trimmed) {
        services.nextAnswer = RuntimeServices::Ok;
        w.lblNextQuestion->click();
        drain();
        raw = residentKb();
        // What the allocator keeps for later, freed but not given back, is not growth either.
        malloc_trim(0);
        trimmed = residentKb();
    };
    long rawBefore = 0, before = 0, rawAfter = 0, after = 0;
    // What fills once is not growth: glyph caches, and the answer box's undo buffer. Qt keeps
    // 16 bytes of undo for each character typed, pasted or replaced until the box is set anew
    // (a new question), and keeps that buffer's capacity at its largest; four megabytes
    // pasted over each other take it further than random use here does.
    long startRaw = 0, start = 0;
    measure(startRaw, start);
    for (int i = 0; i < 4; ++i) {
        w.txtAnswer->selectAll();
        w.txtAnswer->insert(megabyte);
        drain();
    }
    long fresh = 0, held = 0;
    measure(fresh, held);
    run(1000);
    measure(rawBefore, before);
    run(events);
    measure(rawAfter, after);
    std::printf(
            "soak_start_kb=%ld soak_pasted_kb=%ld soak_before_kb=%ld soak_after_kb=%ld soak_growth_kb=%ld "
            "soak_raw_growth_kb=%ld soak_events=%d seed=%u\n",
            start, held, before, after, after - before, rawAfter - rawBefore, events, seed);
    return 0;
}

}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3 || (std::strcmp(argv[1], "answer") != 0 && std::strcmp(argv[1], "soak") != 0)) {
        std::fprintf(stderr, "usage: %s answer COUNT | soak EVENTS SEED\n", argv[0]);
        return 2;
    }
    const bool soaking = std::strcmp(argv[1], "soak") == 0;
    const int count = std::atoi(argv[2]);
    const auto seed = static_cast<std::uint32_t>(argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 1);

    InstantServices services(seed);
    NoForms forms;
    frmMath w(services, cursorplatform::systemCursorPlatform(), forms);
    w.Show();
    if (!QTest::qWaitForWindowExposed(&w)) {
        std::printf("error=main-window-not-exposed\n");
        return 1;
    }
    drain();
    return soaking ? soak(w, services, count, seed) : answer(w, count);
}
