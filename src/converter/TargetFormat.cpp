#include "converter/TargetFormat.h"

#include "converter/ConverterError.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace ks3::conv {

namespace {

[[noreturn]] void bad(const std::string& message) {
    throw ConverterError(message, ExitBadArguments);
}

struct Reader {
    const ConverterOptions& o;
    const std::string& type;
    std::set<std::string> used;

    bool has(const std::string& k) const { return o.settings.count(k) != 0; }
    std::string text(const std::string& k) {
        used.insert(k);
        return o.settings.at(k);
    }
    double number(const std::string& k, double lo, double hi) {
        double v = 0;
        if (!parseNumber(text(k), v) || v < lo || v > hi)
            bad("Invalid value for -" + k + " with \"" + type + "\": \"" + o.settings.at(k) + "\"");
        return v;
    }
    int integer(const std::string& k, int lo, int hi) {
        const double v = number(k, lo, hi);
        if (v != std::floor(v))
            bad("Invalid value for -" + k + " with \"" + type + "\": \"" + o.settings.at(k) + "\"");
        return int(v);
    }
    // -s and -freq both give the sample rate, -c and -channels the channels.
    void rateAndChannels(TargetFormat& t) {
        for (const char* k : {"s", "freq"})
            if (has(k))
                t.sampleRate = integer(k, 8000, 384000);
        for (const char* k : {"c", "channels"})
            if (has(k))
                t.channels = integer(k, 1, 8);
    }
    void pcmBits(TargetFormat& t) {
        if (has("bits")) {
            t.pcmBits = integer("bits", 8, 32);
            if (t.pcmBits % 8 != 0)
                bad("Invalid value for -bits with \"" + type + "\": \"" + o.settings.at("bits") + "\"");
        }
    }
    // Any setting not taken by the type is refused rather than ignored.
    void finish() {
        for (const auto& [k, v] : o.settings)
            if (!used.count(k))
                bad("Unsupported option -" + k + " for \"" + type + "\"");
    }
};

// Bit rates of MPEG-1 Layer II and Layer III, kbit/s.
const std::set<int> kLayer2Rates = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
const std::set<int> kLayer3Rates = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};

// "256 kbps, 48 kHz, 2 channel 16 bit CBR" -> bit rate, sample rate, channels.
void parseWmaSettings(const std::string& text, TargetFormat& t) {
    const std::string s = toLower(text);
    auto numberBefore = [&](const std::string& unit, double& out) {
        const auto p = s.find(unit);
        if (p == std::string::npos)
            return false;
        std::size_t b = p;
        while (b > 0 && s[b - 1] == ' ')
            --b;
        std::size_t a = b;
        while (a > 0 && (std::isdigit(static_cast<unsigned char>(s[a - 1])) || s[a - 1] == '.'))
            --a;
        if (a == b)
            return false;
        out = std::stod(s.substr(a, b - a));
        return true;
    };
    double kbps = 0, khz = 0, ch = 0;
    if (!numberBefore("kbps", kbps) || kbps < 8 || kbps > 768)
        bad("Unsupported -settings for \"" + t.type + "\": \"" + text + "\"");
    t.bitRate = std::int64_t(std::lround(kbps * 1000));
    if (numberBefore("khz", khz)) {
        t.sampleRate = int(std::lround(khz * 1000));
        if (t.sampleRate == 44000) // "44 kHz" is how the rate 44100 is usually written
            t.sampleRate = 44100;
        if (t.sampleRate == 22000)
            t.sampleRate = 22050;
        if (t.sampleRate == 11000)
            t.sampleRate = 11025;
    }
    if (numberBefore("channel", ch))
        t.channels = int(ch);
    else if (s.find("mono") != std::string::npos)
        t.channels = 1;
    else if (s.find("stereo") != std::string::npos)
        t.channels = 2;
    if (t.channels < 0 || t.channels > 2)
        bad("Unsupported -settings for \"" + t.type + "\": \"" + text + "\"");
    if (s.find("vbr") != std::string::npos)
        t.notes.push_back("Variable bit rate is not available for Windows Media Audio: written at a constant "
                          "bit rate.");
}

} // namespace

