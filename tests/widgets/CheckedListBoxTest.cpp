#include "CheckedListBox.h"

#include <gtest/gtest.h>

namespace {

void Fill(CheckedListBox& list, int count) {
    for (int i = 0; i < count; ++i)
        list.Add(QStringLiteral("OBJ%1").arg(i));
}

} // namespace

TEST(CheckedListBox, EntriesAreAddedInsertedAndRemovedByIndex) {
    CheckedListBox list;
    Fill(list, 3);
    list.Insert(1, QStringLiteral("new"));
    list.Insert(4, QStringLiteral("last"));
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Item(0), QStringLiteral("OBJ0"));
    EXPECT_EQ(list.Item(1), QStringLiteral("new"));
    EXPECT_EQ(list.Item(4), QStringLiteral("last"));
    EXPECT_FALSE(list.GetItemChecked(1));

    list.SetItemChecked(2, true);
    list.RemoveAt(1);
    EXPECT_EQ(list.Item(1), QStringLiteral("OBJ1"));
    EXPECT_TRUE(list.GetItemChecked(1));
    list.SetItem(1, QStringLiteral("renamed"));
    EXPECT_EQ(list.Item(1), QStringLiteral("renamed"));

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(CheckedListBox, SelectionFollowsItsEntryAndIsLostWithIt) {
    CheckedListBox list;
    EXPECT_EQ(list.SelectedIndex(), -1);
    Fill(list, 4);
    EXPECT_EQ(list.SelectedIndex(), -1);

    list.SetSelectedIndex(2);
    EXPECT_EQ(list.SelectedIndex(), 2);
    list.Insert(0, QStringLiteral("front"));
    EXPECT_EQ(list.SelectedIndex(), 3);
    list.RemoveAt(0);
    EXPECT_EQ(list.SelectedIndex(), 2);

    // Removing the selected entry selects no neighbour in its place.
    list.RemoveAt(2);
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.SetSelectedIndex(2);
    list.RemoveAt(2);
    EXPECT_EQ(list.SelectedIndex(), -1);

    list.SetSelectedIndex(0);
    list.SetSelectedIndex(-1);
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(CheckedListBox, IndicesOutsideTheListChangeNothing) {
    CheckedListBox list;
    Fill(list, 2);
    list.SetItemChecked(0, true);
    list.SetSelectedIndex(1);

    for (int index : {-2, -1, 2, 100}) {
        list.RemoveAt(index);
        list.SetItem(index, QStringLiteral("x"));
        list.SetItemChecked(index, true);
        EXPECT_EQ(list.Item(index), QString());
        EXPECT_FALSE(list.GetItemChecked(index));
    }
    list.Insert(-1, QStringLiteral("x"));
    list.Insert(3, QStringLiteral("x"));
    list.SetSelectedIndex(5);
    list.SetSelectedIndex(-7);

    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0), QStringLiteral("OBJ0"));
    EXPECT_TRUE(list.GetItemChecked(0));
    EXPECT_FALSE(list.GetItemChecked(1));
    EXPECT_EQ(list.SelectedIndex(), 1);
}
