// zuvo-probe COMMAND ARGS...: runs one part of the program's core on the command line.
#include <cstdio>
#include <cstring>

#include "probe/probe.h"

namespace {

struct ProbeCommand {
    const char* name;
    int (*run)(int argc, char** argv);  // argv[0] is the command name
    const char* usage;
};

const ProbeCommand kCommands[] = {
    {"ini", ProbeIni, "ini FILE             read a settings file and write it back to stdout"},
    {"scan", ProbeScan, "scan FILE...         scan MPEG files and their tags, one line per file"},
    {"render", ProbeRender, "render [--ini S.ini] FILE... OUT.wav  play files through the engine into a WAV file"},
    {"lang-template", ProbeLangTemplate, "lang-template OUT.ini  write the built-in texts as a language file"},
    {"id3v1", ProbeId3v1, "id3v1 FILE TITLE ARTIST ALBUM YEAR COMMENT TRACK GENRE | --remove FILE  write or remove the ID3v1 tag"},
    {"id3v2-view", ProbeId3v2View, "id3v2-view FILE      the tag editor's raw ID3v2 view as text"},
    {"dsp", ProbeDsp, "dsp --ini S.ini IN.wav OUT.wav  run a 16-bit WAV through the sound processing"},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2) {
        for (const auto& c : kCommands)
            if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "usage: zuvo-probe COMMAND ...\n");
    for (const auto& c : kCommands) std::fprintf(stderr, "  zuvo-probe %s\n", c.usage);
    return 2;
}
