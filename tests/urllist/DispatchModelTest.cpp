// Check runs over random lists under random edits, step by step against a
// plain model of the rules: a tick scans the rows from the first, passes over
// rows whose index still names an outstanding probe (they take their slot all
// the same) and starts the unchecked rows up to the free slots; a verdict
// lands on the row it was probed for wherever that row stands now, and
// nowhere once the row is gone. Thread starts are diverted, so the test sees
// which rows each tick starts and posts the workers' verdicts itself.
#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "ListFixture.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "check/CUrlCheckThread.h"
#include "check/ProbeReason.h"
#include "framework/thread/CWinThread.h"
#include "framework/window/private/WindowBacking.h"
#include "res/ResourceIds.h"

namespace {

struct ModelRow {
    std::string url;
    std::string validity;
    int id; // who the row is, wherever it moves
};

// The rules written out the long way.
struct RunModel {
    std::vector<ModelRow> rows;
    std::map<int, int> outstanding; // index the probe was started with -> row id
    int nextId = 1;

    struct Tick {
        std::vector<int> started;
        bool finished = false;
        bool failed = false;
    };
    // `failStart`: the tick's first thread start fails, which ends the tick
    // and leaves its row unchecked.
    Tick RunTick(int freeSlots, bool failStart, const std::string& running)
    {
        Tick tick;
        int found = 0;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            if (!rows[row].validity.empty())
                continue;
            if (found < freeSlots && !outstanding.contains(row)) {
                if (failStart) {
                    tick.failed = true;
                    return tick;
                }
                rows[row].validity = running;
                outstanding[row] = rows[row].id;
                tick.started.push_back(row);
            }
            ++found;
        }
        tick.finished = found == 0;
        return tick;
    }
    void Verdict(int index, const std::string& text)
    {
        const int id = outstanding.at(index);
        outstanding.erase(index);
        for (ModelRow& row : rows) {
            if (row.id == id) {
                row.validity = text;
                return;
            }
        }
    }
    template <class Pred> void RemoveIf(Pred pred) { std::erase_if(rows, pred); }
    int Unchecked() const
    {
        return static_cast<int>(
            std::count_if(rows.begin(), rows.end(), [](const ModelRow& r) { return r.validity.empty(); }));
    }
};

