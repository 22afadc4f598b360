#include "tools/compare.h"

#include <algorithm>
#include <cstdlib>

#include "base/path.h"
#include "config/settings_bits.h"
#include "library/list_text.h"

namespace {

constexpr size_t kLocatedFolderChars = 16;  // of the folder path shown after the side mark
constexpr int kDateToleranceUnits = 10;     // upper 32 bits of two file times may differ by this

std::string Narrow(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

int Compare(const CompareText& t, const std::wstring& a, const std::wstring& b) {
    return t.compare(t.ctx, a, b);
}

MenuItem Command(unsigned id, const wchar_t* text, bool enabled) {
    MenuItem m;
    m.id = id;
    m.text = text;
    m.greyed = !enabled;
    return m;
}

MenuItem Separator() {
    MenuItem m;
    m.kind = MenuItem::Separator;
    return m;
}

}  // namespace

std::wstring CompareLocated(CompareSide side, std::wstring_view folder) {
    std::wstring out = side == CompareSide::Base ? L"Base     " : L"Comp    ";
    out += folder.substr(0, kLocatedFolderChars);
    return out + L"...";
}

CompareSide CompareSideOf(std::wstring_view located) {
    if (located.substr(0, 4) == L"Base") return CompareSide::Base;
    if (located.substr(0, 4) == L"Comp") return CompareSide::Comp;
    return CompareSide::Other;
}

int CompareFillSide(const CompareFs& fs, const std::wstring& root, CompareSide side,
                    uint32_t bits, const Settings& s, std::vector<CompareRow>& rows) {
    const bool subfolders = bits & CompareFlag::ScanSubfolders;
    const bool hideDates = bits & CompareFlag::HideDates;
    int files = 0;
    std::vector<std::wstring> pending{root};
    std::vector<CompareEntry> entries;
    while (!pending.empty()) {
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        entries.clear();
        if (!fs.list(fs.ctx, folder, entries)) continue;
        const std::wstring relative = folder.substr(std::min(root.size(), folder.size()));
        const std::wstring located = CompareLocated(side, folder);
        for (const CompareEntry& e : entries) {
            if (e.directory) {
                if (subfolders) pending.push_back(folder + e.name + L'\\');
                continue;
            }
            CompareRow r;
            r.file = relative + e.name;
            r.size = SizeText(e.size, s);
            r.date = hideDates ? L" " : DateText(e.written, e.written, Settings{});
            r.located = located;
            rows.push_back(std::move(r));
            ++files;
        }
        if (fs.progress && fs.progress(fs.ctx, files)) return -1;
    }
    return files;
}

bool CompareDatesMatch(std::wstring_view a, std::wstring_view b, const CompareFs& fs) {
    if (a == b) return true;
    DateFields da, db;
    uint64_t ta = 0, tb = 0;
    if (!ParseDateText(Narrow(a), da) || !ParseDateText(Narrow(b), db) ||
        !fs.localToUtc(fs.ctx, da, ta) || !fs.localToUtc(fs.ctx, db, tb))
        return false;
    const int64_t high = static_cast<int64_t>(ta >> 32) - static_cast<int64_t>(tb >> 32);
    return std::llabs(high) <= kDateToleranceUnits;
}

int CompareRemoveEqualPairs(std::vector<CompareRow>& rows, const CompareText& text,
                            const CompareFs& fs) {
    std::stable_sort(rows.begin(), rows.end(), [&](const CompareRow& a, const CompareRow& b) {
        return Compare(text, a.file, b.file) < 0;
    });
    std::vector<CompareRow> kept;
    kept.reserve(rows.size());
    int diffs = 0;
    size_t i = 0;
    while (i < rows.size()) {
        const bool pair = i + 1 < rows.size() && Compare(text, rows[i].file, rows[i + 1].file) == 0 &&
                          rows[i].size == rows[i + 1].size &&
                          CompareDatesMatch(rows[i].date, rows[i + 1].date, fs);
        if (pair) {
            i += 2;  // both rows leave the table
            continue;
        }
        ++diffs;
        kept.push_back(std::move(rows[i]));
        ++i;
    }
    rows = std::move(kept);
    return diffs;
}

std::wstring CompareFilesText(int n) {
    return std::to_wstring(n) + L"  files";
}

std::wstring CompareDiffsText(int n) {
    return std::to_wstring(n) + L"  diffs";
}

std::wstring CompareParentOf(std::wstring_view path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash + 1));
}

