#include "audio/mpglib_posix.h"

#include <dlfcn.h>
#include <mpg123.h>

#include <cstring>

namespace {

// The libmpg123 functions the adapter uses, resolved by name.
struct Mpg123Api {
    void* module = nullptr;
    decltype(&mpg123_init) init = nullptr;
    decltype(&mpg123_new) create = nullptr;
    decltype(&mpg123_delete) destroy = nullptr;
    decltype(&mpg123_param) param = nullptr;
    decltype(&mpg123_format_none) formatNone = nullptr;
    decltype(&mpg123_format) format = nullptr;
    decltype(&mpg123_rates) rates = nullptr;
    decltype(&mpg123_open_feed) openFeed = nullptr;
    decltype(&mpg123_decode) decode = nullptr;
};
Mpg123Api g_api;

template <typename F>
bool Resolve(F& fn, const char* name) {
    fn = reinterpret_cast<F>(dlsym(g_api.module, name));
    return fn != nullptr;
}

bool LoadApi() {
    if (g_api.module) return true;
    g_api.module = dlopen("libmpg123.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!g_api.module) return false;
    const bool ok =
        Resolve(g_api.init, "mpg123_init") && Resolve(g_api.create, "mpg123_new") &&
        Resolve(g_api.destroy, "mpg123_delete") && Resolve(g_api.param, "mpg123_param") &&
        Resolve(g_api.formatNone, "mpg123_format_none") && Resolve(g_api.format, "mpg123_format") &&
        Resolve(g_api.rates, "mpg123_rates") && Resolve(g_api.openFeed, "mpg123_open_feed") &&
        Resolve(g_api.decode, "mpg123_decode");
    if (!ok || g_api.init() != MPG123_OK) {
        dlclose(g_api.module);
        g_api = Mpg123Api{};
        return false;
    }
    return true;
}

// The decoder handle lives at the start of the engine's state block.
mpg123_handle*& HandleOf(void* state) {
    return *static_cast<mpg123_handle**>(state);
}

int InitMp3(void* state) {
    mpg123_handle* h = g_api.create(nullptr, nullptr);
    if (!h) return 0;
    g_api.param(h, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    g_api.param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Every rate, the stream's own channel count, always signed 16-bit.
    g_api.formatNone(h);
    const long* rates = nullptr;
    size_t count = 0;
    g_api.rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        g_api.format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (g_api.openFeed(h) != MPG123_OK) {
        g_api.destroy(h);
        return 0;
    }
    HandleOf(state) = h;
    return 1;
}

void ExitMp3(void* state) {
    if (HandleOf(state)) g_api.destroy(HandleOf(state));
    HandleOf(state) = nullptr;
}

// -1 on a decoder error, 0 when output came, 1 when more input is needed.
int DecodeMp3(void* state, const uint8_t* in, int inBytes, uint8_t* out, int room, int* produced) {
    *produced = 0;
    mpg123_handle* h = HandleOf(state);
    if (!h) return -1;
    size_t done = 0;
    int r =
        g_api.decode(h, in, static_cast<size_t>(inBytes), out, static_cast<size_t>(room), &done);
    // The first frame announces the format without output; its samples follow at once.
    while (r == MPG123_NEW_FORMAT && done == 0)
        r = g_api.decode(h, nullptr, 0, out, static_cast<size_t>(room), &done);
    *produced = static_cast<int>(done);
    if (r == MPG123_ERR) return -1;
    return r == MPG123_NEED_MORE ? 1 : 0;
}

int g_moduleToken;  // the "module handle" the table hands out

void* Load(void*, const char* name) {
    if (std::strcmp(name, "mpglib.dll") != 0 || !LoadApi()) return nullptr;
    return &g_moduleToken;
}

void* Symbol(void*, void* module, const char* name) {
    if (module != &g_moduleToken) return nullptr;
    if (std::strcmp(name, "_InitMP3") == 0) return reinterpret_cast<void*>(&InitMp3);
    if (std::strcmp(name, "_ExitMP3") == 0) return reinterpret_cast<void*>(&ExitMp3);
    if (std::strcmp(name, "_decodeMP3") == 0) return reinterpret_cast<void*>(&DecodeMp3);
    return nullptr;
}

// libmpg123 stays loaded for the life of the process, as the DLL does.
void Unload(void*, void*) {}

}  // namespace

LibraryOps MpglibPosixLibrary() {
    return LibraryOps{nullptr, Load, Symbol, Unload};
}
