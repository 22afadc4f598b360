// The playback engine over the fake device and the fake mpglib: buffer arithmetic, the block
// pipeline and its stamps, the end of playback on both devices, the decoder's input buffering,
// error resynchronisation and end-of-file handling, and play init's failures.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/out_format.h"
#include "engine_fakes.h"

TEST(OutputSizing, WaveOutBuffersFollowRateChannelsAndLength) {
    struct Case {
        uint32_t rate, ch, bits;
        bool mode24;
        uint32_t quarters;
        bool url;
        uint32_t bufs, size;
    } cases[] = {
        {44100, 2, 16, false, 4, false, 6, 32768},    // the default: 6 × 32 KB
        {22050, 1, 16, false, 4, false, 6, 8192},     // halved for the rate and for mono
        {48000, 2, 16, false, 20, false, 20, 32768},  // at most 20 buffers
        {44100, 2, 16, false, 1, false, 3, 16384},    // at least 3
        {44100, 2, 24, true, 4, false, 6, 49152},     // 24-bit: one and a half times
        {44100, 2, 16, false, 4, true, 17, 32768},    // a URL stream queues 3 s
    };
    for (const Case& c : cases) {
        const WaveOutSizing w = SizeWaveOut(c.rate, c.ch, c.bits, c.mode24, c.quarters, c.url);
        EXPECT_EQ(w.bufs, c.bufs) << c.rate << "/" << c.ch << "/" << c.quarters;
        EXPECT_EQ(w.size, c.size) << c.rate << "/" << c.ch << "/" << c.quarters;
    }
}

TEST(OutputSizing, DirectSoundBufferSegmentsAndSlots) {
    const DsSizing d = SizeDirectSound(44100, 2, 16, false, 4, false);
    EXPECT_EQ(d.bufferBytes, 176400u);
    EXPECT_EQ(d.segmentBytes, 32768u);
    EXPECT_EQ(d.slotCount, 25u);
    EXPECT_EQ(d.slotBytes, 7056u);
    // A short buffer writes thirds of it, in whole frames; a long one keeps at most 100 slots.
    const DsSizing small = SizeDirectSound(8000, 1, 16, false, 1, false);
    EXPECT_EQ(small.bufferBytes, 4000u);
    EXPECT_EQ(small.segmentBytes, 1332u);
    EXPECT_EQ(SizeDirectSound(22050, 1, 16, false, 1, false).bufferBytes, 11024u);
    EXPECT_EQ(SizeDirectSound(48000, 2, 16, false, 20, false).slotCount, 100u);
    EXPECT_EQ(SizeDirectSound(48000, 2, 24, true, 40, false).segmentBytes, 65536u);
}

TEST(OutputFormat, PlainOrExtensible) {
    struct Case {
        uint32_t ch, rate, bits;
        bool s51;
        uint16_t tag, align, cb;
        uint32_t mask;
    } cases[] = {
        {2, 44100, 16, false, 1, 4, 0, 0},
        {1, 22050, 16, false, 1, 2, 0, 0},
        {2, 48000, 24, false, 0xFFFE, 6, 22, 0},
        {6, 44100, 16, true, 0xFFFE, 12, 22, 0x3F},
    };
    for (const Case& c : cases) {
        const WaveFormat f = MakeWaveFormat(c.ch, c.rate, c.bits, c.s51);
        EXPECT_EQ(f.formatTag, c.tag);
        EXPECT_EQ(f.blockAlign, c.align);
        EXPECT_EQ(f.cbSize, c.cb);
        EXPECT_EQ(f.channelMask, c.mask);
    }
    MpegInfo m;
    m.avgBitrate = 127999.0f;
    m.avgFrameLen = 417.6f;
    const AcmFormats a = MakeAcmFormats(m, 44100, 2);
    EXPECT_EQ(a.srcAvgBytes, 15999u);  // truncated
    EXPECT_EQ(a.mp3BlockSize, 418);    // rounded
    EXPECT_EQ(a.dst.blockAlign, 4);
}

