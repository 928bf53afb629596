#include "framework/doc/CWinApp.h"

#include <QApplication>

#include "framework/base/AppName.h"
#include "framework/controls/Resources.h"
#include "framework/doc/CDocTemplate.h"
#include "framework/doc/CDocument.h"
#include "framework/window/CWnd.h"
#include "framework/window/Gui.h"

namespace {

CWinApp* g_app = nullptr;

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_pszAppName(lpszAppName)
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWinApp* AfxGetThread()
{
    return g_app;
}

void AfxEnableControlContainer()
{
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    const int code = QApplication::exec();
    const int exitCode = ExitInstance();
    return code != 0 ? code : exitCode;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    m_templates.emplace_back(pTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        info.m_nShellCommand = CCommandLineInfo::FileOpen;
        info.m_strFileName = CString::FromUtf8(args[1].toStdString());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    if (m_templates.empty())
        return FALSE;
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
    case CCommandLineInfo::FileOpen:
        // The document holds nothing of a file: opening one is a new document.
        return m_templates.front()->OpenDocumentFile(nullptr) != nullptr;
    default:
        return TRUE;
    }
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

int AfxWinMain(int argc, char** argv)
{
    static int argcStore = argc;
    if (!AfxStartGui(argcStore, argv))
        return 1;
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    if (app->m_pszAppName.IsEmpty())
        app->m_pszAppName = AfxLoadString(AFX_IDS_APP_TITLE);
    AfxSetAppName(app->m_pszAppName);
    if (!app->InitInstance()) {
        app->ExitInstance();
        return 1;
    }
    return app->Run();
}
