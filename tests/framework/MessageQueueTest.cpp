// The posted-message queue: routing through the pre-translation chain,
// posting from many threads, delivery inside nested (modal) loops and
// handles of destroyed windows. Flows are compared as recorded sequences.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/base/Constants.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/window/CWnd.h"
#include "framework/window/MessageQueue.h"
#include "tests/framework/GuiPump.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

constexpr UINT UM_PING = WM_USER + 100;
constexpr UINT UM_PONG = WM_USER + 101;
constexpr UINT UM_OPEN_BOX = WM_USER + 102;

// A window that writes "pre <name> <msg>" and "proc <name> <msg>" for the
// application's own messages, and claims one message number in
// PreTranslateMessage when told to.
class RecordingWnd : public CWnd {
public:
    RecordingWnd(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (onPreTranslate)
            onPreTranslate(pMsg);
        if (pMsg->message >= WM_USER)
            m_log.push_back("pre " + m_name + " " + std::to_string(pMsg->message - WM_USER));
        return pMsg->message == claim ? TRUE : FALSE;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER)
            m_log.push_back("proc " + m_name + " " + std::to_string(message - WM_USER));
        if (onMessage)
            onMessage(message, wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }

    UINT claim = 0;
    std::function<void(MSG*)> onPreTranslate;
    std::function<void(UINT, WPARAM, LPARAM)> onMessage;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

std::string Entry(const char* what, const char* name, UINT message)
{
    return std::string(what) + " " + name + " " + std::to_string(message - WM_USER);
}

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(main.Create(nullptr, "main", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, 0));
        AfxSetMainWnd(&main);
        ASSERT_TRUE(child.Create(nullptr, "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &main, 1));
        ASSERT_TRUE(
            grandchild.Create(nullptr, "grandchild", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &child, 2));
        AfxPumpPendingMessages();
        log.clear();
    }

    void TearDown() override
    {
        AfxSetDispatchObserver({});
        AfxSetMessageBoxHook({});
        main.DestroyWindow();
        AfxSetMainWnd(nullptr);
        AfxPumpPendingMessages();
    }

    std::vector<std::string> log;
    RecordingWnd main { "main", log };
    RecordingWnd child { "child", log };
    RecordingWnd grandchild { "grandchild", log };
};

TEST_F(MessageQueueTest, RoutingThroughThePreTranslationChain)
{
    struct Case {
        const char* what;
        RecordingWnd* target;
        RecordingWnd* claimer; // null: nobody claims
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        { "to the child", &child, nullptr,
            { Entry("pre", "child", UM_PING), Entry("pre", "main", UM_PING),
                Entry("proc", "child", UM_PING) } },
        { "to the grandchild", &grandchild, nullptr,
            { Entry("pre", "grandchild", UM_PING), Entry("pre", "child", UM_PING),
                Entry("pre", "main", UM_PING), Entry("proc", "grandchild", UM_PING) } },
        { "to the child, main claims", &child, &main,
            { Entry("pre", "child", UM_PING), Entry("pre", "main", UM_PING) } },
        { "to the grandchild, child claims", &grandchild, &child,
            { Entry("pre", "grandchild", UM_PING), Entry("pre", "child", UM_PING) } },
        { "to the child, child claims", &child, &child, { Entry("pre", "child", UM_PING) } },
        { "to the main window", &main, nullptr,
            { Entry("pre", "main", UM_PING), Entry("proc", "main", UM_PING) } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        main.claim = child.claim = grandchild.claim = 0;
        if (c.claimer)
            c.claimer->claim = UM_PING;
        ASSERT_TRUE(PostMessageA(c.target->m_hWnd, UM_PING, 1, 2));
        // Nothing runs at post time: the pump delivers.
        EXPECT_TRUE(log.empty());
        AfxPumpPendingMessages();
        EXPECT_EQ(log, c.expected);
    }
}

TEST_F(MessageQueueTest, ObserverSeesPayloadsInPostingOrderAndDoorbellDelivers)
{
    std::vector<MSG> seen;
    AfxSetDispatchObserver([&](const MSG& m) {
        if (m.message >= WM_USER)
            seen.push_back(m);
    });
    ASSERT_TRUE(child.PostMessage(UM_PING, 7, -8));
    ASSERT_TRUE(PostMessageA(main.m_hWnd, UM_PONG, 9, 10));
    ASSERT_TRUE(grandchild.PostMessage(UM_PING, 11, 12));
    // No explicit pump: the toolkit's loop must drain the queue on its own.
    ASSERT_TRUE(PumpUntil([&] { return seen.size() >= 3; }, 3s));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].hwnd, child.m_hWnd);
    EXPECT_EQ(seen[0].message, UM_PING);
    EXPECT_EQ(seen[0].wParam, 7u);
    EXPECT_EQ(seen[0].lParam, -8);
    EXPECT_EQ(seen[1].hwnd, main.m_hWnd);
    EXPECT_EQ(seen[1].message, UM_PONG);
    EXPECT_EQ(seen[2].hwnd, grandchild.m_hWnd);
    EXPECT_EQ(seen[2].lParam, 12);
    EXPECT_EQ(log.back(), Entry("proc", "grandchild", UM_PING));
}

