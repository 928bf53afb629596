// The list as the user sees it in a shown window: moving through it from
// the keyboard (whole rows, the selection and its mark following the focused
// row or, with Shift, extending from the mark, the focused row kept in
// view), a line-number column wide enough for the numbers it shows, and the
// selected rows' URLs copied to the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTest>

#include <ostream>

#include "ListFixture.h"
#include "framework/controls/private/ListWidget.h"
#include "framework/window/private/WindowBacking.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kRows = 300;

// What the user sees after a key: the focused row and its column, the
// selected rows (first, last, how many) and the selection mark.
struct Seen {
    int focused;
    int column;
    int firstSelected;
    int lastSelected;
    int selectedCount;
    int mark;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s)
{
    return out << "focused " << s.focused << " column " << s.column << ", selected " << s.firstSelected
               << ".." << s.lastSelected << " (" << s.selectedCount << "), mark " << s.mark;
}

class ListWidgetTest : public ListFixture {
protected:
    void SetUp() override
    {
        ListFixture::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        m_frame->MoveWindow(0, 0, 1024, 700);
        m_frame->ShowWindow(SW_SHOW);
        m_list = dynamic_cast<ListWidget*>(WidgetOf(m_view));
        ASSERT_NE(m_list, nullptr);
    }
    void ShowRows(int count)
    {
        std::vector<std::pair<std::string, std::string>> rows;
        for (int row = 0; row < count; ++row)
            rows.emplace_back("http://example.test/" + std::to_string(row), "");
        FillRows(rows);
        CatchUp();
        ASSERT_EQ(m_list->model()->rowCount(), count);
    }
    void CatchUp()
    {
        AfxPumpPendingMessages();
        AfxRunIdleHandlers();
        QApplication::processEvents();
    }

    Seen Now()
    {
        QApplication::processEvents();
        const QModelIndex current = m_list->currentIndex();
        Seen seen { current.row(), current.column(), -1, -1, 0, List().GetSelectionMark() };
        for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) {
            seen.firstSelected
                = seen.firstSelected < 0 ? index.row() : std::min(seen.firstSelected, index.row());
            seen.lastSelected = std::max(seen.lastSelected, index.row());
            ++seen.selectedCount;
        }
        return seen;
    }
    bool FocusedRowShown()
    {
        const QRect row = m_list->visualRect(m_list->currentIndex());
        return row.isValid() && row.top() >= 0 && row.bottom() < m_list->viewport()->height();
    }

    ListWidget* m_list = nullptr;
};

TEST_F(ListWidgetTest, HomeEndAndPageKeysMoveByRowsAndShiftExtends)
{
    ShowRows(kRows);
    const QRect clicked = m_list->visualRect(m_list->model()->index(5, COL_URL));
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, clicked.center());
    ASSERT_EQ(Now(), (Seen { 5, COL_URL, 5, 5, 1, 5 }));

    // A page is the rows the list shows whole.
    const int page = m_list->viewport()->height() / m_list->verticalHeader()->defaultSectionSize();
    ASSERT_GT(page, 2);
    ASSERT_LT(2 * page, kRows);

    const int last = kRows - 1;
    const struct {
        const char* keys;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Seen expected;
    } steps[] = {
        { "End", Qt::Key_End, Qt::NoModifier, { last, COL_URL, last, last, 1, last } },
        { "Home", Qt::Key_Home, Qt::NoModifier, { 0, COL_URL, 0, 0, 1, 0 } },
        { "PageDown", Qt::Key_PageDown, Qt::NoModifier, { page, COL_URL, page, page, 1, page } },
        { "Shift+End", Qt::Key_End, Qt::ShiftModifier, { last, COL_URL, page, last, kRows - page, page } },
        { "Shift+Home", Qt::Key_Home, Qt::ShiftModifier, { 0, COL_URL, 0, page, page + 1, page } },
        { "PageDown", Qt::Key_PageDown, Qt::NoModifier, { page, COL_URL, page, page, 1, page } },
        { "PageDown", Qt::Key_PageDown, Qt::NoModifier,
            { 2 * page, COL_URL, 2 * page, 2 * page, 1, 2 * page } },
        { "Shift+PageUp", Qt::Key_PageUp, Qt::ShiftModifier,
            { page, COL_URL, page, 2 * page, page + 1, 2 * page } },
        // Ctrl moves the focus alone; the selection stays, the mark follows.
        { "Ctrl+End", Qt::Key_End, Qt::ControlModifier, { last, COL_URL, page, 2 * page, page + 1, last } },
        { "Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, { 0, COL_URL, page, 2 * page, page + 1, 0 } },
        { "Shift+End", Qt::Key_End, Qt::ShiftModifier, { last, COL_URL, 0, last, kRows, 0 } },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.keys);
        QTest::keyClick(m_list, step.key, step.modifiers);
        EXPECT_EQ(Now(), step.expected);
        EXPECT_TRUE(FocusedRowShown());
    }
}