class DispatchModelTest : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        CWinThread::DivertStartsForTesting([this](CWinThread* thread, void* param) {
            auto* job = static_cast<UrlCheckJob*>(param);
            m_started.push_back(job->nRow);
            delete job;
            delete thread;
        });
    }
    void TearDown() override
    {
        CWinThread::DivertStartsForTesting({});
        CWinThread::FailNextStartsForTesting(0);
        ListFixture::TearDown();
    }

    // A new file of `lines` lines: a `share` of them unchecked URLs, the rest
    // half without a dot and half with the ignore word. Hosts repeat, so
    // duplicates come in every kind; the marked lines repeat most, so a
    // clean-up of duplicates moves the rows behind them.
    void ImportRandomFile(std::mt19937& random, int lines, double share)
    {
        std::uniform_real_distribution<double> unit(0, 1);
        std::uniform_int_distribution<int> host(0, std::max(4, lines / 2));
        std::string bytes;
        std::vector<ModelRow> rows;
        for (int i = 0; i < lines; ++i) {
            // Appended: "h" + std::to_string() draws a false -Wrestrict from GCC 12 at -O2.
            const std::string name = std::string("h").append(std::to_string(host(random)));
            ModelRow row { "http://" + name + ".example.test/", "", m_model.nextId++ };
            if (unit(random) >= share) {
                const std::string few = std::string("h").append(std::to_string(host(random) % 4));
                if (unit(random) < 0.5) {
                    row.url = few + "-no-dot";
                    row.validity = m_badFormat;
                } else {
                    row.url = "http://" + few + ".skip.example.test/";
                    row.validity = m_ignored;
                }
            }
            bytes += row.url + (i % 3 == 0 ? "\r\n" : "\n");
            rows.push_back(row);
        }
        g_strIgnoreList = "skip";
        ASSERT_EQ(Import(bytes), lines);
        m_model.rows = std::move(rows);
    }

    // Cells, counts and the running counter as the model has them.
    bool SameAsModel()
    {
        const int rows = static_cast<int>(m_model.rows.size());
        EXPECT_EQ(List().GetItemCount(), rows);
        if (List().GetItemCount() != rows)
            return false;
        for (int row = 0; row < rows; ++row) {
            const ModelRow& want = m_model.rows[row];
            if (List().GetItemTextView(row, COL_URL) != want.url
                || List().GetItemTextView(row, COL_VALIDITY) != want.validity) {
                ADD_FAILURE() << "row " << row << ": " << List().GetItemText(row, COL_URL).Bytes() << " / "
                              << List().GetItemText(row, COL_VALIDITY).ToUtf8() << ", the model has "
                              << want.url << " / " << CString(want.validity.c_str()).ToUtf8();
                return false;
            }
        }
        EXPECT_EQ(g_nRunningProbes, static_cast<LONG>(m_model.outstanding.size()));
        const CheckProgress progress = m_view->GetCheckProgress();
        EXPECT_EQ(progress.unchecked, m_model.Unchecked());
        const auto running = std::count_if(m_model.rows.begin(), m_model.rows.end(),
            [this](const ModelRow& r) { return r.validity == m_running; });
        EXPECT_EQ(progress.checked, rows - m_model.Unchecked() - static_cast<int>(running));
        return g_nRunningProbes == static_cast<LONG>(m_model.outstanding.size())
            && progress.unchecked == m_model.Unchecked();
    }

    void Tick(std::mt19937& random)
    {
        const int freeSlots = std::uniform_int_distribution<int>(-2, 10)(random);
        const bool failStart = std::uniform_int_distribution<int>(0, 9)(random) == 0;
        CWinThread::FailNextStartsForTesting(failStart ? 1 : 0);
        m_started.clear();
        const int finishedBefore = CountHub(UM_CHECK_FINISHED);
        const std::size_t boxesBefore = m_boxes.size();
        PostMessageA(m_view->m_hWnd, UM_CHECK_DISPATCH, 0, freeSlots);
        AfxPumpPendingMessages();
        CWinThread::FailNextStartsForTesting(0);

        const RunModel::Tick want = m_model.RunTick(freeSlots, failStart, m_running);
        EXPECT_EQ(m_started, want.started) << freeSlots << " free slots";
        EXPECT_EQ(CountHub(UM_CHECK_FINISHED) - finishedBefore, want.finished ? 1 : 0)
            << freeSlots << " free slots";
        EXPECT_EQ(m_boxes.size() - boxesBefore, want.failed ? 1u : 0u);
    }

    void Verdict(std::mt19937& random)
    {
        if (m_model.outstanding.empty())
            return;
        auto probe = m_model.outstanding.begin();
        std::advance(
            probe, std::uniform_int_distribution<std::size_t>(0, m_model.outstanding.size() - 1)(random));
        const int index = probe->first;
        switch (std::uniform_int_distribution<int>(0, 3)(random)) {
        case 0:
            PostMessageA(m_view->m_hWnd, UM_PROBE_OK, 0, index);
            m_model.Verdict(index, "OK");
            break;
        case 1:
            PostMessageA(m_view->m_hWnd, UM_PROBE_FAILED, PROBE_INVALID, index);
            m_model.Verdict(index, Gbk("无效!"));
            break;
        case 2:
            PostMessageA(m_view->m_hWnd, UM_PROBE_FAILED, PROBE_TIMEOUT, index);
            m_model.Verdict(index, Gbk("超时!"));
            break;
        default:
            PostMessageA(m_view->m_hWnd, UM_PROBE_FAILED, PROBE_NO_SESSION, index);
            m_model.Verdict(index, "");
            break;
        }
        AfxPumpPendingMessages();
    }

    // Selects a run of rows in the list widget and checks them again from
    // the list's command.
    void Recheck(std::mt19937& random)
    {
        const int rows = static_cast<int>(m_model.rows.size());
        if (rows == 0)
            return;
        const int first = std::uniform_int_distribution<int>(0, rows - 1)(random);
        const int last = std::min(rows - 1, first + std::uniform_int_distribution<int>(0, 40)(random));
        AfxRunIdleHandlers(); // the widget catches up with the list
        auto* table = dynamic_cast<QAbstractItemView*>(WidgetOf(m_view));
        ASSERT_NE(table, nullptr);
        const QAbstractItemModel* model = table->model();
        ASSERT_EQ(model->rowCount(), rows);
        table->selectionModel()->select(
            QItemSelection(model->index(first, 0), model->index(last, COL_VALIDITY)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->SendMessage(WM_COMMAND, ID_RECHECK_ROWS, 0);
        AfxPumpPendingMessages();
        for (int row = first; row <= last; ++row) {
            if (m_model.rows[row].validity != m_running)
                m_model.rows[row].validity.clear();
        }
    }

    RunModel m_model;
    std::vector<int> m_started; // rows of the threads started, in order
    const std::string m_running = Gbk("执行中");
    const std::string m_badFormat = Gbk("格式不正确！");
    const std::string m_ignored = Gbk("用户忽略！");
};

TEST_F(DispatchModelTest, TicksAndVerdictsMatchTheRowScanThroughImportsCleanUpsAndRechecks)
{
    for (const unsigned seed : { 1u, 2u, 3u, 4u, 5u }) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        m_model = RunModel();
        const auto importSome = [&] {
            // Sizes that cross many words and several second-level entries,
            // with unchecked rows dense, sparse and very sparse.
            static const int sizes[] = { 0, 1, 30, 200, 5000, 9000 };
            static const double shares[] = { 0.001, 0.02, 0.3, 0.9 };
            ImportRandomFile(random, sizes[std::uniform_int_distribution<int>(0, 5)(random)],
                shares[std::uniform_int_distribution<int>(0, 3)(random)]);
        };
        importSome();
        ASSERT_TRUE(SameAsModel());
        for (int step = 0; step < 400; ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            const int pick = std::uniform_int_distribution<int>(0, 99)(random);
            if (pick < 40) {
                Tick(random);
            } else if (pick < 70) {
                for (int n = std::uniform_int_distribution<int>(1, 3)(random); n > 0; --n)
                    Verdict(random);
            } else if (pick < 80) {
                Recheck(random);
            } else if (pick < 90) {
                RunOnView(UM_PURGE_DUPLICATES, 0, UM_PURGE_DUPLICATES);
                std::set<std::string> seen;
                m_model.RemoveIf([&](const ModelRow& r) { return !seen.insert(r.url).second; });
            } else if (pick < 93) {
                RunOnView(UM_PURGE_INVALID_RUN, 0, UM_PURGE_INVALID_RESULT);
                m_model.RemoveIf([](const ModelRow& r) { return !r.validity.empty() && r.validity != "OK"; });
            } else {
                importSome();
            }
            ASSERT_TRUE(SameAsModel());
        }
        // Every probe still out reports, and the counter comes down to 0.
        while (!m_model.outstanding.empty())
            Verdict(random);
        ASSERT_TRUE(SameAsModel());
        EXPECT_EQ(g_nRunningProbes, 0);
    }
}

} // namespace
