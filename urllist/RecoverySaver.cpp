#include "urllist/RecoverySaver.h"

#include <algorithm>

#include "app/Messages.h"
#include "check/ProbeDetails.h"
#include "framework/base/LastError.h"
#include "urllist/CVelmoraView.h"
#include "urllist/RecoveryCopy.h"
#include "urllist/Validity.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kLongestDelay = 9s;
constexpr auto kShortestDelay = 1s;
// How long one slice formats rows; the clock is read every kRowsBetweenClocks.
constexpr auto kSliceTime = 8ms;
constexpr int kRowsBetweenClocks = 256;
// The copy is written in pieces of about this size, which the writer frees
// as it goes.
constexpr std::size_t kChunkBytes = 1u << 20;

} // namespace

void RecoverySaver::Attach(CVelmoraView& view, RecoveryCopy& copy)
{
    m_view = &view;
    m_copy = &copy;
}

void RecoverySaver::RowChanged()
{
    if (!m_copy || m_timerSet)
        return;
    const auto delay
        = std::clamp<Clock::duration>(kLongestDelay - m_lastCopyTime, kShortestDelay, kLongestDelay);
    m_timerSet = m_view->SetTimer(kTimer,
                     static_cast<UINT>(std::chrono::duration_cast<std::chrono::milliseconds>(delay).count()),
                     nullptr)
        != 0;
}

void RecoverySaver::RowsReplaced()
{
    if (m_nextRow < 0) {
        RowChanged();
        return;
    }
    m_nextRow = 0;
    m_anyChecked = false;
    m_chunks.assign(1, std::string(CheckReportLines::Head()));
}

void RecoverySaver::Discard()
{
    if (!m_copy)
        return;
    if (m_timerSet)
        m_view->KillTimer(kTimer);
    m_timerSet = false;
    m_dueAgain = false;
    StopSlices();
    m_chunks.clear();
    m_copy->Remove();
}

void RecoverySaver::OnTimer(UINT_PTR id)
{
    if (id == kSliceTimer) {
        TakeSlice();
    } else if (id == kTimer) {
        m_view->KillTimer(kTimer);
        m_timerSet = false;
        StartCopy();
    }
}

void RecoverySaver::StopSlices()
{
    if (m_nextRow >= 0)
        m_view->KillTimer(kSliceTimer);
    m_nextRow = -1;
}

void RecoverySaver::StartCopy()
{
    if (m_writing || m_nextRow >= 0) {
        m_dueAgain = true;
        return;
    }
    if (!m_copy->Problem().IsEmpty()) {
        TellProblem(m_copy->Problem());
        return;
    }
    m_started = Clock::now();
    // Texts made for the last copy could be out of date (the time limits
    // the outcomes name).
    m_lines = CheckReportLines();
    m_nextRow = 0;
    m_anyChecked = false;
    m_chunks.assign(1, std::string(CheckReportLines::Head()));
    m_view->SetTimer(kSliceTimer, 0, nullptr);
}

void RecoverySaver::TakeSlice()
{
    if (m_nextRow < 0)
        return;
    const CListCtrl& list = m_view->GetListCtrl();
    const int rows = list.GetItemCount();
    const Clock::time_point end = Clock::now() + kSliceTime;
    ProbeDetails details;
    int row = m_nextRow;
    for (; row < rows; ++row) {
        if (row % kRowsBetweenClocks == 0 && row > m_nextRow && Clock::now() > end)
            break;
        const std::string_view validity = list.GetItemTextView(row, COL_VALIDITY);
        m_anyChecked = m_anyChecked || Validity::IsValid(validity) || Validity::IsFailed(validity)
            || Validity::IsRunning(validity);
        if (m_chunks.back().size() >= kChunkBytes) {
            m_chunks.emplace_back();
            m_chunks.back().reserve(kChunkBytes + 4096);
        }
        const bool detailed = m_view->GetProbeDetails(row, details);
        m_lines.Append(m_chunks.back(), list, row, detailed ? &details : nullptr);
    }
    if (row < rows) {
        m_nextRow = row;
        return;
    }
    StopSlices();
    if (m_anyChecked) {
        m_writing = true;
        m_copy->Write(std::move(m_chunks), m_view->m_hWnd, UM_RECOVERY_WRITTEN);
    } else {
        m_copy->Remove();
        m_lastCopyTime = Clock::now() - m_started;
        if (m_dueAgain) {
            m_dueAgain = false;
            StartCopy();
        }
    }
    m_chunks.clear();
}

void RecoverySaver::OnWritten(int error)
{
    m_writing = false;
    m_lastCopyTime = Clock::now() - m_started;
    if (error != 0)
        TellProblem(m_copy->CopyPath() + "\n\n" + SystemErrorText(static_cast<DWORD>(error)));
    else
        m_problemTold = false;
    if (m_dueAgain) {
        m_dueAgain = false;
        StartCopy();
    }
}

void RecoverySaver::TellProblem(const CString& reason)
{
    // Once until a copy is written again: the box would come back with
    // every change.
    if (m_problemTold)
        return;
    m_problemTold = true;
    m_view->MessageBox(CString::FromUtf8("无法保存恢复副本，程序意外结束时检查结果会丢失！\n\n") + reason, "",
        MB_OK | MB_ICONEXCLAMATION);
}
