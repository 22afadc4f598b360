// The tree's nodes: insertion and deletion, the roots, and reading an item's children.
#include <algorithm>

#include "base/path.h"
#include "library/folder_tree.h"
#include "library/list_text.h"

namespace {
TreeNode& Node(FolderTree& t, TreeItem i) { return t.nodes[static_cast<size_t>(i)]; }
const TreeNode& Node(const FolderTree& t, TreeItem i) { return t.nodes[static_cast<size_t>(i)]; }

std::vector<TreeItem>& Siblings(FolderTree& t, TreeItem parent) {
    return parent ? Node(t, parent).children : t.top;
}

enum class EntryClass { Skip, Folder, PlayList, CueSheet };

// Which directory entries the tree shows.
EntryClass Classify(const DirEntry& e, const Settings& s) {
    const uint32_t a = e.attributes, style = static_cast<uint32_t>(s.list_style);
    if ((a & EntryAttr::Hidden) && (a & EntryAttr::System)) return EntryClass::Skip;
    if ((a & EntryAttr::Hidden) && !(style & ListStyle::ShowHidden)) return EntryClass::Skip;
    if (a & EntryAttr::Directory)
        return (e.name == L"." || e.name == L"..") ? EntryClass::Skip : EntryClass::Folder;
    if (EndsWithNoCase(e.name, L".m3u") || EndsWithNoCase(e.name, L".m3u8"))
        return (style & ListStyle::HidePlaylistsInTree) ? EntryClass::Skip : EntryClass::PlayList;
    if (EndsWithNoCase(e.name, L".cue"))
        return (style & ListStyle::HideCueInTree) ? EntryClass::Skip : EntryClass::CueSheet;
    return EntryClass::Skip;
}

struct ShownProbe {
    const Settings* s;
    bool found;
};
bool StopAtShown(void* ctx, const DirEntry& e) {
    auto* p = static_cast<ShownProbe*>(ctx);
    p->found = Classify(e, *p->s) != EntryClass::Skip;
    return !p->found;
}

// The value children read from disk carry.
uint32_t ChildValue(const TreeNode& n) {
    const uint32_t f = n.nodeFlags;
    if (f & NodeFlag::Special) return NodeFlag::Special | (f & NodeFlag::RootIndex);
    if (f & (NodeFlag::Network | NodeFlag::BelowServer)) return NodeFlag::BelowServer;
    if ((f & NodeFlag::PathTop) && n.text.compare(0, 2, L"\\\\") == 0) return NodeFlag::BelowServer;
    return 0;
}

// The item's child of that name, 0 when it has none.
TreeItem ChildNamed(const FolderTree& tree, TreeItem item, const std::wstring& name) {
    for (TreeItem c : Node(tree, item).children)
        if (!IsPlaceholder(tree, c) && SameTextNoCase(Node(tree, c).text, name)) return c;
    return 0;
}

// Reads the folder's shown entries as children of the item; with `missingOnly` only those it
// does not have yet.
void ReadFolderChildren(FolderTree& tree, TreeItem item, std::wstring folder, const TreeEnv& env,
                        bool missingOnly = false) {
    const uint32_t value = ChildValue(Node(tree, item));
    if (!folder.empty() && folder.back() == L':') folder += L'\\';
    std::vector<DirEntry> entries;
    if (!ListFolder(*env.fs, folder, L"*.*", entries)) return;
    for (const DirEntry& e : entries) {
        const EntryClass c = Classify(e, *env.s);
        if (c == EntryClass::Skip) continue;
        if (missingOnly && ChildNamed(tree, item, e.name)) continue;
        if (c == EntryClass::Folder) {
            TreeItem child = TreeInsert(tree, item, e.name, kImgFolder, kImgFolderOpen, value, true, *env.fs);
            if (FolderShowsButton(PathJoin(folder, e.name), value, *env.s, *env.fs))
                AddPlaceholder(tree, child);
        } else {
            const int img = c == EntryClass::PlayList ? kImgPlayList : kImgCueSheet;
            TreeInsert(tree, item, e.name, img, img, value, true, *env.fs);
        }
    }
}

// The favourites that still exist as folders, play lists or cue sheets.
void ReadFavorites(FolderTree& tree, TreeItem item, const TreeEnv& env) {
    for (const std::wstring& fav : env.s->fav_set) {
        if (fav.empty()) break;
        const size_t comma = fav.find(L',');
        if (comma == std::wstring::npos) continue;
        std::wstring path = fav.substr(comma + 1);
        while (path.size() > 3 && path.back() == L'\\') path.pop_back();
        const int type = env.fs->pathType ? env.fs->pathType(env.fs->ctx, path) : 0;
        const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        TreeItem child = 0;
        if (type == 2) {
            child = TreeInsert(tree, item, name, kImgFolder, kImgFolderOpen, kFavoritesRoot, false, *env.fs);
            AddPlaceholder(tree, child);
        } else if (type == 1 && (EndsWithNoCase(path, L".m3u") || EndsWithNoCase(path, L".m3u8"))) {
            child = TreeInsert(tree, item, name, kImgPlayList, kImgPlayList, kFavoritesRoot, false, *env.fs);
        } else if (type == 1 && EndsWithNoCase(path, L".cue")) {
            child = TreeInsert(tree, item, name, kImgCueSheet, kImgCueSheet, kFavoritesRoot, false, *env.fs);
        }
        if (child) Node(tree, child).ownPath = path;
    }
}

// The disk shares of a server, each with an expand button.
void ReadShares(FolderTree& tree, TreeItem srv, const std::wstring& server, const FolderOps& fs) {
    const int c = fs.netConnect ? fs.netConnect(fs.ctx, server) : -1;
    if (c != 0 && c != kNetAlreadyAssigned) return;
    std::vector<ShareEntry> shares;
    if (!fs.netShares || !fs.netShares(fs.ctx, server, shares)) return;
    if (shares.size() > 50) shares.resize(50);  // one 16 KB enumeration buffer
    for (const ShareEntry& sh : shares) {
        if (sh.displayType != kShareDisplayType) continue;
        TreeItem share = TreeInsert(tree, srv, sh.remoteName.substr(sh.remoteName.find_last_of(L'\\') + 1),
                                    kImgFolder, kImgFolderOpen, NodeFlag::Share, true, fs);
        AddPlaceholder(tree, share);
    }
}

// Servers of the local network and their disk shares.
void ReadNetwork(FolderTree& tree, TreeItem root, const TreeEnv& env) {
    const FolderOps& fs = *env.fs;
    if ((static_cast<uint32_t>(env.s->system_flags) & SystemFlag::NoNetServerSearch) || !fs.netServers)
        return;
    std::vector<std::wstring> servers;
    const int code = fs.netServers(fs.ctx, servers);
    if (code != 0 && code != kNetMoreData) {
        if (fs.errorLog) fs.errorLog(fs.ctx, "NetServerEnum failed, error:", code);
        return;
    }
    for (const std::wstring& name : servers) {
        const std::wstring server = L"\\\\" + name;
        ReadShares(tree, TreeInsert(tree, root, server, kImgNetwork, kImgNetwork, NodeFlag::Server, true, fs),
                   server, fs);
    }
}

std::wstring DriveText(const DriveInfo& d) {
    wchar_t letter = d.letter >= L'a' && d.letter <= L'z' ? static_cast<wchar_t>(d.letter - 32) : d.letter;
    return std::wstring(1, letter) + L": (" + (d.label.empty() ? L"..." : d.label) + L")";
}

bool DriveShown(wchar_t letter, uint32_t flags) {
    if (letter == L'A') return flags & SystemFlag::HideDriveA;  // the bit shows A:
    if (letter == L'B') return flags & SystemFlag::HideDriveB;  // the bit shows B:
    if (letter == L'C') return !(flags & SystemFlag::HideDriveC);
    return true;
}
}  // namespace

