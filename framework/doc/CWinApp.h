// CWinApp: the application object. Exactly one exists; AfxWinMain starts the
// toolkit, runs InitInstance, the message loop and ExitInstance.
#pragma once

#include <memory>
#include <vector>

#include "framework/base/CString.h"
#include "framework/window/CCmdTarget.h"

class CWnd;
class CDocTemplate;
class CDocument;

class CCommandLineInfo {
public:
    virtual ~CCommandLineInfo() = default;
    // One argument of the command line, bFlag when it began with '-' (taken
    // off) before any "--". The first file named is opened; relative to the
    // current folder. No option is known: each is named on standard error.
    virtual void ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL bLast);

    enum { FileNew, FileOpen, FileNothing } m_nShellCommand = FileNew;
    CString m_strFileName; // full path of the file to open
};

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    CWnd* GetMainWnd() const { return m_pMainWnd; }

    void AddDocTemplate(CDocTemplate* pTemplate);
    // Opens the file in the document of the first template (creating the
    // document, frame and view if there are none yet); null on failure.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);
    // Settings of the classic platform that have no counterpart here.
    void Enable3dControls() { }
    void SetRegistryKey(LPCSTR) { }
    void LoadStdProfileSettings(UINT = 4) { }

    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = 1;
    CString m_pszAppName;

protected:
    DECLARE_MESSAGE_MAP()
    void OnAppExit();

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};

CWinApp* AfxGetApp();
// The current thread's object; on the GUI thread the application.
CWinApp* AfxGetThread();
void AfxEnableControlContainer();

// The program's entry: starts the toolkit and runs the application object.
int AfxWinMain(int argc, char** argv);
