// The side panel form: the run settings and the buttons of every operation.
// Each button copies what it needs into the run settings, disables itself
// where the operation is asynchronous and posts its request to the hub.
#pragma once

#include "framework/controls/CDialog.h"

class CSidePanelDlg : public CDialog {
public:
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    // A file opened from the desktop: typed into the path field and imported
    // as by the import button, unless an import is under way or the path
    // names no file. TRUE when the import was requested.
    BOOL ImportFile(const CString& path);

protected:
    DECLARE_MESSAGE_MAP()
    void OnBrowse();
    void OnImport();
    void OnStartStop();
    void OnPurgeInvalid();
    void OnPurgeDuplicates();
    void OnExportAll();
    void OnExportInvalid();
    void OnExportValid();

private:
    BOOL ReadRunSettings();
    void RequestOperation(int buttonId, UINT message, LPARAM lParam);
    void EnableButton(int buttonId);
    bool AnswersAnEarlierRun() const;

    // The last start was clicked while a stop or a finished run still waited
    // for the hub: its answer reaches the panel after the hub has begun the
    // new run.
    bool m_bStartedBeforeAnAnswer = false;
};
