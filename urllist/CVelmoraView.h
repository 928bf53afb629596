// The list view: the URL list (line number, URL, validity) and the receiver
// of the list operations' messages.
#pragma once

#include <unordered_map>
#include <vector>

#include "framework/doc/CListView.h"
#include "framework/io/TextEncoding.h"
#include "urllist/CheckProgress.h"
#include "urllist/ProbeDetailTable.h"
#include "urllist/RecoverySaver.h"
#include "urllist/RowSet.h"

class CVelmoraView : public CListView {
    DECLARE_DYNCREATE(CVelmoraView)
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnInitialUpdate() override;

    // List operations, each run to its end on the GUI thread.
    void ImportUrls();
    void RemoveDuplicates();
    void RemoveInvalid();
    void ExportUrls(int kind);
    void DispatchChecks(int freeSlots);
    // `details` (null when the verdict came without) are kept for the row.
    void RecordVerdict(UINT message, WPARAM reason, LPARAM row, const ProbeDetails* details);
    BOOL StartCheckThread(const CString& url, int row);
    // Widens the line-number column when the largest number no longer fits.
    void FitLineNumberColumn();
    // How far the list is checked, from counts kept as rows change.
    CheckProgress GetCheckProgress() const;
    // Every validity write to a single row goes through SetValidity, which
    // keeps the unchecked rows and the counts in step; whatever adds or
    // removes rows wholesale counts afresh once at its end.
    void CountValidity();

    // The details of a row's last probe: kept with its verdict, following
    // the row through clean-ups, replaced with the list by an import. A row
    // that becomes unchecked again must forget them.
    void KeepProbeDetails(int row, const ProbeDetails& details);
    void ForgetProbeDetails(int row);
    // FALSE when the row has none.
    BOOL GetProbeDetails(int row, ProbeDetails& details) const;

    // Every row with its verdict and probe details, into a CSV file the user
    // chooses.
    void WriteCheckReport();
    // The rows of the check report at `path` replace the list, as an import
    // replaces it; FALSE, with the user told why and the list as it was,
    // when the file is no such report.
    BOOL LoadCheckReport(const CString& path);

    // Keeps `copy` in step with the list from now on (see RecoverySaver).
    void KeepRecoveryCopy(RecoveryCopy& copy);

    // The encoding of the URL file the list came from, which the document
    // keeps for the exports.
    TextEncoding GetUrlFileEncoding() const;
    void SetUrlFileEncoding(TextEncoding encoding);

protected:
    DECLARE_MESSAGE_MAP()
    void ShowListMenu(NMHDR* pNMHDR, LRESULT* pResult);
    void OpenSelectedUrl();
    void RecheckSelectedRows();
    // Every row with a failed verdict, whatever is selected.
    void RecheckFailedRows();
    // A report the user chooses, through LoadCheckReport.
    void OpenCheckReport();
    void CopySelectedUrls();
    void OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
    // The validity cell's tip: the row's probe details.
    void ShowProbeDetailTip(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTimer(UINT_PTR nIDEvent);

private:
    int m_nMenuRow = -1; // the row the context menu was opened for
    CString m_strLastExportFolder; // where an export or report dialog was last answered
    // A probe whose verdict has not come yet, under the row index it was
    // started with (the index its verdict names). Clean-ups move `row` with
    // the rows; an import, which replaces them all, leaves it -1.
    struct OutstandingProbe {
        DWORD_PTR tag; // the probed row's item data, the guard against landing elsewhere
        int row;
    };
    std::unordered_map<int, OutstandingProbe> m_outstandingProbes;
    DWORD_PTR m_nextRowTag = 1;
    bool m_bDispatching = false; // a dispatch scan is under way
    ProbeDetailTable m_probeDetails;

    void DispatchUncheckedRows(int freeSlots);
    // Removes the flagged rows and keeps the outstanding probes on theirs.
    int RemoveRows(const std::vector<bool>& remove);
    // The rows were replaced: no outstanding probe has its row any more.
    void ForgetProbedRows();
    // The row's tag, given one when it has none yet.
    DWORD_PTR RowTag(int row);
    void ForgetAllProbeDetails();
    bool m_bColumnsCreated = false;

    void SetValidity(int row, const CString& text);
    // A row the user asked to have checked again.
    void RecheckRow(int row);
    RowSet m_uncheckedRows; // rows whose validity text is empty
    int m_nRunningRows = 0;
    long long m_nFinalTextsWritten = 0;
    RecoverySaver m_recovery;
};
