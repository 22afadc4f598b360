#include "library/row_commands.h"

#include "config/settings_bits.h"
#include "library/list_text.h"

int CommandRow(const TrackList& list) {
    for (size_t i = 0; i < list.rows.size(); ++i)
        if (list.rows[i].selected) return static_cast<int>(i);
    const int n = static_cast<int>(list.rows.size());
    return list.focusedRow >= 0 && list.focusedRow < n ? list.focusedRow : -1;
}

RowTarget CommandRowFile(const TrackList& list, std::wstring& path) {
    std::wstring out;
    if (RowPath(list, CommandRow(list), out, false) != 1 || out.empty()) return RowTarget::None;
    path = std::move(out);
    return IsUrlExact(path) ? RowTarget::Stream : RowTarget::Track;
}

int SelectAllRows(TrackList& list) {
    int changed = 0;
    for (ListRow& r : list.rows) {
        if (!r.selected) ++changed;
        r.selected = true;
    }
    return changed;
}

std::wstring ExploreSelectArguments(const std::wstring& path) {
    return L"/select,\"" + path + L"\"";
}

SubfolderResult SubfolderContent(const FolderOps& fs, const std::wstring& folder, const Settings& s,
                                 const std::string& playable, const SubfolderLimits& limits,
                                 const SubfolderWatch& watch) {
    SubfolderResult r;
    const bool showHidden = static_cast<uint32_t>(s.list_style) & ListStyle::ShowHidden;
    std::wstring root = folder;
    while (root.size() > 1 && root.back() == L'\\') root.pop_back();
    // Depth first, each folder's subfolders in the order the system lists them.
    std::vector<std::wstring> pending{root};
    while (!pending.empty()) {
        if (watch.stop && watch.stop->load(std::memory_order_relaxed)) {
            r.stopped = true;
            break;
        }
        if (r.folders >= limits.maxFolders) {
            r.cut = true;
            break;
        }
        const std::wstring dir = std::move(pending.back());
        pending.pop_back();
        std::vector<DirEntry> entries;
        ++r.folders;
        if (!ListFolder(fs, dir, L"*.*", entries)) continue;
        std::vector<std::wstring> subfolders;
        for (const DirEntry& e : entries) {
            if ((e.attributes & EntryAttr::Hidden) && !showHidden) continue;
            if (e.attributes & EntryAttr::Directory) {
                if (e.name == L"." || e.name == L".." || (e.attributes & EntryAttr::ReparsePoint))
                    continue;
                subfolders.push_back(dir + L"\\" + e.name);
            } else if (PathPlayableKind(e.name, playable)) {
                if (r.rows.size() >= limits.maxFiles) {
                    r.cut = true;
                    return r;
                }
                r.rows.push_back(
                    {{e.name, SizeText(e.size, s), dir, DateText(e.created, e.written, s), L""}});
            }
        }
        // Pushed in reverse so that the first listed subfolder is walked first.
        pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
        if (watch.progress) watch.progress(watch.ctx, r.rows.size(), r.folders);
    }
    return r;
}
