// The recovery copy at start: an earlier run's list offered back, then this
// run's copy kept.
#include "app/CVelmoraApp.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/doc/CFrameWnd.h"
#include "urllist/CVelmoraView.h"

BOOL CVelmoraApp::AskToRestore()
{
    // Without a place for copies the program runs without them; the user
    // hears of it when the first copy is due.
    if (!m_recovery.Open() || m_recovery.LeftCopyPath().IsEmpty())
        return FALSE;
    const int answer
        = AfxMessageBox(CString::FromUtf8("上次运行没有正常结束，是否恢复当时的网址列表和检查结果？"),
            MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES)
        return TRUE;
    m_recovery.RemoveLeftCopy();
    return FALSE;
}

void CVelmoraApp::KeepRecoveryCopy(BOOL restore)
{
    auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
    auto* view = frame ? dynamic_cast<CVelmoraView*>(frame->GetActiveView()) : nullptr;
    if (!view)
        return;
    // A copy that can't be read stays where it is, and is offered again at
    // the next start.
    if (restore && view->LoadCheckReport(m_recovery.LeftCopyPath()))
        m_recovery.AdoptLeftCopy();
    view->KeepRecoveryCopy(m_recovery);
}
