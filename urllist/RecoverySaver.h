// Keeping the recovery copy in step with the list: a change starts a timer,
// and when it fires the list is copied as a check report and written off the
// GUI thread (see RecoveryCopy). The rows are formatted on the GUI thread,
// where the list lives, in slices of a few milliseconds on the ticks of a
// zero-time timer, which fires once the toolkit's loop has had its turn, so
// a million rows never hold the window up.
//
// A change lands in the file at most about nine seconds after it was made:
// the timer waits nine seconds less the time the last copy took, and a
// change made while a copy is under way starts the timer again. A copy is
// kept only while some row is checked or running.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "framework/base/CString.h"
#include "urllist/CheckReportLines.h"

class CVelmoraView;
class RecoveryCopy;

class RecoverySaver {
public:
    // The view's timers: the one that paces the copies, and the one whose
    // ticks format them.
    static constexpr UINT_PTR kTimer = 2;
    static constexpr UINT_PTR kSliceTimer = 3;

    // From now on keeps `copy` in step with `view`'s list.
    void Attach(CVelmoraView& view, RecoveryCopy& copy);

    // A row's validity or details changed.
    void RowChanged();
    // Rows were added or removed wholesale: a copy being made starts over.
    void RowsReplaced();
    // A new list that holds no one's work yet: its copy goes.
    void Discard();

    // The view's timers above, and the view's UM_RECOVERY_WRITTEN (wParam:
    // the system's error number, 0 when the copy was written).
    void OnTimer(UINT_PTR id);
    void OnWritten(int error);

private:
    using Clock = std::chrono::steady_clock;

    void StartCopy();
    void TakeSlice();
    void StopSlices();
    void TellProblem(const CString& reason);

    CVelmoraView* m_view = nullptr;
    RecoveryCopy* m_copy = nullptr;
    bool m_timerSet = false;
    bool m_writing = false;
    bool m_dueAgain = false; // the timer fired while a copy was under way
    bool m_problemTold = false;
    // The copy being formatted: the row it goes on with, -1 when none.
    int m_nextRow = -1;
    bool m_anyChecked = false;
    std::vector<std::string> m_chunks;
    CheckReportLines m_lines;
    Clock::time_point m_started;
    Clock::duration m_lastCopyTime {};
};