TEST(WaveOutPlayback, PlaysEveryFrameThenEndsOnTheFirstSilenceBuffer) {
    TestEngine t;
    t.Stream(300);
    ASSERT_EQ(t.Start(), 0);
    EXPECT_EQ(t.dev.device, -1);  // device 0: the wave mapper
    std::vector<AudioStamp> stamps;
    const uint64_t bytes = PlayToEnd(t, stamps).size() * 2;
    // The fake gives a frame per 417 bytes of input; the last partial frame gives nothing.
    const uint64_t frames = (t.file.src.bytes.size()) / 417;
    EXPECT_NEAR(double(bytes), double(frames * 4608), 4608.0);
    EXPECT_EQ(t.msg.trackEnds, 1);
    EXPECT_FALSE(t.ps.trackEnded);  // playback has ended: nothing drains any more
    EXPECT_FALSE(OutputOpen(t.ps));
    EXPECT_EQ(t.ps.inputChunk, 0u);  // decoders closed
    // Stamps advance with the audio heard and reach the track's end.
    for (size_t i = 1; i < stamps.size(); ++i) {
        EXPECT_GT(stamps[i].bytePos, stamps[i - 1].bytePos);
        EXPECT_GE(stamps[i].posMs, stamps[i - 1].posMs);
    }
    EXPECT_EQ(stamps.back().bytePos, int64_t{t.track.dwAudioEnd});
    EXPECT_NEAR(stamps.back().posMs, stamps.back().lengthMs, 30);
    EXPECT_EQ(t.ps.playedBytePos, t.track.dwAudioEnd);
}

TEST(WaveOutPlayback, FadeInMetersAndTwentyFourBitPacking) {
    // The fade-in rises from 0 to full over 0.15 s.
    std::vector<int16_t> ramp(2 * 8000, 10000);
    FadeInBlock(ramp.data(), static_cast<uint32_t>(ramp.size()), 8000, 2);
    EXPECT_EQ(ramp[0], 0);
    EXPECT_NEAR(ramp[1200], 5000, 10);
    EXPECT_EQ(ramp[2400], 10000);
    uint16_t peaks[2][kMeterEntries];
    std::vector<int16_t> pcm(2 * 4410, 0);  // 0.1 s stereo at 44.1 kHz: 2.5 segments
    pcm[0] = 300;                           // segment 0, left
    pcm[2 * 1764 + 1] = -700;               // segment 1, right
    MeterPass(peaks, 0, pcm.data(), static_cast<uint32_t>(pcm.size()), 44100, 2, true);
    EXPECT_EQ(peaks[0][0], 300);
    EXPECT_EQ(peaks[0][3], 700);
    EXPECT_EQ(peaks[0][1], 0);
    const float f[3] = {1.0f, -1.0f, 0.5f};
    uint8_t out[9];
    PackFloat24(f, 3, out);
    auto at = [&](int i) { return out[3 * i] | out[3 * i + 1] << 8 | out[3 * i + 2] << 16; };
    EXPECT_EQ(at(0), 0x7FFFFF);
    EXPECT_EQ(at(1), 0x800001);
    EXPECT_EQ(at(2), 0x400000);
}

// The input is read ahead in pieces of the file buffer; junk after the last frame ends the track.
TEST(Decoder, ReadsAheadFromThePositionInFileBufferPiecesToTheEnd) {
    TestEngine t;
    t.Stream(1200);  // about 500 KB
    t.file.src.bytes.resize(t.file.src.bytes.size() + 1000, 0x20);  // junk after the last frame
    ASSERT_EQ(t.Start(), 0);
    t.file.reads.clear();
    std::vector<uint8_t> out(32768);
    while (DecodeBlock(t.e, out.data(), 32768) > 0) {
    }
    ASSERT_GE(t.file.reads.size(), 3u);
    uint32_t expected = t.track.dwAudioBeg;
    for (const auto& [offset, n] : t.file.reads) {
        EXPECT_EQ(n, 204800);
        EXPECT_LE(offset, expected + 204800);
        EXPECT_GE(offset, expected);
        expected = offset + 1;
    }
    EXPECT_EQ(t.track.dwPointer, t.track.dwAudioEnd);
}

