// Native runs (probes, tests): the "mpglib.dll" entry points served by an adapter over the
// system's libmpg123, which is loaded at run time by name ("libmpg123.so.0") like the DLL.
// The adapter switches libmpg123's own gapless trimming off and asks for 16-bit output, so
// the engine sees every decoded sample as the DLL would give it.
#pragma once
#include "audio/engine_io.h"

// A library table whose load("mpglib.dll") loads libmpg123 and whose symbols are the
// adapter's "_InitMP3", "_ExitMP3" and "_decodeMP3". Other names are not found.
LibraryOps MpglibPosixLibrary();
