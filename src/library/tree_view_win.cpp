// The tree view that shows the folder tree model. The model decides which items exist and in
// which order; this file only inserts, deletes, marks and selects the matching control items.
#include "library/tree_view_win.h"

#include <algorithm>

#include "base/command_ids.h"
#include "library/tree_icons_win.h"

namespace {

struct FillGuard {
    bool* flag;
    bool old;
    explicit FillGuard(bool* f) : flag(f), old(f ? *f : false) {
        if (flag) *flag = true;
    }
    ~FillGuard() {
        if (flag) *flag = old;
    }
};

HTREEITEM HandleOf(const TreeViewWin& v, TreeItem item) {
    if (item <= 0 || static_cast<size_t>(item) >= v.handles.size()) return nullptr;
    return v.handles[static_cast<size_t>(item)];
}

void Inserted(void* ctx, TreeItem item) {
    auto& v = *static_cast<TreeViewWin*>(ctx);
    const FolderTree& t = *v.tree;
    const TreeNode& n = t.nodes[static_cast<size_t>(item)];
    if (v.handles.size() < t.nodes.size()) v.handles.resize(t.nodes.size() + 64);
    const std::vector<TreeItem>& sib =
        n.parent ? t.nodes[static_cast<size_t>(n.parent)].children : t.top;
    auto at = std::find(sib.begin(), sib.end(), item);
    TVINSERTSTRUCTW ins{};
    ins.hParent = n.parent ? HandleOf(v, n.parent) : TVI_ROOT;
    ins.hInsertAfter = at == sib.begin() || at == sib.end() ? TVI_FIRST : HandleOf(v, *(at - 1));
    if (!ins.hInsertAfter) ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    ins.item.pszText = const_cast<wchar_t*>(n.text.c_str());
    ins.item.iImage = n.image;
    ins.item.iSelectedImage = n.selectedImage;
    ins.item.lParam = item;
    ins.item.stateMask = TVIS_BOLD;
    ins.item.state = n.bold ? TVIS_BOLD : 0;
    FillGuard guard(v.filling);
    v.handles[static_cast<size_t>(item)] = reinterpret_cast<HTREEITEM>(
        SendMessageW(v.hwnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

void Deleting(void* ctx, TreeItem item) {
    auto& v = *static_cast<TreeViewWin*>(ctx);
    HTREEITEM h = HandleOf(v, item);
    if (!h) return;
    FillGuard guard(v.filling);
    SendMessageW(v.hwnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(h));
    v.handles[static_cast<size_t>(item)] = nullptr;
}

void BoldChanged(void* ctx, TreeItem item) {
    auto& v = *static_cast<TreeViewWin*>(ctx);
    HTREEITEM h = HandleOf(v, item);
    if (!h) return;
    TVITEMW it{};
    it.mask = TVIF_STATE;
    it.hItem = h;
    it.stateMask = TVIS_BOLD;
    it.state = v.tree->nodes[static_cast<size_t>(item)].bold ? TVIS_BOLD : 0;
    SendMessageW(v.hwnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

void Selected(void* ctx, TreeItem item) {
    auto& v = *static_cast<TreeViewWin*>(ctx);
    HTREEITEM h = HandleOf(v, item);
    if (!h) return;
    // The control's selection change is what lists the folder (after the listing delay).
    SendMessageW(v.hwnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(h));
    SendMessageW(v.hwnd, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(h));
}

// The system's "Explorer" look, loaded at run time; without uxtheme nothing happens.
void ApplyExplorerTheme(HWND hwnd) {
    HMODULE ux = LoadLibraryW(L"uxtheme.dll");
    if (!ux) return;
    using SetThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    auto fn =
        reinterpret_cast<SetThemeFn>(reinterpret_cast<void*>(GetProcAddress(ux, "SetWindowTheme")));
    if (fn) fn(hwnd, L"Explorer", nullptr);
    // The library stays loaded: the control keeps using the theme.
}

HTREEITEM Next(HWND tv, UINT how, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tv, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
}

void Select(HWND tv, HTREEITEM h) {
    if (h) SendMessageW(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(h));
}

HTREEITEM Step(HWND tv, HTREEITEM from, UINT how, int count) {
    HTREEITEM at = from;
    for (int i = 0; i < count; ++i) {
        HTREEITEM n = Next(tv, how, at);
        if (!n) break;
        at = n;
    }
    return at;
}

}  // namespace

HWND TreeViewCreateWin(TreeViewWin& v, HWND parent, HINSTANCE instance, const Settings& s, int id) {
    const uint32_t style = static_cast<uint32_t>(s.stylez),
                   lstyle = static_cast<uint32_t>(s.list_style);
    DWORD ws = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_LINESATROOT |
               TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP;
    // The tips of cut-off item texts are a window of their own whose creation costs more than
    // the tree itself: it comes once the main window is visible (TreeViewAddTipsWin).
    ws |= TVS_NOTOOLTIPS;
    if (style & Style::TreeLines) ws |= TVS_HASLINES;
    if (!(lstyle & ListStyle::HorizontalTreeScroll)) ws |= TVS_NOHSCROLL;
    if (style & Style::ExplorerTree) ws |= TVS_FULLROWSELECT;
    v.hwnd = CreateWindowExW(0, WC_TREEVIEWW, L"", ws, 0, 0, 100, 100, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!v.hwnd) return nullptr;
    if ((style & Style::ExplorerTree) && static_cast<uint32_t>(s.color_back) < 0x800000 &&
        !(style & Style::DarkMode))
        ApplyExplorerTheme(v.hwnd);
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&vi);
#pragma GCC diagnostic pop
    if (vi.dwMajorVersion > 5)
        SendMessageW(v.hwnd, TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
    SendMessageW(v.hwnd, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(s.color_back));
    SendMessageW(v.hwnd, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(s.color_text));
    v.images = TreeIconsWin(GetSystemMetrics(SM_CXSMICON));
    SendMessageW(v.hwnd, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(v.images));
    return v.hwnd;
}

void TreeViewAddTipsWin(TreeViewWin& v) {
    if (!v.hwnd || SendMessageW(v.hwnd, TVM_GETTOOLTIPS, 0, 0)) return;
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, v.hwnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!tips) return;
    SetWindowLongPtrW(v.hwnd, GWL_STYLE,
                      GetWindowLongPtrW(v.hwnd, GWL_STYLE) & ~LONG_PTR{TVS_NOTOOLTIPS});
    SendMessageW(v.hwnd, TVM_SETTOOLTIPS, reinterpret_cast<WPARAM>(tips), 0);
}

void TreeViewDestroyWin(TreeViewWin& v) {
    if (v.hwnd) DestroyWindow(v.hwnd);
    if (v.images) ImageList_Destroy(v.images);
    v.hwnd = nullptr;
    v.images = nullptr;
    v.handles.clear();
}

TreeViewOps TreeViewOpsOf(TreeViewWin& v) {
    return TreeViewOps{Inserted, Deleting, BoldChanged, Selected, &v};
}

TreeItem TreeViewItemOf(const TreeViewWin& v, HTREEITEM h) {
    if (!h) return 0;
    TVITEMW it{};
    it.mask = TVIF_PARAM;
    it.hItem = h;
    if (!SendMessageW(v.hwnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return 0;
    return static_cast<TreeItem>(it.lParam);
}

void TreeViewExpanding(TreeViewWin& v, const NMTREEVIEWW& nm, const TreeEnv& env) {
    if (!(nm.action & TVE_EXPAND)) return;
    const TreeItem item = static_cast<TreeItem>(nm.itemNew.lParam);
    if (item <= 0 || static_cast<size_t>(item) >= v.tree->nodes.size()) return;
    HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    ExpandItem(*v.tree, item, env);
    SetCursor(old);
}

void TreeViewExpand(TreeViewWin& v, TreeItem item) {
    if (HTREEITEM h = HandleOf(v, item))
        SendMessageW(v.hwnd, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(h));
}

void TreeViewEnsureVisible(TreeViewWin& v, TreeItem item) {
    if (HTREEITEM h = HandleOf(v, item))
        SendMessageW(v.hwnd, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(h));
}

bool TreeViewKey(TreeViewWin& v, unsigned command) {
    HWND tv = v.hwnd;
    HTREEITEM sel = Next(tv, TVGN_CARET, nullptr);
    HTREEITEM root = Next(tv, TVGN_ROOT, nullptr);
    const int page = std::max(1, static_cast<int>(SendMessageW(tv, TVM_GETVISIBLECOUNT, 0, 0)) - 1);
    switch (command) {
        case kCmdKeyUp:
            Select(tv, sel ? Next(tv, TVGN_PREVIOUSVISIBLE, sel) : root);
            return true;
        case kCmdKeyDown:
            Select(tv, sel ? Next(tv, TVGN_NEXTVISIBLE, sel) : root);
            return true;
        case kCmdKeyLeft: {
            if (!sel) return true;
            const UINT state = static_cast<UINT>(
                SendMessageW(tv, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(sel), TVIS_EXPANDED));
            if (state & TVIS_EXPANDED) {
                SendMessageW(tv, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(sel));
            } else {
                HTREEITEM parent = Next(tv, TVGN_PARENT, sel);
                Select(tv, parent ? parent : root);
            }
            return true;
        }
        case kCmdKeyRight:
            if (sel) SendMessageW(tv, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(sel));
            return true;
        case kCmdPageUp:
            Select(tv, sel ? Step(tv, sel, TVGN_PREVIOUSVISIBLE, page) : root);
            return true;
        case kCmdPageDown:
            Select(tv, sel ? Step(tv, sel, TVGN_NEXTVISIBLE, page) : root);
            return true;
        case kCmdHome:
            Select(tv, root);
            return true;
        case kCmdEnd:
            Select(tv, Next(tv, TVGN_LASTVISIBLE, nullptr));
            return true;
        case kCmdBackspace:
            if (sel) Select(tv, Next(tv, TVGN_PARENT, sel));
            return true;
    }
    return false;
}