TEST(Decoder, CorruptFrameIsBridgedByOneFrameOfSilence) {
    TestEngine t;
    t.Stream(60);
    const size_t frame20 = 20 * 417 + 7;  // frames 1, 4, 7, ... carry the padding byte
    t.file.src.bytes[frame20 + 200] = 0xEE;
    ASSERT_EQ(t.Start(), 0);
    ASSERT_EQ(g_fakeInits, 1);
    t.ps.fileBuf = t.file.src.bytes;  // as the input buffering fills it
    t.ps.fileBufFilled = static_cast<uint32_t>(t.ps.fileBuf.size());
    std::vector<uint8_t> out(200000);
    const uint32_t got = MpglibDecode(t.e, 20000, out.data(), static_cast<uint32_t>(out.size()));
    // The decoder restarts at the next frame, after the frame it produced last was cleared
    // and one frame of silence was added.
    EXPECT_EQ(t.track.dwPointer, frame20 + 417);  // frame 20 has no padding byte
    EXPECT_EQ(g_fakeExits, 1);
    EXPECT_EQ(g_fakeInits, 2);
    ASSERT_GE(got, 2u * 4608);
    for (uint32_t i = got - 2 * 4608; i < got; ++i) ASSERT_EQ(out[i], 0) << i;
    EXPECT_NE(out[got - 2 * 4608 - 1], 0);
    // Play goes on from there.
    EXPECT_GT(DecodeBlock(t.e, out.data(), 32768), 0u);
}

// A file that grows while it plays is played past its first size.
TEST(Decoder, GrowingFile) {
    std::vector<uint8_t> out(32768);
    TestEngine g;
    g.Stream(40);
    ASSERT_EQ(g.Start(), 0);
    const uint32_t first = g.track.dwAudioEnd;
    ASSERT_GT(DecodeBlock(g.e, out.data(), 32768), 0u);
    AddFrames(g.file.src.bytes, kMpeg1L3_128, 40);
    uint32_t more = 0;
    while (uint32_t n = DecodeBlock(g.e, out.data(), 32768)) more += n;
    EXPECT_GT(g.track.dwAudioEnd, first);
    EXPECT_EQ(g.track.dwPointer, g.file.src.bytes.size());
}

static uint32_t g_acmLastLen;
static uint8_t g_acmLastHead[4];
static uint32_t FakeConvert(void*, PlayState&, const uint8_t* src, uint32_t n, uint8_t*, uint32_t,
                            uint32_t* used) {
    g_acmLastLen = n;
    std::memcpy(g_acmLastHead, src, 4);
    *used = n;
    return 0;
}

TEST(Decoder, AcmFlushesTheLastFrameWithOneMoreHeader) {
    TestEngine t;
    t.Stream(10);
    ASSERT_TRUE(OpenTrack(t.e, L"t.mp3"));
    t.io.acm.convert = FakeConvert;
    t.ps.fileBuf.assign(16, 0x11);
    t.ps.fileBufPos = 0;
    const uint32_t before = t.track.dwPointer;
    AcmDecode(t.e, 1, nullptr, 0);
    EXPECT_EQ(g_acmLastLen, 5u);
    EXPECT_EQ(0, std::memcmp(g_acmLastHead, t.track.header.rawHeader, 4));
    EXPECT_EQ(t.track.dwPointer, before + 1);  // the header bytes are not counted
}

static int g_acmOpenResult;
static int FakeAcmOpen(void*, PlayState& ps, const AcmFormats&, uint32_t, uint32_t* src) {
    if (g_acmOpenResult != 2) ps.hAcmStream = &g_acmOpenResult;
    *src = g_acmOpenResult == 3 ? 0 : 4000;
    return g_acmOpenResult == 3 ? 0 : g_acmOpenResult;
}
static int FakeAcmOpenOk(void*, PlayState& ps, const AcmFormats&, uint32_t, uint32_t* src) {
    ps.hAcmStream = &g_acmOpenResult;
    *src = 4000;
    return 0;
}

