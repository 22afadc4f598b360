#include "dsp/dsp_texts.h"

#include <cmath>

#include "base/text.h"
#include "config/settings.h"

namespace {

// Time in ms over which a per-frame step covers the full gain range of 1.0.
double StepMs(double step, uint32_t rate) {
    return 1000.0 / (step * (rate ? rate : 44100));
}

double Db(double linear) {
    return 20.0 * std::log10(linear);
}

// Enhancer 1's constants as the chain derives them for `rate`.
Enh1State Enh1For(const Settings& s, uint32_t rate) {
    Enh1State e;
    enh1SetConstants(e, s, rate);
    return e;
}

}  // namespace

std::string Enh2MaxAmpText(const Enh2Params& p, int k) {
    return Format("%.1f x", p.band[k].maxAmp);
}

std::string Enh2ReleaseText(const Enh2Params& p, int k) {
    return Format("%.0f ms", StepMs(p.band[k].upStep, p.rate));
}

std::string Enh2AttackText(const Enh2Params& p, int k) {
    return Format("%.1f ms", StepMs(p.band[k].downStep, p.rate));
}

std::string Enh2ThresholdText(const Enh2Params& p, int k) {
    return DbText(Db(p.band[k].threshold));
}

std::string Enh2DriveText(double drive) {
    return Format("%s%.1f dB", drive > 1.0 ? "+" : "", Db(drive));
}

std::string Enh2StereoText(int stereoAmount) {
    return Format("%s%d %%", stereoAmount > 0 ? "+" : "", stereoAmount);
}

std::string Enh2RatioText(double ratio) {
    return ratio > 20 ? "inf : 1" : Format("%.1f : 1", ratio);
}

std::string Enh2AgcText(const Enh2State& st) {
    return Format("AGC %.1f / %.1f dB", Db(st.agcGain[0]), Db(st.agcGain[1]));
}

std::string DbText(double db) {
    return Format("%.1f dB", db);
}

std::string MsText(double ms) {
    return Format("%.1f ms", ms);
}

std::string WholeMsText(int ms) {
    return Format("%d ms", ms);
}

std::string StereoWidthText(int stereoWidth) {
    return stereoWidth == 0 ? "Normal" : Format("%d %%", stereoWidth / 2);
}

std::string HpCutoffText(int ampHpcutoff) {
    return ampHpcutoff == 0 ? "Off" : Format("%d Hz", 2 * ampHpcutoff);
}

std::string AmpMaxText(const Settings& s) {
    return Format("%.1f x", Enh1For(s, 0).e1MaxGain);
}

std::string AmpUpText(const Settings& s, uint32_t rate) {
    if (!rate) rate = 44100;
    return Format("%.0f ms", StepMs(Enh1For(s, rate).e1UpStep, rate));
}

std::string AmpDownText(const Settings& s, uint32_t rate) {
    if (!rate) rate = 44100;
    return Format("%.1f ms", StepMs(Enh1For(s, rate).e1DownStep, rate));
}

std::string AmpThresholdText(int ampThreshold) {
    if (ampThreshold == 100) return "off";
    const int guard = 32767 - (100 - ampThreshold) * 164;
    return DbText(Db(guard / 32767.0));
}

std::string EqBandText(int eqValue) {
    return Format("%d", 50 - eqValue);
}