TreeItem TreeInsert(FolderTree& tree, TreeItem parent, std::wstring text, int image,
                    int selectedImage, uint32_t flags, bool sorted, const FolderOps& fs) {
    TreeNode n;
    n.text = std::move(text);
    n.image = image;
    n.selectedImage = selectedImage;
    n.nodeFlags = flags;
    n.parent = parent;
    const TreeItem id = static_cast<TreeItem>(tree.nodes.size());
    tree.nodes.push_back(std::move(n));
    std::vector<TreeItem>& sib = Siblings(tree, parent);
    auto at = sib.end();
    if (sorted) {
        const std::wstring& t = Node(tree, id).text;
        at = std::upper_bound(sib.begin(), sib.end(), id, [&](TreeItem, TreeItem other) {
            return CollateText(fs, t.c_str(), Node(tree, other).text.c_str()) < 0;
        });
    }
    sib.insert(at, id);
    if (tree.view.inserted) tree.view.inserted(tree.view.ctx, id);
    return id;
}

void TreeDelete(FolderTree& tree, TreeItem item) {
    if (item <= 0 || !Node(tree, item).alive) return;
    while (!Node(tree, item).children.empty()) TreeDelete(tree, Node(tree, item).children.back());
    if (tree.view.deleting) tree.view.deleting(tree.view.ctx, item);
    std::vector<TreeItem>& sib = Siblings(tree, Node(tree, item).parent);
    sib.erase(std::remove(sib.begin(), sib.end(), item), sib.end());
    Node(tree, item).alive = false;
    if (tree.selected == item) tree.selected = 0;
}

