// The owner-data list view of the File view: columns and headers from the model, cell texts on
// demand, the current track's colours drawn through custom draw.
#include "library/list_view_win.h"

#include <algorithm>
#include <cwchar>

#include "base/command_ids.h"

namespace {

int RowCount(const ListViewWin& v) {
    return static_cast<int>(v.list->rows.size());
}

void SyncColumns(ListViewWin& v) {
    const int want = ColumnCount(*v.s);
    while (v.columns < want) {
        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        col.fmt = v.columns == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;  // sizes and lengths line up right
        col.cx = 80;
        col.pszText = const_cast<wchar_t*>(L"");
        col.iSubItem = v.columns;
        SendMessageW(v.hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(v.columns),
                     reinterpret_cast<LPARAM>(&col));
        ++v.columns;
    }
    while (v.columns > want)
        SendMessageW(v.hwnd, LVM_DELETECOLUMN, static_cast<WPARAM>(--v.columns), 0);
}

// The columns the settings ask for, inserted with their widths and header texts at once: set
// one by one after an insert, each width and text made the header lay itself out again.
void InsertColumns(ListViewWin& v) {
    int widths[kListColumns];
    ColumnWidths(*v.list, *v.s, widths);
    std::wstring texts[kListColumns];
    static const LangState builtIn;
    ListHeaders(*v.list, *v.s, v.lang ? *v.lang : builtIn, texts);
    const int want = ColumnCount(*v.s);
    for (; v.columns < want; ++v.columns) {
        const int c = v.columns;
        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        col.fmt = c == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = widths[c] >= 0 ? widths[c] : 80;
        col.pszText = texts[c].data();
        col.iSubItem = c;
        SendMessageW(v.hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c),
                     reinterpret_cast<LPARAM>(&col));
        // A negative width is one of the control's own sizing requests, which only the width
        // message understands.
        if (widths[c] < 0)
            SendMessageW(v.hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c),
                         MAKELPARAM(widths[c], 0));
    }
}

void RowsChanged(void* ctx) {
    auto& v = *static_cast<ListViewWin*>(ctx);
    v.pushing = true;  // a new count may clear the control's selection: the model keeps its own
    SendMessageW(v.hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(RowCount(v)), 0);
    ListViewPushSelection(v);
    InvalidateRect(v.hwnd, nullptr, FALSE);
}