TEST_F(MessageQueueTest, StaleHandleIsNoWindow)
{
    std::vector<std::string> ownLog;
    auto* doomed = new RecordingWnd("doomed", ownLog);
    ASSERT_TRUE(doomed->Create(nullptr, "doomed", WS_CHILD, CRect(0, 0, 10, 10), &main, 5));
    const HWND stale = doomed->m_hWnd;
    // Queued before the window goes: dropped at delivery, not crashed on.
    ASSERT_TRUE(PostMessageA(stale, UM_PING));
    doomed->DestroyWindow();
    delete doomed;

    EXPECT_FALSE(PostMessageA(stale, UM_PING));
    EXPECT_EQ(SendMessageA(stale, UM_PING), 0);
    EXPECT_EQ(CWnd::FromHandle(stale), nullptr);
    AfxPumpPendingMessages();
    EXPECT_TRUE(ownLog.empty());

    // A new window may reuse the slot; the old handle still names nothing.
    RecordingWnd successor("successor", ownLog);
    ASSERT_TRUE(successor.Create(nullptr, "successor", WS_CHILD, CRect(0, 0, 10, 10), &main, 6));
    EXPECT_NE(successor.m_hWnd, stale);
    EXPECT_FALSE(PostMessageA(stale, UM_PING));
    EXPECT_EQ(CWnd::FromHandle(stale), nullptr);
    AfxPumpPendingMessages();
    EXPECT_TRUE(ownLog.empty());
    EXPECT_FALSE(PostMessageA(HWND(), UM_PING));
}

TEST_F(MessageQueueTest, HandlerDestroyingTheTargetEndsTheChainQuietly)
{
    // The child's procedure destroys the grandchild; a message to the
    // grandchild already queued behind it must simply vanish.
    child.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == UM_PING)
            grandchild.DestroyWindow();
    };
    ASSERT_TRUE(child.PostMessage(UM_PING));
    ASSERT_TRUE(grandchild.PostMessage(UM_PONG));
    AfxPumpPendingMessages();
    const std::vector<std::string> expected
        = { Entry("pre", "child", UM_PING), Entry("pre", "main", UM_PING), Entry("proc", "child", UM_PING) };
    EXPECT_EQ(log, expected);
}

TEST_F(MessageQueueTest, PeekMessageFindsTheFirstMatchAndLeavesItQueued)
{
    ASSERT_TRUE(child.PostMessage(UM_PING, 1, 0));
    ASSERT_TRUE(main.PostMessage(UM_PONG, 2, 0));
    ASSERT_TRUE(main.PostMessage(UM_PING, 3, 0));
    struct Case {
        const char* what;
        HWND window;
        UINT first;
        UINT last;
        WPARAM found; // 0: nothing matches
    };
    const Case cases[] = {
        { "any window, any number", HWND(), 0, 0, 1 },
        { "any window, one number", HWND(), UM_PONG, UM_PONG, 2 },
        { "one window, one number", main.m_hWnd, UM_PING, UM_PING, 3 },
        { "one window, a range", main.m_hWnd, UM_PING, UM_PONG, 2 },
        { "one window, any number", child.m_hWnd, 0, 0, 1 },
        { "no such message", grandchild.m_hWnd, 0, 0, 0 },
        { "outside the range", HWND(), UM_OPEN_BOX, UM_OPEN_BOX + 5, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MSG msg;
        msg.wParam = 0;
        EXPECT_EQ(PeekMessage(&msg, c.window, c.first, c.last, PM_NOREMOVE) != FALSE, c.found != 0);
        EXPECT_EQ(msg.wParam, c.found);
    }
    // Looking took nothing: all three are delivered, in posting order.
    AfxPumpPendingMessages();
    const std::vector<std::string> expected
        = { Entry("proc", "child", UM_PING), Entry("proc", "main", UM_PONG), Entry("proc", "main", UM_PING) };
    std::vector<std::string> delivered;
    for (const std::string& entry : log) {
        if (entry.rfind("proc ", 0) == 0)
            delivered.push_back(entry);
    }
    EXPECT_EQ(delivered, expected);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, HWND(), 0, 0, PM_NOREMOVE));
}

