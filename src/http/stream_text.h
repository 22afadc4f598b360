// The stream's status-line texts.
#pragma once
#include <string>

constexpr wchar_t kStreamStarting[] = L" Sending stream...";
constexpr wchar_t kStreamStopped[] = L" Stream stopped!";

// " Sending stream - 15.6 KB/sec (2), resamp/chnl": what one listener received per second, the
// listeners, and whether the output was converted to the stream's format.
std::wstring StreamRateText(double kbPerSec, int listeners, bool converted);
