/* The stand-in add-on "bassflac.dll", built by winegcc: it tells the stand-in bass.dll, through
   the one entry "BASSplugin", which format it adds (FLAC). The stand-in bass.dll then lets
   libsndfile open FLAC files; without the add-on it refuses them, as the real library does. */
#include <windows.h>

#include "bass_standin.h"

static const StandinPluginForm kForms[] = {{0x10900, "FLAC", "*.flac;*.fla"}};
static const StandinPluginInfo kInfo = {0x02040000, 1, kForms};

const void* WINAPI StandinFlacPlugin(DWORD face) {
    return face == 0 ? &kInfo : NULL;
}
