#include "converter/ConverterOptions.h"

#include "converter/ConverterError.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

namespace ks3::conv {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Splits at blanks outside double quotes; the quotes stay in the pieces.
std::vector<std::string> splitOutsideQuotes(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false, any = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (isBlank(c) && !quoted) {
            if (any)
                out.push_back(cur);
            cur.clear();
            any = false;
            continue;
        }
        cur += c;
        any = true;
    }
    if (any)
        out.push_back(cur);
    return out;
}

std::string unquote(std::string s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        return s.substr(1, s.size() - 2);
    return s;
}

// The process arguments as one option each.
std::vector<std::string> optionTokens(const std::vector<std::string>& args) {
    if (args.size() == 1)
        return splitOutsideQuotes(args.front());
    std::vector<std::string> out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        // A quoted value that a caller split at its blanks is joined again.
        const auto eq = a.find('=');
        const bool opensQuote = eq != std::string::npos && eq + 1 < a.size() && a[eq + 1] == '"';
        if (opensQuote && (a.size() == eq + 2 || a.back() != '"')) {
            while (i + 1 < args.size() && (a.size() == eq + 2 || a.back() != '"'))
                a += ' ' + args[++i];
        }
        out.push_back(a);
    }
    return out;
}

const std::set<std::string> kValueSettings = {"s",        "b",           "c", "bits",  "freq",
                                              "channels", "compression", "q", "codec", "settings"};

} // namespace

std::string toLower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

double leadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    std::size_t j = i;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
        ++j;
    const std::size_t digitsFrom = j;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
        ++j;
    if (j < text.size() && text[j] == '.') {
        ++j;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
            ++j;
    }
    const std::string number = text.substr(i, j - i);
    if (j == digitsFrom || number == "." || number == "+." || number == "-.")
        return 0.0;
    return std::strtod(number.c_str(), nullptr);
}

bool parseNumber(const std::string& text, double& value) {
    const std::string t = trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    return end && *end == '\0';
}

std::string EffectRequest::value(const std::string& key, const std::string& fallback) const {
    const auto it = params.find(key);
    return it == params.end() ? fallback : it->second;
}

EffectRequest parseEffect(int number, const std::string& rawText) {
    std::string text = rawText;
    for (std::size_t p; (p = text.find("{qt}")) != std::string::npos;)
        text.replace(p, 4, "\"");
    EffectRequest e;
    e.number = number;
    const auto eq = text.find('=');
    e.name = trim(text.substr(0, eq));
    if (e.name.empty())
        throw ConverterError("Effect " + std::to_string(number) + " has no name: \"" + rawText + "\"",
                             ExitBadArguments);
    if (eq == std::string::npos)
        return e;
    for (const std::string& token : splitOutsideQuotes(text.substr(eq + 1))) {
        const std::string t = unquote(token);
        const auto start = t.find_first_not_of('-');
        if (t.size() < 2 || t[0] != '-' || start == std::string::npos)
            throw ConverterError("Effect \"" + e.name + "\": unexpected text \"" + token + "\"",
                                 ExitBadArguments);
        const std::string body = t.substr(start);
        const auto peq = body.find('=');
        const std::string key = toLower(trim(body.substr(0, peq)));
        const std::string val =
            peq == std::string::npos ? std::string() : trim(unquote(trim(body.substr(peq + 1))));
        e.params[key] = val;
    }
    return e;
}

ConverterOptions parseArguments(const std::vector<std::string>& args) {
    ConverterOptions o;
    std::map<int, EffectRequest> effects;
    for (const std::string& raw : optionTokens(args)) {
        const std::string token =
            raw.size() >= 2 && raw.front() == '"' && raw.back() == '"' ? unquote(raw) : raw;
        if (token.size() < 2 || token[0] != '-')
            throw ConverterError("Unexpected argument: " + raw, ExitBadArguments);
        const std::string body = token.substr(token[1] == '-' ? 2 : 1);
        const auto eq = body.find('=');
        const std::string name = toLower(body.substr(0, eq));
        const bool hasValue = eq != std::string::npos;
        const std::string value = hasValue ? unquote(body.substr(eq + 1)) : std::string();

        if (name == "infile" && hasValue)
            o.infile = value;
        else if (name == "outfile" && hasValue)
            o.outfile = value;
        else if (name == "errorfile" && hasValue)
            o.errorfile = value;
        else if (name == "convert_to" && hasValue)
            o.convertTo = trim(value);
        else if (name.rfind("dspeffect", 0) == 0 && hasValue) {
            const std::string digits = name.substr(9);
            if (digits.empty() || !std::all_of(digits.begin(), digits.end(), ::isdigit) || digits.size() > 3)
                throw ConverterError("Unsupported option: " + raw, ExitBadArguments);
            const int n = std::stoi(digits);
            effects[n] = parseEffect(n, value);
        } else if (kValueSettings.count(name) && hasValue)
            o.settings[name] = trim(value);
        else if (name == "managed" && !hasValue)
            o.settings["managed"] = "";
        else if (name.rfind("compression-level-", 0) == 0 && !hasValue && name.size() > 18 &&
                 std::all_of(name.begin() + 18, name.end(), ::isdigit))
            o.settings["compression-level"] = name.substr(18);
        else
            throw ConverterError("Unsupported option: " + raw, ExitBadArguments);
    }
    for (auto& [n, e] : effects)
        o.effects.push_back(std::move(e));
    if (o.infile.empty())
        throw ConverterError("Missing -infile=", ExitBadArguments);
    if (o.outfile.empty())
        throw ConverterError("Missing -outfile=", ExitBadArguments);
    return o;
}

} // namespace ks3::conv
