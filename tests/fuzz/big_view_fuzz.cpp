// Arbitrary bytes as the Big view's settings strings (big_title and big_infoptrn, read from the
// INI file). Besides not crashing: a rectangle written into any big_title reads back (held to
// 0..99999), a pattern's indexes stay inside their patterns over any number of steps, and the
// texts keep their size limits.
#include <cstdlib>
#include <string>

#include "ui/big_view.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);
    const BigTitle t = ReadBigTitle(s);
    std::string written = s;
    WriteBigTitleRect(written, 12, 99999, 700, 3);
    const BigTitle back = ReadBigTitle(written);
    if (back.left != 12 || back.top != 99999 || back.width != 700 || back.height != 3) std::abort();
    // Only positions 0-23 change of a string long enough to hold every field.
    if (s.size() >= 66 && written.compare(24, std::string::npos, s, 24) != 0) std::abort();

    BigPatterns p = SplitBigPatterns(s);
    for (int i = 0; i < 70; ++i) {
        BigCycleStep(p);
        if ((p.mainIndex && p.mainIndex >= p.main.size()) ||
            (p.info1Index && p.info1Index >= p.info1.size()) ||
            (p.info2Index && p.info2Index >= p.info2.size()))
            std::abort();
    }
    BigTrackFacts f;
    f.path.assign(s.begin(), s.end());
    f.title = f.path;
    f.artist = f.path;
    BigRefreshEnv env;
    env.items.tagTitles = t.tagTitles;
    BigTexts texts;
    BigRefreshTexts(texts, p, t, f, env);
    if (texts.main.size() >= 300 || texts.info1.size() >= 100 || texts.info2.size() >= 100)
        std::abort();
    const BigMetrics m =
        BigLayoutMetrics(t, static_cast<int>(size % 4000), 1 + static_cast<int>(size % 700),
                         static_cast<int>(size % 50), texts.main.size());
    if (m.mainHeight < 0 || m.infoHeight < 0) std::abort();
    return 0;
}