// Two kinds of MP3 codec, over frames of 418 bytes that decode to 4,608 bytes: one converts
// only what fits the room; the other takes all input, buffers it, and gives out what fits.
// Frame k of the output is the value 1,000 + k.
struct FakeCodec {
    bool buffers = false;
    uint64_t in = 0, out = 0;
};
static uint32_t CodecConvert(void* ctx, PlayState&, const uint8_t*, uint32_t n, uint8_t* dst,
                             uint32_t cap, uint32_t* used) {
    auto& c = *static_cast<FakeCodec*>(ctx);
    uint32_t got;
    if (c.buffers) {
        *used = n;
        c.in += n;
        got = static_cast<uint32_t>(std::min<uint64_t>(cap, c.in / 418 * 4608 - c.out));
    } else {
        const uint32_t frames = std::min(n / 418, cap / 4608);
        *used = frames * 418;
        c.in += *used;
        got = frames * 4608;
    }
    auto* pcm = reinterpret_cast<int16_t*>(dst);
    for (uint32_t i = 0; dst && i < got / 2; ++i)
        pcm[i] = static_cast<int16_t>(1000 + (c.out / 2 + i) / 2304);
    c.out += got;
    return got;
}

// Whatever the codec does with its input, the file position comes to follow the audio
// delivered (within the frame handed ahead): the backlog that the first, whole feed leaves in a
// buffering codec only shrinks. A codec that converts only what fits still fills every block.
TEST(Decoder, AcmPositionFollowsTheAudioWithEitherKindOfCodec) {
    for (bool buffers : {false, true}) {
        SCOPED_TRACE(buffers);
        TestEngine t;
        t.Stream(400, kMpeg1L3_128);
        ASSERT_TRUE(OpenTrack(t.e, L"t.mp3"));
        FakeCodec codec{buffers};
        t.io.acm = AcmOps{&codec, FakeAcmOpenOk, CodecConvert, nullptr};
        ASSERT_EQ(AcmOpen(t.e, 44100, 2, 16384), 0);
        std::vector<uint8_t> block(16384);
        uint64_t delivered = 0;
        int shortBlocks = 0;
        double ahead = 1e9;
        for (int i = 0; i < 60; ++i) {
            const uint32_t got = DecodeBlock(t.e, block.data(), 16384);
            delivered += got;
            if (got < 16384 - 4608) ++shortBlocks;
            const double framesIn = (t.track.dwPointer - t.track.dwAudioBeg) / 418.0;
            const double now = framesIn - delivered / 4608.0;
            ASSERT_LE(now, std::max(ahead, kAcmLeadFrames + 2)) << "block " << i;
            ASSERT_GE(now, -1.0) << "block " << i;
            ASSERT_TRUE(i < 30 || now <= kAcmLeadFrames + 2) << "block " << i << ": " << now;
            ahead = now;
        }
        if (!buffers) {
            EXPECT_EQ(shortBlocks, 0);
        }
    }
}

// A track decoded by a codec that fills every block (as Wine's ACM codec does) or by the
// fake mpglib, which leaves up to a frame of each block empty.
static void UseDecoder(TestEngine& t, bool acm, FakeCodec& codec) {
    t.s.use_mpglib = acm ? 0 : 1;
    t.io.acm = AcmOps{&codec, FakeAcmOpenOk, CodecConvert, nullptr};
}

// Samples the decoder gives for the stream, read straight from it in blocks of `block` bytes.
static size_t DecodedSamples(HeaderBytes h, bool acm, uint32_t block) {
    TestEngine t;
    FakeCodec codec{true};
    UseDecoder(t, acm, codec);
    t.Stream(400, h);
    if (!OpenTrack(t.e, L"t.mp3")) return 0;
    if (DecoderInitForExport(t.e, t.track.header.sampleRate, TrackChannels(t.track)) != 0) return 0;
    std::vector<uint8_t> out(block);
    size_t samples = 0;
    while (uint32_t got = DecodeBlock(t.e, out.data(), block)) samples += got / 2;
    return samples;
}