// An object that knows how many of its kind live.
struct Counted : CObject {
    explicit Counted(int v)
        : value(v)
    {
        ++alive;
    }
    ~Counted() override { --alive; }
    int value;
    static inline int alive = 0;
};

TEST_F(MessageQueueTest, AnAttachmentHasOneOwnerAndIsFreedWhereverItsMessageEnds)
{
    std::vector<int> taken;
    auto take = [&](MSG* msg) {
        if (std::unique_ptr<CObject> owned = AfxTakeMessageAttachment(msg))
            taken.push_back(static_cast<Counted*>(owned.get())->value);
    };
    // The child takes what comes to it; a copy of the message carries
    // nothing, and what is taken is gone for the rest of the chain.
    child.onPreTranslate = [&](MSG* msg) {
        MSG copy = *msg;
        EXPECT_EQ(AfxTakeMessageAttachment(&copy), nullptr);
        take(msg);
        EXPECT_EQ(AfxTakeMessageAttachment(msg), nullptr);
    };
    main.onPreTranslate = take;
    ASSERT_TRUE(PostMessageWithAttachment(child.m_hWnd, UM_PING, 1, 2, std::make_unique<Counted>(7)));
    EXPECT_EQ(Counted::alive, 1);
    AfxPumpPendingMessages();
    EXPECT_EQ(taken, std::vector<int> { 7 });
    EXPECT_EQ(Counted::alive, 0);

    // Nobody along the grandchild's chain takes it: freed once offered.
    main.onPreTranslate = nullptr;
    log.clear();
    ASSERT_TRUE(PostMessageWithAttachment(grandchild.m_hWnd, UM_PING, 0, 0, std::make_unique<Counted>(8)));
    AfxPumpPendingMessages();
    EXPECT_EQ(log.back(), Entry("proc", "grandchild", UM_PING));
    EXPECT_EQ(Counted::alive, 0);

    // A post that fails frees it at once; so does the pump when the window
    // went before its message was taken.
    EXPECT_FALSE(PostMessageWithAttachment(HWND(), UM_PING, 0, 0, std::make_unique<Counted>(9)));
    EXPECT_EQ(Counted::alive, 0);
    std::vector<std::string> doomedLog;
    auto doomed = std::make_unique<RecordingWnd>("doomed", doomedLog);
    ASSERT_TRUE(doomed->Create(nullptr, "doomed", WS_CHILD, CRect(0, 0, 10, 10), &child, 5));
    doomed->onPreTranslate = take;
    ASSERT_TRUE(PostMessageWithAttachment(doomed->m_hWnd, UM_PING, 0, 0, std::make_unique<Counted>(10)));
    doomed->DestroyWindow();
    doomed.reset();
    EXPECT_EQ(Counted::alive, 1);
    AfxPumpPendingMessages();
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_TRUE(doomedLog.empty());

    // A handler whose message opens a nested loop still takes its own
    // attachment afterwards, not the one of a message handled inside.
    taken.clear();
    child.onPreTranslate = [&](MSG* msg) {
        if (msg->message == UM_OPEN_BOX) {
            ASSERT_TRUE(
                PostMessageWithAttachment(child.m_hWnd, UM_PING, 0, 0, std::make_unique<Counted>(11)));
            AfxPumpPendingMessages();
        }
        take(msg);
    };
    ASSERT_TRUE(PostMessageWithAttachment(child.m_hWnd, UM_OPEN_BOX, 0, 0, std::make_unique<Counted>(12)));
    AfxPumpPendingMessages();
    EXPECT_EQ(taken, (std::vector<int> { 11, 12 }));
    EXPECT_EQ(Counted::alive, 0);
}

