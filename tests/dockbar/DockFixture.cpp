#include "DockFixture.h"

void DockFixture::SetUp()
{
    SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
    m_frame = new CFrameWnd;
    ASSERT_TRUE(m_frame->Create(
        WC_FRAME, "dock test", WS_OVERLAPPEDWINDOW, CRect(0, 0, kFrameWidth, kFrameHeight), nullptr, 0));
    m_frame->EnableDocking(CBRS_ALIGN_ANY);
    m_frame->ShowWindow(SW_SHOW);
    ASSERT_EQ(FrameClient().Width(), kFrameWidth);
    ASSERT_EQ(FrameClient().Height(), kFrameHeight);
}

void DockFixture::TearDown()
{
    ReleaseCapture();
    if (m_frame && m_frame->m_hWnd)
        m_frame->DestroyWindow();
    m_bars.clear();
    SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
}

TestBar* DockFixture::AddBar(UINT nDockBarID, CSize size, UINT nID)
{
    auto bar = std::make_unique<TestBar>();
    EXPECT_TRUE(bar->Create("bar", m_frame, size, nID, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    bar->m_dwSizingStyle |= SZBS_SHOWEDGES;
    bar->EnableDocking(CBRS_ALIGN_ANY);
    m_frame->DockControlBar(bar.get(), nDockBarID);
    m_bars.push_back(std::move(bar));
    return m_bars.back().get();
}

void DockFixture::MakeRow(UINT nDockBarID, const std::vector<TestBar*>& bars)
{
    CDockBar* dock = DockBar(nDockBarID);
    dock->m_arrBars.assign(1, nullptr);
    for (TestBar* bar : bars)
        dock->m_arrBars.push_back(bar);
    dock->m_arrBars.push_back(nullptr);
}

void DockFixture::Layout()
{
    m_frame->RecalcLayout();
    // Aligning a row asks for one more layout at idle time.
    for (int i = 0; i < 3; ++i)
        AfxRunIdleHandlers();
}

CRect DockFixture::FrameClient()
{
    CRect rc;
    m_frame->GetClientRect(&rc);
    return rc;
}
