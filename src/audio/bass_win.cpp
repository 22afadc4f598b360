#include "audio/bass_win.h"

#include <cstring>
#include <vector>

#include "audio/bass_download_win.h"
#include "audio/engine_win.h"
#include "audio/play_state.h"
#include "base/dialog_win.h"
#include "base/dll_win.h"
#include "base/path.h"
#include "base/text.h"
#include "base/utf.h"
#include "config/settings.h"
#include "tags/id3_store.h"

extern Settings g_settings;

namespace {

constexpr DWORD kUnicode = 0x80000000u, kDecode = 0x200000u, kFloat = 0x100u;
constexpr DWORD kBlock = 0x100000u;
constexpr UINT kMsgMeta = WM_APP + 22;  // the stream's metadata changed (from BASS's thread)
constexpr DWORD kMusicPrescan = 0x20000u, kMusicSensitiveRamp = 0x400u | 0x200u;

struct BassChannelInfo {
    DWORD freq, chans, flags, ctype, origres, plugin, sample;
    const char* filename;
};
struct BassPluginForm {
    DWORD ctype;
    const char* name;
    const char* exts;
};
struct BassPluginInfo {
    DWORD version, formatc;
    const BassPluginForm* formats;
};

// The entry points, resolved by name.
struct BassApi {
    BOOL(WINAPI* Init)(int, DWORD, DWORD, HWND, const void*);
    BOOL(WINAPI* Free)();
    BOOL(WINAPI* SetConfig)(DWORD, DWORD);
    BOOL(WINAPI* SetConfigPtr)(DWORD, const void*);
    DWORD(WINAPI* GetVersion)();
    double(WINAPI* ChannelBytes2Seconds)(DWORD, uint64_t);
    uint64_t(WINAPI* ChannelSeconds2Bytes)(DWORD, double);
    DWORD(WINAPI* ChannelIsActive)(DWORD);
    BOOL(WINAPI* ChannelGetInfo)(DWORD, BassChannelInfo*);
    uint64_t(WINAPI* ChannelGetLength)(DWORD, DWORD);
    BOOL(WINAPI* ChannelSetPosition)(DWORD, uint64_t, DWORD);
    uint64_t(WINAPI* ChannelGetPosition)(DWORD, DWORD);
    DWORD(WINAPI* ChannelGetData)(DWORD, void*, DWORD);
    BOOL(WINAPI* ChannelGetAttribute)(DWORD, DWORD, float*);
    BOOL(WINAPI* ChannelSetAttribute)(DWORD, DWORD, float);
    DWORD(WINAPI* StreamCreateFile)(BOOL, const void*, uint64_t, uint64_t, DWORD);
    DWORD(WINAPI* StreamCreateURL)(const char*, DWORD, DWORD, void*, void*);
    BOOL(WINAPI* StreamFree)(DWORD);
    uint64_t(WINAPI* StreamGetFilePosition)(DWORD, DWORD);
    DWORD(WINAPI* PluginLoad)(const void*, DWORD);
    BOOL(WINAPI* PluginFree)(DWORD);
    const BassPluginInfo*(WINAPI* PluginGetInfo)(DWORD);
    DWORD(WINAPI* MusicLoad)(BOOL, const void*, uint64_t, DWORD, DWORD, DWORD);
    BOOL(WINAPI* MusicFree)(DWORD);
    const char*(WINAPI* ChannelGetTags)(DWORD, DWORD);
    DWORD(WINAPI* ChannelSetSync)(DWORD, DWORD, uint64_t, void*, void*);
    BOOL(WINAPI* ChannelPlay)(DWORD, BOOL);
};

struct BassState {
    HMODULE dll = nullptr;
    BassApi api{};
    bool loaded = false;
    std::string bassList, playable;
    DWORD channel = 0;
    bool isModule = false;
    uint32_t modChannels = 0, channels = 0;
    uint32_t outChannels = 2;  // what reaches the output, fixed at open (play init's count)
    bool isFloat = false;  // the channel gives 32-bit floats (opened for the 24-bit mode)
    bool network = false;
    uint32_t ctype = 0;
    StationInfo station;
    std::wstring nowPlaying;
    HWND window = nullptr;  // receives kMsgMeta
    std::vector<uint8_t> block;  // a block as BASS gives it, before the down-mix
};
BassState g_bass;

template <typename Fn>
bool Resolve(Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(g_bass.dll, name)));
    return fn != nullptr;
}

