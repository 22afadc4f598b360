// Dragging list rows with the mouse: what a drop does, portable.
#pragma once
#include <cstdint>

#include "library/library_ops.h"

enum class RowDrop : uint8_t {
    None,    // nothing happens
    Move,    // the selected rows move to the drop row of their own list
    Insert,  // their files are inserted into the target list at the drop row (the end: -1)
};

// Rows dragged from `source` and dropped on list `target` (overList false: somewhere else) at
// dropRow (-1: below the last row). Within a list the rows move to the row they are dropped
// on; from the Insert view, or from the file list into the play list, copies of their files
// go into the target; nothing goes into the Insert view from outside.
RowDrop RowDropAction(ListId source, bool overList, ListId target, int dropRow);
