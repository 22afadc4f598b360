#include <gtest/gtest.h>

#include "library/row_drag.h"

namespace {

TEST(RowDrag, WhatADropDoes) {
    struct Case {
        ListId source;
        bool overList;
        ListId target;
        int row;
        RowDrop want;
    } cases[] = {
        {kListFiles, true, kListFiles, 2, RowDrop::Move},
        {kListFiles, true, kListFiles, -1, RowDrop::None},  // below the last row: no target row
        {kListPlaylist, true, kListPlaylist, 0, RowDrop::Move},
        {kListInsert, true, kListInsert, 1, RowDrop::Move},
        {kListInsert, true, kListFiles, 0, RowDrop::Insert},
        {kListInsert, true, kListPlaylist, -1, RowDrop::Insert},  // at the end
        {kListFiles, true, kListPlaylist, 3, RowDrop::Insert},
        {kListPlaylist, true, kListFiles, 0, RowDrop::None},
        {kListFiles, true, kListInsert, 0, RowDrop::None},
        {kListInsert, false, kListFiles, 0, RowDrop::None},  // outside every list
    };
    for (const Case& c : cases)
        EXPECT_EQ(RowDropAction(c.source, c.overList, c.target, c.row), c.want)
            << c.source << "->" << c.target << " row " << c.row;
}

}  // namespace
