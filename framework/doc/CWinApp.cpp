#include "framework/doc/CWinApp.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>

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

void CCommandLineInfo::ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL)
{
    if (bFlag) {
        // No option is known here; the user hears which one was passed over.
        std::fprintf(stderr, "%s: ignoring unknown option '-%s'\n",
            QCoreApplication::applicationName().toStdString().c_str(), CString(pszParam).ToUtf8().c_str());
        return;
    }
    if (!pszParam || !*pszParam || m_nShellCommand == FileOpen)
        return;
    // Made full, the path stays right whatever the current folder becomes.
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(CString(pszParam).ToUtf8(), error);
    m_strFileName = error ? CString(pszParam) : CString::FromUtf8(full.lexically_normal().string());
    m_nShellCommand = FileOpen;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    // The toolkit has taken its own options out already. "--" ends the
    // options: what follows is a file, even when it begins with '-'.
    const QStringList args = QApplication::arguments();
    bool optionsEnded = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (!optionsEnded && args[i] == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }
        const bool flag = !optionsEnded && args[i].startsWith('-');
        const CString param = CString::FromUtf8((flag ? args[i].mid(1) : args[i]).toStdString());
        info.ParseParam(param, flag, i + 1 == args.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    if (m_templates.empty())
        return FALSE;
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        return m_templates.front()->OpenDocumentFile(nullptr) != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName) != nullptr;
    default:
        return TRUE;
    }
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName)
{
    return m_templates.empty() ? nullptr : m_templates.front()->OpenDocumentFile(lpszFileName);
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
