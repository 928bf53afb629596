// A real application object with its main frame (the hub) and list view,
// driven through posted messages. Every message the pump takes is recorded,
// and every modal hook answers from the fixture and records its request.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "framework/controls/CFileDialog.h"
#include "framework/controls/CMenu.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/controls/Shell.h"
#include "framework/window/MessageQueue.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

struct RecordedBox {
    HWND owner;
    CString text;
    CString caption;
    UINT type;
};

struct RecordedPopup {
    std::vector<MenuItemTemplate> items;
    UINT flags;
    HWND owner;
};

class ListFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Pumps posted messages until `done` holds; fails the test after a few
    // seconds instead of hanging.
    bool PumpUntil(const std::function<bool()>& done);
    // Posts to the view and pumps until the hub has seen `reply`.
    void RunOnView(UINT message, LPARAM lParam, UINT reply);

    // The messages the hub took, in order, as (message, wParam, lParam).
    struct HubMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool operator==(const HubMessage&) const = default;
    };
    std::vector<HubMessage> HubMessages(const std::vector<UINT>& only) const;
    int CountHub(UINT message) const;

    // Writes `bytes` to a file in the fixture's folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& bytes);
    // Imports `bytes` as the URL file; returns the row count the hub was told.
    LPARAM Import(const std::string& bytes);
    // Ticks as the hub's timer would, `slots` probes at a time, until no row
    // waits for its verdict.
    void CheckAll(int slots = 10);
    // Replaces the list by rows (url, validity), numbered from 1, and has
    // the view count them afresh as an import does.
    void FillRows(const std::vector<std::pair<std::string, std::string>>& rows);

    CListCtrl& List() { return m_view->GetListCtrl(); }
    std::string Cell(int row, int col) { return List().GetItemText(row, col).Bytes(); }
    static std::string Gbk(const char* utf8) { return CString::FromUtf8(utf8).Bytes(); }

    std::unique_ptr<CVelmoraApp> m_app;
    CMainFrame* m_frame = nullptr;
    CVelmoraView* m_view = nullptr;
    std::string m_dir;

    std::vector<MSG> m_messages;
    std::vector<RecordedBox> m_boxes;
    std::vector<FileDialogRequest> m_dialogs;
    FileDialogAnswer m_dialogAnswer;
    std::vector<RecordedPopup> m_popups;
    UINT m_popupChoice = 0;
    std::vector<std::pair<CString, CString>> m_shellCalls;
};