// What passes the play cursor is what is heard: every frame once, from the track's first, for
// every buffer length in segments; then the silence after the end is seen under the cursor.
TEST(DirectSoundPlayback, EveryFrameIsHeardOnceFromTheFirstThenTheEndIsSeen) {
    // The cursor moves as a device's does between 50 ms ticks: evenly, or in steps of the
    // device's own period, so that it stands still at some ticks and jumps at others.
    struct Case {
        HeaderBytes h;
        bool acm;
        uint32_t quarters, ms[3];
    } cases[] = {
        {kMpeg1L3_128, false, 4, {50, 50, 50}},  // 44.1 kHz stereo: 5.4 segments
        {kMpeg1L3_128, true, 4, {50, 50, 50}},
        {kMpeg2L3Mono, true, 4, {50, 50, 50}},  // 22.05 kHz mono: three segments
        {kMpeg2L3Mono, true, 4, {0, 100, 50}},  // the cursor stands still at times
        {kMpeg2L3Mono, false, 4, {50, 50, 50}},
        {kMpeg2L3_64, true, 4, {50, 50, 50}},         // 22.05 kHz stereo: three segments
        {{0xFB, 0x50, 0xC0}, true, 4, {50, 50, 50}},  // 44.1 kHz mono: three segments
        {kMpeg1L3_48k, true, 2, {40, 60, 50}},        // 48 kHz stereo, 0.5 s: three segments
        {kMpeg2L3Mono, true, 1, {50, 50, 50}},        // 0.25 s at 22.05 kHz: not whole frames
    };
    for (const Case& c : cases) {
        TestEngine t;
        FakeCodec codec{true};
        UseDecoder(t, c.acm, codec);
        t.Stream(400, c.h);
        t.s.wavedevice = 0x80;
        t.s.outbuflength = static_cast<uint8_t>(c.quarters);
        t.ps.dsoundModule = &t.dev;
        t.ps.streamTap = true;
        t.io.host.streamFeed = CollectTapped;
        g_tapped.clear();
        ASSERT_EQ(t.Start(), 0);
        const uint32_t frameBytes = t.ps.outChannels * 2;
        const uint32_t byteRate = t.ps.outRate * frameBytes;
        const uint32_t segment = t.ps.dsSegmentBytes;
        const std::string name = std::to_string(t.ps.outRate) + "/" +
                                 std::to_string(t.ps.outChannels) + (c.acm ? " acm/" : " lib/") +
                                 std::to_string(c.quarters) + "/" + std::to_string(c.ms[0]);
        EXPECT_EQ(t.dev.dsMemory.size() % frameBytes, 0u) << name;
        EXPECT_TRUE(t.dev.dsPlaying && t.dev.dsTimer) << name;
        uint32_t lastMs = 0;
        for (int tick = 0; t.msg.trackEnds == 0 && tick < 10000; ++tick) {
            const uint32_t step = c.ms[tick % 3] * byteRate / 1000 / frameBytes * frameBytes;
            t.dev.dsCursor = (t.dev.dsCursor + step) % t.dev.dsMemory.size();
            DsTick(t.e);
            if (t.msg.trackEnds == 0) {
                EXPECT_GE(t.ps.playedMs, lastMs) << name;
            }
            lastMs = t.ps.playedMs;
        }
        EXPECT_EQ(t.msg.trackEnds, 1) << name;
        EXPECT_FALSE(OutputOpen(t.ps) || t.dev.dsTimer) << name;
        // The end is seen once 100 ms of silence have passed the cursor (what the device still
        // queues behind it is heard), and within a buffer's length and a tick.
        std::vector<int16_t>& heard = g_tapped;
        size_t tail = 0;
        while (!heard.empty() && heard.back() == 0) heard.pop_back(), ++tail;
        EXPECT_GE(tail * 2, byteRate / 10) << name;
        EXPECT_LE(tail * 2, t.dev.dsMemory.size() + byteRate / 5) << name;
        const size_t samples = DecodedSamples(c.h, c.acm, segment);
        ASSERT_GT(samples, 150u * 2304);
        EXPECT_EQ(heard.size(), samples) << name;
        for (size_t i = 0; i < heard.size(); ++i)
            ASSERT_EQ(heard[i], 1000 + static_cast<int>(i / 2304)) << name << " sample " << i;
    }
}

