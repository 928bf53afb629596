// The program's real main frame (list view, status bar, docked side bar),
// shown at 1024 × 700, for tests that drive the side bar as a user would.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "framework/window/MessageQueue.h"

class ShownMainFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nReportedProbes = 0;
        m_app = std::make_unique<CVelmoraApp>();
        CCommandLineInfo info;
        ASSERT_TRUE(m_app->OpenMainWindow(info));
        m_frame = dynamic_cast<CMainFrame*>(m_app->m_pMainWnd);
        ASSERT_NE(m_frame, nullptr);
        m_frame->MoveWindow(0, 0, 1024, 700);
        m_frame->ShowWindow(SW_SHOW);
        AfxPumpPendingMessages();
        Idle();
    }

    void TearDown() override
    {
        if (m_app && m_app->m_pMainWnd)
            m_app->m_pMainWnd->DestroyWindow();
        AfxPumpPendingMessages();
        m_app.reset();
    }

    // Idle processing until the delayed layouts have settled.
    static void Idle()
    {
        for (int i = 0; i < 3; ++i)
            AfxRunIdleHandlers();
    }

    std::unique_ptr<CVelmoraApp> m_app;
    CMainFrame* m_frame = nullptr;
};