TEST(MessageQueueThreads, TenThreadsArriveCompleteAndInPerThreadOrder)
{
    constexpr int kThreads = 10;
    constexpr int kPerThread = 10000;
    std::vector<std::string> unused;
    RecordingWnd target("target", unused);
    ASSERT_TRUE(target.Create(nullptr, "target", WS_OVERLAPPEDWINDOW, CRect(0, 0, 10, 10), nullptr, 0));
    std::vector<std::vector<LPARAM>> received(kThreads);
    std::size_t total = 0;
    bool foreign = false;
    target.onMessage = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != UM_PING)
            return;
        if (wParam >= kThreads) {
            foreign = true;
            return;
        }
        received[wParam].push_back(lParam);
        ++total;
    };

    std::atomic<int> failedPosts { 0 };
    std::vector<std::thread> posters;
    const HWND h = target.m_hWnd;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([h, t, &failedPosts] {
            for (int i = 0; i < kPerThread; ++i) {
                if (!PostMessageA(h, UM_PING, static_cast<WPARAM>(t), i))
                    ++failedPosts;
            }
        });
    }
    // The GUI thread pumps while the posters run.
    const bool complete = PumpUntil([&] { return total >= std::size_t { kThreads } * kPerThread; }, 10s);
    for (auto& p : posters)
        p.join();
    AfxPumpPendingMessages();

    EXPECT_TRUE(complete);
    EXPECT_EQ(failedPosts.load(), 0);
    EXPECT_FALSE(foreign);
    EXPECT_EQ(total, std::size_t { kThreads } * kPerThread);
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE(t);
        ASSERT_EQ(received[t].size(), std::size_t { kPerThread });
        bool inOrder = true;
        for (int i = 0; i < kPerThread; ++i)
            inOrder = inOrder && received[t][i] == i;
        EXPECT_TRUE(inOrder);
    }
    target.DestroyWindow();
}

TEST_F(MessageQueueTest, MessagesQueuedBehindAModalBoxAreDeliveredWhileItIsOpen)
{
    // The child's procedure opens a box for UM_OPEN_BOX; the box's loop is a
    // nested loop of the toolkit that must keep pumping: the UM_PONG queued
    // behind it and one posted by a worker while it is open both arrive
    // before it closes.
    bool pongInsideBox = false;
    int pongs = 0;
    child.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == UM_PONG)
            ++pongs;
    };
    std::thread worker;
    AfxSetMessageBoxHook([&](HWND, const CString&, const CString&, UINT) {
        const HWND h = child.m_hWnd;
        worker = std::thread([h] {
            std::this_thread::sleep_for(20ms);
            PostMessageA(h, UM_PONG, 2, 0);
        });
        pongInsideBox = PumpUntil([&] { return pongs == 2; }, 3s);
        return IDOK;
    });
    main.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == UM_OPEN_BOX)
            main.MessageBox("question");
    };
    ASSERT_TRUE(main.PostMessage(UM_OPEN_BOX));
    ASSERT_TRUE(child.PostMessage(UM_PONG, 1, 0));
    {
        TestDeadline deadline(5s, "nested loop of the hooked box");
        ASSERT_TRUE(PumpUntil([&] { return worker.joinable(); }, 3s));
        worker.join();
    }
    EXPECT_TRUE(pongInsideBox);
    EXPECT_EQ(pongs, 2);
}

TEST_F(MessageQueueTest, RealMessageBoxKeepsPumping)
{
    // The toolkit's own box, closed by a timer once the message arrived (or
    // after a limit, which then fails the test).
    bool delivered = false;
    bool deliveredWhileOpen = false;
    child.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == UM_PING) {
            delivered = true;
            deliveredWhileOpen = QApplication::activeModalWidget() != nullptr;
        }
    };
    QTimer closer;
    int waited = 0;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        if (delivered || ++waited > 1000)
            box->close();
    });
    closer.start(2);
    std::thread worker([h = child.m_hWnd] {
        std::this_thread::sleep_for(30ms);
        PostMessageA(h, UM_PING);
    });
    int answer = 0;
    {
        TestDeadline deadline(8s, "real message box");
        answer = main.MessageBox("box", "caption", MB_OK);
    }
    worker.join();
    EXPECT_EQ(answer, IDOK);
    EXPECT_TRUE(delivered);
    EXPECT_TRUE(deliveredWhileOpen);
}

} // namespace
