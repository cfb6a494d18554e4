// The converter's option parser on arbitrary command lines: the input is split
// at NUL bytes into arguments. A bad line must end in ConverterError (the
// converter's "bad arguments" status), never in anything else.
#include "converter/ConverterError.h"
#include "converter/ConverterOptions.h"
#include "converter/EffectFactory.h"
#include "converter/TargetFormat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace ks3::conv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }
    try {
        const ConverterOptions options = parseArguments(args);
        for (const EffectRequest& e : options.effects)
            (void)parseEffect(e.number, e.name);
        validateEffects(options.effects);
        (void)resolveTarget(options);
    } catch (const ConverterError&) {
    }
    for (const std::string& a : args) {
        double v = 0;
        (void)leadingNumber(a);
        (void)parseNumber(a, v);
    }
    return 0;
}