TEST_F(ListWidgetTest, LineNumberColumnWidensOnlyWhenTheNumbersNeedIt)
{
    // The width the column gets for its heading when the view starts.
    const int start = List().GetColumnWidth(COL_LINE);
    ASSERT_EQ(start, m_list->horizontalHeader()->sectionSizeHint(COL_LINE));
    int previous = 0;
    for (const int rows : { 9, 99999, 1000000 }) {
        SCOPED_TRACE(rows);
        ASSERT_EQ(Import(std::string(static_cast<std::size_t>(rows), '\n')), rows);
        CatchUp();
        // With the largest numbers on screen, fitting the column to its
        // heading and visible cells gives the width the numbers need.
        m_list->scrollToBottom();
        const int width = List().GetColumnWidth(COL_LINE);
        EXPECT_EQ(width, m_list->FittingColumnWidth(COL_LINE));
        if (rows == 9)
            EXPECT_EQ(width, start);
        else
            EXPECT_GT(width, previous);
        previous = width;
    }
}

TEST_F(ListWidgetTest, CopyTakesTheSelectedRowsUrlsByKeyAndByMenu)
{
    ShowRows(10);
    auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
        const QRect cell = m_list->visualRect(m_list->model()->index(row, COL_VALIDITY));
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, modifiers, cell.center());
    };
    QClipboard* clipboard = QApplication::clipboard();
    auto urls = [](std::initializer_list<int> rows) {
        QString text;
        for (const int row : rows)
            text += (text.isEmpty() ? "" : "\n") + QString("http://example.test/%1").arg(row);
        return text;
    };

    // Whole rows are picked, one by one with Ctrl and as a run with
    // Ctrl+Shift; the mark stays where the run started.
    click(2, Qt::NoModifier);
    click(5, Qt::ControlModifier);
    click(7, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Now(), (Seen { 7, COL_VALIDITY, 2, 7, 4, 5 }));
    EXPECT_EQ(List().GetSelectedCount(), 4u);

    clipboard->setText("before");
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), urls({ 2, 5, 6, 7 }));

    // C alone copies nothing.
    clipboard->setText("before");
    QTest::keyClick(m_list, Qt::Key_C);
    EXPECT_EQ(clipboard->text(), "before");

    // The menu copies the same rows; its items keep the open command first.
    m_popupChoice = ID_COPY_URLS;
    NMHDR header { m_view->m_hWnd, static_cast<UINT_PTR>(m_view->GetDlgCtrlID()), NM_RCLICK };
    SendMessageA(m_frame->m_hWnd, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    ASSERT_TRUE(PumpUntil([&] { return clipboard->text() != "before"; }));
    EXPECT_EQ(clipboard->text(), urls({ 2, 5, 6, 7 }));
    ASSERT_EQ(m_popups.size(), 1u);
    std::vector<std::pair<UINT, std::string>> items;
    for (const MenuItemTemplate& item : m_popups[0].items)
        items.emplace_back(item.id, item.text.Bytes());
    EXPECT_EQ(items,
        (std::vector<std::pair<UINT, std::string>> { { ID_OPEN_URL, Gbk("打开网页") },
            { ID_RECHECK_ROWS, Gbk("重新检查") }, { ID_RECHECK_FAILED, Gbk("重新检查失败的网址") },
            { ID_COPY_URLS, Gbk("复制网址") } }));

    // Ctrl+A takes every row and leaves the focus and the mark alone.
    QTest::keyClick(m_list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Now(), (Seen { 7, COL_VALIDITY, 0, 9, 10, 5 }));
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), urls({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }));

    // Rows replaced under a selection take it with them, also before the
    // list has been redrawn: nothing is copied.
    clipboard->setText("before");
    FillRows({ { "http://example.test/new", "" } });
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "before");
    EXPECT_EQ(List().GetSelectedCount(), 0u);
}

} // namespace
