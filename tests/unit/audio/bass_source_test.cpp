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

TEST(BassSource, StartsWithTheChannelFormatAndCountsMs) {
    const struct {
        uint32_t rate, startMs;
        uint8_t mode;
        uint32_t channels;
        std::vector<std::string> log;
    } cases[] = {
        {22050, 0, 4, 1, {"open"}},
        {48000, 700, 1, 2, {"open", "seek 700"}},
        {44100, 2500, 1, 2, {"open"}},  // beyond the length: from the start
    };
    for (const auto& c : cases) {
        BassEngine t;
        t.ch.rate = c.rate;
        t.ch.mode = c.mode;
        ASSERT_TRUE(EngineStartFile(t.e, L"a.ogg", c.startMs));
        EXPECT_TRUE(t.ps.bassActive);
        EXPECT_EQ(t.ps.outRate, c.rate);
        EXPECT_EQ(t.ps.outChannels, c.channels);
        EXPECT_EQ(t.track.lengthMs, 2000u);
        EXPECT_EQ(t.ps.playedMs, c.startMs < 2000 ? c.startMs : 0);
        EXPECT_EQ(t.ch.log, c.log);
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

// A file of a leading ID3v2.3 tag with one TIT2 frame of `title`, then `rest` bytes.
static std::vector<uint8_t> Id3v2File(const std::string& title, size_t rest) {
    const std::string tag = Tag(3, Frame(3, "TIT2", std::string(1, '\0') + title), 0);
    std::vector<uint8_t> f(tag.begin(), tag.end());
    f.resize(f.size() + rest, 0x55);
    return f;
}

TEST(BassSource, FileId3TagsComeFirstAndStreamsReadNoFile) {
    const struct {
        const wchar_t* file;
        bool tagged;
        const wchar_t* title;  // null: none in the record
    } cases[] = {
        {L"a.mp2", true, L"From ID3"},
        {L"a.wav", false, nullptr},
        {L"http://127.0.0.1:8000/radio", true, nullptr},  // a stream's file is not read
    };
    for (const auto& c : cases) {
        BassEngine t;
        t.file.src.bytes = c.tagged ? Id3v2File("From ID3", 400) : std::vector<uint8_t>(400, 0x55);
        ASSERT_TRUE(EngineStartFile(t.e, c.file, 0));
        const wchar_t* got = t.track.tagText[kTagTitle];
        if (c.title)
            EXPECT_STREQ(got, c.title);
        else
            EXPECT_EQ(got, nullptr);
        EXPECT_EQ(t.track.hFile, nullptr) << "the tag reader closes the file again";
        EngineStop(t.e, true);
    }
}

// With the surround option a channel's own count is kept, whatever it is.
TEST(BassSource, ChannelsBeyondTwoOnlyWithTheSurroundOption) {
    for (const uint8_t channels : {4, 2}) {
        BassEngine t;
        t.s.wave_flags = WaveFlag::Surround51;
        t.ch.mode = 1;
        t.ch.channels = channels;
        ASSERT_TRUE(EngineStartFile(t.e, L"a.wav", 0));
        EXPECT_EQ(t.ps.outChannels, channels);
        EngineStop(t.e, true);
    }
}
