/* The lame_enc.dll interface as this program calls it: the LAME flavour of the encoder
   configuration (packed to one byte, 331 bytes), the version record and the entry points'
   types. Plain C with fixed-width types: the DLL stand-in of the tests includes it too. */
#ifndef ZUVO_HTTP_LAME_BE_H
#define ZUVO_HTTP_LAME_BE_H
#include <stdint.h>

#define BE_CONFIG_LAME 256
#define BE_ERR_SUCCESSFUL 0
#define BE_ERR_INVALID_FORMAT 1
#define BE_ERR_INVALID_FORMAT_PARAMETERS 2
#define BE_ERR_NO_MORE_HANDLES 3
#define BE_ERR_INVALID_HANDLE 4
#define BE_ERR_BUFFER_TOO_SMALL 5

#define BE_MP3_MODE_STEREO 0
#define BE_MP3_MODE_JSTEREO 1
#define BE_MP3_MODE_DUALCHANNEL 2
#define BE_MP3_MODE_MONO 3

#pragma pack(push, 1)
typedef struct {
    uint32_t dwConfig; /* BE_CONFIG_LAME */
    union {
        struct {
            uint32_t dwStructVersion; /* 1 */
            uint32_t dwStructSize;    /* sizeof(BeConfig) */
            uint32_t dwSampleRate;
            uint32_t dwReSampleRate;
            int32_t nMode; /* BE_MP3_MODE_... */
            uint32_t dwBitrate;
            uint32_t dwMaxBitrate;
            int32_t nPreset;
            uint32_t dwMpegVersion; /* 1: MPEG-1 */
            uint32_t dwPsyModel;
            uint32_t dwEmphasis;
            int32_t bPrivate, bCRC, bCopyright, bOriginal;
            int32_t bWriteVBRHeader;
            int32_t bEnableVBR;
            int32_t nVBRQuality;
            uint32_t dwVbrAbr_bps;
            int32_t nVbrMethod; /* -1 none, 2 the newer method */
            int32_t bNoRes;
            int32_t bStrictIso;
            uint16_t nQuality;
            uint8_t btReserved[255 - 4 * 4 - 2];
        } LHV1;
        uint8_t raw[327];
    } format;
} BeConfig;

typedef struct {
    uint8_t byDLLMajorVersion, byDLLMinorVersion;
    uint8_t byMajorVersion, byMinorVersion;
    uint8_t byDay, byMonth;
    uint16_t wYear;
    char zHomepage[129];
    uint8_t byAlphaLevel, byBetaLevel, byMMXEnabled;
    uint8_t btReserved[125];
} BeVersion;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(BeConfig) == 331, "the LAME encoder configuration is 331 bytes");
#else
_Static_assert(sizeof(BeConfig) == 331, "the LAME encoder configuration is 331 bytes");
#endif

#endif
