// Reads arbitrary bytes as a cue sheet, with and without byte positions, and follows a few play
// positions through the rows. Besides not crashing: every row has a length text (a track before
// any FILE has no file), the album title stays within its 200 characters, and the followed row
// exists.
#include <cstdlib>

#include "library/cue.h"
#include "library/list_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string playable = "mp3;mp2;mpa;";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (int32_t style : {0, static_cast<int32_t>(ListStyle::CueVbrPositions)}) {
        Settings s;
        s.list_style = style;
        s.info_row = static_cast<int32_t>(size & 1);
        CueReadEnv env;
        env.s = &s;
        env.playable = &playable;
        env.audio.totalMs = [](void*, const std::wstring& f) {
            return static_cast<uint32_t>(f.size() * 9973);
        };
        env.audio.hasFrameIndex = [](void*, const std::wstring& f) { return f.size() % 2 == 0; };
        env.audio.bytePosition = [](void*, const std::wstring&, int64_t from, uint32_t ms) {
            return from + static_cast<int64_t>(ms) * 3;
        };
        TrackList list;
        list.kind = cueList;
        CueState cue;
        const int rows = ReadCueSheetBytes(list, cue, L"C:\\Cd\\x.cue", bytes, env);
        if (rows != static_cast<int>(list.rows.size()) || cue.cueTitle.size() > 200) std::abort();
        for (const ListRow& r : list.rows)
            if (r.cell[2].empty() || r.cell[1].empty()) std::abort();
        if (rows == 0) continue;
        s.last_file = list.rows.back().cell[0];
        CueSheetLoaded(list, cue, s);
        for (int64_t pos : {int64_t{0}, int64_t{5000}, int64_t{1} << 40, int64_t{-7}}) {
            FollowCuePosition(list, cue, s, pos, 600000);
            if (list.currentRow >= rows) std::abort();
            (void)CueTitleText(cue);
        }
    }
    return 0;
}
