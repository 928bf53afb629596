// Dragging the side bar's right edge over a list of many rows, offscreen:
// with full-window drag on, every mouse move resizes the bar and lays the
// frame out again, and the longest of those steps is what the user feels;
// with it off, a move only redraws the tracker and no window moves.
//
//   dock_bench [rows] [moves]      (defaults 100000 and 200)
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "bench/BenchSupport.h"
#include "framework/window/MessageQueue.h"
#include "framework/window/NonClient.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

namespace {

using Clock = std::chrono::steady_clock;

struct DragFigures {
    double longestMs = 0;
    double medianMs = 0;
    int widthBefore = 0;
    int widthDuring = 0;
    int widthAfter = 0;
};

int BarWidth(CSideBar& bar)
{
    CRect rect;
    bar.GetWindowRect(&rect);
    return rect.Width();
}

// One drag of the right edge, `moves` mouse moves of one pixel each way and
// back; each step includes the idle work (delayed layout) and painting.
DragFigures Drag(CSideBar& bar, int moves)
{
    DragFigures figures;
    figures.widthBefore = BarWidth(bar);
    CRect window;
    bar.GetWindowRect(&window);
    CRect edge;
    bar.CalcEdgeRect(window, HTRIGHT, edge);
    const CPoint start((edge.left + edge.right) / 2, (edge.top + edge.bottom) / 2);
    bar.BeginEdgeDrag(HTRIGHT, start);
    std::vector<double> steps;
    for (int i = 1; i <= moves; ++i) {
        const int offset = i <= moves / 2 ? i : moves - i + 1;
        const auto begin = Clock::now();
        bar.UpdateEdgeDrag(CPoint(start.x + offset, start.y));
        AfxRunIdleHandlers();
        QApplication::processEvents();
        steps.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
        if (i == moves / 2)
            figures.widthDuring = BarWidth(bar);
    }
    bar.EndEdgeDrag();
    AfxRunIdleHandlers();
    QApplication::processEvents();
    figures.widthAfter = BarWidth(bar);
    std::sort(steps.begin(), steps.end());
    figures.longestMs = steps.back();
    figures.medianMs = steps[steps.size() / 2];
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int moves = argc > 2 ? std::atoi(argv[2]) : 200;
    CVelmoraApp app;
    CMainFrame* frame = OpenBenchWindow(app, argc, argv);
    if (!frame)
        return 1;
    CListCtrl& list = dynamic_cast<CVelmoraView*>(frame->GetActiveView())->GetListCtrl();
    char text[64];
    for (int row = 0; row < rows; ++row) {
        std::snprintf(text, sizeof text, "%d", row + 1);
        list.InsertItem(row, text);
        std::snprintf(text, sizeof text, "http://www.site%d.example.test/page", row);
        list.SetItemText(row, COL_URL, text);
    }
    AfxRunIdleHandlers();
    QApplication::processEvents();

    CSideBar& bar = frame->SideBar();
    for (const bool fullDrag : { true, false }) {
        SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, fullDrag ? TRUE : FALSE, nullptr, 0);
        const DragFigures f = Drag(bar, moves);
        std::printf("full-window drag %s, %d rows, %d moves: longest step %.2f ms, median %.2f ms; "
                    "bar width %d before, %d mid-drag, %d after\n",
            fullDrag ? "on " : "off", rows, moves, f.longestMs, f.medianMs, f.widthBefore, f.widthDuring,
            f.widthAfter);
    }
    std::fflush(stdout);
    std::_Exit(0);
}
