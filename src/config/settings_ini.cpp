// The settings file: text to record (with the fix-ups for files of earlier versions) and
// record to text (with the other sections of the old file kept).
#include <algorithm>
#include <cstring>
#include <limits>

#include "base/path.h"
#include "base/text.h"
#include "base/utf.h"
#include "config/settings_io.h"

namespace {

enum class Kind { I32, U16, U8, COLS, EQ3, EQF3, TEXT, WIDE, LAUNCH };

constexpr size_t kUtf8ValueBytes = 998;    // path values are converted into a 999-byte buffer
constexpr size_t kTailSearchFrom = 50;     // the kept tail starts at a "\r\n[" at or after this
constexpr size_t kMinFavouriteChars = 11;  // shorter favourites are dropped on reading
constexpr size_t kMinDirHistoryChars = 9;

struct ReadContext {
    Settings& s;
    AnsiDecoder ansi;
};

int32_t NumberAt(std::string_view value, size_t offset) {
    return offset < value.size() ? ParseLeadingInt(value.substr(offset)) : 0;
}

// A decoded value up to its first control character: paths cannot hold one, and a hex-dumped
// value decoding to a line break would break the file at the next save.
std::wstring UpToControl(std::wstring w) {
    for (size_t i = 0; i < w.size(); ++i) {
        if (static_cast<uint32_t>(w[i]) < 0x20) {
            w.resize(i);
            break;
        }
    }
    return w;
}

// Path values: UTF-8 in files that say utf8, a hex dump of UTF-16LE bytes in older ones.
std::wstring DecodePath(const ReadContext& c, std::string_view value) {
    if (c.s.utf8Values != 0) return UpToControl(Utf8ToWide(value));
    std::string bytes = HexDumpToBytes(value);
    return UpToControl(Utf16LeToWide(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::wstring DecodeLaunch(const ReadContext& c, std::string_view value) {
    if (c.s.utf8Values != 0) return UpToControl(Utf8ToWide(value));
    return UpToControl(c.ansi ? c.ansi(value) : Cp1252ToWide(value));
}

template <Kind K, typename Field>
void ReadValue(const ReadContext& c, Field& f, std::string_view value, size_t limit) {
    if constexpr (K == Kind::I32) {
        f = ParseLeadingInt(value);
    } else if constexpr (K == Kind::U16 || K == Kind::U8) {
        // A number the field cannot hold is ignored, as a text that is too long is: cut to
        // its width it would be another value (65536 a silent volume), clamped it would set
        // every bit of a flags key.
        const int32_t v = ParseLeadingInt(value);
        if (v >= 0 && v <= std::numeric_limits<Field>::max()) f = static_cast<Field>(v);
    } else if constexpr (K == Kind::COLS) {
        f = {NumberAt(value, 0), NumberAt(value, 5), NumberAt(value, 10)};
    } else if constexpr (K == Kind::EQ3) {
        f = {NumberAt(value, 0), NumberAt(value, 4), NumberAt(value, 8)};
    } else if constexpr (K == Kind::EQF3) {
        f = {NumberAt(value, 0), NumberAt(value, 6), NumberAt(value, 12)};
    } else if constexpr (K == Kind::TEXT) {
        if (value.size() <= limit) f.assign(value);
    } else if constexpr (K == Kind::WIDE) {
        std::wstring w = DecodePath(c, value);
        if (w.size() <= limit) f = std::move(w);
    } else if constexpr (K == Kind::LAUNCH) {
        std::wstring w = DecodeLaunch(c, value);
        if (WideToUtf8(w).size() < limit) f = std::move(w);
    }
}

template <typename List>
void AppendToList(List& list, size_t firstSlot, typename List::value_type value) {
    for (size_t i = firstSlot; i < list.size(); ++i) {
        if (list[i].empty()) {
            list[i] = std::move(value);
            return;
        }
    }
}

// One key = value pair. Unknown keys are ignored.
void ReadKey(ReadContext& c, std::string_view key, std::string_view value) {
    Settings& s = c.s;
    if (key == "utf8") {
        s.utf8Values = ParseLeadingInt(value);
        return;
    }
#define ZUVO_READ(kind, name, limit)                    \
    if (key == #name) {                                 \
        ReadValue<Kind::kind>(c, s.name, value, limit); \
        return;                                         \
    }
    // The keys whose reading does more than store the value come first.
    if (key == "color_back") {
        s.color_back = s.color_trkbg = ParseLeadingInt(value);
        return;
    }
    if (key == "color_trkbg") {
        s.color_trkbg = ParseLeadingInt(value);
        s.trackBackgroundSet = true;
        return;
    }
    if (key == "slider_split") {
        s.slider_split = static_cast<uint16_t>(ParseLeadingInt(value) & 0x3FF);
        return;
    }
    if (key == "filebufsize") {
        s.filebufsize = static_cast<uint16_t>(std::clamp(ParseLeadingInt(value), 20, 500));
        return;
    }
    if (key == "rpt_mode") {
        int32_t v = ParseLeadingInt(value);
        s.rpt_mode = static_cast<uint8_t>(v >= 0 && v <= 3 ? v : 0);
        return;
    }
    ZUVO_SETTINGS_KEYS(ZUVO_READ)
#undef ZUVO_READ
    if (key == "enh_eq_set") {
        AppendToList(s.enh_eq_set, kBuiltInEnhPresets, std::string(value));
    } else if (key == "enh2_set") {
        AppendToList(s.enh2_set, 0, std::string(value));
    } else if (key == "fav_set") {
        std::wstring w = DecodePath(c, value);
        if (w.size() >= kMinFavouriteChars) AppendToList(s.fav_set, 0, std::move(w));
    } else if (key == "dir_history") {
        std::wstring w = UpToControl(Utf8ToWide(value));
        if (w.size() >= kMinDirHistoryChars) AppendToList(s.dir_history, 0, std::move(w));
    }
}

// Repairs values of earlier versions and impossible combinations after reading.
void FixUp(Settings& s, SettingsReadResult& r) {
    for (int layout = 0; layout < 3; ++layout) {
        if (s.list_name[layout] == 0 && s.list_size[layout] == 0 && s.list_ext[layout] == 0 &&
            s.list_date[layout] == 0) {
            s.list_name[layout] = s.list_size[layout] = s.list_ext[layout] = s.list_date[layout] =
                40;
        }
    }
    s.filebufsize = std::clamp<uint16_t>(s.filebufsize, 20, 500);
    if (s.hotkey_def.size() == 25) s.hotkey_def += "0x0000x000";
    if (s.hotkey_def.size() == 35) s.hotkey_def += "0x0000x0000x0000x0000x0000x000";
    if (s.bmpfile == "i") s.bmpfile = "n";
    // One step for both directions in earlier versions; the field is unsigned.
    uint32_t skip = static_cast<uint32_t>(s.skip_times);
    if (skip < 256) s.skip_times = static_cast<int32_t>(skip | (skip << 8));
    if ((s.big_embedded & kBigEmbeddedTop) && (s.big_embedded & kBigEmbeddedBottom))
        s.big_embedded = static_cast<uint16_t>(s.big_embedded & ~kBigEmbeddedTop);
    r.lastFileIsStream = IsUrl(s.last_file);
}

// ---- writing ----

template <Kind K, typename Field>
void WriteValue(std::string& out, const Field& f) {
    if constexpr (K == Kind::I32 || K == Kind::U16 || K == Kind::U8) {
        out += std::to_string(static_cast<int32_t>(f));
    } else if constexpr (K == Kind::COLS) {
        out += Format("%.4d,%.4d,%.4d", f[0], f[1], f[2]);
    } else if constexpr (K == Kind::EQ3) {
        out += Format("%.3d,%.3d,%.3d", f[0], f[1], f[2]);
    } else if constexpr (K == Kind::EQF3) {
        out += Format("%.5d,%.5d,%.5d", f[0], f[1], f[2]);
    } else if constexpr (K == Kind::TEXT) {
        out += f;
    } else {
        out += WideToUtf8Limited(f, kUtf8ValueBytes);
    }
}

void Line(std::string& out, const char* key, std::string_view value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

}  // namespace

SettingsReadResult SettingsFromIni(Settings& s, const uint8_t* data, size_t len, AnsiDecoder ansi) {
    SettingsReadResult result;
    std::string_view text(reinterpret_cast<const char*>(data), std::min(len, kSettingsReadLimit));
    // The text ends at its first NUL, as a terminated buffer would.
    text = text.substr(0, text.find('\0'));
    s.utf8Values = 0;
    ReadContext c{s, ansi};

    size_t pos = text.find('\n');  // the first line is never looked at
    if (pos == std::string_view::npos) return result;
    ++pos;
    for (;;) {
        size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) break;  // a last line without LF is not read
        std::string_view line = text.substr(pos, lf - pos);
        pos = lf + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line[0] == '[') {
            if (line.substr(0, 6) != "[Zuvo]") break;
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        ReadKey(c, line.substr(0, eq), line.substr(eq + 1));
    }
    FixUp(s, result);
    return result;
}

std::string SettingsToIni(const Settings& s, std::string_view oldFile) {
    std::string out = "[Zuvo]\r\nutf8=1\r\n";
#define ZUVO_WRITE(kind, name, limit)                                     \
    if (std::strcmp(#name, "color_trkbg") != 0 || s.trackBackgroundSet) { \
        out += #name "=";                                                 \
        WriteValue<Kind::kind>(out, s.name);                              \
        out += "\r\n";                                                    \
    }
    ZUVO_SETTINGS_KEYS(ZUVO_WRITE)
#undef ZUVO_WRITE
    for (size_t i = kBuiltInEnhPresets; i < s.enh_eq_set.size() && !s.enh_eq_set[i].empty(); ++i)
        Line(out, "enh_eq_set", s.enh_eq_set[i]);
    for (size_t i = 0; i < s.enh2_set.size() && !s.enh2_set[i].empty(); ++i)
        Line(out, "enh2_set", s.enh2_set[i]);
    for (size_t i = 0; i < s.fav_set.size() && !s.fav_set[i].empty(); ++i)
        Line(out, "fav_set", WideToUtf8Limited(s.fav_set[i], kUtf8ValueBytes));
    if (static_cast<uint32_t>(s.control_flags) & ControlFlag::RememberFolderPos) {
        for (size_t i = 0; i < s.dir_history.size() && !s.dir_history[i].empty(); ++i)
            Line(out, "dir_history", WideToUtf8Limited(s.dir_history[i], kUtf8ValueBytes));
    }
    if (oldFile.size() > kTailSearchFrom) {
        size_t tail = oldFile.find("\r\n[", kTailSearchFrom);
        if (tail != std::string_view::npos) out += oldFile.substr(tail + 2);
    }
    return out;
}

bool ReadSettingsFile(Settings& s, const FileOps& fs, const std::wstring& path, AnsiDecoder ansi,
                      SettingsReadResult* result) {
    std::string bytes;
    if (!fs.readFile(fs.ctx, path, kSettingsReadLimit, bytes)) return false;
    SettingsReadResult r =
        SettingsFromIni(s, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), ansi);
    if (result) *result = r;
    return true;
}

bool WriteSettingsFile(Settings& s, const FileOps& fs, const std::wstring& path, bool keepLists) {
    // The old file is read for the other sections it keeps, up to a bound: one byte more tells
    // that it went on, and then its last line within the bound, cut, is left out.
    std::string old;
    if (!fs.readFile(fs.ctx, path, kSettingsOldFileLimit + 1, old)) old.clear();
    if (old.size() > kSettingsOldFileLimit) {
        const size_t lineEnd = old.rfind("\r\n", kSettingsOldFileLimit - 2);
        old.resize(lineEnd == std::string::npos ? 0 : lineEnd + 2);
    }
    bool ok = fs.replaceFile(fs.ctx, path, SettingsToIni(s, old));
    if (!keepLists) FreeSettingsLists(s);
    return ok;
}

void FreeSettingsLists(Settings& s) {
    for (auto& e : s.enh_eq_set) std::string().swap(e);
    for (auto& e : s.enh2_set) std::string().swap(e);
    for (auto& e : s.fav_set) std::wstring().swap(e);
    for (auto& e : s.dir_history) std::wstring().swap(e);
}