bool ResolveAll() {
    BassApi& a = g_bass.api;
    return Resolve(a.Init, "BASS_Init") && Resolve(a.Free, "BASS_Free") &&
           Resolve(a.SetConfig, "BASS_SetConfig") && Resolve(a.SetConfigPtr, "BASS_SetConfigPtr") &&
           Resolve(a.GetVersion, "BASS_GetVersion") &&
           Resolve(a.ChannelBytes2Seconds, "BASS_ChannelBytes2Seconds") &&
           Resolve(a.ChannelSeconds2Bytes, "BASS_ChannelSeconds2Bytes") &&
           Resolve(a.ChannelIsActive, "BASS_ChannelIsActive") &&
           Resolve(a.ChannelGetInfo, "BASS_ChannelGetInfo") &&
           Resolve(a.ChannelGetLength, "BASS_ChannelGetLength") &&
           Resolve(a.ChannelSetPosition, "BASS_ChannelSetPosition") &&
           Resolve(a.ChannelGetPosition, "BASS_ChannelGetPosition") &&
           Resolve(a.ChannelGetData, "BASS_ChannelGetData") &&
           Resolve(a.ChannelGetAttribute, "BASS_ChannelGetAttribute") &&
           Resolve(a.ChannelSetAttribute, "BASS_ChannelSetAttribute") &&
           Resolve(a.StreamCreateFile, "BASS_StreamCreateFile") &&
           Resolve(a.StreamCreateURL, "BASS_StreamCreateURL") &&
           Resolve(a.StreamFree, "BASS_StreamFree") &&
           Resolve(a.StreamGetFilePosition, "BASS_StreamGetFilePosition") &&
           Resolve(a.PluginLoad, "BASS_PluginLoad") && Resolve(a.PluginFree, "BASS_PluginFree") &&
           Resolve(a.PluginGetInfo, "BASS_PluginGetInfo") &&
           Resolve(a.MusicLoad, "BASS_MusicLoad") && Resolve(a.MusicFree, "BASS_MusicFree") &&
           Resolve(a.ChannelGetTags, "BASS_ChannelGetTags") &&
           Resolve(a.ChannelSetSync, "BASS_ChannelSetSync") &&
           Resolve(a.ChannelPlay, "BASS_ChannelPlay");
}

unsigned WindowsMajor() {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&vi) ? vi.dwMajorVersion : 6;
#pragma GCC diagnostic pop
}

// The add-ons beside the program, with their formats' extensions.
void LoadAddOns() {
    const std::wstring folder = ProgramFolderWin();
    const std::vector<std::wstring> fonts = ProgramFilesMatchingWin(L"*.sf2");
    for (const std::wstring& name : ProgramFilesMatchingWin(L"bass*.dll")) {
        if (EqualsNoCase(name, L"bass.dll")) continue;
        const std::wstring path = PathJoin(folder, name);
        const DWORD plugin = g_bass.api.PluginLoad(path.c_str(), kUnicode);
        if (!plugin) continue;
        const BassPluginInfo* info = g_bass.api.PluginGetInfo(plugin);
        for (DWORD i = 0; info && info->formats && i < info->formatc; ++i) {
            const char* exts = info->formats[i].exts;
            if (!exts) continue;
            if (IsMidiFormat(exts)) {
                if (fonts.empty()) continue;
                const std::wstring font = PathJoin(folder, fonts.front());
                if (!g_bass.api.SetConfigPtr(0x10403, font.c_str())) continue;
            }
            const std::string list = PluginFormatExtensions(exts);
            AppendMissingExtensions(g_bass.bassList, list);
            AppendMissingExtensions(g_bass.playable, list);
        }
    }
}