// The level meters under DirectSound: at every tick the slot under the play cursor gives the
// peaks of the audio written there, per channel, before and after the processing chain (here a
// halving of the left channel), with the chain's gains of that audio. The meter segments of a
// block need not meet the slots' edges: a peak may come from at most 1/25 s beside the slot.
static void HalveLeft(void*, int16_t* pcm, int frames, int channels) {
    for (int f = 0; f < frames; ++f) pcm[f * channels] = static_cast<int16_t>(pcm[f * channels] / 2);
}
static void GainsFromLevel(void* ctx, int32_t* out) {
    for (int i = 0; i < kOutGains; ++i) out[i] = *static_cast<int32_t*>(ctx) + i;
}
TEST(DirectSoundPlayback, TheSlotUnderTheCursorGivesTheLevelsHeard) {
    for (const HeaderBytes h : {kMpeg1L3_128, kMpeg2L3Mono, kMpeg1L3_48k}) {
        TestEngine t;
        FakeCodec codec{true};
        UseDecoder(t, true, codec);
        t.Stream(400, h);
        t.s.wavedevice = 0x80;
        t.ps.dsoundModule = &t.dev;
        t.ps.preciseMeters = true;
        int32_t blockNo = 1;  // the gains name the tick whose block they came with
        t.io.dsp = DspHooks{&blockNo, HalveLeft, nullptr, nullptr, GainsFromLevel, nullptr};
        HeardLevels l;
        EXPECT_FALSE(HeardLevelsNow(t.ps, l)) << "no output open";
        ASSERT_EQ(t.Start(), 0);
        const uint32_t ch = t.ps.outChannels, rate = t.ps.outRate;
        const uint32_t byteRate = rate * ch * 2, beside = rate * ch / 25;
        const auto* mem = reinterpret_cast<const int16_t*>(t.dev.dsMemory.data());
        const int64_t memSamples = static_cast<int64_t>(t.dev.dsMemory.size() / 2);
        int checked = 0;
        for (int tick = 0; tick < 60 && t.msg.trackEnds == 0; ++tick) {
            t.dev.dsCursor = (t.dev.dsCursor + 50 * byteRate / 1000 / (ch * 2) * ch * 2) %
                             t.dev.dsMemory.size();
            ++blockNo;
            DsTick(t.e);
            ASSERT_TRUE(HeardLevelsNow(t.ps, l));
            const uint32_t slot = t.ps.dsCurrentSlot;
            const int64_t from = int64_t{slot} * t.ps.dsSlotBytes / 2;
            const int64_t to = slot + 1 == t.ps.dsSlotCount ? memSamples
                                                            : (slot + 1) * int64_t{t.ps.dsSlotBytes} / 2;
            for (uint32_t c = 0; c < std::min<uint32_t>(ch, 2); ++c) {
                // What the device holds is the chain's output; the left channel came in twice as loud.
                auto peak = [&](int64_t a, int64_t b) {
                    int m = 0;
                    // The buffer is a ring: the region may wrap at either end.
                    for (int64_t i = a - a % int64_t{ch} + c; i < b; i += ch)
                        m = std::max(m, std::abs(int{mem[(i % memSamples + memSamples) % memSamples]}));
                    return m;
                };
                const int inSlot = peak(from, to), near = peak(from - beside, to + beside);
                const int gain = c == 0 ? 2 : 1;
                EXPECT_GE(l.after[c] + 1, inSlot) << rate << " ch " << c << " tick " << tick;
                EXPECT_LE(l.after[c], near) << rate << " ch " << c << " tick " << tick;
                EXPECT_GE(l.before[c] + 2, gain * inSlot) << rate << " ch " << c;
                EXPECT_LE(l.before[c], gain * near + 1) << rate << " ch " << c;
            }
            // Gains of a block written at most one buffer length ago.
            EXPECT_GT(l.gains[0], 0);
            EXPECT_LE(l.gains[0], blockNo);
            EXPECT_EQ(l.gains[kOutGains - 1], l.gains[0] + kOutGains - 1);
            ++checked;
        }
        EXPECT_GT(checked, 20) << rate;
    }
}

