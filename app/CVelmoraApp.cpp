#include "app/CVelmoraApp.h"

#include <string>

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/ConfigLocation.h"
#include "app/Globals.h"
#include "framework/base/LastError.h"
#include "framework/base/SaturatingAtoi.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/doc/CDocTemplate.h"
#include "framework/io/FileSystem.h"
#include "framework/io/PrivateProfile.h"
#include "res/ResourceIds.h"
#include "urllist/CVelmoraDoc.h"
#include "urllist/CVelmoraView.h"

BEGIN_MESSAGE_MAP(CVelmoraApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

CVelmoraApp::CVelmoraApp()
{
    // The application's name and texts come from the resources.
    RegisterResources();
}

CString CVelmoraApp::ReadUserSetting(LPCSTR key) const
{
    // A value that fills the buffer may have been cut (a long path in a
    // script of four-byte characters): it is read again with twice the room.
    std::string buffer(256, '\0');
    for (;;) {
        const DWORD length = GetPrivateProfileStringA(
            "user", key, "", buffer.data(), static_cast<DWORD>(buffer.size()), m_strConfigPath);
        if (length + 1 < buffer.size())
            return CString(buffer.data(), static_cast<int>(length));
        buffer.resize(buffer.size() * 2);
    }
}

BOOL CVelmoraApp::InitInstance()
{
    AfxEnableControlContainer();

    const CString modulePath = AfxGetModuleFileName();
    m_strAppDir = modulePath.Left(modulePath.ReverseFind('/') + 1);
    g_bChecking = FALSE;

    // Without a name for the executable's folder, a relative "config.ini"
    // would land in whatever folder the program was started from.
    const ConfigLocation config
        = PrepareConfigFile(m_strAppDir.IsEmpty() ? CString() : m_strAppDir + "config.ini");
    m_strConfigPath = config.path;
    m_bConfigReadOnly = !config.writable;
    if (!config.problem.IsEmpty()) {
        const char* text = config.path.IsEmpty()
            ? "无法创建配置文件，本次运行使用默认设置，退出时不保存。\n\n"
            : "无法写入配置文件，本次运行的设置退出时不保存。\n\n";
        AfxMessageBox(CString::FromUtf8(text) + config.problem, MB_OK | MB_ICONEXCLAMATION);
    }

    g_nThreadCount = m_strConfigPath.IsEmpty() ? 5 : SaturatingAtoi(ReadUserSetting("threadcount"));
    g_strImportPath = ReadUserSetting("fileurls");
    g_strIgnoreList = ReadUserSetting("keypass");

    Enable3dControls();
    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(0);

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    // A file named on the command line would replace the list restored.
    const BOOL restore = AskToRestore();
    if (restore)
        cmdInfo.m_nShellCommand = CCommandLineInfo::FileNew;
    if (!OpenMainWindow(cmdInfo))
        return FALSE;
    KeepRecoveryCopy(restore);

    m_nCmdShow = SW_SHOWMAXIMIZED;
    m_pMainWnd->ShowWindow(m_nCmdShow);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

BOOL CVelmoraApp::OpenMainWindow(CCommandLineInfo& cmdInfo)
{
    AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, RUNTIME_CLASS(CVelmoraDoc), RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CVelmoraView)));
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;
    // A file dropped on the window opens as one named on the command line.
    m_pMainWnd->DragAcceptFiles();
    return TRUE;
}

int CVelmoraApp::ExitInstance()
{
    m_recovery.EndCleanly();
    if (!m_strConfigPath.IsEmpty() && !m_bConfigReadOnly) {
        CString threadCount;
        threadCount.Format("%d", g_nThreadCount);
        // The first key that fails ends the save: the user hears of it once.
        const bool saved = WritePrivateProfileStringA("user", "fileurls", g_strImportPath, m_strConfigPath)
            && WritePrivateProfileStringA("user", "keypass", g_strIgnoreList, m_strConfigPath)
            && WritePrivateProfileStringA("user", "threadcount", threadCount, m_strConfigPath);
        if (!saved) {
            CString text;
            text.Format(CString::FromUtf8("无法保存设置！\n\n%s\n\n%s"), m_strConfigPath.GetString(),
                SystemErrorText(GetLastError()).GetString());
            AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        }
    }
    return CWinApp::ExitInstance();
}

void CVelmoraApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
