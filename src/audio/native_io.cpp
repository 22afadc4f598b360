#include "audio/native_io.h"

#include <algorithm>
#include <cstdio>

#include "audio/output.h"
#include "base/byte_reader.h"
#include "base/utf.h"

namespace {

FakeDevice& Dev(void* ctx) {
    return *static_cast<FakeDevice*>(ctx);
}

void* WoOpen(void* ctx, int device, const WaveFormat& fmt) {
    FakeDevice& d = Dev(ctx);
    if (d.failWaveOutOpen) return nullptr;
    d.waveOutOpen = true;
    d.format = fmt;
    d.device = device;
    d.queued.clear();
    return &d;
}
bool WoPrepare(void*, void*, OutBuffer&) {
    return true;
}
bool WoWrite(void* ctx, void*, OutBuffer& b) {
    Dev(ctx).queued.push_back(&b);
    Dev(ctx).writes++;
    return true;
}
void WoUnprepare(void*, void*, OutBuffer&) {}
void WoReset(void* ctx, void*) {
    Dev(ctx).queued.clear();  // what was not played yet is dropped, as by waveOutReset
}
void WoClose(void* ctx, void*) {
    Dev(ctx).waveOutOpen = false;
}
void WoSetVolume(void* ctx, void*, uint32_t v) {
    Dev(ctx).volume = v;
}

int DsOpen(void* ctx, PlayState& ps, int n, const WaveFormat& fmt, uint32_t bytes) {
    FakeDevice& d = Dev(ctx);
    if (d.dsFailStep) return d.dsFailStep;
    d.format = fmt;
    d.dsDevice = n;
    d.dsMemory.assign(bytes, 0);
    d.dsCursor = 0;
    ps.dsound = ps.dsPrimary = ps.dsBuffer = &d;
    return kDsOpenOk;
}
bool DsCursor(void* ctx, PlayState&, uint32_t* cursor) {
    *cursor = Dev(ctx).dsCursor;
    return true;
}
bool DsLock(void* ctx, PlayState&, uint32_t pos, uint32_t bytes, DsRegion& r) {
    std::vector<uint8_t>& m = Dev(ctx).dsMemory;
    if (pos >= m.size() || bytes > m.size()) return false;
    r.p1 = m.data() + pos;
    r.n1 = std::min<uint32_t>(bytes, static_cast<uint32_t>(m.size()) - pos);
    r.p2 = bytes > r.n1 ? m.data() : nullptr;
    r.n2 = bytes - r.n1;
    return true;
}
void DsUnlock(void*, PlayState&, const DsRegion&) {}
bool DsPlay(void* ctx, PlayState&) {
    Dev(ctx).dsPlaying = true;
    return true;
}
void DsClose(void* ctx, PlayState& ps) {
    Dev(ctx).dsPlaying = false;
    ps.dsound = ps.dsPrimary = ps.dsBuffer = nullptr;
}
void DsStartTimer(void* ctx) {
    Dev(ctx).dsTimer = true;
}
void DsKillTimer(void* ctx) {
    Dev(ctx).dsTimer = false;
}

bool FileOpen(void*, MpegInfo& info, const wchar_t* path, ByteReader& reader) {
    std::FILE* f = std::fopen(WideToUtf8(path).c_str(), "rb");
    if (!f) return false;
    const int64_t size = StdioFileSize(f);
    info.fileName = path;
    info.hFile = f;
    info.dwAudioEnd = size < 0 ? 0 : size > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<uint32_t>(size);
    reader = StdioReader(f);
    return true;
}
void FileClose(void*, MpegInfo& info) {
    if (info.hFile) std::fclose(static_cast<std::FILE*>(info.hFile));
    info.hFile = nullptr;
}
uint32_t FileSize(void*, const MpegInfo& info) {
    const int64_t size = info.hFile ? StdioFileSize(static_cast<std::FILE*>(info.hFile)) : -1;
    return size < 0 ? 0 : size > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<uint32_t>(size);
}

}  // namespace

WaveOutOps FakeWaveOut(FakeDevice& d) {
    WaveOutOps w;
    w.ctx = &d;
    w.open = WoOpen;
    w.prepare = WoPrepare;
    w.write = WoWrite;
    w.unprepare = WoUnprepare;
    w.reset = WoReset;
    w.close = WoClose;
    w.setVolume = WoSetVolume;
    return w;
}

DsOps FakeDirectSound(FakeDevice& d) {
    DsOps o;
    o.ctx = &d;
    o.open = DsOpen;
    o.playCursor = DsCursor;
    o.lock = DsLock;
    o.unlock = DsUnlock;
    o.play = DsPlay;
    o.close = DsClose;
    o.startTimer = DsStartTimer;
    o.killTimer = DsKillTimer;
    return o;
}

bool FakePlayOne(Engine& e, FakeDevice& d) {
    if (d.queued.empty() || !e.ps.hWaveOut) return false;
    OutBuffer* b = d.queued.front();
    d.queued.pop_front();
    WaveOutCompletion(e, *b);
    return true;
}

TrackFileOps StdioTrackFile() {
    return TrackFileOps{nullptr, FileOpen, FileClose, FileSize};
}
