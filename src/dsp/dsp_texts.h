// The values the sound-processing settings pages show next to their sliders, computed from the
// same parameters the processing runs on, so that the page shows what is actually applied.
#pragma once
#include <cstdint>
#include <string>

#include "dsp/dsp.h"

// Enhancer 2, per band k of p (steps are per frame at p.rate).
std::string Enh2MaxAmpText(const Enh2Params& p, int k);     // "2.5 x"
std::string Enh2ReleaseText(const Enh2Params& p, int k);    // "%.0f ms"
std::string Enh2AttackText(const Enh2Params& p, int k);     // "%.1f ms"
std::string Enh2ThresholdText(const Enh2Params& p, int k);  // "%.1f dB"
std::string Enh2DriveText(double drive);                    // "+1.6 dB", "-2.0 dB"
std::string Enh2StereoText(int stereoAmount);               // "+20 %", "-10 %", "0 %"
std::string Enh2RatioText(double ratio);                    // "inf : 1" above 20, "4.0 : 1"
std::string Enh2AgcText(const Enh2State& st);               // "AGC 1.2 / -0.5 dB"
// Limiter threshold, ceiling and knee, and the attack.
std::string DbText(double db);  // "%.1f dB"
std::string MsText(double ms);  // "%.1f ms"
// Limiter release.
std::string WholeMsText(int ms);  // "%d ms"

// Enhancer 1 and the equalizer; `rate` is the open output's (44100 when none).
std::string StereoWidthText(int stereoWidth);   // "Normal", "10 %"
std::string HpCutoffText(int ampHpcutoff);      // "Off", "200 Hz"
std::string AmpMaxText(const Settings& s);      // "%.1f x" of the maximum gain
std::string AmpUpText(const Settings& s, uint32_t rate);    // "%.0f ms"
std::string AmpDownText(const Settings& s, uint32_t rate);  // "%.1f ms"
std::string AmpThresholdText(int ampThreshold);  // "off" at 100, else "%.1f dB" of the guard
std::string EqBandText(int eqValue);             // the signed boost 50 - v: "0", "12", "-8"