// The channel's facts into the track record; false when BASS cannot tell them.
bool FillRecord(DWORD ch, bool network, MpegInfo& m, const wchar_t* path) {
    BassChannelInfo info{};
    if (!g_bass.api.ChannelGetInfo(ch, &info)) return false;
    m.header.sampleRate = info.freq;
    m.header.channelMode = info.chans == 1 ? 4 : 1;
    m.channels = static_cast<uint8_t>(info.chans);
    m.header.versionCode = 0;
    m.fileName = path;
    m.dwPointer = 0;
    m.dwAudioBeg = 0;
    const uint64_t bytes = g_bass.api.ChannelGetLength(ch, 0);
    const double seconds =
        bytes == static_cast<uint64_t>(-1) ? -1 : g_bass.api.ChannelBytes2Seconds(ch, bytes);
    m.lengthMs = BassLengthMs(seconds, network);
    m.dwAudioEnd = m.lengthMs;
    if (!network && seconds > 0 && !g_bass.isModule) {
        const uint64_t end = g_bass.api.StreamGetFilePosition(ch, 2);
        const uint64_t start = g_bass.api.StreamGetFilePosition(ch, 3);
        if (end != static_cast<uint64_t>(-1) && start != static_cast<uint64_t>(-1) && end > start)
            m.avgBitrate = static_cast<float>((end - start) * 8.0 / seconds);
    }
    g_bass.channels = info.chans;
    g_bass.ctype = info.ctype;
    g_bass.isFloat = (info.flags & kFloat) != 0;
    g_bass.outChannels = OutputChannels(info.chans ? info.chans : 2, g_settings.wave_flags);
    return true;
}

// The first present of Ogg, MP4 and APE comment lists.
void ReadComments(DWORD ch, BassTagFill& fill) {
    for (DWORD type : {BassTag::Ogg, BassTag::Mp4, BassTag::Ape}) {
        const char* tags = g_bass.api.ChannelGetTags(ch, type);
        if (!tags) continue;
        FillFromBassComments(BassTagTexts(tags, 65536), fill);
        return;
    }
}

void StoreTags(MpegInfo& m, const BassTagFill& f) {
    const std::pair<int, const std::wstring*> slots[] = {
        {kTagTitle, &f.title}, {kTagArtist, &f.artist}, {kTagAlbum, &f.album},
        {kTagTrack, &f.track}, {kTagYear, &f.year}};
    for (const auto& [slot, text] : slots)
        if (!text->empty() && !m.tagText[slot]) (void)Id3StoreText(m.tagText[slot], *text);
}

// Opens a file as a stream, else as a module; the handle or 0.
DWORD OpenFileChannel(const wchar_t* path, bool floatOut) {
    g_bass.isModule = false;
    g_bass.modChannels = 0;
    const DWORD fl = floatOut ? kFloat : 0;
    DWORD ch = g_bass.api.StreamCreateFile(FALSE, path, 0, 0, kUnicode | kDecode | fl);
    if (ch) return ch;
    ch = g_bass.api.MusicLoad(FALSE, path, 0, 0,
                              kUnicode | kDecode | kMusicPrescan | kMusicSensitiveRamp | fl, 44100);
    if (!ch) return 0;
    g_bass.isModule = true;
    float v = 0;
    while (g_bass.modChannels < 256 &&
           g_bass.api.ChannelGetAttribute(ch, 0x200 + g_bass.modChannels, &v))
        ++g_bass.modChannels;
    if (g_bass.modChannels < kSmallModuleChannels)
        g_bass.api.ChannelSetAttribute(ch, 0x101, static_cast<float>(kSmallModuleAmplify));
    return ch;
}

void FreeChannel(DWORD ch, bool module) {
    if (!ch) return;
    if (module)
        g_bass.api.MusicFree(ch);
    else
        g_bass.api.StreamFree(ch);
}

// ---- the engine's source ----

bool Takes(void*, const wchar_t* file) {
    if (!g_bass.loaded || !file) return false;
    const std::wstring_view f(file);
    if (IsUrl(f)) return true;
    const size_t dot = f.find_last_of(L".\\/");
    const bool mp3 = dot != std::wstring_view::npos && f[dot] == L'.' &&
                     EqualsNoCase(f.substr(dot), L".mp3");
    return !mp3 || (g_settings.wave_flags & 0x10);
}