CompareStep CompareSiblingStep(std::wstring_view path, std::vector<std::wstring>& siblings,
                               bool next, const CompareText& text, std::wstring& out) {
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring_view::npos) return CompareStep::NoBackslash;
    const std::wstring own(path.substr(slash + 1));
    std::stable_sort(siblings.begin(), siblings.end(),
                     [&](const std::wstring& a, const std::wstring& b) {
                         return Compare(text, a, b) < 0;
                     });
    const auto at = std::find_if(siblings.begin(), siblings.end(), [&](const std::wstring& n) {
        return Compare(text, n, own) == 0;
    });
    if (at == siblings.end()) return CompareStep::NotFound;
    if (next ? at + 1 == siblings.end() : at == siblings.begin()) return CompareStep::AtEnd;
    out = std::wstring(path.substr(0, slash + 1)) + *(next ? at + 1 : at - 1);
    return CompareStep::Moved;
}

CompareColours CompareRowColours(std::wstring_view located, int row, bool darkDialogs) {
    CompareColours c;
    switch (CompareSideOf(located)) {
        case CompareSide::Base:
            c.text = 0x0000FF;  // red
            break;
        case CompareSide::Comp:
            c.text = 0xFF0000;  // blue
            break;
        case CompareSide::Other:
            c.text = 0x808080;
            break;
    }
    c.back = row % 2 ? 0xF0F0F0 : darkDialogs ? 0xE0E0E0 : 0xFFFFFF;
    return c;
}

uint8_t CompareHeaderClick(uint8_t sortByte, int column) {
    static const uint8_t kMethod[4] = {1, 2, 4, 3};
    if (column < 0 || column > 3) return sortByte;
    const uint8_t method = kMethod[column];
    if ((sortByte & 7) == method) return sortByte ^ 8;
    return column == 2 ? method | 8 : method;
}

std::wstring CompareSortKey(uint8_t method, const CompareRow& row) {
    switch (method) {
        case 1:
            return row.file.substr(0, 49);
        case 2: {
            const std::wstring size = row.size.substr(0, 19);
            return std::wstring(20 - size.size(), L' ') + size;
        }
        case 3:
            return row.located.substr(0, 3) + row.file.substr(0, 44);
        case 4:
            return row.date.substr(0, 49);
        default:
            return std::wstring();
    }
}

int CompareSortRows(uint8_t sortByte, const CompareRow& a, const CompareRow& b,
                    const CompareText& text) {
    const uint8_t method = sortByte & 7;
    const int order = Compare(text, CompareSortKey(method, a), CompareSortKey(method, b));
    return sortByte & 8 ? -order : order;
}

int CompareSelectionMask(const std::vector<std::wstring>& locatedCells) {
    int mask = 0;
    for (const std::wstring& cell : locatedCells) {
        switch (CompareSideOf(cell)) {
            case CompareSide::Base:
                mask |= 1;
                break;
            case CompareSide::Comp:
                mask |= 2;
                break;
            case CompareSide::Other:
                mask |= 4;
                break;
        }
    }
    return mask;
}

