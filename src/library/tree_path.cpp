// Item paths, locating a path in the tree, the playing folder's mark, refreshing, the base
// folder commands and the walk of the folder search.
#include <algorithm>

#include "library/folder_tree.h"

#include "config/settings_bits.h"

namespace {
TreeNode& Node(FolderTree& t, TreeItem i) { return t.nodes[static_cast<size_t>(i)]; }
const TreeNode& Node(const FolderTree& t, TreeItem i) { return t.nodes[static_cast<size_t>(i)]; }

const std::vector<TreeItem>& Siblings(const FolderTree& t, TreeItem item) {
    const TreeItem p = Node(t, item).parent;
    return p ? Node(t, p).children : t.top;
}

bool Valid(const FolderTree& t, TreeItem i) {
    return i > 0 && static_cast<size_t>(i) < t.nodes.size() && Node(t, i).alive;
}

// The folder of special root 1..5 (favourites have none of their own).
std::wstring RootFolder(const FolderTree& tree, const Settings& s, int index) {
    if (index == 1) return s.home_folder;
    if (index == 2 || index == 3 || index == 5) return tree.specialPath[index];
    return std::wstring();
}

TreeItem TopItemWithFlags(const FolderTree& tree, uint32_t flags) {
    for (TreeItem i : tree.top)
        if (Node(tree, i).nodeFlags == flags) return i;
    return 0;
}

// A drive's text is compared up to its colon ("C: (System)" is "C:").
bool ChildMatches(const TreeNode& n, const std::wstring& component) {
    if ((n.nodeFlags & NodeFlag::PathTop) && n.text.size() > 1 && n.text[1] == L':')
        return SameTextNoCase(std::wstring_view(n.text).substr(0, 2), component);
    return SameTextNoCase(n.text, component);
}

TreeItem FindChild(const FolderTree& tree, TreeItem parent, const std::wstring& component) {
    for (TreeItem c : Node(tree, parent).children)
        if (!IsPlaceholder(tree, c) && ChildMatches(Node(tree, c), component)) return c;
    return 0;
}

void DropPlaceholder(FolderTree& tree, TreeItem item) {
    const std::vector<TreeItem>& kids = Node(tree, item).children;
    if (kids.size() == 1 && IsPlaceholder(tree, kids[0])) TreeDelete(tree, kids[0]);
}

// path inside folder: equal, or continuing with a backslash. rest: the part below it.
bool InsideFolder(const std::wstring& path, std::wstring folder, std::wstring& rest) {
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    if (folder.empty() || path.size() < folder.size() ||
        !SameTextNoCase(std::wstring_view(path).substr(0, folder.size()), folder))
        return false;
    if (path.size() == folder.size()) {
        rest.clear();
        return true;
    }
    if (path[folder.size()] != L'\\' && folder.back() != L'\\') return false;
    rest = path.substr(folder.size());
    return true;
}

std::vector<std::wstring> Components(const std::wstring& rest) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring::npos) end = rest.size();
        if (end > start) out.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

void Remark(FolderTree& tree, TreeItem item, bool bold) {
    if (Node(tree, item).bold == bold) return;
    Node(tree, item).bold = bold;
    if (tree.view.boldChanged) tree.view.boldChanged(tree.view.ctx, item);
}
}  // namespace

bool ItemFolderPath(const FolderTree& tree, TreeItem item, const Settings& s, std::wstring& out) {
    out.clear();
    if (!Valid(tree, item)) return false;
    std::wstring below;
    for (TreeItem i = item; i; i = Node(tree, i).parent) {
        const TreeNode& n = Node(tree, i);
        const uint32_t f = n.nodeFlags;
        if (f & NodeFlag::Special) {
            if (!(f & NodeFlag::PathTop)) {
                below = L"\\" + n.text + below;
                continue;
            }
            // A special root, or a favourite entry with its own path.
            std::wstring base = n.parent == 0 ? RootFolder(tree, s, static_cast<int>(f & NodeFlag::RootIndex))
                                              : n.ownPath;
            if (base.empty()) return false;
            while (!below.empty() && !base.empty() && base.back() == L'\\') base.pop_back();
            out = base + below;
            return true;
        }
        if ((f & NodeFlag::PathTop) || f == NodeFlag::Server) {
            const size_t colon = n.text.find(L':');
            out = ((f & NodeFlag::PathTop) && colon == 1 ? n.text.substr(0, 2) : n.text) + below;
            return true;
        }
        if (f & NodeFlag::Computer || n.parent == 0) return false;
        below = L"\\" + n.text + below;
    }
    return false;
}

