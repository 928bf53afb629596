// The application object: start-up, the configuration file and exit.
#pragma once

#include "framework/doc/CWinApp.h"
#include "urllist/RecoveryCopy.h"

class CVelmoraApp : public CWinApp {
public:
    CVelmoraApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The value of `key` in section [user] of the configuration, whole.
    CString ReadUserSetting(LPCSTR key) const;

    // Adds the document template and processes the command line: the main
    // frame with its list view and side bar exist afterwards. FALSE when
    // processing failed.
    BOOL OpenMainWindow(CCommandLineInfo& cmdInfo);

    // The recovery copy (see RecoveryCopy): takes this instance's place and,
    // when an earlier run did not end cleanly, asks whether to restore its
    // list; TRUE for yes. No removes that copy.
    BOOL AskToRestore();
    // Once the main window is open: restores the list when asked to, then
    // keeps this instance's copy in step with the list.
    void KeepRecoveryCopy(BOOL restore);

    CString m_strAppDir; // folder of the executable, ending in "/"
    CString m_strConfigPath; // the configuration file in use
    // The file in use may be read but not written: the exit save is skipped
    // (the user was told at start).
    BOOL m_bConfigReadOnly = FALSE;
    RecoveryCopy m_recovery;

protected:
    DECLARE_MESSAGE_MAP()
    void OnAppAbout();
};