void TreeClear(FolderTree& tree) {
    while (!tree.top.empty()) TreeDelete(tree, tree.top.back());
    tree.nodes.resize(1);
    tree.selected = 0;
}

bool IsPlaceholder(const FolderTree& tree, TreeItem item) {
    return item > 0 && Node(tree, item).text == kPlaceholderText;
}

void AddPlaceholder(FolderTree& tree, TreeItem item) {
    TreeNode n;
    n.text = kPlaceholderText;
    n.nodeFlags = (Node(tree, item).nodeFlags & NodeFlag::Network) ? uint32_t{NodeFlag::Network} : 0u;
    n.parent = item;
    const TreeItem id = static_cast<TreeItem>(tree.nodes.size());
    tree.nodes.push_back(std::move(n));
    Node(tree, item).children.push_back(id);
    if (tree.view.inserted) tree.view.inserted(tree.view.ctx, id);
}

bool FolderShowsButton(const std::wstring& folder, uint32_t value, const Settings& s,
                       const FolderOps& fs) {
    if ((static_cast<uint32_t>(s.control_flags) & ControlFlag::NoSubfolderPrescan) ||
        (value & (NodeFlag::Network | NodeFlag::BelowServer)))
        return true;
    ShownProbe probe{&s, false};
    if (fs.enumerate) fs.enumerate(fs.ctx, folder, L"*.*", StopAtShown, &probe);
    return probe.found;
}

void BuildRoots(FolderTree& tree, const TreeEnv& env) {
    const FolderOps& fs = *env.fs;
    const Settings& s = *env.s;
    const uint32_t sys = static_cast<uint32_t>(s.system_flags);
    auto shell = [&](ShellFolder which, std::wstring& path, std::wstring& name) {
        path.clear();
        name.clear();
        return fs.shellFolder && fs.shellFolder(fs.ctx, which, path, name);
    };
    std::wstring path, name;

    shell(ShellFolder::Computer, path, name);
    TreeItem computer = TreeInsert(tree, 0, name.empty() ? L"Computer" : name, kImgComputer,
                                   kImgComputer, NodeFlag::Computer, false, fs);
    if (fs.drives) {
        for (const DriveInfo& d : fs.drives(fs.ctx)) {
            std::wstring text = DriveText(d);
            if (!DriveShown(text[0], sys)) continue;
            const int img = d.type >= 2 && d.type <= 6 ? d.type : 0;
            AddPlaceholder(tree, TreeInsert(tree, computer, text, img, img, NodeFlag::PathTop, true, fs));
        }
    }

    const std::wstring& home = s.home_folder;
    std::wstring homeText = L"Base Folder";
    if (home.find(L'\\') != std::wstring::npos) {
        std::wstring h = home;
        while (h.size() > 1 && h.back() == L'\\') h.pop_back();
        homeText = h.substr(h.find_last_of(L'\\') + 1);
    }
    AddPlaceholder(tree, TreeInsert(tree, 0, homeText, kImgFolderOpen, kImgFolderOpen, kBaseFolderRoot, false, fs));

    struct SpecialRoot {
        uint32_t hideBit;
        ShellFolder which;
        const wchar_t* fixedName;  // null: the shell's name, else this text
        const wchar_t* fallback;
        int image;
        uint32_t flags;
    };
    static constexpr SpecialRoot kSpecial[] = {
        {SystemFlag::HideMyDocs, ShellFolder::Documents, nullptr, L"My documents", kImgDocuments, kDocumentsRoot},
        {SystemFlag::HideMyMusic, ShellFolder::Music, L"My music", nullptr, kImgMusic, kMusicRoot},
        {SystemFlag::HideSharedDocs, ShellFolder::SharedDocuments, L"Shared docs", nullptr, kImgSharedDocs, kSharedDocsRoot},
    };
    for (const SpecialRoot& r : kSpecial) {
        if ((sys & r.hideBit) || !shell(r.which, path, name)) continue;
        tree.specialPath[r.flags & NodeFlag::RootIndex] = path;
        std::wstring text = r.fixedName ? r.fixedName : (name.empty() ? r.fallback : name);
        AddPlaceholder(tree, TreeInsert(tree, 0, text, r.image, r.image, r.flags, false, fs));
    }
    if (!(sys & SystemFlag::HideFavorites))
        AddPlaceholder(tree, TreeInsert(tree, 0, L"Favorites", kImgFavorites, kImgFavorites, kFavoritesRoot, false, fs));
    if (!(sys & SystemFlag::HideNetwork) && shell(ShellFolder::Network, path, name))
        AddPlaceholder(tree, TreeInsert(tree, 0, name, kImgNetwork, kImgNetwork, NodeFlag::Network, false, fs));
}

