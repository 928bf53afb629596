// Moving through a large list from the keyboard: End and Ctrl+End jump to
// the last row of an imported list (and Home, Ctrl+Home back to the first),
// PageUp steps a page back from the last row and PageDown a page on from
// the first, each timed from the key press to the end of the repaint it
// causes, against the goal of 50 ms. The GUI thread's own processor time
// for the same span is printed beside it: on a machine shared with other
// work it tells what the program spent from what it waited for the
// processor.
//
//   keys_bench [rows] [rounds]      (defaults 1000000 and 20)
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "bench/BenchSupport.h"
#include "framework/window/MessageQueue.h"
#include "urllist/CVelmoraView.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGoalMs = 50;

// Counts the paints of the list's rows.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double ThreadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

enum class Move { ToFirst, ToLast, PageBack, PageOn };

struct Key {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Move move;
    std::vector<double> ms;
    std::vector<double> cpuMs;
};

// Whether the current row went where the key sends it: a page step moves by
// more than one row.
bool ReachedItsRow(Move move, int before, int after, int rows)
{
    switch (move) {
    case Move::ToFirst:
        return after == 0;
    case Move::ToLast:
        return after == rows - 1;
    case Move::PageBack:
        return after < before - 1;
    case Move::PageOn:
        return after > before + 1;
    }
    return false;
}

// One key press on the list, timed until the list has repainted; false when
// no repaint came within two seconds.
bool PressAndRepaint(QTableView* list, PaintCounter& counter, Key& key)
{
    const int before = counter.paints;
    const auto start = Clock::now();
    const double cpuStart = ThreadCpuMs();
    QTest::keyClick(list, key.key, key.modifiers);
    while (counter.paints == before) {
        QApplication::processEvents();
        if (Clock::now() - start > std::chrono::seconds(2))
            return false;
    }
    key.cpuMs.push_back(ThreadCpuMs() - cpuStart);
    key.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const long rows = CountArgument(argc, argv, 1, 1000000, kMostRows);
    const long rounds = CountArgument(argc, argv, 2, 20, 100000);
    if (rows < 3 || rounds == 0) {
        std::fprintf(stderr,
            "usage: keys_bench [rows] [rounds]   (rows 3 to %d, default 1000000; rounds 1 to "
            "100000, default 20)\n",
            kMostRows);
        return 2;
    }
    CVelmoraApp app;
    CMainFrame* frame = OpenBenchWindow(app, argc, argv);
    if (!frame)
        return 1;

    const std::string dir = MakeScratchDir("brisquel-keys-bench");
    if (dir.empty())
        return 1;
    const std::string input = dir + "/urls.txt";
    {
        std::ofstream out(input, std::ios::binary);
        for (long i = 0; i < rows; ++i)
            out << "http://www.site" << i << ".example.test/page\r\n";
    }
    g_strImportPath = CString(input);
    dynamic_cast<CVelmoraView*>(frame->GetActiveView())->ImportUrls();
    std::filesystem::remove_all(dir);
    AfxPumpPendingMessages();
    AfxRunIdleHandlers();
    QApplication::processEvents();

    QTableView* table = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!table)
            table = top->findChild<QTableView*>();
    }
    if (!table || table->model()->rowCount() != rows) {
        std::fprintf(stderr, "the list does not show %ld rows\n", rows);
        return 1;
    }
    // The user's click on a row gives the list the focus and a focused row.
    const QRect second = table->visualRect(table->model()->index(1, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    QApplication::processEvents();
    PaintCounter counter;
    table->viewport()->installEventFilter(&counter);

    // In the order pressed: each page step starts from the end the key
    // before it reached.
    std::vector<Key> keys = {
        { "End", Qt::Key_End, Qt::NoModifier, Move::ToLast, {}, {} },
        { "PageUp", Qt::Key_PageUp, Qt::NoModifier, Move::PageBack, {}, {} },
        { "Home", Qt::Key_Home, Qt::NoModifier, Move::ToFirst, {}, {} },
        { "PageDown", Qt::Key_PageDown, Qt::NoModifier, Move::PageOn, {}, {} },
        { "Ctrl+End", Qt::Key_End, Qt::ControlModifier, Move::ToLast, {}, {} },
        { "Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, Move::ToFirst, {}, {} },
    };
    for (long round = 0; round < rounds; ++round) {
        for (Key& key : keys) {
            const int before = table->currentIndex().row();
            if (!PressAndRepaint(table, counter, key)
                || !ReachedItsRow(key.move, before, table->currentIndex().row(), static_cast<int>(rows))) {
                std::fprintf(stderr, "%s did not reach its row and repaint\n", key.name);
                return 1;
            }
        }
    }
    for (const Key& key : keys) {
        const double longest = *std::max_element(key.ms.begin(), key.ms.end());
        std::printf("%-9s over %ld rows, %ld presses: key to repainted list median %.2f ms, longest %.2f ms "
                    "(goal %.0f ms: %s); GUI thread's processor time median %.2f ms, longest %.2f ms\n",
            key.name, rows, rounds, Median(key.ms), longest, kGoalMs, longest <= kGoalMs ? "met" : "missed",
            Median(key.cpuMs), *std::max_element(key.cpuMs.begin(), key.cpuMs.end()));
    }
    std::fflush(stdout);
    std::_Exit(0);
}