int ItemPath(FolderTree& tree, TreeItem item, std::wstring& out, const TreeEnv& env) {
    if (!Valid(tree, item)) return 0;
    const TreeNode& n = Node(tree, item);
    if (n.parent == 0 && n.nodeFlags == NodeFlag::Network) {
        ExpandItem(tree, item, env);
        out.clear();
        return 0;
    }
    if (!ItemFolderPath(tree, item, *env.s, out)) return 0;
    if (Node(tree, item).nodeFlags & NodeFlag::Special)
        env.s->last_hti = static_cast<uint16_t>(Node(tree, item).nodeFlags & NodeFlag::RootIndex);
    std::wstring current = out;
    if (!current.empty() && current.back() == L':') current += L'\\';
    env.fs->setCurrent(env.fs->ctx, current);
    return 1;
}

TreeItem LocateTreePath(FolderTree& tree, const std::wstring& path, bool expand, const TreeEnv& env) {
    Settings& s = *env.s;
    const FolderOps& fs = *env.fs;
    TreeItem cur = TreeFirstRoot(tree);
    if (!cur) return 0;
    std::wstring rest = path, walked;

    if (path.compare(0, 2, L"\\\\") == 0) {
        const TreeItem net = TopItemWithFlags(tree, NodeFlag::Network);
        if (!net) return 0;
        const size_t end = path.find(L'\\', 2);
        const std::wstring server = path.substr(0, end);
        rest = end == std::wstring::npos ? std::wstring() : path.substr(end);
        fs.setCurrent(fs.ctx, server);
        DropPlaceholder(tree, net);
        TreeItem srv = FindChild(tree, net, server);
        if (!srv) srv = TreeInsert(tree, net, server, kImgNetwork, kImgNetwork, NodeFlag::PathTop, true, fs);
        if (expand) ExpandItem(tree, srv, env);
        cur = srv;
        walked = server;
    } else if (s.last_hti >= 1 && s.last_hti <= 5) {
        const int index = s.last_hti;
        TreeItem root = TopItemWithFlags(tree, NodeFlag::Special | NodeFlag::PathTop | index);
        bool inside = false;
        if (root) {
            ExpandItem(tree, root, env);
            if (index == 4) {
                // Favourites: the entry whose own path holds the path.
                for (TreeItem fav : Node(tree, root).children) {
                    if (InsideFolder(path, Node(tree, fav).ownPath, rest)) {
                        root = fav;
                        walked = Node(tree, fav).ownPath;
                        inside = true;
                        break;
                    }
                }
            } else {
                walked = RootFolder(tree, s, index);
                inside = InsideFolder(path, walked, rest);
            }
        }
        if (inside) {
            if (rest.empty()) return root;
            if (expand && root != TopItemWithFlags(tree, NodeFlag::Special | NodeFlag::PathTop | index))
                ExpandItem(tree, root, env);
            cur = root;
        } else {
            s.last_hti = 0;
            rest = path;
            walked.clear();
        }
    }

    for (const std::wstring& comp : Components(rest)) {
        if (expand) {
            std::wstring next = walked.empty() ? comp : walked + (walked.back() == L'\\' ? L"" : L"\\") + comp;
            std::wstring enter = next;
            if (enter.back() == L':') enter += L'\\';
            if (!fs.setCurrent(fs.ctx, enter)) {
                // Not a folder: a play list or cue sheet.
                TreeItem file = FindChild(tree, cur, comp);
                if (file) DropPlaceholder(tree, file);
                return file;
            }
            walked = next;
        }
        TreeItem child = FindChild(tree, cur, comp);
        if (!child) return 0;
        if (expand) ExpandItem(tree, child, env);
        cur = child;
    }
    return cur;
}

TreeItem LocateListTarget(FolderTree& tree, const std::wstring& path, const TreeEnv& env) {
    constexpr uint32_t kHideLists = ListStyle::HideCueInTree | ListStyle::HidePlaylistsInTree;
    const int32_t saved = env.s->list_style;
    env.s->list_style = static_cast<int32_t>(static_cast<uint32_t>(saved) & ~kHideLists);
    TreeItem item = LocateTreePath(tree, path, true, env);
    env.s->list_style = saved;
    return item;
}

void SelectItem(FolderTree& tree, TreeItem item) {
    if (!Valid(tree, item)) return;
    tree.selected = item;
    if (tree.view.selected) tree.view.selected(tree.view.ctx, item);
}

void MarkPlayingFolder(FolderTree& tree, const std::wstring& lastFolder) {
    const std::wstring playing = lastFolder + L"\\";
    for (size_t i = 1; i < tree.nodes.size(); ++i) {
        const TreeItem item = static_cast<TreeItem>(i);
        if (!Node(tree, item).alive || IsPlaceholder(tree, item)) continue;
        Remark(tree, item, !lastFolder.empty() &&
                               playing.find(Node(tree, item).text + L"\\") != std::wstring::npos);
    }
}

