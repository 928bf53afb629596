// The real program for tests: the application object with its document
// template, the main frame (hub) with view, status bar and side panel, every
// message the pump takes recorded, and the message box and file dialog
// hooks answered and recorded. Shared by the app and side panel tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "framework/controls/CFileDialog.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/doc/CDocTemplate.h"
#include "framework/window/MessageQueue.h"
#include "res/ResourceIds.h"
#include "sidepanel/CSidePanelDlg.h"
#include "tests/framework/GuiPump.h"
#include "urllist/CVelmoraDoc.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

inline CString U(const char* utf8)
{
    return CString::FromUtf8(utf8);
}

inline void ResetGlobals()
{
    g_strImportPath = CString();
    g_strIgnoreList = CString();
    g_nThreadCount = 5;
    g_bChecking = FALSE;
    g_hSidePanel = HWND();
    g_nRunningProbes = 0;
    g_nReportedProbes = 0;
}

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "brisquel-test-XXXXXX").string();
        m_path = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

struct RecordedBox {
    CString text;
    UINT type;
    CString caption;
};

class RunningApp {
public:
    // A new document unless `cmdInfo` names a file to open.
    explicit RunningApp(CCommandLineInfo cmdInfo = CCommandLineInfo())
    {
        AfxSetDispatchObserver([this](const MSG& m) { seen.push_back(m); });
        AfxSetMessageBoxHook([this](HWND, const CString& text, const CString& caption, UINT type) {
            boxes.push_back(RecordedBox { text, type, caption });
            int answer = IDOK;
            if (!boxAnswers.empty()) {
                answer = boxAnswers.front();
                boxAnswers.pop_front();
            }
            return answer;
        });
        AfxSetFileDialogHook([this](const FileDialogRequest& request) {
            fileRequests.push_back(request);
            FileDialogAnswer answer;
            if (!fileAnswer.IsEmpty()) {
                answer.result = IDOK;
                answer.path = fileAnswer;
            }
            return answer;
        });
        if (!app.OpenMainWindow(cmdInfo))
            return;
        frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
        if (!frame)
            return;
        frameHandle = frame->m_hWnd;
        view = dynamic_cast<CVelmoraView*>(frame->GetActiveView());
        panel = &frame->SideBar().Form();
        frame->ShowWindow(SW_SHOW);
        AfxPumpPendingMessages();
        seen.clear();
    }

    ~RunningApp()
    {
        if (CWnd* mainWnd = CWnd::FromHandle(frameHandle))
            mainWnd->DestroyWindow();
        AfxPumpPendingMessages();
        ClearQuitRequest();
        AfxSetDispatchObserver({});
        AfxSetMessageBoxHook({});
        AfxSetFileDialogHook({});
        ResetGlobals();
    }

    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    bool Ready() const { return frame && view && panel; }
    bool FrameAlive() const { return CWnd::FromHandle(frameHandle) != nullptr; }

    CString Pane(int index) { return frame->StatusBar().GetPaneText(index); }
    CListCtrl& List() { return view->GetListCtrl(); }

    // Messages taken from the queue for `target`, in order.
    std::vector<MSG> SeenFor(HWND target) const
    {
        std::vector<MSG> out;
        for (const MSG& m : seen) {
            if (m.hwnd == target)
                out.push_back(m);
        }
        return out;
    }
    int CountSeen(HWND target, UINT message) const
    {
        int n = 0;
        for (const MSG& m : seen)
            n += m.hwnd == target && m.message == message ? 1 : 0;
        return n;
    }

    void Click(int controlId)
    {
        panel->SendMessage(
            WM_COMMAND, static_cast<WPARAM>((BN_CLICKED << 16) | static_cast<unsigned>(controlId)), 0);
    }
    CString FieldText(int controlId) { return panel->GetDlgItem(controlId)->GetWindowText(); }
    void SetField(int controlId, const CString& text) { panel->GetDlgItem(controlId)->SetWindowText(text); }
    bool ButtonEnabled(int controlId) { return panel->GetDlgItem(controlId)->IsWindowEnabled() != FALSE; }

    CVelmoraApp app;
    CMainFrame* frame = nullptr;
    HWND frameHandle;
    CVelmoraView* view = nullptr;
    CSidePanelDlg* panel = nullptr;

    std::vector<MSG> seen;
    std::vector<RecordedBox> boxes;
    std::deque<int> boxAnswers; // IDOK once they run out
    std::vector<FileDialogRequest> fileRequests;
    CString fileAnswer; // empty: the dialog is cancelled
};