Menu CompareMenu(int mask, int selected, const std::wstring* const launch[3]) {
    const bool oneSide = mask == 1 || mask == 2;
    const bool single = selected == 1 && oneSide;
    Menu m;
    m.push_back(Command(kCmpCopy,
                        mask == 1   ? L"Copy to Comp"
                        : mask == 2 ? L"Copy to Base"
                                    : L"Copy to ...",
                        oneSide));
    m.push_back(Command(kCmpMove,
                        mask == 1   ? L"Move to Comp"
                        : mask == 2 ? L"Move to Base"
                                    : L"Move to ...",
                        oneSide));
    m.push_back(Command(kCmpDelete, L"Delete", oneSide));
    m.push_back(Command(kCmpNameAndDate, L"Copy name and date", mask == 3 && selected == 2));
    m.push_back(Command(kCmpRename, L"Rename", single));
    bool anyProgram = false;
    for (int i = 0; i < 3; ++i) anyProgram = anyProgram || launch[i]->size() > 1;
    if (anyProgram) {
        m.push_back(Separator());
        for (int i = 0; i < 3; ++i) {
            const std::wstring& v = *launch[i];
            if (v.size() < 2 || v[0] != L'0') continue;
            const size_t slash = v.find_last_of(L"\\/");
            const std::wstring name = slash == std::wstring::npos || slash == 0
                                          ? v.substr(1)
                                          : v.substr(slash + 1);
            m.push_back(Command(kCmpExternal1 + static_cast<unsigned>(i), name.c_str(), single));
        }
    }
    m.push_back(Separator());
    m.push_back(Command(kCmpExplore, L"Explore", single));
    m.push_back(Command(kCmpOpen, L"Open", single));
    m.push_back(Separator());
    m.push_back(Command(kCmpEasyRenamer, L"Easy renamer", oneSide && selected > 1));
    return m;
}

std::wstring CompareQuestion(CompareAction action, std::wstring_view source,
                             std::wstring_view target, bool subfolders) {
    std::wstring q = action == CompareAction::Copy   ? L"Copy"
                     : action == CompareAction::Move ? L"Move"
                                                     : L"Delete";
    q += L" the selected file(s)\n\nfrom ";
    q += source;
    if (action != CompareAction::Delete) {
        q += L"\n\nto ";
        q += target;
        if (subfolders) q += L"\nand corresponding subfolders";
    }
    return q + L" ?";
}

std::wstring CompareFolderOf(std::wstring_view box) {
    std::wstring f(box);
    if (f.empty() || f.back() != L'\\') f += L'\\';
    return f;
}

std::wstring CompareTempName(std::wstring_view target) {
    return std::wstring(target) + L".zuvo-copy";
}

namespace {

// Copies from to the path `to` through a temporary name in its folder: the file appears (or
// replaces an existing one) only once it is complete, so a failed copy leaves nothing behind
// and an existing file whole.
bool SafeCopy(const CompareFileFs& fs, const std::wstring& from, const std::wstring& to) {
    const bool existed = fs.exists(fs.ctx, to);
    const std::wstring temp = CompareTempName(to);
    if (fs.exists(fs.ctx, temp) && !fs.remove(fs.ctx, temp)) return false;
    if (!fs.copyNew(fs.ctx, from, temp)) {
        fs.remove(fs.ctx, temp);  // a part-written copy
        return false;
    }
    if (fs.rename(fs.ctx, temp, to, existed)) return true;
    fs.remove(fs.ctx, temp);
    return false;
}

}  // namespace

int CompareTransfer(const std::vector<std::wstring>& sources,
                    const std::vector<std::wstring>& targets, bool move, const CompareFileFs& fs,
                    std::atomic<bool>* cancel) {
    int failed = 0;
    for (size_t i = 0; i < sources.size() && i < targets.size(); ++i) {
        if (cancel && *cancel) return failed + static_cast<int>(sources.size() - i);
        const std::wstring& from = sources[i];
        const std::wstring& to = targets[i];
        const std::wstring folder = PathFolder(to);
        bool ok = from != to && fs.exists(fs.ctx, from) &&
                  (folder.empty() || fs.makeFolders(fs.ctx, folder));
        if (ok && move) {
            ok = fs.rename(fs.ctx, from, to, true) ||
                 (SafeCopy(fs, from, to) && fs.remove(fs.ctx, from));
        } else if (ok) {
            ok = SafeCopy(fs, from, to);
        }
        if (!ok) ++failed;
    }
    return failed;
}

std::wstring CompareNameDateTarget(std::wstring_view target, std::wstring_view source) {
    const size_t slash = source.find_last_of(L'\\');
    const std::wstring_view name =
        slash == std::wstring_view::npos ? source : source.substr(slash + 1);
    return PathJoin(PathFolder(target), name);
}
