/* The public structures of the BASS interface the stand-ins share (written from the library's
   documentation; sizes fixed for the 64-bit build). */
#ifndef BASS_STANDIN_H
#define BASS_STANDIN_H
#include <stdint.h>

typedef struct {
    uint32_t ctype;
    const char* name;
    const char* exts;
} StandinPluginForm;

typedef struct {
    uint32_t version;
    uint32_t formatc;
    const StandinPluginForm* formats;
} StandinPluginInfo;

typedef struct {
    uint32_t freq, chans, flags, ctype, origres;
    uint32_t plugin, sample;
    const char* filename;
} StandinChannelInfo;

_Static_assert(sizeof(StandinPluginForm) == 24, "BASS_PLUGINFORM");
_Static_assert(sizeof(StandinPluginInfo) == 16, "BASS_PLUGININFO");
_Static_assert(sizeof(StandinChannelInfo) == 40, "BASS_CHANNELINFO");
#endif
