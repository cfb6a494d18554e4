#include "converter/EffectFactory.h"

#include "converter/ConverterError.h"
#include "converter/GraphicEqualizer.h"
#include "converter/TrimSilence.h"
#include "converter/VolumeNormalize.h"

#include <array>
#include <set>

namespace ks3::conv {

namespace {

[[noreturn]] void bad(const EffectRequest& e, const std::string& what) {
    throw ConverterError("Effect " + std::to_string(e.number) + " \"" + e.name + "\": " + what,
                         ExitBadArguments);
}

void onlyParams(const EffectRequest& e, const std::set<std::string>& allowed) {
    for (const auto& [k, v] : e.params)
        if (!allowed.count(k))
            bad(e, "unsupported parameter -" + k);
}

TrimSilence::Settings trimSettings(const EffectRequest& e) {
    onlyParams(e, {"nobegin", "noend", "digsilence", "dbsilence", "threshold"});
    TrimSilence::Settings s;
    s.start = !e.has("nobegin");
    s.end = !e.has("noend");
    s.digitalOnly = e.has("digsilence");
    // These are the user's texts, read as the settings are: leading number.
    s.thresholdDb = e.has("dbsilence") ? leadingNumber(e.value("dbsilence")) : -50.0;
    s.minimumMs = e.has("threshold") ? leadingNumber(e.value("threshold")) : 100.0;
    if (s.minimumMs < 0)
        bad(e, "negative -threshold");
    return s;
}

VolumeNormalize::Settings normalizeSettings(const EffectRequest& e) {
    onlyParams(e, {"mode", "maxamp", "desiredb", "adapt_wnd", "fixed"});
    VolumeNormalize::Settings s;
    const std::string mode = toLower(e.value("mode", "peak"));
    if (mode == "peak")
        s.mode = VolumeNormalize::Mode::Peak;
    else if (mode == "rg")
        s.mode = VolumeNormalize::Mode::Average;
    else if (mode == "adapt")
        s.mode = VolumeNormalize::Mode::Adaptive;
    else if (mode == "fixed")
        s.mode = VolumeNormalize::Mode::Fixed;
    else
        bad(e, "unsupported -mode \"" + e.value("mode") + "\"");
    s.maxGainDb = e.has("maxamp") ? leadingNumber(e.value("maxamp")) : 8.0;
    s.desiredDb = leadingNumber(e.value("desiredb", "0"));
    s.fixedDb = leadingNumber(e.value("fixed", "0"));
    s.windowMs = e.has("adapt_wnd") ? leadingNumber(e.value("adapt_wnd")) : 6000.0;
    if (s.desiredDb > 0.0 || s.desiredDb < -96.0)
        bad(e, "-desiredb out of range (-96 to 0 dB)");
    if (s.fixedDb > 40.0 || s.fixedDb < -96.0)
        bad(e, "-fixed out of range (-96 to 40 dB)");
    if (s.windowMs < 100.0)
        bad(e, "-adapt_wnd below 100 ms");
    return s;
}

std::array<double, GraphicEqualizer::kBands> eqGains(const EffectRequest& e) {
    onlyParams(e, {"eq"});
    if (!e.has("eq"))
        bad(e, "missing -EQ");
    std::array<double, GraphicEqualizer::kBands> g{};
    const std::string text = e.value("eq");
    std::size_t at = 0;
    int n = 0;
    while (true) {
        const auto comma = text.find(',', at);
        const std::string item = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        double v = 0;
        if (n >= GraphicEqualizer::kBands || !parseNumber(item, v))
            bad(e, "-EQ needs 18 numbers separated by commas: \"" + text + "\"");
        g[std::size_t(n++)] = v / 10.0; // tenths of dB
        if (std::abs(v) > 240)
            bad(e, "-EQ band beyond 24 dB: \"" + item + "\"");
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    if (n != GraphicEqualizer::kBands)
        bad(e, "-EQ needs 18 numbers separated by commas: \"" + text + "\"");
    return g;
}

enum class Kind { Trim, Normalize, Equalizer };

Kind kindOf(const EffectRequest& e) {
    const std::string n = toLower(e.name);
    if (n == "trim silence")
        return Kind::Trim;
    if (n == "volume normalize")
        return Kind::Normalize;
    if (n == "graphic equalizer")
        return Kind::Equalizer;
    bad(e, "unsupported effect");
}

} // namespace

void validateEffects(const std::vector<EffectRequest>& effects) {
    for (const EffectRequest& e : effects) {
        switch (kindOf(e)) {
        case Kind::Trim:
            trimSettings(e);
            break;
        case Kind::Normalize:
            normalizeSettings(e);
            break;
        case Kind::Equalizer:
            eqGains(e);
            break;
        }
    }
}

std::vector<std::unique_ptr<AudioEffect>> makeEffects(const std::vector<EffectRequest>& effects,
                                                      int sampleRate, int channels) {
    std::vector<std::unique_ptr<AudioEffect>> chain;
    for (const EffectRequest& e : effects) {
        switch (kindOf(e)) {
        case Kind::Trim: {
            const auto s = trimSettings(e);
            if (s.start || s.end)
                chain.push_back(std::make_unique<TrimSilence>(s, sampleRate, channels));
            break;
        }
        case Kind::Normalize: {
            auto n = std::make_unique<VolumeNormalize>(normalizeSettings(e), sampleRate, channels);
            if (n->needsAnalysis() || n->gainDb() != 0.0)
                chain.push_back(std::move(n));
            break;
        }
        case Kind::Equalizer: {
            auto eq = std::make_unique<GraphicEqualizer>(eqGains(e), sampleRate, channels);
            if (!eq->isNeutral())
                chain.push_back(std::move(eq));
            break;
        }
        }
    }
    return chain;
}

} // namespace ks3::conv