// The now-playing text from the stream's metadata into the record's title (the title bar,
// the tray tip and the log read it there).
void ShowStreamTitle(Engine& e) {
    MpegInfo& m = e.track;
    delete[] m.tagText[kTagTitle];
    m.tagText[kTagTitle] = nullptr;
    if (!g_bass.nowPlaying.empty()) (void)Id3StoreText(m.tagText[kTagTitle], g_bass.nowPlaying);
}

bool ReadMeta(DWORD ch) {
    const char* meta = g_bass.api.ChannelGetTags(ch, BassTag::Meta);
    std::wstring title;
    if (!meta || !IcyStreamTitle(std::string_view(meta, strnlen(meta, 4096)), title)) return false;
    g_bass.nowPlaying = title;
    return true;
}

void CALLBACK MetaSync(DWORD, DWORD, DWORD, void*) {
    // BASS's network thread: the window thread reads the text.
    if (g_bass.window) PostMessageW(g_bass.window, kMsgMeta, 0, 0);
}

LRESULT CALLBACK MetaProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != kMsgMeta) return DefWindowProcW(w, msg, wp, lp);
    Engine e = EngineNow();
    if (g_bass.channel && g_bass.network && ReadMeta(g_bass.channel)) {
        ShowStreamTitle(e);
        BassDownloadTitleWin(g_bass.station.name.c_str(), g_bass.nowPlaying.c_str(),
                             e.track.avgBitrate, g_bass.ctype);
        if (e.io.host.refreshDisplay) e.io.host.refreshDisplay(e.io.host.ctx);
    }
    return 0;
}

void Status(Engine& e, const wchar_t* text, int ms) {
    if (e.io.host.statusMessage) e.io.host.statusMessage(e.io.host.ctx, text, ms);
}

// The connect sequence of a network stream: the handle or 0.
DWORD Connect(Engine& e, const wchar_t* url) {
    Status(e, L" Connecting...", 0);
    const DWORD ch = g_bass.api.StreamCreateURL(reinterpret_cast<const char*>(url), 0,
                                                kUnicode | kDecode | kBlock |
                                                    (e.ps.mode24 ? kFloat : 0),
                                                reinterpret_cast<void*>(&BassDownloadProc),
                                                nullptr);
    Status(e, ch ? L" Connecting... OK" : L" Connecting... failed", 3000);
    if (!ch) return 0;
    g_bass.station = StationInfo{};
    if (const char* wma = g_bass.api.ChannelGetTags(ch, BassTag::Wma))
        PickWmaTags(BassTagTexts(wma, 65536), g_bass.station);
    const char* icy = g_bass.api.ChannelGetTags(ch, BassTag::Icy);
    if (!icy) icy = g_bass.api.ChannelGetTags(ch, BassTag::Http);
    if (icy) PickIcyHeaders(BassTagTexts(icy, 65536), CodePage{}, g_bass.station);
    g_bass.nowPlaying.clear();
    ConnectNowPlaying(g_bass.station, g_bass.nowPlaying);
    g_bass.api.ChannelSetSync(ch, 4, 0, reinterpret_cast<void*>(&MetaSync), nullptr);
    (void)ReadMeta(ch);
    return ch;
}

int Open(void*, Engine& e, const wchar_t* file) {
    g_bass.channel = 0;
    BassDownloadFinishWin();
    g_bass.network = IsUrl(file);
    if (g_bass.network) {
        const DWORD ch = Connect(e, file);
        if (!ch || !FillRecord(ch, true, e.track, file)) {
            if (ch) g_bass.api.StreamFree(ch);
            return 0;
        }
        g_bass.isModule = false;
        g_bass.channel = ch;
        e.track.avgBitrate = static_cast<float>(g_bass.station.kbps * 1000);
        ShowStreamTitle(e);
        BassDownloadTitleWin(g_bass.station.name.c_str(), g_bass.nowPlaying.c_str(),
                             e.track.avgBitrate, g_bass.ctype);
        return 1;
    }
    const DWORD ch = OpenFileChannel(file, e.ps.mode24);
    if (!ch) return 0;
    if (!FillRecord(ch, false, e.track, file)) {
        FreeChannel(ch, g_bass.isModule);
        return 0;
    }
    g_bass.channel = ch;
    // The engine read the file's ID3 tags before; the comment lists count only without them.
    bool tagged = false;
    for (const wchar_t* t : e.track.tagText) tagged = tagged || (t && *t);
    if (!tagged) {
        BassTagFill fill;
        ReadComments(ch, fill);
        StoreTags(e.track, fill);
    }
    return 1;
}

