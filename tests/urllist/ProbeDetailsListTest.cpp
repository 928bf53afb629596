// Probe details in the list: a real check run against a local server leaves
// each row's details with the row; they follow it through the clean-ups, an
// import replaces them, and the validity cell shows them as its tip and as
// its description for assistive technology, read here through the
// toolkit's own model.
#include <QAbstractItemModel>
#include <QApplication>
#include <QTest>

#include "ListFixture.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "framework/controls/private/ListWidget.h"
#include "framework/window/private/WindowBacking.h"
#include "res/ResourceIds.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/LocalTcpServer.h"

namespace {

class ProbeDetailsListTest : public ListFixture {
protected:
    // The cell's text for `role` as the toolkit asks for it; empty for none.
    std::string Role(int row, int column, Qt::ItemDataRole role)
    {
        AfxPumpPendingMessages();
        AfxRunIdleHandlers();
        auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_view));
        EXPECT_NE(widget, nullptr);
        if (!widget)
            return {};
        const QAbstractItemModel* model = widget->model();
        const QVariant value = model->data(model->index(row, column), role);
        EXPECT_EQ(value.isValid(), !value.toString().isEmpty());
        return value.toString().toStdString();
    }
    std::string Tip(int row)
    {
        const std::string tip = Role(row, COL_VALIDITY, Qt::ToolTipRole);
        EXPECT_EQ(Role(row, COL_VALIDITY, Qt::AccessibleDescriptionRole), tip) << "row " << row;
        for (int column : { COL_LINE, COL_URL }) {
            EXPECT_EQ(Role(row, column, Qt::ToolTipRole), "") << "row " << row << " column " << column;
            EXPECT_EQ(Role(row, column, Qt::AccessibleDescriptionRole), "");
        }
        return tip;
    }
};

TEST_F(ProbeDetailsListTest, DetailsFollowTheirRowAndShowAsTheValidityCellsTip)
{
    LocalHttpServer server;
    server.Get("/ok", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html>fine</html>\n", "text/html");
    });
    server.Get("/gone", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("gone\n", "text/html");
    });
    ASSERT_TRUE(server.Start());
    const int closed = ClosedLoopbackPort();
    ASSERT_GT(closed, 0);
    const std::string refused = "http://127.0.0.1:" + std::to_string(closed) + "/";
    const std::string file = server.Url("/ok") + "\r\n" + server.Url("/gone") + "\r\n" + server.Url("/ok")
        + "\r\n" + refused + "\r\n";
    ASSERT_EQ(Import(file), 4);
    CheckAll();
    ASSERT_EQ(Cell(1, COL_VALIDITY), Gbk("超时!"));

    // What each row's probe found, one fact a line.
    const auto startsWith = [](const std::string& text, const std::string& head) {
        return text.compare(0, head.size(), head) == 0;
    };
    const std::string ok = Tip(0);
    EXPECT_TRUE(startsWith(ok, "页面正常\nHTTP 状态：200\n耗时：")) << ok;
    EXPECT_NE(ok.find("毫秒，读取 18 字节"), std::string::npos) << ok;
    const std::string gone = Tip(1);
    EXPECT_TRUE(startsWith(gone, "HTTP 404 Not Found\n耗时：")) << gone;
    EXPECT_NE(gone.find("毫秒，读取 5 字节"), std::string::npos) << gone;
    EXPECT_TRUE(startsWith(Tip(3), "连接被拒绝\n耗时：")) << Tip(3);

    // Removing the duplicate moves the refused row up; its details go along.
    RunOnView(UM_PURGE_DUPLICATES, 0, UM_PURGE_DUPLICATES);
    ASSERT_EQ(List().GetItemCount(), 3);
    ASSERT_EQ(Cell(2, COL_URL), refused);
    EXPECT_TRUE(startsWith(Tip(2), "连接被拒绝\n")) << Tip(2);
    EXPECT_EQ(Tip(0), ok);

    // Removing the invalid rows leaves the valid one with its own.
    RunOnView(UM_PURGE_INVALID_RUN, 0, UM_PURGE_INVALID_RESULT);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(Tip(0), ok);

    // Checking a row again makes its details go: they told of the last probe.
    auto* widget = dynamic_cast<ListWidget*>(WidgetOf(m_view));
    ASSERT_NE(widget, nullptr);
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    m_view->SendMessage(WM_COMMAND, ID_RECHECK_ROWS, 0);
    EXPECT_EQ(Cell(0, COL_VALIDITY), "");
    EXPECT_EQ(Tip(0), "");

    // An import replaces the list, and the details with it.
    ASSERT_EQ(Import(file), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Tip(row), "") << "row " << row;
        ProbeDetails details;
        EXPECT_FALSE(m_view->GetProbeDetails(row, details)) << "row " << row;
    }
}

} // namespace
