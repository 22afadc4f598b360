#include "tools/renamer.h"

namespace {

template <class Str>
int CountLines(Str text) {
    int n = 1;
    for (size_t at = text.find(typename Str::value_type('\r')); at != Str::npos;
         at = text.find(typename Str::value_type('\r'), at + 1))
        if (at + 1 < text.size() && text[at + 1] == '\n') ++n;
    return n;
}

template <class Str>
Str LineOf(Str text, int index) {
    using C = typename Str::value_type;
    const C crlf[] = {C('\r'), C('\n'), C(0)};
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const size_t end = text.find(crlf, start);
        if (end == Str::npos) return Str();
        start = end + 2;
    }
    const size_t end = text.find(crlf, start);
    return text.substr(start, end == Str::npos ? Str::npos : end - start);
}

std::wstring Joined(const std::wstring& folder, std::wstring_view line) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += line;
    if (path.size() > kRenamerPathMax) path.resize(kRenamerPathMax);
    return path;
}

std::string Narrow(const std::wstring& cell) {
    std::string out;
    out.reserve(cell.size());
    for (wchar_t c : cell) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

int EditLineCount(std::wstring_view text) {
    return CountLines(text);
}
int EditLineCount(std::string_view text) {
    return CountLines(text);
}
std::wstring EditLine(std::wstring_view text, int index) {
    return std::wstring(LineOf(text, index));
}
std::string EditLine(std::string_view text, int index) {
    return std::string(LineOf(text, index));
}

RenamerTexts RenamerFill(const TrackList& list, int dateColumn) {
    RenamerTexts t;
    if (dateColumn < 0 || dateColumn >= kListColumns) return t;
    for (size_t i = 0; i < list.rows.size(); ++i) {
        if (!list.rows[i].selected) continue;
        if (t.names.size() > kRenamerNamesMax || t.dates.size() > kRenamerDatesMax) break;
        std::wstring name;
        if (RowPath(list, static_cast<int>(i), name, true) != 1) continue;
        t.names += name + L"\r\n";
        // Date cells are digits and separators: 8-bit text holds them unchanged.
        t.dates += Narrow(list.rows[i].cell[dateColumn]) + "\r\n";
        ++t.rows;
    }
    return t;
}

RenamerTexts RenamerFillLines(const std::vector<std::wstring>& names,
                              const std::vector<std::wstring>& dates) {
    RenamerTexts t;
    for (size_t i = 0; i < names.size() && i < dates.size(); ++i) {
        if (t.names.size() > kRenamerNamesMax || t.dates.size() > kRenamerDatesMax) break;
        t.names += names[i] + L"\r\n";
        t.dates += Narrow(dates[i]) + "\r\n";
        ++t.rows;
    }
    return t;
}

RenamerResult RenamerCheckCounts(const RenamerRun& run) {
    const int want = EditLineCount(run.reference);
    if (EditLineCount(run.names) != want) return RenamerResult::WrongNameCount;
    if (EditLineCount(run.dates) != want) return RenamerResult::WrongDateCount;
    return RenamerResult::Done;
}

int RenamerFileCount(const RenamerRun& run) {
    return EditLineCount(run.reference) - 1;
}

RenamerOutcome RenamerExecute(const RenamerRun& run, const RenamerFs& fs) {
    RenamerOutcome out;
    out.result = RenamerCheckCounts(run);
    if (out.result != RenamerResult::Done) return out;
    // The last "line" is the empty one after the final CR LF; it names no file.
    for (int line = RenamerFileCount(run) - 1; line >= 0; --line) {
        const std::wstring from = Joined(run.folder, EditLine(run.reference, line));
        if (!run.changeDates) {
            const std::wstring to = Joined(run.folder, EditLine(run.names, line));
            if (from == to) continue;
            if (!fs.rename(fs.ctx, from, to)) {
                out.result = RenamerResult::RenameFailed;
                out.failedPath = from;
                return out;
            }
            ++out.changed;
            continue;
        }
        const std::string text = EditLine(run.dates, line);
        if (text.size() != kDateTextLength) {
            out.result = RenamerResult::DateFailed;
            out.failedPath = from;
            return out;
        }
        DateFields d;
        if (!ParseDateText(text, d) || !DateFieldsValid(d)) {
            out.result = RenamerResult::DateInvalid;
            return out;
        }
        const int set = fs.setDate(fs.ctx, from, d, run.creationDates);
        if (set < 0) {
            out.result = RenamerResult::DateInvalid;
            return out;
        }
        if (set == 0) {
            out.result = RenamerResult::DateFailed;
            out.failedPath = from;
            return out;
        }
        ++out.changed;
    }
    return out;
}