// Up to `bytes` of the channel's data into g_bass.block, with the attempts a network stream
// waiting for data needs, and without the channels beyond two unless the 5.1 option keeps
// them; the bytes got, -1 at the end or on an error.
int64_t TakeData(Engine& e, uint32_t bytes) {
    const DWORD ch = g_bass.channel;
    MpegInfo& m = e.track;
    if (!ch) return -1;
    if (g_bass.api.ChannelIsActive(ch) == 0) {
        m.dwPointer = m.dwAudioEnd;
        return -1;
    }
    g_bass.block.resize(bytes);
    uint32_t got = 0;
    for (int attempt = 0; attempt < 9; ++attempt) {
        const DWORD r = g_bass.api.ChannelGetData(ch, g_bass.block.data(), static_cast<DWORD>(bytes));
        if (r == static_cast<DWORD>(-1)) return -1;
        got = r;
        if (got > 0) break;
        Sleep(100);  // a network stream waiting for data
    }
    const uint32_t chans = g_bass.channels ? g_bass.channels : 2;
    if (g_bass.outChannels < chans)
        got = KeepFirstTwoChannels(g_bass.block.data(), got, chans, g_bass.isFloat ? 4 : 2);
    const uint64_t pos = g_bass.api.ChannelGetPosition(ch, 0);
    if (pos != static_cast<uint64_t>(-1))
        m.dwPointer = static_cast<uint32_t>(g_bass.api.ChannelBytes2Seconds(ch, pos) * 1000.0);
    if (g_bass.network && g_bass.station.kbps == 0) {
        const uint64_t loaded = g_bass.api.StreamGetFilePosition(ch, 1);
        if (loaded != static_cast<uint64_t>(-1) &&
            StationBitrateStep(loaded, m.dwPointer, m.avgBitrate) && e.io.host.refreshDisplay)
            e.io.host.refreshDisplay(e.io.host.ctx);
    }
    return got;
}

// Bytes BASS is asked for so that what is kept of them fills `outFrames` frames.
uint32_t AskBytes(uint32_t outFrames) {
    const uint32_t chans = g_bass.channels ? g_bass.channels : 2;
    return outFrames * chans * (g_bass.isFloat ? 4 : 2);
}

// 16-bit PCM (from a float channel: the floats rounded and clipped).
uint32_t Read(void*, Engine& e, uint8_t* dst, uint32_t cap) {
    const int64_t got = TakeData(e, AskBytes(cap / (g_bass.outChannels * 2)));
    if (got <= 0) return 0;
    if (!g_bass.isFloat) {
        std::memcpy(dst, g_bass.block.data(), static_cast<size_t>(got));
        return static_cast<uint32_t>(got);
    }
    const uint32_t n = static_cast<uint32_t>(got) / 4;
    FloatToPcm16(reinterpret_cast<const float*>(g_bass.block.data()), n,
                 reinterpret_cast<int16_t*>(dst));
    return n * 2;
}

// The 24-bit mode: floats as BASS gives them (from a 16-bit channel: x 1/32768).
uint32_t ReadFloat(void*, Engine& e, float* dst, uint32_t samples) {
    const int64_t got = TakeData(e, AskBytes(samples / g_bass.outChannels));
    if (got <= 0) return 0;
    if (g_bass.isFloat) {
        std::memcpy(dst, g_bass.block.data(), static_cast<size_t>(got));
        return static_cast<uint32_t>(got) / 4;
    }
    const uint32_t n = static_cast<uint32_t>(got) / 2;
    const auto* s = reinterpret_cast<const int16_t*>(g_bass.block.data());
    for (uint32_t i = 0; i < n; ++i) dst[i] = s[i] * (1.0f / 32768.0f);
    return n;
}

void Seek(void*, Engine& e) {
    const DWORD ch = g_bass.channel;
    if (!ch) return;
    const uint64_t bytes = g_bass.api.ChannelSeconds2Bytes(ch, e.track.dwPointer / 1000.0);
    g_bass.api.ChannelSetPosition(ch, bytes, 0);
}

