#include "library/row_drag.h"

RowDrop RowDropAction(ListId source, bool overList, ListId target, int dropRow) {
    if (!overList) return RowDrop::None;
    if (target == source) return dropRow >= 0 ? RowDrop::Move : RowDrop::None;
    if (target == kListInsert) return RowDrop::None;
    if (source == kListInsert || (source == kListFiles && target == kListPlaylist))
        return RowDrop::Insert;
    return RowDrop::None;
}
