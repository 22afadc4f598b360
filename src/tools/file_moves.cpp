#include "tools/file_moves.h"

#include <cwchar>

#include "base/path.h"
#include "config/settings_bits.h"
#include "library/folder_ops.h"

namespace {

std::wstring FileNameOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

wchar_t UpperAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

// Re-finds the current row and selects the row at `index` after a row changed or went.
void Reselect(TrackList& list, int index, const std::wstring& lastFile) {
    const int current = lastFile.empty() ? -1 : FindRow(list, lastFile);
    if (current >= 0)
        SetCurrentRow(list, current, false);
    else
        list.currentRow = -1;
    if (list.rows.empty()) {
        list.focusedRow = -1;
        if (list.view.rowsChanged) list.view.rowsChanged(list.view.ctx);
        return;
    }
    SelectOnly(list, index);
}

bool RowExists(const TrackList& list, int row) {
    return row >= 0 && static_cast<size_t>(row) < list.rows.size();
}

}  // namespace

std::wstring NumberedCopyName(int number, std::wstring_view fileName) {
    wchar_t prefix[16];
    std::swprintf(prefix, 16, L"%.2d_", number);
    return prefix + std::wstring(fileName);
}

std::wstring CopyProposal(std::wstring_view remembered, std::wstring_view source, bool multiple,
                          std::wstring_view multipleText) {
    const std::wstring name = multiple ? std::wstring(multipleText) : FileNameOf(source);
    if (!remembered.empty()) return PathJoin(remembered, name);
    if (!multiple) return std::wstring(source);
    return PathJoin(PathFolder(source), name);
}

void RememberDestination(std::wstring& remembered, std::wstring_view destination,
                         const Settings& s) {
    if (static_cast<uint32_t>(s.system_flags) & SystemFlag::NoRememberDest) return;
    remembered = PathFolder(destination);
    if (remembered.size() > kMaxPath) remembered.resize(kMaxPath);
}

int CopyNumbered(const std::vector<std::wstring>& sources, std::wstring_view folder, int first,
                 const CopyFs& fs) {
    int done = 0;
    for (const std::wstring& from : sources) {
        const std::wstring to = PathJoin(folder, NumberedCopyName(first + done, FileNameOf(from)));
        if (!fs.copyNew(fs.ctx, from, to)) break;
        ++done;
    }
    return done;
}

MoveWay ChooseMoveWay(const MoveFacts& f, std::wstring_view from, std::wstring_view to) {
    if (!f.playingTrack || !f.outputOpen) return MoveWay::Plain;
    const bool sameDrive = !from.empty() && !to.empty() && UpperAscii(from[0]) == UpperAscii(to[0]);
    return f.ownMpegDecoder && sameDrive ? MoveWay::Seamless : MoveWay::StopMoveRestart;
}

bool ApplyMoveToList(TrackList& list, int row, std::wstring_view from, std::wstring_view to,
                     const std::wstring& lastFile) {
    if (!RowExists(list, row)) return false;
    if (SameTextNoCase(PathFolder(from), PathFolder(to))) {
        ListRow& r = list.rows[static_cast<size_t>(row)];
        const std::wstring name = FileNameOf(to);
        if (list.kind == savedFolderList) {
            r.cell[0] = name;
        } else {
            const size_t dot = name.find_last_of(L'.');
            if (dot != std::wstring::npos) {
                r.cell[0] = name.substr(0, dot);
                r.cell[2] = name.substr(dot + 1);
            }
        }
        if (list.view.rowChanged) list.view.rowChanged(list.view.ctx, row);
    } else {
        list.rows.erase(list.rows.begin() + row);
    }
    Reselect(list, row, lastFile);
    return true;
}

bool ApplyDeleteToList(TrackList& list, int row, const std::wstring& lastFile) {
    if (!RowExists(list, row)) return false;
    list.rows.erase(list.rows.begin() + row);
    Reselect(list, row, lastFile);
    return true;
}

std::wstring DeleteQuestion(std::wstring_view path) {
    return L"Really delete this file:\n\n" + std::wstring(path);
}
