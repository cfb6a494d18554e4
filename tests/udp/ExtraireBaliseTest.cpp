#include "udp/ExtraireBalise.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace ks3;

namespace {

TEST(ExtraireBalise, TheFirstClosedOccurrenceOfTheTagInAnyLetterCase) {
    struct Cas {
        const char* texte;
        const char* balise;
        const char* valeur;
    };
    const Cas cas[] = {
        {"<Do:Convert><Song:JIN00123><SoundFile:/in/take 1.wav>", "<Song:", "JIN00123"},
        {"<Do:Convert><Song:JIN00123><SoundFile:/in/take 1.wav>", "<SoundFile:", "/in/take 1.wav"},
        {"<DO:convert><SONG:JIN1>", "<Do:", "convert"},
        {"<do:CONVERT>", "<DO:", "CONVERT"},
        {"xx<Song: JIN 1 >yy", "<Song:", " JIN 1 "},
        {"<Song:JIN1><Song:JIN2>", "<Song:", "JIN1"},
        {"<Song:JIN1", "<Song:", ""},
        {"<Song:><Do:Convert>", "<Song:", ""},
        {"<SongId:JIN7>", "<Song:", ""},
        {"<SongId:JIN7>", "<SongId:", "JIN7"},
        {"<Do:Convert>", "<Song:", ""},
        {"   ", "<Song:", ""},
        {"", "<Song:", ""},
        // The ">" is looked for after the tag's "<", so one inside the value cannot be.
        {"<Song:A>B>", "<Song:", "A"},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(ExtraireBalise(QString::fromUtf8(c.texte), QString::fromUtf8(c.balise)),
                  QString::fromUtf8(c.valeur))
            << c.texte << " " << c.balise;
}

} // namespace
