// The list control's rows against a plain model of them: random inserts,
// cell writes, deletions and clean-ups must leave exactly the cells and item
// data the model has, whatever way the list chose to store each text.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

#include "framework/doc/CListView.h"
#include "framework/window/MessageQueue.h"

namespace {

using Row = std::array<std::string, 3>;

struct ModelList {
    std::vector<Row> rows;
    std::vector<DWORD_PTR> data;
};

// Texts of every length the list treats differently: empty, a few bytes, a
// line number, a status text, a URL, one whose length takes two bytes to
// note, and texts that differ only in their last byte.
std::string RandomText(std::mt19937& random)
{
    static const char* const kFixed[] = { "", "OK", "9999999", "10000000", "\xd6\xb4\xd0\xd0\xd6\xd0",
        "\xb8\xf1\xca\xbd\xb2\xbb\xd5\xfd\xc8\xb7\xa3\xa1" };
    switch (random() % 6) {
    case 0:
        return kFixed[random() % std::size(kFixed)];
    case 1:
        return std::to_string(random() % 200000);
    case 2:
        return "mark " + std::to_string(random() % 40);
    case 3:
        return "http://www.site" + std::to_string(random() % 5000) + ".example.test/p";
    case 4:
        return std::string(100 + random() % 300, static_cast<char>('a' + random() % 26));
    default:
        return std::string(7 + random() % 2, 'x') + static_cast<char>('0' + random() % 10);
    }
}

void ExpectSame(const CListCtrl& list, const ModelList& model, int step)
{
    ASSERT_EQ(list.GetItemCount(), static_cast<int>(model.rows.size())) << "step " << step;
    for (std::size_t row = 0; row < model.rows.size(); ++row) {
        for (int col = 0; col < 3; ++col) {
            ASSERT_EQ(list.GetItemTextView(static_cast<int>(row), col),
                model.rows[row][static_cast<std::size_t>(col)])
                << "step " << step << ", row " << row << ", column " << col;
        }
        ASSERT_EQ(list.GetItemData(static_cast<int>(row)), model.data[row])
            << "step " << step << ", row " << row;
    }
}

} // namespace

TEST(ListCtrlRows, RandomEditsKeepExactlyTheCellsOfAPlainModel)
{
    CWnd parent;
    ASSERT_TRUE(parent.Create(nullptr, "rows", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, 0));
    auto* view = new CListView;
    ASSERT_TRUE(view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &parent, 1));
    CListCtrl& list = view->GetListCtrl();
    list.InsertColumn(0, "A");
    list.InsertColumn(1, "C");
    // A column added between others after rows exist starts empty there.
    list.InsertItem(0, "1");
    list.InsertColumn(1, "B");
    ModelList model { { { "1", "", "" } }, { 0 } };

    std::mt19937 random(12);
    for (int step = 0; step < 6000; ++step) {
        const int count = static_cast<int>(model.rows.size());
        const int row = count > 0 ? static_cast<int>(random() % static_cast<unsigned>(count)) : 0;
        const unsigned op = random() % 100;
        if (op < 35 || count == 0) {
            const int at
                = static_cast<int>(random() % static_cast<unsigned>(count + 2)); // past the end appends
            const std::string text = RandomText(random);
            ASSERT_EQ(list.InsertItem(at, text.c_str()), std::min(at, count));
            model.rows.insert(model.rows.begin() + std::min(at, count), Row { text, "", "" });
            model.data.insert(model.data.begin() + std::min(at, count), 0);
        } else if (op < 75) {
            const int col = static_cast<int>(random() % 3);
            // Half the writes copy another cell, the list's own text.
            const std::string text = random() % 2
                ? RandomText(random)
                : std::string(list.GetItemTextView(static_cast<int>(random() % static_cast<unsigned>(count)),
                    static_cast<int>(random() % 3)));
            ASSERT_TRUE(list.SetItemText(row, col, text.c_str()));
            model.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = text;
        } else if (op < 83) {
            // Small tags, the values either side of 2^31, and full 64-bit values.
            const DWORD_PTR kEdges[]
                = { 0x7fffffff, 0x80000000, random() % 1000, (DWORD_PTR { random() } << 32) | random() };
            const DWORD_PTR data = kEdges[random() % std::size(kEdges)];
            ASSERT_TRUE(list.SetItemData(row, data));
            model.data[static_cast<std::size_t>(row)] = data;
        } else if (op < 90) {
            ASSERT_TRUE(list.DeleteItem(row));
            model.rows.erase(model.rows.begin() + row);
            model.data.erase(model.data.begin() + row);
        } else if (op < 99) {
            std::vector<bool> remove(static_cast<std::size_t>(random() % static_cast<unsigned>(count + 3)));
            int expected = 0;
            for (std::size_t i = 0; i < remove.size(); ++i) {
                remove[i] = random() % 3 == 0;
                expected += remove[i] && i < model.rows.size() ? 1 : 0;
            }
            ASSERT_EQ(list.DeleteItems(remove), expected);
            for (std::size_t i = std::min(remove.size(), model.rows.size()); i-- > 0;) {
                if (remove[i]) {
                    model.rows.erase(model.rows.begin() + static_cast<std::ptrdiff_t>(i));
                    model.data.erase(model.data.begin() + static_cast<std::ptrdiff_t>(i));
                }
            }
        } else {
            ASSERT_TRUE(list.DeleteAllItems());
            model = {};
        }
        if (step % 25 == 0)
            ExpectSame(list, model, step);
    }
    ExpectSame(list, model, -1);

    // Long texts written over and over leave dead bytes behind; the list
    // sheds them and keeps every live text.
    while (list.GetItemCount() < 10) {
        list.InsertItem(0, "0");
        model.rows.insert(model.rows.begin(), Row { "0", "", "" });
        model.data.insert(model.data.begin(), 0);
    }
    const int rows = list.GetItemCount();
    for (int round = 0; round < 300; ++round) {
        for (int row = 0; row < 10; ++row) {
            const std::string text(1000, static_cast<char>('a' + (round + row) % 26));
            list.SetItemText(row, 1, text.c_str());
            model.rows[static_cast<std::size_t>(row)][1] = text;
        }
    }
    ExpectSame(list, model, -2);
    // Reads outside the list are empty, writes there fail.
    EXPECT_EQ(list.GetItemTextView(rows, 0), "");
    EXPECT_EQ(list.GetItemTextView(0, 3), "");
    EXPECT_FALSE(list.SetItemText(rows, 0, "x"));
    EXPECT_FALSE(list.SetItemText(-1, 0, "x"));

    parent.DestroyWindow();
    AfxPumpPendingMessages();
}