TargetFormat resolveTarget(const ConverterOptions& o) {
    TargetFormat t;
    t.type = o.convertTo;
    const std::string type = toLower(o.convertTo);
    Reader r{o, o.convertTo, {}};
    if (type.empty())
        bad("Missing -convert_to=: no target type");

    if (type == "aiff") {
        t.muxer = "aiff";
        t.pcm = PcmOrder::BigEndian;
        r.pcmBits(t);
        r.rateAndChannels(t);
    } else if (type == "wave" || type == "wave64") {
        t.muxer = type == "wave" ? "wav" : "w64";
        t.pcm = PcmOrder::LittleEndian;
        if (r.has("compression") && toLower(r.text("compression")) != "pcm")
            bad("Unsupported -compression for \"" + t.type + "\": \"" + o.settings.at("compression") +
                "\" (only PCM)");
        r.pcmBits(t);
        r.rateAndChannels(t);
    } else if (type == "mp2") {
        t.muxer = "mp2";
        t.encoders = {"libtwolame", "mp2"};
        t.maxChannels = 2;
        r.rateAndChannels(t);
        if (r.has("b")) {
            const int kbps = r.integer("b", 8, 384);
            if ((t.sampleRate == 0 || t.sampleRate >= 32000) && !kLayer2Rates.count(kbps))
                bad("Invalid value for -b with \"" + t.type + "\": " + std::to_string(kbps) +
                    " is not a Layer II bit rate");
            t.bitRate = kbps * 1000;
        } else {
            t.bitRate = 256000;
        }
    } else if (type == "mp3 (lame)") {
        t.muxer = "mp3";
        t.encoders = {"libmp3lame"};
        t.maxChannels = 2;
        r.rateAndChannels(t);
        if (r.has("b")) {
            const int kbps = r.integer("b", 8, 320);
            if ((t.sampleRate == 0 || t.sampleRate >= 32000) && !kLayer3Rates.count(kbps))
                bad("Invalid value for -b with \"" + t.type + "\": " + std::to_string(kbps) +
                    " is not a Layer III bit rate");
            t.bitRate = kbps * 1000;
        } else {
            t.bitRate = 192000;
        }
    } else if (type == "ogg vorbis") {
        t.muxer = "ogg";
        t.encoders = {"libvorbis"};
        r.rateAndChannels(t);
        t.vorbisManaged = r.has("managed");
        if (t.vorbisManaged)
            r.text("managed");
        if (r.has("q"))
            t.quality = r.number("q", -0.1, 1.0);
        if (r.has("b"))
            t.bitRate = std::int64_t(r.number("b", 8, 2000) * 1000);
        if (t.vorbisManaged && t.bitRate == 0)
            bad("--managed needs -b with \"" + t.type + "\"");
        // Quality mode unless the bit rate is managed, or only a bit rate is given.
        t.vorbisQuality = !t.vorbisManaged && (r.has("q") || t.bitRate == 0);
        if (t.vorbisQuality && !r.has("q"))
            t.quality = 0.3;
        if (t.vorbisQuality)
            t.bitRate = 0;
    } else if (type == "windows media audio 10") {
        t.muxer = "asf";
        t.encoders = {"wmav2"};
        t.maxChannels = 2;
        t.maxSampleRate = 48000;
        t.bitRate = 128000;
        if (r.has("codec")) {
            const std::string codec = toLower(r.text("codec"));
            if (codec.find("windows media audio") == std::string::npos)
                bad("Unsupported -codec for \"" + t.type + "\": \"" + o.settings.at("codec") + "\"");
            if (codec.find("pro") != std::string::npos || codec.find("lossless") != std::string::npos ||
                codec.find("voice") != std::string::npos)
                t.notes.push_back(
                    "\"" + o.settings.at("codec") +
                    "\" is not available: written as Windows Media Audio 2 at the same bit rate.");
        }
        if (r.has("settings"))
            parseWmaSettings(r.text("settings"), t);
        r.rateAndChannels(t);
        if (r.has("b"))
            t.bitRate = std::int64_t(r.integer("b", 8, 768)) * 1000;
        if (t.sampleRate > 48000)
            bad("Invalid sample rate for \"" + t.type + "\": " + std::to_string(t.sampleRate) +
                " (48000 at most)");
    } else if (type == "flac") {
        t.muxer = "flac";
        t.encoders = {"flac"};
        t.compressionLevel = 5;
        if (r.has("compression-level"))
            t.compressionLevel = r.integer("compression-level", 0, 12);
        r.pcmBits(t);
        if (t.pcmBits == 8 || t.pcmBits == 32)
            bad("Invalid value for -bits with \"" + t.type + "\": 16 or 24");
        r.rateAndChannels(t);
    } else {
        bad("Unsupported target type: -convert_to=\"" + o.convertTo + "\"");
    }
    r.finish();
    if (t.maxChannels && t.channels > t.maxChannels)
        bad("Invalid channel count for \"" + t.type + "\": " + std::to_string(t.channels));
    return t;
}

} // namespace ks3::conv