void Close(void*, Engine&) {
    if (g_bass.network) {
        BassDownloadFinishWin();
        BassDownloadTitleWin(L"", L"", 0, 0);  // no stream: "Save" is refused
    }
    FreeChannel(g_bass.channel, g_bass.isModule);
    g_bass.channel = 0;
    g_bass.modChannels = 0;
    g_bass.network = false;
}

}  // namespace

int BassLoadWin() {
    if (g_bass.loaded) return 1;
    g_bass.dll = LoadProgramDll(L"bass.dll");
    if (!g_bass.dll) return 0;
    if (!ResolveAll() || !BassVersionAccepted(g_bass.api.GetVersion()) ||
        !g_bass.api.Init(0, 44100, 0, nullptr, nullptr)) {
        FreeLibrary(g_bass.dll);
        g_bass = BassState{};
        return 0;
    }
    const BassExtensionLists lists =
        BassBaseExtensions((g_settings.wave_flags & 0x10) != 0, WindowsMajor());
    g_bass.bassList = lists.bass;
    g_bass.playable = lists.playable;
    LoadAddOns();
    BassApi& a = g_bass.api;
    a.SetConfig(1, 0);
    a.SetConfig(21, 1);
    a.SetConfig(12, static_cast<DWORD>(g_settings.streambuffer) * 1000);
    if (const char* proxy = BassProxy(g_settings.wave_flags, g_settings.inet))
        a.SetConfigPtr(17, proxy);
    a.SetConfig(0x10101, 1);
    a.SetConfig(0x10103, 1);
    a.SetConfig(60, 1);
    g_bass.window = MessageWindowWin(L"ZuvoBassMeta", MetaProc);
    g_bass.loaded = true;
    return 1;
}

void BassUnloadWin() {
    if (!g_bass.dll) return;
    if (g_bass.loaded) {
        FreeChannel(g_bass.channel, g_bass.isModule);
        g_bass.api.PluginFree(0);
        g_bass.api.Free();
    }
    FreeLibrary(g_bass.dll);
    if (g_bass.window) DestroyWindow(g_bass.window);
    g_bass = BassState{};
}

bool BassLoadedWin() { return g_bass.loaded; }

std::string BassVersionTextWin() {
    return g_bass.loaded ? BassVersionText(g_bass.api.GetVersion()) : std::string();
}

const std::string& BassPlayableExtensionsWin() { return g_bass.playable; }

BassSourceOps BassSourceOpsWin() {
    return BassSourceOps{nullptr, Takes, Open, Read, ReadFloat, Seek, Close};
}

bool BassScanInfoWin(const wchar_t* path, BassScanFacts& out) {
    if (!g_bass.loaded) return false;
    // The playing channel's module flag and counts are kept apart from the scan's.
    const bool module = g_bass.isModule, isFloat = g_bass.isFloat;
    const uint32_t modChannels = g_bass.modChannels, channels = g_bass.channels;
    const uint32_t outChannels = g_bass.outChannels, ctype = g_bass.ctype;
    const DWORD ch = OpenFileChannel(path, false);
    const bool scannedModule = g_bass.isModule;
    MpegInfo m;
    const bool ok = ch && FillRecord(ch, false, m, path);
    if (ok) {
        out.lengthMs = m.lengthMs;
        out.rate = m.header.sampleRate;
        out.channelMode = m.header.channelMode;
        out.bitrateBps = m.avgBitrate;
        ReadComments(ch, out.tags);
    }
    FreeChannel(ch, scannedModule);
    g_bass.isModule = module;
    g_bass.modChannels = modChannels;
    g_bass.channels = channels;
    g_bass.isFloat = isFloat;
    g_bass.outChannels = outChannels;
    g_bass.ctype = ctype;
    return ok;
}

bool BassStreamPlayingWin() { return g_bass.channel && g_bass.network; }
std::wstring BassNowPlayingWin() { return BassStreamPlayingWin() ? g_bass.nowPlaying : L""; }
std::wstring BassStationUrlWin() { return BassStreamPlayingWin() ? g_bass.station.url : L""; }
std::wstring BassStationNameWin() { return BassStreamPlayingWin() ? g_bass.station.name : L""; }
