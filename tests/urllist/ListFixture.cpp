#include "ListFixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/Globals.h"
#include "app/Messages.h"
#include "framework/doc/CDocTemplate.h"
#include "res/ResourceIds.h"
#include "urllist/CVelmoraDoc.h"

void ListFixture::SetUp()
{
    char pattern[] = "/tmp/brisquel-urllist-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_dir = pattern;

    g_strImportPath = "";
    g_strIgnoreList = "";
    g_nThreadCount = 5;
    g_bChecking = FALSE;
    g_nRunningProbes = 0;
    g_nReportedProbes = 0;

    AfxSetMessageBoxHook([this](HWND owner, const CString& text, const CString& caption, UINT type) {
        m_boxes.push_back({ owner, text, caption, type });
        return IDOK;
    });
    AfxSetFileDialogHook([this](const FileDialogRequest& request) {
        m_dialogs.push_back(request);
        return m_dialogAnswer;
    });
    AfxSetPopupMenuHook([this](const PopupMenuRequest& request) {
        m_popups.push_back({ *request.items, request.flags, request.owner });
        return m_popupChoice;
    });
    AfxSetShellOpenHook([this](const CString& verb, const CString& file) {
        m_shellCalls.emplace_back(verb, file);
        return true;
    });

    // What InitInstance does, without its configuration file.
    m_app = std::make_unique<CVelmoraApp>();
    CCommandLineInfo info;
    ASSERT_TRUE(m_app->OpenMainWindow(info));
    m_frame = dynamic_cast<CMainFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(m_frame, nullptr);
    m_view = dynamic_cast<CVelmoraView*>(m_frame->GetActiveView());
    ASSERT_NE(m_view, nullptr);
    AfxPumpPendingMessages();
    AfxSetDispatchObserver([this](const MSG& msg) { m_messages.push_back(msg); });
}

void ListFixture::TearDown()
{
    AfxSetDispatchObserver({});
    if (m_app && m_app->m_pMainWnd)
        m_app->m_pMainWnd->DestroyWindow();
    AfxPumpPendingMessages();
    m_app.reset();
    AfxSetMessageBoxHook({});
    AfxSetFileDialogHook({});
    AfxSetPopupMenuHook({});
    AfxSetShellOpenHook({});
    g_strImportPath = "";
    g_strIgnoreList = "";
    g_hSidePanel = HWND();
    if (!m_dir.empty()) {
        std::error_code ignored;
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_dir, ignored);
    }
}

bool ListFixture::PumpUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "condition not reached within 5 s";
            return false;
        }
        AfxPumpPendingMessages();
    }
    return true;
}

void ListFixture::RunOnView(UINT message, LPARAM lParam, UINT reply)
{
    const int before = CountHub(reply);
    ASSERT_TRUE(PostMessageA(m_view->m_hWnd, message, 0, lParam));
    PumpUntil([&] { return CountHub(reply) > before; });
    AfxPumpPendingMessages();
}

std::vector<ListFixture::HubMessage> ListFixture::HubMessages(const std::vector<UINT>& only) const
{
    std::vector<HubMessage> out;
    for (const MSG& msg : m_messages) {
        if (!(msg.hwnd == m_frame->m_hWnd))
            continue;
        for (UINT wanted : only) {
            if (msg.message == wanted)
                out.push_back({ msg.message, msg.wParam, msg.lParam });
        }
    }
    return out;
}

int ListFixture::CountHub(UINT message) const
{
    int count = 0;
    for (const MSG& msg : m_messages)
        count += (msg.hwnd == m_frame->m_hWnd && msg.message == message) ? 1 : 0;
    return count;
}

std::string ListFixture::WriteFile(const std::string& name, const std::string& bytes)
{
    const std::string path = m_dir + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

LPARAM ListFixture::Import(const std::string& bytes)
{
    g_strImportPath = CString(WriteFile("urls.txt", bytes));
    m_messages.clear();
    RunOnView(UM_IMPORT_RUN, 0, UM_LIST_LOADED);
    const auto loaded = HubMessages({ UM_LIST_LOADED });
    return loaded.empty() ? -1 : loaded.back().lParam;
}

void ListFixture::CheckAll(int slots)
{
    g_nThreadCount = slots;
    PumpUntil([this, slots] {
        bool pending = false;
        for (int row = 0; row < List().GetItemCount(); ++row) {
            const std::string_view text = List().GetItemTextView(row, COL_VALIDITY);
            pending = pending || Validity::IsUnchecked(text) || Validity::IsRunning(text);
        }
        if (pending && g_nRunningProbes == 0)
            m_view->PostMessage(UM_CHECK_DISPATCH, 0, slots);
        AfxPumpPendingMessages();
        return !pending && g_nRunningProbes == 0;
    });
}

void ListFixture::FillRows(const std::vector<std::pair<std::string, std::string>>& rows)
{
    List().DeleteAllItems();
    int row = 0;
    for (const auto& [url, validity] : rows) {
        List().InsertItem(row, CString(std::to_string(row + 1)));
        List().SetItemText(row, COL_URL, url.c_str());
        List().SetItemText(row, COL_VALIDITY, validity.c_str());
        ++row;
    }
    m_view->CountValidity();
    m_messages.clear();
}
