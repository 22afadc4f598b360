// The folder search: a pre-order walk over the folder tree to the next (or previous) folder
// or list file that holds something playable.
#include "library/sequence.h"

namespace {
// The tree locates folders without a trailing backslash ("C:\" is the item "C:").
std::wstring TreeForm(std::wstring path) {
    while (path.size() > 2 && path.back() == L'\\') path.pop_back();
    return path;
}

struct FirstName {
    std::wstring name;
    bool hit = false;
};

bool TakeFirst(void* ctx, const DirEntry& e) {
    if (e.name == L"." || e.name == L"..") return true;
    auto& f = *static_cast<FirstName*>(ctx);
    f.name = e.name;
    f.hit = true;
    return false;
}


void Show(Sequencer& q, TreeItem item, const std::wstring& path) {
    q.s->browsed_folder = path;
    SelectItem(*q.tree, item);
    if (q.ops.showFolder) q.ops.showFolder(q.ops.ctx, path);
}
}  // namespace

int HasPlayable(Sequencer& q, const std::wstring& path) {
    const FolderOps& fs = *q.treeEnv.fs;
    if (fs.setCurrent(fs.ctx, path)) {
        const std::string& list = q.playable ? *q.playable : std::string();
        size_t pos = 0;
        while (pos < list.size()) {
            size_t end = list.find(';', pos);
            if (end == std::string::npos) end = list.size();
            const std::wstring ext(list.begin() + static_cast<std::ptrdiff_t>(pos),
                                   list.begin() + static_cast<std::ptrdiff_t>(end));
            pos = end + 1;
            if (ext.empty()) continue;
            FirstName f;
            fs.enumerate(fs.ctx, path, L"*." + ext, TakeFirst, &f);
            // The pattern also matches longer extensions and other cases; only an exact
            // extension counts.
            const size_t dot = f.name.find_last_of(L'.');
            if (f.hit && dot != std::wstring::npos &&
                f.name.compare(dot + 1, std::wstring::npos, ext) == 0)
                return 1;
        }
        return 0;
    }
    if (static_cast<uint32_t>(q.s->control_flags) & ControlFlag::DirSearchSkipsLists) return 0;
    return IsListFileName(path) ? 1 : 0;
}

int DirSearch(Sequencer& q, bool forward) {
    Settings& s = *q.s;
    if (s.browsed_folder.empty() || !q.tree) return 0;
    FolderTree& tree = *q.tree;
    // Pre-scan on while searching, so that folders without sub-folders have no children to
    // walk into.
    const int32_t flags = s.control_flags;
    s.control_flags =
        static_cast<int32_t>(static_cast<uint32_t>(flags) & ~ControlFlag::NoSubfolderPrescan);
    TreeItem item = LocateTreePath(tree, TreeForm(s.browsed_folder), true, q.treeEnv);
    TreeItem found = 0;
    std::wstring path;
    for (bool first = true; item; first = false) {
        if (!first && q.ops.inputWaiting && q.ops.inputWaiting(q.ops.ctx)) break;
        item = forward ? TreeWalkNext(tree, item, q.treeEnv) : TreeWalkPrev(tree, item, q.treeEnv);
        if (!item || !ItemPath(tree, item, path, q.treeEnv)) break;
        if (HasPlayable(q, path)) {
            found = item;
            break;
        }
    }
    s.control_flags = flags;
    if (!found) return 0;
    Show(q, found, path);
    return 1;
}

bool SearchFromDriveRoot(Sequencer& q) {
    Settings& s = *q.s;
    const std::wstring& from = s.browsed_folder;
    if (from.size() < 2 || from[1] != L':' || !q.tree) return false;
    const std::wstring root = from.size() > 3 ? from.substr(0, 3) : from;
    const TreeItem item = LocateTreePath(*q.tree, TreeForm(root), true, q.treeEnv);
    if (!item) return false;
    Show(q, item, root);
    return HasPlayable(q, root) || DirSearch(q, true);
}
