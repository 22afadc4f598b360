#include "http/http_ops.h"

std::string HttpStatusText(bool enabled, bool running, const std::string& localAddress) {
    if (enabled) return running ? "HTTP server running!" : "Server not running! See \"error.log\"";
    return "Local IP address: " + localAddress;
}