TEST(PlayInit, FailuresShowTheirMessagesAndResults) {
    struct Case {
        int mpglib;
        bool libMissing;
        int initResult;
        int acmResult;
        HeaderBytes h;
        int dsFail;
        bool waveFail;
        int result;
        const char* box;
    } cases[] = {
        {1, true, 1, 0, kMpeg1L3_128, 0, false, -2, "mpglib open failed|Installing"},
        {1, false, 0, 0, kMpeg1L3_128, 0, false, -2, "Play init error|mpglib: InitMP3"},
        {0, false, 1, 2, kMpeg1L3_128, 0, false, -2, "ACM open failed|Installing"},
        {0, false, 1, 3, kMpeg1L3_128, 0, false, -2, "ACM open failed|acmStreamSize"},
        {0, false, 1, 0, HeaderBytes{0xFD, 0x90, 0x40}, 0, false, -1, ""},  // Layer II
        {1, false, 1, 0, kMpeg1L3_128, 0, true, -2, "Play init error|waveOutOpen"},
        {1, false, 1, 0, kMpeg1L3_128, kDsSetFormat, false, -2, "Error|DirectSound: SetFormat"},
        {1, false, 1, 0, kMpeg1L3_128, kDsCreate, false, -2, "Error|DirectSound: Create"},
        {0, false, 1, 0, kMpeg1L3_128, 0, false, 0, ""},
    };
    for (const Case& c : cases) {
        TestEngine t;
        t.Stream(50, c.h);
        t.s.use_mpglib = c.mpglib;
        g_fakeLibMissing = c.libMissing;
        g_fakeInitResult = c.initResult;
        g_acmOpenResult = c.acmResult;
        t.io.acm.open = FakeAcmOpen;
        t.io.acm.convert = FakeConvert;
        t.io.acm.close = [](void*, PlayState& ps) { ps.hAcmStream = nullptr; };
        t.dev.failWaveOutOpen = c.waveFail;
        t.dev.dsFailStep = c.dsFail;
        if (c.dsFail) t.s.wavedevice = 0x80, t.ps.dsoundModule = &t.dev;
        EXPECT_EQ(t.Start(), c.result) << c.box;
        const std::string box = t.msg.boxes.empty() ? "" : t.msg.boxes[0];
        EXPECT_EQ(box.substr(0, std::strlen(c.box)), c.box);
        EXPECT_LE(t.msg.boxes.size(), 1u);
        // A failure closes the decoder; a success hands it at least 32 KB per block.
        EXPECT_EQ(t.ps.inputChunk, c.result == 0 ? kMinInputChunk : 0u);
        EXPECT_TRUE(c.result == 0 || !t.ps.hAcmStream) << c.box;  // nothing left open
    }
}

// DirectSound is loaded by the first output that asks for it, not at start-up; when it cannot
// be loaded, wave-out plays instead.
bool g_dsLoads = false;
int g_dsLoadCalls = 0;
TEST(Engine, DirectSoundIsLoadedByTheFirstOutput) {
    for (const bool loads : {true, false}) {
        TestEngine t;
        t.Stream(50);
        t.s.wavedevice = 0x80;
        g_dsLoads = loads;
        g_dsLoadCalls = 0;
        t.io.ds.ctx = &t.dev;
        t.io.ds.load = [](void* dev, PlayState& ps) {
            ++g_dsLoadCalls;
            if (g_dsLoads) ps.dsoundModule = dev;
            return g_dsLoads;
        };
        ASSERT_EQ(t.Start(), 0) << loads;
        EXPECT_EQ(g_dsLoadCalls, 1);
        EXPECT_EQ(!t.dev.dsMemory.empty(), loads);
        EXPECT_EQ(t.ps.hWaveOut != nullptr, !loads);
    }
}
