#include "udp/DureeSon.h"
#include "udp/CheckValiditeValeurMin.h"
#include "udp/InformationsFichier.h"

#include "common/TraceLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace ks3;
using namespace ks3::test;

namespace {

TEST(DureeSon, MillisecondsSecondsAndTheShortFlagFromTheSize) {
    struct Cas {
        std::int64_t T;
        int D, S;
        const char* drapeau;
    };
    const Cas cas[] = {
        {0, 0, 0, "N"},
        {32000, 1000, 1, "N"},
        {32032, 1001, 1, "E"},
        {32016, 1000, 1, "N"}, // 1000.5 halves to even
        {32048, 1002, 1, "E"}, // 1001.5 halves to even
        {16, 0, 0, "N"},       // 0.5
        {48, 2, 0, "N"},       // 1.5
        {16000, 500, 0, "N"},  // 0.5 s halves to even
        {48000, 1500, 2, "E"}, // 1.5 s
        {80000, 2500, 2, "E"}, // 2.5 s
        {115200000, 3600000, 3600, "E"},
    };
    for (const Cas& c : cas) {
        const DureeSon d = DureeDepuisTaille(c.T);
        EXPECT_EQ(d.millisecondes, c.D) << c.T;
        EXPECT_EQ(d.secondes, c.S) << c.T;
        EXPECT_EQ(d.drapeau, QString::fromLatin1(c.drapeau)) << c.T;
    }
}

TEST(InformationsFichier, TheSizeInBytesAndZeroForAMissingFile) {
    resetTraceLog();
    TempDir dir;
    InformationFichier info;
    InformationsFichier(dir.write(QStringLiteral("a b.s48"), QByteArray(32032, 'x')), info);
    EXPECT_EQ(info.taille, 32032);
    EXPECT_TRUE(info.date.isValid());
    InformationsFichier(dir.file(QStringLiteral("absent.s48")), info);
    EXPECT_EQ(info.taille, 0);
    resetTraceLog();
}

TEST(CheckValiditeValeurMin, RaisesOnlyBelowTheMinimum) {
    for (const auto& [v, min, attendu] :
         {std::tuple{-5, 0, 0}, std::tuple{0, 0, 0}, std::tuple{7, 0, 7}, std::tuple{3, 5, 5}}) {
        std::int32_t x = v;
        CheckValiditeValeurMin(x, min);
        EXPECT_EQ(x, attendu) << v << " " << min;
    }
}

} // namespace