bool TreeSettingsDiffer(const Settings& a, const Settings& b) {
    using namespace SystemFlag;
    constexpr uint32_t kRoots = HideDriveA | HideDriveB | HideDriveC | HideNetwork | HideMyDocs |
                                HideMyMusic | HideSharedDocs | HideFavorites | NoNetServerSearch;
    constexpr uint32_t kEntries =
        ListStyle::ShowHidden | ListStyle::HideCueInTree | ListStyle::HidePlaylistsInTree;
    const auto changed = [](int64_t x, int64_t y, uint32_t mask) {
        return ((static_cast<uint32_t>(x) ^ static_cast<uint32_t>(y)) & mask) != 0;
    };
    return changed(a.system_flags, b.system_flags, kRoots) ||
           changed(a.list_style, b.list_style, kEntries) ||
           changed(a.control_flags, b.control_flags, ControlFlag::NoSubfolderPrescan) ||
           a.home_folder != b.home_folder;
}

void RefreshTree(FolderTree& tree, const TreeEnv& env, const Settings* builtWith) {
    std::wstring path;
    const bool had = ItemFolderPath(tree, tree.selected, builtWith ? *builtWith : *env.s, path);
    const uint16_t root = env.s->last_hti;
    TreeClear(tree);
    BuildRoots(tree, env);
    env.s->last_hti = root;
    if (had) SelectItem(tree, LocateTreePath(tree, path, true, env));
    MarkPlayingFolder(tree, env.s->last_folder);
}

void ChangeBaseFolder(FolderTree& tree, const std::wstring& path, const TreeEnv& env) {
    const Settings builtWith = *env.s;
    env.s->home_folder = path;
    RefreshTree(tree, env, &builtWith);
}

bool SetBaseFolder(FolderTree& tree, const std::wstring& path, const TreeEnv& env) {
    if (path.find(L'\\') == std::wstring::npos) return false;
    ChangeBaseFolder(tree, path, env);
    return true;
}

TreeItem GoToBaseFolder(FolderTree& tree, const TreeEnv& env) {
    Settings& s = *env.s;
    if (s.home_folder.empty()) return 0;
    s.browsed_folder = s.home_folder;
    s.last_hti = 0;
    TreeItem item = LocateTreePath(tree, s.home_folder, true, env);
    SelectItem(tree, item);
    return item;
}

TreeItem TreeFirstRoot(const FolderTree& tree) { return tree.top.empty() ? 0 : tree.top[0]; }

TreeItem TreeParent(const FolderTree& tree, TreeItem item) {
    return Valid(tree, item) ? Node(tree, item).parent : 0;
}

TreeItem TreeFirstChild(const FolderTree& tree, TreeItem item) {
    return Valid(tree, item) && !Node(tree, item).children.empty() ? Node(tree, item).children.front() : 0;
}

TreeItem TreeLastChild(const FolderTree& tree, TreeItem item) {
    return Valid(tree, item) && !Node(tree, item).children.empty() ? Node(tree, item).children.back() : 0;
}

TreeItem TreeNextSibling(const FolderTree& tree, TreeItem item) {
    if (!Valid(tree, item)) return 0;
    const std::vector<TreeItem>& sib = Siblings(tree, item);
    auto it = std::find(sib.begin(), sib.end(), item);
    return (it == sib.end() || it + 1 == sib.end()) ? 0 : *(it + 1);
}

TreeItem TreePrevSibling(const FolderTree& tree, TreeItem item) {
    if (!Valid(tree, item)) return 0;
    const std::vector<TreeItem>& sib = Siblings(tree, item);
    auto it = std::find(sib.begin(), sib.end(), item);
    return (it == sib.end() || it == sib.begin()) ? 0 : *(it - 1);
}

TreeItem TreeWalkNext(FolderTree& tree, TreeItem item, const TreeEnv& env) {
    if (!Valid(tree, item)) return 0;
    const std::vector<TreeItem>& kids = Node(tree, item).children;
    if (kids.size() == 1 && IsPlaceholder(tree, kids[0])) ExpandItem(tree, item, env);
    if (TreeItem child = TreeFirstChild(tree, item)) return child;
    const TreeItem boundary = TreeFirstRoot(tree);
    for (TreeItem cur = item;;) {
        if (TreeItem next = TreeNextSibling(tree, cur)) return next;
        cur = TreeParent(tree, cur);
        if (!cur || TreeParent(tree, cur) == boundary) return 0;
    }
}

TreeItem TreeWalkPrev(FolderTree& tree, TreeItem item, const TreeEnv& env) {
    if (!Valid(tree, item)) return 0;
    if (TreeItem cur = TreePrevSibling(tree, item)) {
        for (;;) {
            ExpandItem(tree, cur, env);
            TreeItem last = TreeLastChild(tree, cur);
            if (!last || IsPlaceholder(tree, last)) return cur;
            cur = last;
        }
    }
    const TreeItem parent = TreeParent(tree, item);
    if (!parent || TreeParent(tree, parent) == TreeFirstRoot(tree)) return 0;
    return parent;
}
