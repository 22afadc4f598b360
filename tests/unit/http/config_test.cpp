// Reading `httpserv` by position: the switch, the address split and when the server may start.
#include <gtest/gtest.h>

#include "http/http_config.h"

namespace {
TEST(HttpConfig, AddressSplitAndStartCondition) {
    struct Case {
        const char* setting;
        bool mayStart, splits;
        const char* ip;
        uint16_t port;
    };
    const Case cases[] = {
        {"a---lfca-b127.0.0.1:8080", true, true, "127.0.0.1", 8080},
        {"----lfca-b127.0.0.1:8080", false, true, "127.0.0.1", 8080},
        {"a---lfca-b1.2.3.4:5", true, true, "1.2.3.4", 5},
        {"a---lfca-b1.2.3:4", false, true, "1.2.3", 4},  // 7 characters: too short to start
        {"a---lfca-b10.0.0.10", true, false, "", 0},      // no port
        {"a---lfca-b10.0.0.1:99999", true, false, "", 0},
        {"a---lfca-b10.0.0.1:80x", true, false, "", 0},
        {"a", false, false, "", 0},
    };
    for (const Case& c : cases) {
        const HttpServConfig cfg = HttpServParse(c.setting);
        EXPECT_EQ(HttpMayStart(cfg), c.mayStart) << c.setting;
        std::string ip;
        uint16_t port = 0;
        EXPECT_EQ(HttpSplitAddress(cfg.address, ip, port), c.splits) << c.setting;
        if (c.splits) {
            EXPECT_EQ(ip, c.ip);
            EXPECT_EQ(port, c.port);
        }
    }
}

TEST(HttpConfig, StreamLettersByPosition) {
    const HttpServConfig c = HttpServParse("a---aidcsd1.2.3.4:80");
    EXPECT_EQ(c.encoder, 'a');
    EXPECT_EQ(HttpStreamKbps(c.bitrate), 256);
    EXPECT_EQ(c.streamRate, 48000u);
    EXPECT_EQ(c.streamChannels, 1u);
    EXPECT_TRUE(c.silence);
    EXPECT_EQ(c.intervalMs, 1000u);
    const HttpServConfig other = HttpServParse("a---lkqbxq1.2.3.4:80");  // unknown letters
    EXPECT_EQ(other.streamRate, 44100u);
    EXPECT_EQ(other.intervalMs, 200u);
    EXPECT_EQ(other.streamChannels, 2u);
    EXPECT_EQ(HttpStreamVbrQuality(other.bitrate), 6);
}
}  // namespace
