// ini FILE: reads a settings file over the defaults, as the program does at start, and prints
// the file the program would write back.
#include <cstdio>

#include "base/utf.h"
#include "config/settings_io.h"
#include "probe/probe.h"
#include "probe/probe_files.h"

int ProbeIni(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zuvo-probe ini FILE\n");
        return 2;
    }
    Settings s;
    SetDefaults(s, ScreenMetrics{10, 1.0, 1920, 1080});
    FileOps fs = StdFileOps();
    std::wstring path = Utf8ToWide(argv[1]);
    SettingsReadResult r;
    if (!ReadSettingsFile(s, fs, path, nullptr, &r)) {
        std::fprintf(stderr, "zuvo-probe: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string old;
    ReadWholeFile(argv[1], old);
    std::string text = SettingsToIni(s, old);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}
