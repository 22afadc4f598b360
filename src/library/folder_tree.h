// The folder tree's model: drives, the base folder, special folders, favourites and the
// network, with their sub-folders, play lists and cue sheets, read lazily. The tree control
// mirrors these nodes (TreeViewOps); the folder search walks them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/settings.h"
#include "library/folder_ops.h"

using TreeItem = int32_t;  // index into FolderTree::nodes; 0 is no item

// nodeFlags
namespace NodeFlag {
enum : uint32_t {
    RootIndex = 0x0F,  // 1 base folder, 2 documents, 3 shared documents, 4 favourites, 5 music
    Network = 0x10,    // network root and placeholders; 0x11 a server, 0x12 a share
    Server = 0x11,
    Share = 0x12,
    BelowServer = 0x20,
    Special = 0x40,   // special roots and the items under them
    PathTop = 0x80,   // a drive or a server added by path: path building stops here
    Computer = 0x100,
};
}
constexpr uint32_t kBaseFolderRoot = 0xC1, kDocumentsRoot = 0xC2, kSharedDocsRoot = 0xC3,
                   kFavoritesRoot = 0xC4, kMusicRoot = 0xC5;

// Image indices of the tree's image list.
enum TreeImage : int {
    kImgFolder = 0,
    kImgFolderOpen = 1,  // also the selected image of folders
    kImgCueSheet = 10,
    kImgPlayList = 11,
    kImgNetwork = 12,
    kImgFavorites = 13,
    kImgDocuments = 16,
    kImgComputer = 17,
    kImgSharedDocs = 18,
    kImgMusic = 19,
};

constexpr wchar_t kPlaceholderText[] = L"!?";  // gives an unread item its expand button

struct TreeNode {
    std::wstring text;
    int image = kImgFolder;
    int selectedImage = kImgFolder;
    uint32_t nodeFlags = 0;
    TreeItem parent = 0;
    std::vector<TreeItem> children;  // in display order
    bool bold = false;
    bool alive = true;
    std::wstring ownPath;  // favourites' entries: the favourite's path
};

// What the control mirroring the tree is told; every member may be null.
struct TreeViewOps {
    void (*inserted)(void* ctx, TreeItem item);  // after it is linked under its parent
    void (*deleting)(void* ctx, TreeItem item);  // before its removal (children go first)
    void (*boldChanged)(void* ctx, TreeItem item);
    void (*selected)(void* ctx, TreeItem item);
    void* ctx;
};

struct FolderTree {
    std::vector<TreeNode> nodes = std::vector<TreeNode>(1);  // [0] is the null item
    std::vector<TreeItem> top;                               // top-level items in order
    TreeItem selected = 0;
    std::wstring specialPath[6];  // folders of the shell's special roots (2, 3, 5)
    TreeViewOps view{};
};

struct TreeEnv {
    Settings* s = nullptr;
    const FolderOps* fs = nullptr;
};

// ---- structure (tree_build.cpp) ----

TreeItem TreeInsert(FolderTree& tree, TreeItem parent, std::wstring text, int image,
                    int selectedImage, uint32_t flags, bool sorted, const FolderOps& fs);
void TreeDelete(FolderTree& tree, TreeItem item);
void TreeClear(FolderTree& tree);
bool IsPlaceholder(const FolderTree& tree, TreeItem item);
// Adds the "!?" child.
void AddPlaceholder(FolderTree& tree, TreeItem item);

void BuildRoots(FolderTree& tree, const TreeEnv& env);
// Reads the item's children unless it has real ones: a placeholder is removed first.
void ExpandItem(FolderTree& tree, TreeItem item, const TreeEnv& env);
// After files were renamed or moved into or out of the folder: the items showing it lose the
// children gone from the disk and gain the new ones (read items), or get or lose their expand
// button (unread items). Other items are left as they are.
void RefreshFolderItems(FolderTree& tree, const std::wstring& folder, const TreeEnv& env);
// Whether a folder child gets an expand button: pre-scan or the no-pre-scan rules.
bool FolderShowsButton(const std::wstring& folder, uint32_t value, const Settings& s,
                       const FolderOps& fs);

// ---- paths and walking (tree_path.cpp) ----

// The item's file-system path without side effects; false when it has none.
bool ItemFolderPath(const FolderTree& tree, TreeItem item, const Settings& s, std::wstring& out);
// ItemFolderPath that also makes the path current and a special root the remembered one
// (last_hti). The network root lists its servers instead and answers 0.
int ItemPath(FolderTree& tree, TreeItem item, std::wstring& out, const TreeEnv& env);
TreeItem LocateTreePath(FolderTree& tree, const std::wstring& path, bool expand, const TreeEnv& env);
// LocateTreePath for a navigation row of the file list: play lists and cue sheets are not
// hidden meanwhile, so a list file can be found.
TreeItem LocateListTarget(FolderTree& tree, const std::wstring& path, const TreeEnv& env);
void SelectItem(FolderTree& tree, TreeItem item);
void MarkPlayingFolder(FolderTree& tree, const std::wstring& lastFolder);
// Rebuilds the roots and selects the selected folder again, then marks the playing folder.
// builtWith: the settings the present items were built from when they have changed since, so
// that the selected item's path is read as it was built (an item reached through the old base
// folder keeps its folder).
void RefreshTree(FolderTree& tree, const TreeEnv& env, const Settings* builtWith = nullptr);
// Whether the two differ in what the roots and items are built from (the roots shown, hidden
// entries, cue sheets and play lists in the tree, the subfolder pre-scan, the base folder).
bool TreeSettingsDiffer(const Settings& a, const Settings& b);

// home_folder becomes path (empty: cleared) and the tree is rebuilt, so the base folder root
// shows the new value; the selected folder stays selected.
void ChangeBaseFolder(FolderTree& tree, const std::wstring& path, const TreeEnv& env);
// "Set as Base folder": a path without a backslash is not taken (false, nothing changes).
bool SetBaseFolder(FolderTree& tree, const std::wstring& path, const TreeEnv& env);
TreeItem GoToBaseFolder(FolderTree& tree, const TreeEnv& env);

TreeItem TreeFirstRoot(const FolderTree& tree);
TreeItem TreeParent(const FolderTree& tree, TreeItem item);
TreeItem TreeFirstChild(const FolderTree& tree, TreeItem item);
TreeItem TreeLastChild(const FolderTree& tree, TreeItem item);
TreeItem TreeNextSibling(const FolderTree& tree, TreeItem item);
TreeItem TreePrevSibling(const FolderTree& tree, TreeItem item);
// One step of the pre-order walk of the folder search; 0 when the walk ends (a drive is never
// left, the computer node's level is never climbed to).
TreeItem TreeWalkNext(FolderTree& tree, TreeItem item, const TreeEnv& env);
TreeItem TreeWalkPrev(FolderTree& tree, TreeItem item, const TreeEnv& env);
