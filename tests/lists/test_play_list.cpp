#include <gtest/gtest.h>

#include "lists/play_list.h"

using lists::PlayList;

TEST(PlayList, InsertAfterSelectionAndRemoveKeepSelectionInside) {
    PlayList list;
    list.insertAfterSelection("a");  // nothing selected: front
    EXPECT_EQ(list.selected(), 0);
    list.insertAfterSelection("b");
    list.select(0);
    list.insertAfterSelection("c");
    EXPECT_EQ(list.items(), QStringList({"a", "c", "b"}));
    EXPECT_EQ(list.selected(), 1);

    list.select(2);
    list.removeAt(2);
    EXPECT_EQ(list.selected(), 1);  // was beyond the end: now the last
    list.removeAt(7);               // out of range: nothing happens
    EXPECT_EQ(list.count(), 2);

    list.select(5);
    EXPECT_EQ(list.selected(), -1);
    list.setItems({"x"}, 3);
    EXPECT_EQ(list.selected(), -1);
    EXPECT_EQ(list.item(4), QString());
    list.clear();
    EXPECT_TRUE(list.isEmpty());
}
