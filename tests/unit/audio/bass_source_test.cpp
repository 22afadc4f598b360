// The engine over a BASS source (a fake channel in place of bass.dll): the decoder choice, play
// init with the channel's format, positions in ms, the blocks, and closing on stop. (The float
// path of the 24-bit mode and six channels are heard from real files in tests/e2e/test_bass.py.)
#include <gtest/gtest.h>

#include "audio/control.h"
#include "audio/decoder.h"
#include "audio/track_start.h"
#include "engine_fakes.h"
#include "support/id3_frames.h"
#include "tags/id3.h"

namespace {

struct FakeChannel {
    bool opens = true;
    uint32_t rate = 22050, lengthMs = 2000;
    uint8_t mode = 4;  // mono
    uint8_t channels = 0;
    uint32_t left = 8000;  // bytes of PCM still to give
    std::vector<std::string> log;
};
FakeChannel& C(void* c) { return *static_cast<FakeChannel*>(c); }

struct BassEngine : TestEngine {
    FakeChannel ch;
    BassEngine() {
        io.bass.ctx = &ch;
        io.bass.takes = [](void*, const wchar_t* f) {
            return std::wstring_view(f).find(L".mp3") == std::wstring_view::npos;
        };
        io.bass.open = [](void* c, Engine& e, const wchar_t*) {
            C(c).log.push_back("open");
            if (!C(c).opens) return 0;
            e.track.header.sampleRate = C(c).rate;
            e.track.header.channelMode = C(c).mode;
            e.track.channels = C(c).channels;
            e.track.dwAudioEnd = e.track.lengthMs = C(c).lengthMs;
            return 1;
        };
        io.bass.read = [](void* c, Engine& e, uint8_t* dst, uint32_t cap) {
            const uint32_t n = std::min(cap, C(c).left);
            std::fill(dst, dst + n, uint8_t{0x11});
            C(c).left -= n;
            e.track.dwPointer += n / 2 * 1000 / C(c).rate;
            return n;
        };
        io.bass.seek = [](void* c, Engine& e) {
            C(c).log.push_back("seek " + std::to_string(e.track.dwPointer));
        };
        io.bass.close = [](void* c, Engine&) { C(c).log.push_back("close"); };
    }
    ~BassEngine() { Id3FreeTags(track, nullptr); }
};

}  // namespace

// A file of a leading ID3v2.3 tag with one TIT2 frame of `title`, then `rest` bytes.
static std::vector<uint8_t> Id3v2File(const std::string& title, size_t rest) {
    const std::string tag = Tag(3, Frame(3, "TIT2", std::string(1, '\0') + title), 0);
    std::vector<uint8_t> f(tag.begin(), tag.end());
    f.resize(f.size() + rest, 0x55);
    return f;
}

// Play init takes the channel's format (a channel of more than two channels keeps its count with
// the surround option), the position counts in ms, a start beyond the length plays from the
// start; the file's own ID3v2 tag fills the record first, and a stream's file is not read.
TEST(BassSource, StartsWithTheChannelFormatCountsMsAndReadsTheFileTag) {
    const struct {
        const wchar_t* file;
        bool tagged;
        uint32_t rate, startMs;
        uint8_t mode, channels;  // the channel's mode, and its count beyond two (0: none)
        uint32_t waveFlags, outChannels;
        std::vector<std::string> log;
        const wchar_t* title;  // null: none in the record
    } cases[] = {
        {L"a.ogg", false, 22050, 0, 4, 0, 0, 1, {"open"}, nullptr},
        {L"a.ogg", false, 48000, 700, 1, 0, 0, 2, {"open", "seek 700"}, nullptr},
        {L"a.ogg", false, 44100, 2500, 1, 0, 0, 2, {"open"}, nullptr},
        {L"a.mp2", true, 22050, 0, 1, 0, 0, 2, {"open"}, L"From ID3"},
        {L"http://127.0.0.1:8000/radio", true, 22050, 0, 1, 0, 0, 2, {"open"}, nullptr},
        {L"a.wav", false, 22050, 0, 1, 4, WaveFlag::Surround51, 4, {"open"}, nullptr},
        {L"a.wav", false, 22050, 0, 1, 2, WaveFlag::Surround51, 2, {"open"}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " from " << c.startMs << " ch "
                                        << int(c.channels));
        BassEngine t;
        t.file.src.bytes = c.tagged ? Id3v2File("From ID3", 400) : std::vector<uint8_t>(400, 0x55);
        t.ch.rate = c.rate;
        t.ch.mode = c.mode;
        t.ch.channels = c.channels;
        t.s.wave_flags = c.waveFlags;
        ASSERT_TRUE(EngineStartFile(t.e, c.file, c.startMs));
        EXPECT_TRUE(t.ps.bassActive);
        EXPECT_EQ(t.ps.outRate, c.rate);
        EXPECT_EQ(t.ps.outChannels, c.outChannels);
        EXPECT_EQ(t.track.lengthMs, 2000u);
        EXPECT_EQ(t.ps.playedMs, c.startMs < 2000 ? c.startMs : 0);
        EXPECT_EQ(t.ch.log, c.log);
        const wchar_t* title = t.track.tagText[kTagTitle];
        EXPECT_EQ(std::wstring(title ? title : L"<none>"), c.title ? c.title : L"<none>");
        EXPECT_EQ(t.track.hFile, nullptr) << "the tag reader closes the file again";
        std::vector<uint8_t> block(3000);
        EXPECT_EQ(DecodeBlock(t.e, block.data(), 3000), 3000u);
        EXPECT_EQ(block[2999], 0x11);
        EngineStop(t.e, true);
        EXPECT_EQ(t.ch.log.back(), "close");
    }
}

TEST(BassSource, FailedOpenAndFilesItDoesNotTake) {
    BassEngine t;
    t.ch.opens = false;
    EXPECT_FALSE(EngineStartFile(t.e, L"a.xm", 0));
    EXPECT_FALSE(t.ps.bassActive);
    EXPECT_EQ(t.ch.log, std::vector<std::string>{"open"});
    t.Stream(40);
    ASSERT_TRUE(EngineStartFile(t.e, L"a.mp3", 0));  // the MPEG path
    EXPECT_FALSE(t.ps.bassActive);
    EXPECT_EQ(t.ch.log.size(), 1u);
}

TEST(BassSource, NextTrackThroughBassWaitsForTheQueue) {
    BassEngine t;
    t.s.gapless = GaplessFlag::Enable;
    t.Stream(100);
    ASSERT_TRUE(EngineStartFile(t.e, L"a.mp3", 0));
    WaveOutStart(t.e);
    t.ps.trackEnded = true;
    uint32_t fade = 0;
    EXPECT_EQ(EngineStartTrack(t.e, TrackStart{L"b.ogg"}, &fade), StartOutcome::Started);
    EXPECT_TRUE(t.ch.log.empty());  // opened by the restart once the MP3's end is heard
    EXPECT_EQ(t.ps.pendingAction, uint32_t{kActionRestart});
}
