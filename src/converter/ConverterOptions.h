#pragma once

#include <map>
#include <string>
#include <vector>

namespace ks3::conv {

// One -dspeffectN= argument: the effect's name and its parameters. Parameter
// names are kept in lower case without their leading "-"; a bare flag has an
// empty value.
struct EffectRequest {
    int number = 0;
    std::string name;
    std::map<std::string, std::string> params;
    bool has(const std::string& key) const { return params.count(key) != 0; }
    std::string value(const std::string& key, const std::string& fallback = {}) const;
};

// Everything the command line asks for.
struct ConverterOptions {
    std::string infile;
    std::string outfile;
    std::string errorfile;
    std::string convertTo; // target type, e.g. "mp3 (Lame)"; empty when not given
    std::map<std::string, std::string>
        settings;                       // format settings by name without "-" ("b", "bits", "managed", ...)
    std::vector<EffectRequest> effects; // in the order of their numbers
};

// Splits the process arguments into options. Accepts the converter's own
// quoting: a value may be wrapped in double quotes (kept by a caller that
// passes each option as one argument, or removed by one that split a command
// line), a quote inside a quoted value is written {qt}, and a whole command
// line passed as a single argument is split at its blanks outside quotes.
// Throws ConverterError(ExitBadArguments) on an unknown or malformed option.
ConverterOptions parseArguments(const std::vector<std::string>& args);

// Splits an effect's text ("Trim Silence= -nobegin -dbsilence={qt}-50{qt}").
EffectRequest parseEffect(int number, const std::string& text);

// Leading-number parse of a user text: blanks skipped, the longest leading
// decimal number (sign and decimal point allowed); 0 when there is none.
double leadingNumber(const std::string& text);

// Strict parse of a whole text as a number; false when it is not one.
bool parseNumber(const std::string& text, double& value);

std::string toLower(std::string s);
std::string trim(const std::string& s);

} // namespace ks3::conv