void ExpandItem(FolderTree& tree, TreeItem item, const TreeEnv& env) {
    if (item <= 0 || !Node(tree, item).alive) return;
    std::vector<TreeItem>& kids = Node(tree, item).children;
    if (kids.size() == 1 && IsPlaceholder(tree, kids[0])) TreeDelete(tree, Node(tree, item).children[0]);
    else if (!kids.empty()) return;

    const TreeNode& n = Node(tree, item);
    if (n.parent == 0 && n.nodeFlags == NodeFlag::Network) return ReadNetwork(tree, item, env);
    if (n.parent == 0 && n.nodeFlags == kFavoritesRoot) return ReadFavorites(tree, item, env);
    // A server named by a path: its children are its shares, as under the network root.
    if ((n.nodeFlags & NodeFlag::PathTop) && n.text.compare(0, 2, L"\\\\") == 0)
        return ReadShares(tree, item, std::wstring(n.text), *env.fs);
    std::wstring folder;
    if (ItemFolderPath(tree, item, *env.s, folder)) ReadFolderChildren(tree, item, folder, env);
}

void RefreshFolderItems(FolderTree& tree, const std::wstring& folder, const TreeEnv& env) {
    std::wstring path;
    // Every item showing the folder (a folder can show under a drive and under a special root).
    for (size_t i = 1; i < tree.nodes.size(); ++i) {
        const TreeItem item = static_cast<TreeItem>(i);
        const TreeNode& n = Node(tree, item);
        if (!n.alive || IsPlaceholder(tree, item) || (n.nodeFlags & NodeFlag::Network)) continue;
        if (n.image != kImgFolder && n.image != kImgFolderOpen && !(n.nodeFlags & NodeFlag::PathTop))
            continue;
        if (!ItemFolderPath(tree, item, *env.s, path) || !SameTextNoCase(path, folder)) continue;
        const std::vector<TreeItem>& kids = Node(tree, item).children;
        const bool unread = kids.empty() || (kids.size() == 1 && IsPlaceholder(tree, kids[0]));
        if (!unread) {
            // Read children: those gone from the disk go, new ones come in their sorted place.
            std::vector<DirEntry> entries;
            std::wstring listed = path;
            if (listed.back() == L':') listed += L'\\';
            if (!ListFolder(*env.fs, listed, L"*.*", entries)) continue;
            const std::vector<TreeItem> old = kids;
            for (TreeItem c : old) {
                const bool there = std::any_of(entries.begin(), entries.end(), [&](const DirEntry& e) {
                    return Classify(e, *env.s) != EntryClass::Skip &&
                           SameTextNoCase(e.name, Node(tree, c).text);
                });
                if (!there) TreeDelete(tree, c);
            }
            ReadFolderChildren(tree, item, path, env, true);
            continue;
        }
        const bool shows = FolderShowsButton(path, Node(tree, item).nodeFlags, *env.s, *env.fs);
        if (shows && kids.empty()) AddPlaceholder(tree, item);
        else if (!shows && !kids.empty()) TreeDelete(tree, kids[0]);
    }
}
