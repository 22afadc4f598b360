// The track's decoders: opening a track, the compressed input buffer, the ACM and "mpglib.dll"
// decoders with their end-of-file flush and error resynchronisation, and Decode block, the one
// entry through which the output engine takes 16-bit PCM. Main thread only.
//
// The "mpglib.dll" contract: "_InitMP3"(state) returns non-zero on success; "_decodeMP3"(state,
// input, input bytes, output, output room, &produced) returns -1 on an error and any other
// value to go on; "_ExitMP3"(state) frees the state's buffers.
#pragma once
#include <cstdint>

#include "audio/engine_io.h"

// The multi-line installation note of the "mpglib open failed" and "ACM open failed" boxes.
extern const char kMpglibInstallNote[];

// Output room of one "_decodeMP3" call: one MPEG-1 Layer II/III frame of stereo 16-bit PCM.
constexpr int kMpglibFrameBytes = 4608;
// Compressed bytes a file decoder is handed per block (at least).
constexpr uint32_t kMinInputChunk = 32768;

// Resets the track record, opens the file and scans it with its tags. 1 when it is MPEG audio
// that the engine can play, 0 otherwise (the file is then closed).
[[nodiscard]] int OpenTrack(Engine& e, const wchar_t* path);

// Closes the file and empties the track record for the next track (no source active).
void ResetTrack(Engine& e);

// Closes the track file (the engine keeps nothing else of it).
void CloseTrackFile(Engine& e);

// The ID3 tags of a file that another decoder plays (a plug-in, BASS): the ID3v2 tag at its
// start, then the ID3v1 tag at its end, into the track record; the file is closed again.
// False when it cannot be opened.
bool ReadFileId3(Engine& e, const wchar_t* path);

// ACM open: 0 ok (inputChunk set), 1 not Layer III, 2 cannot open, 3 acmStreamSize gave 0.
int AcmOpen(Engine& e, uint32_t rate, uint32_t channels, uint32_t outBufBytes);

// Loads "mpglib.dll" and its three entry points unless loaded. False when any is missing.
bool MpglibLoad(Engine& e);

// Bytes of 16-bit interleaved PCM written into dst (at most cap), 0 at the end of the stream or
// when no decoder is open.
uint32_t DecodeBlock(Engine& e, uint8_t* dst, uint32_t cap);
// The 24-bit mode's block: at most `samples` floats in -1..1 (16-bit PCM x 1/32768; a
// plug-in's 24- and 32-bit PCM x 2^-31, keeping what 16 bits would cut). 0 at the end.
uint32_t DecodeBlockFloat(Engine& e, float* dst, uint32_t samples);

// Frames of input the ACM codec is handed beyond what the output room stands for.
constexpr double kAcmLeadFrames = 1;
// The bytes of the n available that an ACM conversion into `cap` bytes is handed: all of them
// until the codec has given audio, then about what the output given so far and the room stand
// for, so that a codec that takes all input and buffers it internally cannot run ahead of the
// audio (at least half a frame, at most n).
uint32_t AcmFeedLimit(const PlayState& ps, const MpegInfo& t, uint32_t n, uint32_t cap);
// The two file decoders on n bytes at fileBuf + fileBufPos (exposed for the tests).
uint32_t AcmDecode(Engine& e, uint32_t n, uint8_t* dst, uint32_t cap);
uint32_t MpglibDecode(Engine& e, uint32_t n, uint8_t* dst, uint32_t cap);

// Closes the ACM stream or resets mpglib; the library stays loaded.
void CloseDecoders(Engine& e);

// Unloads "mpglib.dll" (at shutdown).
void MpglibUnload(Engine& e);