void RowChanged(void* ctx, int row) {
    auto& v = *static_cast<ListViewWin*>(ctx);
    SendMessageW(v.hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

void EnsureVisible(void* ctx, int row, bool middle) {
    auto& v = *static_cast<ListViewWin*>(ctx);
    if (row < 0 || row >= RowCount(v)) return;
    SendMessageW(v.hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    if (!middle) return;
    const int top = static_cast<int>(SendMessageW(v.hwnd, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageW(v.hwnd, LVM_GETCOUNTPERPAGE, 0, 0));
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (!SendMessageW(v.hwnd, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(&r)))
        return;
    const int rowsOff = row - top - page / 2;
    SendMessageW(v.hwnd, LVM_SCROLL, 0, static_cast<LPARAM>(rowsOff * (r.bottom - r.top)));
}

void HeadersChanged(void* ctx) {
    auto& v = *static_cast<ListViewWin*>(ctx);
    SyncColumns(v);
    std::wstring texts[kListColumns];
    static const LangState builtIn;
    ListHeaders(*v.list, *v.s, v.lang ? *v.lang : builtIn, texts);
    for (int c = 0; c < v.columns; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT;
        col.pszText = texts[c].data();
        SendMessageW(v.hwnd, LVM_SETCOLUMNW, static_cast<WPARAM>(c),
                     reinterpret_cast<LPARAM>(&col));
    }
}

bool ReadWidths(void* ctx, int widths[kListColumns]) {
    auto& v = *static_cast<ListViewWin*>(ctx);
    if (v.columns == 0) return false;
    for (int c = 0; c < kListColumns; ++c)
        widths[c] = c < v.columns ? static_cast<int>(SendMessageW(v.hwnd, LVM_GETCOLUMNWIDTH,
                                                                  static_cast<WPARAM>(c), 0))
                                  : 0;
    return true;
}

void ApplyWidths(void* ctx, const int widths[kListColumns]) {
    auto& v = *static_cast<ListViewWin*>(ctx);
    SyncColumns(v);
    for (int c = 0; c < v.columns; ++c)
        SendMessageW(v.hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), MAKELPARAM(widths[c], 0));
}

void CellText(ListViewWin& v, LVITEMW& item) {
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    item.pszText[0] = 0;
    if (item.iItem < 0 || item.iItem >= RowCount(v) || item.iSubItem < 0 ||
        item.iSubItem >= kListColumns)
        return;
    const std::wstring& text = v.list->rows[static_cast<size_t>(item.iItem)].cell[item.iSubItem];
    const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::wmemcpy(item.pszText, text.data(), n);
    item.pszText[n] = 0;
}

// A row's month icon, when the list shows them.
void CellImage(ListViewWin& v, LVITEMW& item) {
    if (!(item.mask & LVIF_IMAGE)) return;
    item.iImage = I_IMAGENONE;
    if (item.iItem < 0 || item.iItem >= RowCount(v) || item.iSubItem != 0) return;
    const int icon = v.list->rows[static_cast<size_t>(item.iItem)].icon;
    if (icon >= 0 && icon < 12) item.iImage = icon;
}

// The twelve month icons from the program's resources (none in a program without them).
HIMAGELIST MonthIcons(HINSTANCE instance) {
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(instance, L"MONTHS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip) return nullptr;
    HIMAGELIST icons = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 12, 0);
    if (icons) ImageList_AddMasked(icons, strip, RGB(255, 0, 255));
    DeleteObject(strip);
    return icons;
}

LRESULT CustomDraw(ListViewWin& v, NMLVCUSTOMDRAW& cd) {
    if (cd.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const int row = static_cast<int>(cd.nmcd.dwItemSpec);
    if (row != v.list->currentRow) return CDRF_DODEFAULT;
    const RowColours c = RowColoursOf(*v.list, row, *v.s);
    cd.clrText = static_cast<COLORREF>(c.text);
    if (c.customBack) cd.clrTextBk = static_cast<COLORREF>(c.back);
    return CDRF_NEWFONT;
}

// Type-ahead: the next row from the start row whose name begins with the typed text.
int FindItem(ListViewWin& v, const NMLVFINDITEMW& f) {
    if (!(f.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !f.lvfi.psz) return -1;
    const std::wstring_view typed = f.lvfi.psz;
    const int n = RowCount(v);
    for (int k = 0; k < n; ++k) {
        const int i = (std::max(0, f.iStart) + k) % n;
        const std::wstring& name = v.list->rows[static_cast<size_t>(i)].cell[0];
        if (name.size() >= typed.size() &&
            SameTextNoCase(std::wstring_view(name).substr(0, typed.size()), typed))
            return i;
    }
    return -1;
}

void SelectRow(ListViewWin& v, int row) {
    if (RowCount(v) == 0) return;
    SelectOnly(*v.list, row);
}

// A state change the control reports goes into the model. For one row the new state is the
// row's whole state (the old state the control reports is not always right); for every row
// (-1) only a change of the selection bit counts; a range reports a selection change.
void ItemStateChanged(ListViewWin& v, int row, UINT oldState, UINT newState) {
    if (v.pushing) return;  // the echo of the model's own push
    const int n = RowCount(v);
    if (row < 0) {
        if ((oldState ^ newState) & LVIS_SELECTED)
            for (ListRow& r : v.list->rows) r.selected = (newState & LVIS_SELECTED) != 0;
        return;
    }
    if (row >= n) return;
    v.list->rows[static_cast<size_t>(row)].selected = (newState & LVIS_SELECTED) != 0;
    if (newState & LVIS_FOCUSED)
        v.list->focusedRow = row;
    else if (v.list->focusedRow == row)
        v.list->focusedRow = -1;
}

void RangeStateChanged(ListViewWin& v, int from, int to, UINT newState) {
    if (v.pushing) return;
    const int last = std::min(to, RowCount(v) - 1);
    for (int i = std::max(from, 0); i <= last; ++i)
        v.list->rows[static_cast<size_t>(i)].selected = (newState & LVIS_SELECTED) != 0;
}

}  // namespace

HWND ListViewCreateWin(ListViewWin& v, HWND parent, HINSTANCE instance, int id) {
    v.hwnd = CreateWindowExW(
        0, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
        100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!v.hwnd) return nullptr;
    const uint32_t lstyle = static_cast<uint32_t>(v.s->list_style);
    // In-place renaming, unless the settings turn it off or lock the file tools.
    if (!(lstyle & ListStyle::NoLabelEdit) &&
        !(static_cast<uint32_t>(v.s->control_lock) & ControlLock::FileTools))
        SetWindowLongPtrW(v.hwnd, GWL_STYLE, GetWindowLongPtrW(v.hwnd, GWL_STYLE) | LVS_EDITLABELS);
    DWORD ex = LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;
    if (lstyle & ListStyle::FullRowSelect) ex |= LVS_EX_FULLROWSELECT;
    if (lstyle & ListStyle::Gridlines) ex |= LVS_EX_GRIDLINES;
    SendMessageW(v.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    ListViewApplyColours(v);
    // Month icons take room in the first column only when the list style shows them.
    if (lstyle & ListStyle::MonthColors) {
        if (HIMAGELIST icons = MonthIcons(instance))
            SendMessageW(v.hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
    }
    InsertColumns(v);
    return v.hwnd;
}

ListViewOps ListViewOpsOf(ListViewWin& v) {
    return ListViewOps{RowsChanged, RowChanged, EnsureVisible, HeadersChanged, ReadWidths,
                       ApplyWidths, &v};
}

void ListViewPushSelection(ListViewWin& v) {
    v.pushing = true;
    LVITEMW it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = 0;
    SendMessageW(v.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
    for (int i = 0; i < RowCount(v); ++i) {
        const bool sel = v.list->rows[static_cast<size_t>(i)].selected;
        if (!sel && i != v.list->focusedRow) continue;
        it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        it.state = (sel ? LVIS_SELECTED : 0u) | (i == v.list->focusedRow ? LVIS_FOCUSED : 0u);
        SendMessageW(v.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&it));
    }
    if (v.list->focusedRow >= 0 && v.list->focusedRow < RowCount(v))
        SendMessageW(v.hwnd, LVM_SETSELECTIONMARK, 0, v.list->focusedRow);
    v.pushing = false;
}

void ListViewApplyColours(ListViewWin& v) {
    SendMessageW(v.hwnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(v.s->color_back));
    SendMessageW(v.hwnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(v.s->color_back));
    SendMessageW(v.hwnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(v.s->color_text));
}

bool ListViewNotify(ListViewWin& v, NMHDR* h, LRESULT& result) {
    switch (h->code) {
        case LVN_GETDISPINFOW:
            CellText(v, reinterpret_cast<NMLVDISPINFOW*>(h)->item);
            CellImage(v, reinterpret_cast<NMLVDISPINFOW*>(h)->item);
            result = 0;
            return true;
        case NM_CUSTOMDRAW:
            result = CustomDraw(v, *reinterpret_cast<NMLVCUSTOMDRAW*>(h));
            return true;
        case LVN_ODFINDITEMW:
            result = FindItem(v, *reinterpret_cast<NMLVFINDITEMW*>(h));
            return true;
        case LVN_ITEMCHANGED: {
            const auto& nm = *reinterpret_cast<NMLISTVIEW*>(h);
            if (nm.uChanged & LVIF_STATE) ItemStateChanged(v, nm.iItem, nm.uOldState, nm.uNewState);
            result = 0;
            return true;
        }
        case LVN_ODSTATECHANGED: {
            const auto& nm = *reinterpret_cast<NMLVODSTATECHANGE*>(h);
            RangeStateChanged(v, nm.iFrom, nm.iTo, nm.uNewState);
            result = 0;
            return true;
        }
    }
    return false;
}

bool ListViewKey(ListViewWin& v, unsigned command) {
    const int n = RowCount(v);
    const int at = v.list->focusedRow;
    const int page = std::max(1, static_cast<int>(SendMessageW(v.hwnd, LVM_GETCOUNTPERPAGE, 0, 0)));
    switch (command) {
        case kCmdKeyUp:
            SelectRow(v, at < 0 ? 0 : at - 1);
            return true;
        case kCmdKeyDown:
            SelectRow(v, at < 0 ? 0 : at + 1);
            return true;
        case kCmdPageUp:
            SelectRow(v, at - page);
            return true;
        case kCmdPageDown:
            SelectRow(v, at < 0 ? page : at + page);
            return true;
        case kCmdHome:
            SelectRow(v, 0);
            return true;
        case kCmdEnd:
            SelectRow(v, n - 1);
            return true;
    }
    return false;
}
