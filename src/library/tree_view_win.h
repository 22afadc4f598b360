// The folder tree's control: a tree view that mirrors the FolderTree nodes item for item.
// Each control item carries its TreeItem as lParam.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "library/folder_tree.h"

struct TreeViewWin {
    HWND hwnd = nullptr;
    HIMAGELIST images = nullptr;
    FolderTree* tree = nullptr;
    std::vector<HTREEITEM> handles;  // by TreeItem; null for items not (or no longer) shown
    // Raised while the control's items are inserted or deleted: the selection changes that
    // causes are not the user's.
    bool* filling = nullptr;
};

// Creates the control with its style from the settings and its image list.
HWND TreeViewCreateWin(TreeViewWin& v, HWND parent, HINSTANCE instance, const Settings& s, int id);
void TreeViewDestroyWin(TreeViewWin& v);
// The tooltips of cut-off item texts, added once the main window is visible (the control is
// created without them: their window costs more of the start-up than the tree).
void TreeViewAddTipsWin(TreeViewWin& v);
// The table that keeps the control in step with the model.
TreeViewOps TreeViewOpsOf(TreeViewWin& v);

// The item of a control handle, 0 for none.
TreeItem TreeViewItemOf(const TreeViewWin& v, HTREEITEM h);
// TVN_ITEMEXPANDING: reads the children of the item being expanded.
void TreeViewExpanding(TreeViewWin& v, const NMTREEVIEWW& nm, const TreeEnv& env);
// The keyboard commands of the tree pane (Up, Down, Left, Right, PgUp, PgDn, Home, End,
// Backspace); false for any other command.
bool TreeViewKey(TreeViewWin& v, unsigned command);
// Expands or brings into view the item in the control.
void TreeViewExpand(TreeViewWin& v, TreeItem item);
void TreeViewEnsureVisible(TreeViewWin& v, TreeItem item);
