#include "http/stream_text.h"

#include <cwchar>

std::wstring StreamRateText(double kbPerSec, int listeners, bool converted) {
    wchar_t buf[96];
    swprintf(buf, 96, L" Sending stream - %.1f KB/sec (%d)%ls", kbPerSec, listeners,
             converted ? L", resamp/chnl" : L"");
    return buf;
}
