#include "engine/FrequenceAnalyse.h"
#include "common/DateFormats.h"
#include "engine/RunState.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(ProchaineConversionSelonFrequence, MinutesFromNowToTheSecond) {
    const QDateTime maintenant(QDate(2024, 2, 16), QTime(8, 5, 9, 742));
    const QDateTime seconde(QDate(2024, 2, 16), QTime(8, 5, 9));
    struct Case {
        const char* texte;
        qint64 secondes;
    } cases[] = {
        {"5", 300},  {"10", 600}, {"1.5", 90}, {" 2abc", 120},  {"+3", 180},  {"0", 0},
        {"0.01", 1}, {".5", 30},  {"-1", -60}, {"1440", 86400}, {"0.005", 0}, {"2.5.1", 150},
    };
    for (const Case& c : cases) {
        const auto quand = ProchaineConversionSelonFrequence(maintenant, QString::fromLatin1(c.texte));
        ASSERT_TRUE(quand.has_value()) << c.texte;
        EXPECT_EQ(*quand, seconde.addSecs(c.secondes)) << c.texte;
    }
}

TEST(ProchaineConversionSelonFrequence, NoNumberPlansNothing) {
    const QDateTime maintenant(QDate(2024, 2, 16), QTime(8, 5, 9));
    for (const char* texte : {"", "   ", "abc", "-", ".", "+x"})
        EXPECT_FALSE(ProchaineConversionSelonFrequence(maintenant, QString::fromLatin1(texte))) << texte;
}

TEST(FrequenceAnalyseModifiee, PlansTheRunAndShowsItOnTheLabel) {
    test::ManualClock clock(QDateTime(QDate(2024, 2, 16), QTime(23, 58, 30, 500)));
    runState().reset();
    ASSERT_TRUE(FrequenceAnalyseModifiee(QStringLiteral("2")));
    const QDateTime attendu(QDate(2024, 2, 17), QTime(0, 0, 30));
    EXPECT_EQ(runState().prochaineConversion(), attendu);
    EXPECT_EQ(runState().label(RunState::LabelTimingConvert0), texteDateHeure(attendu));
    EXPECT_EQ(runState().label(RunState::LabelTimingConvert0), "17/02/2024 00:00:30");

    // Emptying the box to type another value leaves the planned run alone.
    clock.advance(5000);
    EXPECT_FALSE(FrequenceAnalyseModifiee(QString()));
    EXPECT_EQ(runState().prochaineConversion(), attendu);
    runState().reset();
}
