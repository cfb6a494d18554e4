#include "common/LeadingNumber.h"
#include "settings/SourceTypes.h"
#include "settings/TargetTypes.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(SourceTypes, PatternsAndExtensionsComeFromTheLabels) {
    const auto& t = sourceTypes();
    ASSERT_EQ(t.size(), 18u);
    struct Case {
        int code;
        const char* motifs;
        QStringList extensions;
    } cases[] = {
        {0, "*.aifc", {".aifc"}},
        {1, "*.aiff;*.aif", {".aiff", ".aif"}},
        {10, "*.wave;*.wav", {".wave", ".wav"}},
        {12, "*.wmv;*.asf;*.wma", {".wmv", ".asf", ".wma"}},
        {14, "", {}},
        {16, "*.s48", {".s48"}},
        {17, "*.mus", {".mus"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(t[c.code].code, c.code);
        EXPECT_EQ(t[c.code].motifs, c.motifs);
        EXPECT_EQ(t[c.code].extensions, c.extensions);
        EXPECT_EQ(t[c.code].separateur, c.code == kSourceSeparateur);
    }
    EXPECT_EQ(t[14].libelle, "===== Logiciels =====");
}

TEST(TargetTypes, ExtensionsAndPresets) {
    struct Case {
        int code;
        const char* extension;
        int entrees;
        const char* preset;
    } cases[] = {
        {0, ".aiff", 4, "16 bits 48000 Hz"},
        {1, ".mp2", 4, "256 Kbits/s 48000 Hz"},
        {2, ".mp3", 4, "256 Kbits/s 44100 Hz"},
        {3, ".ogg", 12, "q  0.8 256 KBits/s"},
        {4, ".wav", 4, "16 bits 44100 Hz"},
        {5, ".w64", 4, "16 bits 44100 Hz"},
        {6, ".wma", 1, "256 Kbits/s 48000 Hz"},
        {7, ".flac", 4, "256 Kbits/s 48000 Hz"},
        {8, ".s48", 0, nullptr},
    };
    ASSERT_EQ(targetTypes().size(), 9u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const TargetType* t = targetType(c.code);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->extension, c.extension);
        ASSERT_EQ(t->caracteristiques.size(), c.entrees);
        if (c.preset)
            EXPECT_EQ(t->caracteristiques.at(t->preset), c.preset);
        else
            EXPECT_EQ(t->preset, -1);
    }
    EXPECT_EQ(targetType(4)->caracteristiques.front(), " 8 bits 44100 Hz");
    EXPECT_EQ(targetType(9), nullptr);
    EXPECT_EQ(targetType(-1), nullptr);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    struct Case {
        const char* texte;
        double valeur;
    } cases[] = {
        {"5", 5},   {"  12 min", 12}, {" -3.5dB", -3.5}, {"+7", 7},      {".5", 0.5},  {"5.", 5},
        {"abc", 0}, {"", 0},          {"-", 0},          {"1.2.3", 1.2}, {"\t42", 42}, {"1e3", 1},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(c.texte), c.valeur) << c.texte;
    EXPECT_EQ(LeadingInteger("2.5"), 2);
    EXPECT_EQ(LeadingInteger("3.5"), 4);
    EXPECT_EQ(LeadingInteger("-0.5"), 0);
    EXPECT_EQ(LeadingInteger("99999999999"), std::nullopt);
}
