// Reads arbitrary bytes as an .m3u and an .m3u8 play list. Besides not crashing: every row is a
// playable file or an address (or, named " [...", a navigation row), no line gives more than one
// row, and writing the tracks gives one line per track.
#include <cstdlib>

#include "library/list_text.h"
#include "library/playlist_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string playable = "mp3;mp2;mpa;ogg;";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    size_t lineEnds = 0;  // CR LF, LF and a lone CR each end one line
    for (size_t i = 0; i < size; ++i)
        lineEnds +=
            bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == size || bytes[i + 1] != '\n'));
    Settings s;
    for (const wchar_t* name : {L"C:\\Lists\\a.m3u", L"C:\\Lists\\a.m3u8"}) {
        TrackList list;
        list.kind = playList;
        PlayListEnv env;
        env.s = &s;
        env.playable = &playable;
        env.bassLoaded = size % 2 == 0;
        const int rows = ReadPlayListBytes(list, name, bytes, env);
        if (rows < 0 || static_cast<size_t>(rows) > lineEnds ||
            list.rows.size() != static_cast<size_t>(rows))
            std::abort();
        // A file whose name begins with " [" reads as a navigation row, as every list's rows do.
        std::vector<std::wstring> paths;
        for (int i = 0; i < rows; ++i) {
            std::wstring path;
            const int kind = RowPath(list, i, path, false);
            if (kind == 2 && list.rows[static_cast<size_t>(i)].cell[0].compare(0, 2, L" [") == 0)
                continue;
            if (kind != 1 || path.empty()) std::abort();
            paths.push_back(path);
        }
        const PlayListText text = PlayListFileText(paths, name, CodePage{});
        if (text.lines != static_cast<int>(paths.size())) std::abort();
    }
    return 0;
}
