#include "library/info_scan.h"

#include "base/text.h"
#include "library/list_text.h"

namespace {
std::wstring Widen(const std::string& t) { return std::wstring(t.begin(), t.end()); }

std::string Kbps(const InfoFacts& f) { return Format("%03.0f", f.bitrateBps / 1000.0); }

const char* ModeText(const InfoFacts& f) {
    if (f.fromBass) return f.channelMode == 1 ? "S" : "M ";
    switch (f.channelMode) {
    case 1: return "S ";
    case 2: return "JS";
    case 3: return "DC";
    default: return "M ";
    }
}

// "a - b", or either alone; nothing when both are empty.
std::optional<std::wstring> Joined(const std::wstring& a, const wchar_t* sep,
                                   const std::wstring& b) {
    if (a.empty() && b.empty()) return std::nullopt;
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + sep + b;
}
}  // namespace

uint32_t ScanLengthMs(uint64_t fileSize, uint32_t audioBeg, double bitrateBps) {
    if (!(bitrateBps > 0) || fileSize <= audioBeg) return 0;
    const double ms = static_cast<double>(fileSize - audioBeg) * 8000.0 / bitrateBps;
    return ms >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
}

bool InfoKindNeedsTags(uint32_t infoRow) {
    switch (infoRow & InfoKind::Mask) {
    case InfoKind::ArtistTitle:
    case InfoKind::TrackNumber:
    case InfoKind::TagTypes:
    case InfoKind::YearAlbum: return true;
    default: return false;
    }
}

std::optional<std::wstring> InfoCellText(uint32_t infoRow, const InfoFacts& f,
                                         const Settings& s) {
    if ((infoRow & 0x3FF) == 0) return std::nullopt;  // no info column
    switch (infoRow & InfoKind::Mask) {
    case InfoKind::Bitrate: return Widen(Kbps(f));
    case InfoKind::Length: return FormatTrackTime(f.lengthMs, s);
    case InfoKind::Format:
        return Widen(Kbps(f) + Format(", %02u, ", f.sampleRate / 1000) + ModeText(f));
    case InfoKind::TagTypes:
        return Widen(Kbps(f) + (f.id3v1 ? ", ID3v1" : "") + (f.id3v2 ? ", ID3v2" : ""));
    case InfoKind::ArtistTitle: return Joined(f.artist, L" - ", f.title);
    case InfoKind::TrackNumber:
        if (f.track.empty()) return std::nullopt;
        return f.track;
    case InfoKind::YearAlbum: return Joined(f.year, L", ", f.album);
    default: return std::nullopt;  // notes and unknown kinds are not the scan's
    }
}

bool SizeCellScanned(std::wstring_view cell, const Settings& s) {
    const wchar_t sep = (static_cast<uint32_t>(s.stylez) & Style::ColonMinutes) ? L':' : L'\'';
    return cell.find(sep) != std::wstring_view::npos;
}

int RunInfoScan(const InfoScanOps& ops, int rows, const Settings& s, bool resortAfterScan,
                uint8_t sortByte, const std::atomic<bool>& stop) {
    const uint32_t infoRow = static_cast<uint32_t>(s.info_row);
    const bool keepSize = infoRow & kInfoRowNoLength;
    int changed = 0;
    for (int row = 0; row < rows; ++row) {
        if (stop.load()) return changed;
        if (SizeCellScanned(ops.sizeCell(ops.ctx, row), s)) continue;
        std::wstring path;
        if (!ops.rowPath(ops.ctx, row, path)) continue;
        InfoFacts f;
        bool known = false;
        if (ops.kind(ops.ctx, path) == 1 &&
            ops.scanMpeg(ops.ctx, path, InfoKindNeedsTags(infoRow), f)) {
            known = true;
        } else {
            const int ms = ops.pluginLengthMs ? ops.pluginLengthMs(ops.ctx, path) : 0;
            if (ms > 0) {
                if (keepSize) continue;
                const std::wstring t = FormatTrackTime(static_cast<uint32_t>(ms), s);
                ops.setRow(ops.ctx, row, &t, nullptr);
                ++changed;
                continue;
            }
            if (ops.bassScan && ops.bassScan(ops.ctx, path, f)) {
                f.fromBass = true;
                known = true;
            }
        }
        if (!known) continue;
        std::optional<std::wstring> size, info = InfoCellText(infoRow, f, s);
        if (!keepSize) size = FormatTrackTime(f.lengthMs, s);
        if (!size && !info) continue;
        ops.setRow(ops.ctx, row, size ? &*size : nullptr, info ? &*info : nullptr);
        ++changed;
    }
    if (ops.finish) ops.finish(ops.ctx, !keepSize, resortAfterScan && (sortByte & 6) != 0);
    return changed;
}
