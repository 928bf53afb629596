// The list view: the URL list (line number, URL, validity) and the receiver
// of the list operations' messages.
#pragma once

#include <unordered_map>

#include "framework/doc/CListView.h"
#include "urllist/CheckProgress.h"

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
    void RecordVerdict(UINT message, WPARAM reason, LPARAM row);
    BOOL StartCheckThread(const CString& url, int row);
    // Widens the line-number column when the largest number no longer fits.
    void FitLineNumberColumn();
    // How far the list is checked, from counts kept as rows change.
    CheckProgress GetCheckProgress() const;

protected:
    DECLARE_MESSAGE_MAP()
    void ShowListMenu(NMHDR* pNMHDR, LRESULT* pResult);
    void OpenSelectedUrl();
    void RecheckSelectedRows();
    void CopySelectedUrls();
    void OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);

private:
    int m_nMenuRow = -1; // the row the context menu was opened for
    CString m_strLastExportFolder; // where the export dialog was last answered
    // Outstanding probes: dispatch index -> the tag (item data) of the row
    // probed, so a verdict finds its row after imports and clean-ups.
    std::unordered_map<int, DWORD_PTR> m_outstandingProbes;
    DWORD_PTR m_nextRowTag = 1;
    bool m_bDispatching = false; // a dispatch scan is under way

    void DispatchUncheckedRows(int freeSlots);
    bool m_bColumnsCreated = false;

    // Every validity write to a single row goes through SetValidity, which
    // keeps the counts below in step; operations that add or remove rows
    // wholesale count afresh once at their end.
    void SetValidity(int row, const CString& text);
    void CountValidity();
    // A row the user asked to have checked again.
    void RecheckRow(int row);
    int m_nUncheckedRows = 0;
    int m_nRunningRows = 0;
    long long m_nFinalTextsWritten = 0;
};
