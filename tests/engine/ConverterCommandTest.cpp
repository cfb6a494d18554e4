#include "engine/ConverterCommand.h"

#include <gtest/gtest.h>

using namespace ks3;

namespace {
const QString kFiles = QStringLiteral("/opt/CoreConverter -infile=\"/in/a b.wav\" -outfile=\"/out/a b.mp3\" "
                                      "-errorfile=\"/out/Err_Convert/a b.Log\"");

ConverterCommand build(const ConverterOptions& o, bool udp = false) {
    return buildConverterCommand(QStringLiteral("/opt/CoreConverter"), QStringLiteral("/in/a b.wav"),
                                 QStringLiteral("/out/a b.mp3"), QStringLiteral("/out/Err_Convert/a b.Log"),
                                 o, udp);
}
} // namespace

TEST(ConverterCommand, FormatPartForEveryTargetTypeAndIndex) {
    struct Case {
        int cible;
        int index;
        const char* format; // text after the files part
    } cases[] = {
        {0, 0, " -convert_to=\"Aiff\" -bits=\"16\" -freq=\"44100\" -channels=\"2\""},
        {0, 3, " -convert_to=\"Aiff\" -bits=\"16\" -freq=\"192000\" -channels=\"2\""},
        {1, 2, " -convert_to=\"mp2\" -s=\"48000\" -b=\"256\" -c=\"2\""},
        {2, 3, " -convert_to=\"mp3 (Lame)\" -s=\"44100\" -b=\"320\""},
        {3, 0, " -convert_to=\"Ogg Vorbis\" -q=\"-0.1\" -b=\"48\" --managed"},
        {3, 1, " -convert_to=\"Ogg Vorbis\" -q=\"0.0\" -b=\"64\" --managed"},
        {3, 11, " -convert_to=\"Ogg Vorbis\" -q=\"1.0\" -b=\"500\" --managed"},
        {4, 0, " -convert_to=\"wave\" -compression=\"PCM\" -bits=\"8\" -freq=\"44100\""},
        {5, 3, " -convert_to=\"Wave64\" -compression=\"PCM\" -bits=\"32\" -freq=\"44100\" -channels=\"2\""},
        {6, 0,
         " -convert_to=\"Windows Media Audio 10\" -codec=\"Windows Media Audio 10 Professional\" "
         "-settings=\"256 kbps, 48 kHz, 2 channel 16 bit CBR\""},
        {7, 0, " -convert_to=\"FLAC\" -compression-level-5"},
        {7, 3, " -convert_to=\"FLAC\" -compression-level-5"},
        {8, 1, " -convert_to=\"mp2\" -s=\"48000\" -b=\"192\" -c=\"2\""},
        {2, 4, " -convert_to=\"mp3 (Lame)\" "}, // no such row: the command ends with the space
        {8, -1, " -convert_to=\"mp2\" "},       // nothing selected
        {-1, 0, ""},                            // no target type: no -convert_to at all
    };
    for (const Case& c : cases) {
        ConverterOptions o;
        o.cible = c.cible;
        o.caracteristiques = c.index;
        EXPECT_EQ(build(o).text, kFiles + QString::fromUtf8(c.format)) << c.cible << "/" << c.index;
    }
}

TEST(ConverterCommand, EffectsAreNumberedByEnabledOnes) {
    ConverterOptions o;
    o.cible = 2;
    o.caracteristiques = 2;
    o.normActive = true;
    o.normNature = 3;
    o.normValeurFixe = -4;
    EXPECT_EQ(
        effectArguments(o),
        QStringList{"-dspeffect1=Volume Normalize= -mode={qt}fixed{qt} -maxamp={qt}8{qt} -desiredb={qt}0{qt} "
                    "-adapt_wnd={qt}6000{qt} -fixed={qt}-4{qt}"});

    o.cutActive = true;
    o.cutDebut = true;
    o.eqActive = true;
    o.eqBandes[0] = -3;
    o.eqBandes[17] = 12;
    const QStringList all = effectArguments(o);
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0], QStringLiteral("-dspeffect1=Trim Silence= -noend -digsilence -dbsilence={qt}-50{qt} "
                                     "-threshold={qt}100{qt}"));
    EXPECT_TRUE(all[1].startsWith(QStringLiteral("-dspeffect2=Volume Normalize=")));
    EXPECT_EQ(all[2],
              QStringLiteral("-dspeffect3=Graphic Equalizer= -EQ={qt}-30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
                             "0, 0, 0, 0, 0, 120{qt}"));
    // In the text each effect is one quoted argument; in the argument list it is one item.
    const ConverterCommand c = build(o);
    EXPECT_TRUE(c.text.contains(QStringLiteral(" -dspeffect1=\"Trim Silence= -noend -digsilence")));
    EXPECT_EQ(c.arguments.mid(3, 3), all);
}

TEST(ConverterCommand, EqualiserAtZeroHasEighteenValues) {
    ConverterOptions o;
    o.eqActive = true;
    QStringList zeros;
    for (int i = 0; i < 18; ++i)
        zeros << QStringLiteral("0");
    EXPECT_EQ(effectArguments(o).value(0), QStringLiteral("-dspeffect1=Graphic Equalizer= -EQ={qt}") +
                                               zeros.join(", ") + QStringLiteral("{qt}"));
}

TEST(ConverterCommand, UdpRequestHasTheFixedFormatAndNoEffect) {
    ConverterOptions o;
    o.cible = 3;
    o.caracteristiques = 5;
    o.cutActive = o.normActive = o.eqActive = true;
    const ConverterCommand c = build(o, true);
    EXPECT_EQ(c.text, kFiles + QStringLiteral(" -convert_to=\"mp2\" -s=\"48000\" -b=\"256\" -c=\"2\""));
    EXPECT_EQ(c.arguments, (QStringList{"-infile=/in/a b.wav", "-outfile=/out/a b.mp3",
                                        "-errorfile=/out/Err_Convert/a b.Log", "-convert_to=mp2", "-s=48000",
                                        "-b=256", "-c=2"}));
}

TEST(ConverterCommand, ArgumentsKeepShellCharactersIntact) {
    ConverterOptions o;
    o.cible = 7;
    const ConverterCommand c = buildConverterCommand(
        QStringLiteral("/opt/CoreConverter"), QStringLiteral("/in/it's \"$(rm -rf x)\"; a.wav"),
        QStringLiteral("/out/a.flac"), QStringLiteral("/out/Err_Convert/a.Log"), o, false);
    EXPECT_EQ(c.program, QStringLiteral("/opt/CoreConverter"));
    EXPECT_EQ(c.arguments.first(), QStringLiteral("-infile=/in/it's \"$(rm -rf x)\"; a.wav"));
    EXPECT_EQ(c.arguments.last(), QStringLiteral("-compression-level-5"));
}
