// The `httpserv` setting, read by character position: the server switch, the stream's encoder,
// bit rate, sample rate, channel mode, silence and send interval, and the server address.
#pragma once
#include <cstdint>
#include <string>

struct HttpServConfig {
    bool enabled = false;       // position 0 'a'
    char encoder = 'l';         // position 4: 'l' lame_enc.dll, 'a' the ACM codec
    char bitrate = 'f';         // position 5: 'a'..'i' CBR steps, 'j'..'m' VBR qualities
    uint32_t streamRate = 44100;  // position 6
    uint32_t streamChannels = 2;  // position 7 'c' is mono
    char mode = 'a';              // position 7 as written
    bool silence = false;         // position 8 's'
    uint32_t intervalMs = 200;    // position 9
    std::string address;          // position 10 on: "a.b.c.d:port"
};

// Reads the fields; missing positions keep the defaults above.
HttpServConfig HttpServParse(const std::string& httpserv);

// The address part split at its last ':' into the IPv4 text and the decimal port. False when
// there is no ':' or the port is not a number from 1 to 65535.
bool HttpSplitAddress(const std::string& address, std::string& ip, uint16_t& port);

// Whether the server may start: enabled and an address of at least 8 characters.
bool HttpMayStart(const HttpServConfig& c);

// The CBR bit rate of a letter in kbps (128 for the VBR letters and any other).
int HttpStreamKbps(char bitrate);
// The VBR quality of the letters 'j'..'m' (8, 6, 4, 2), -1 for the CBR letters.
int HttpStreamVbrQuality(char bitrate);
