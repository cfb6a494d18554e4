#include "common/ErrorRoutine.h"
#include "store/CatalogueTables.h"
#include "store/RecordBuffers.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace ks3;

namespace {

struct LayoutCase {
    int noFichier;
    int layoutSize;
    int storedSize;
    std::vector<FieldDef> fields;
};

std::vector<LayoutCase> layouts() {
    return {
        {20, 300, 300, EnregArtiste::layout()},       {21, 980, 980, EnregVoixGroupe::layout()},
        {22, 910, 900, EnregMorceau::layout()},       {26, 152, 150, EnregMorceauMagneto::layout()},
        {29, 100, 100, EnregMorceauCles::layout()},   {31, 50, 50, EnregPointeurs::layout()},
        {37, 508, 500, EnregInfoSon::layout()},       {41, 900, 900, EnregConvertEntete::layout()},
        {42, 901, 900, EnregConvertDetail::layout()},
    };
}

QByteArray noise(int n, unsigned start) {
    std::mt19937 gen(start);
    QByteArray b(n, '\0');
    for (char& c : b)
        c = char(gen() & 0xFF);
    return b;
}

} // namespace

// Each buffer is covered field after field with no gap and no overlap, binary
// numbers sit on a multiple of their size, the catalogue stores no more than
// the layout holds, and every key segment starts on a field.
TEST(RecordLayout, FieldsTileTheBufferAndKeysStartOnFields) {
    InitGeneralData();
    for (const LayoutCase& c : layouts()) {
        SCOPED_TRACE(c.noFichier);
        const RecordBufferRef buf = recordBufferOf(c.noFichier);
        ASSERT_NE(buf.data, nullptr);
        EXPECT_EQ(buf.size, c.layoutSize);
        EXPECT_EQ(CatalogueTables()[c.noFichier].longueurEnreg, c.storedSize);
        int pos = 0;
        std::vector<int> starts;
        for (const FieldDef& f : c.fields) {
            SCOPED_TRACE(f.name);
            EXPECT_EQ(f.offset, pos);
            if (f.kind == FieldDef::Int16 || f.kind == FieldDef::Int32) {
                EXPECT_EQ(f.offset % f.width, 0);
            }
            for (int i = 0; i < f.count; ++i)
                starts.push_back(f.offset + i * f.width);
            pos = f.end();
        }
        EXPECT_EQ(pos, c.layoutSize);
        const EntreeCatalogue& e = CatalogueTables()[c.noFichier];
        for (const SegmentCle& s : e.segments) {
            if (s.longueur == 0)
                break;
            EXPECT_NE(std::find(starts.begin(), starts.end(), s.position - 1), starts.end()) << s.position;
            EXPECT_LE(s.position - 1 + s.longueur, c.storedSize);
        }
    }
}

// Writing one field changes exactly its bytes, at the offset the suite's other
// programs read it from.
TEST(RecordLayout, NamedFieldsWriteAtTheirOffsets) {
    struct Case {
        const char* name;
        int noFichier;
        std::function<void()> write;
        int offset;
        QByteArray expected;
    };
    const std::vector<Case> cases = {
        {"41 IdEntete", 41, [] { enregConvertEntete().setIdEntete(42); }, 0, "0000000042"},
        {"41 NomFichierSource", 41, [] { enregConvertEntete().setNomFichierSource("a.wav"); }, 10,
         "a.wav" + QByteArray(45, ' ')},
        {"41 DateTraitement", 41,
         [] { enregConvertEntete().setDateTraitement(QDateTime(QDate(2024, 2, 6), QTime(8, 5, 9))); }, 60,
         "20240206080509"},
        {"41 DateFichierSource", 41, [] { enregConvertEntete().setDateFichierSource("20231231235959"); }, 74,
         "20231231235959"},
        {"41 TailleFichierSource", 41, [] { enregConvertEntete().setTailleFichierSource(123456); }, 88,
         "0000123456"},
        {"41 AConvertir", 41, [] { enregConvertEntete().setAConvertir("O"); }, 98, "O"},
        {"41 NomFichierCible", 41, [] { enregConvertEntete().setNomFichierCible("b.mp3"); }, 99,
         "b.mp3" + QByteArray(45, ' ')},
        {"41 DossierSource", 41, [] { enregConvertEntete().setDossierSource("/s/"); }, 149,
         "/s/" + QByteArray(252, ' ')},
        {"41 DossierCible", 41, [] { enregConvertEntete().setDossierCible("/c/"); }, 404,
         "/c/" + QByteArray(252, ' ')},
        {"41 ConversionOK", 41, [] { enregConvertEntete().setConversionOK("N"); }, 659, "N"},
        {"42 IdEntete", 42, [] { enregConvertDetail().setIdEntete(7); }, 0, "0000000007"},
        {"42 IdDetail", 42, [] { enregConvertDetail().setIdDetail(3); }, 10, "0000000003"},
        {"42 DateFichierSource", 42, [] { enregConvertDetail().setDateFichierSource("20240101000000"); }, 20,
         "20240101000000"},
        {"42 TailleFichierSource", 42, [] { enregConvertDetail().setTailleFichierSource(9); }, 34,
         "0000000009"},
        {"42 DebutConversion", 42, [] { enregConvertDetail().setDebutConversion("20240101000001"); }, 44,
         "20240101000001"},
        {"42 FinConversion", 42, [] { enregConvertDetail().setFinConversion("20240101000002"); }, 58,
         "20240101000002"},
        {"42 ConversionOK", 42, [] { enregConvertDetail().setConversionOK("O"); }, 72, "O"},
        {"42 LibelleDetail", 42, [] { enregConvertDetail().setLibelleDetail("Err"); }, 73,
         "Err" + QByteArray(97, ' ')},
        {"20 TotalSecondes", 20, [] { enregArtiste().setTotalSecondes(61); }, 50, "00000061"},
        {"21 TotalSecondes", 21, [] { enregVoixGroupe().setTotalSecondes(5); }, 680, "00000005"},
        {"22 IndicateurDuree", 22, [] { enregMorceau().setIndicateurDuree("E"); }, 207, "E"},
        {"22 NoDrive", 22, [] { enregMorceau().setNoDrive("3"); }, 206, "3"},
        {"22 TailleSon", 22, [] { enregMorceau().setTailleSon(32000); }, 208, "0000032000"},
        {"22 DateSon", 22, [] { enregMorceau().setDateSon("20240216"); }, 445, "20240216"},
        {"22 HeureSon", 22, [] { enregMorceau().setHeureSon("080509"); }, 459, "080509"},
        {"22 FormatSon", 22, [] { enregMorceau().setFormatSon("S48"); }, 536, "S48"},
        {"26 IndicateurDuree", 26, [] { enregMorceauMagneto().setIndicateurDuree("N"); }, 112, "N"},
        {"26 DureeMs", 26, [] { enregMorceauMagneto().setDureeMs(0x01020304); }, 116,
         QByteArray("\x04\x03\x02\x01", 4)},
        {"26 TypeSon", 26, [] { enregMorceauMagneto().setTypeSon("S"); }, 120, "S"},
        {"26 FormatSon", 26, [] { enregMorceauMagneto().setFormatSon("S48"); }, 121, "S48"},
        {"29 ValeurCle", 29, [] { enregMorceauCles().setValeurCle(42); }, 5, "00042"},
        {"29 CodeMorceau", 29, [] { enregMorceauCles().setCodeMorceau("JIN00123"); }, 10, "JIN00123"},
        {"31 CodeMorceau", 31, [] { enregPointeurs().setCodeMorceau("JIN1"); }, 0, "JIN1    "},
        {"37 DateModification", 37, [] { enregInfoSon().setDateModification("202402160805"); }, 20,
         "202402160805"},
        {"37 TailleSon", 37, [] { enregInfoSon().setTailleSon(-2); }, 32, QByteArray("\xFE\xFF\xFF\xFF", 4)},
        {"37 DureeMs", 37, [] { enregInfoSon().setDureeMs(1000); }, 36, QByteArray("\xE8\x03\x00\x00", 4)},
        {"37 Valeur088", 37, [] { enregInfoSon().setInt16(EnregInfoSon::Valeur088Champ, 258); }, 88,
         QByteArray("\x02\x01", 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordBufferRef buf = recordBufferOf(c.noFichier);
        const QByteArray before = noise(buf.size, 7);
        std::copy(before.begin(), before.end(), buf.data);
        c.write();
        const QByteArray after(buf.data, buf.size);
        EXPECT_EQ(after.mid(c.offset, c.expected.size()), c.expected);
        EXPECT_EQ(after.left(c.offset), before.left(c.offset));
        EXPECT_EQ(after.mid(c.offset + c.expected.size()), before.mid(c.offset + c.expected.size()))
            << "bytes after the field changed";
    }
    // The song length is 6 digits split in two places: the first 2 at offset
    // 465, the last 4 at offset 103.
    EnregMorceau m;
    m.setDureeSecondes(123456);
    EXPECT_EQ(m.raw(465, 2), "12");
    EXPECT_EQ(m.raw(103, 4), "3456");
    EXPECT_EQ(m.DureeSecondes(), 123456);
    m.setDureeSecondes(75);
    EXPECT_EQ(m.raw(465, 2) + m.raw(103, 4), "000075");
    resetRecordBuffers();
}

TEST(RecordLayout, TextIsCutPaddedAndReadBackTrimmedInWindows1252) {
    EnregConvertDetail d;
    d.setLibelleDetail(QString(130, QLatin1Char('x')));
    EXPECT_EQ(d.LibelleDetail(), QString(100, QLatin1Char('x')));
    EXPECT_EQ(d.raw(173, 1), " ") << "a cut text spills into nothing";

    d.setLibelleDetail(QStringLiteral("  Fichier énorme  "));
    EXPECT_EQ(d.raw(73, 6), QByteArray("  Fich"));
    EXPECT_EQ(d.raw(83, 7), QByteArray("\xE9norme ", 7)); // é is one byte, 0xE9
    EXPECT_EQ(d.LibelleDetail(), QStringLiteral("Fichier énorme"));

    // The code page's own characters between 0x80 and 0x9F.
    d.setLibelleDetail(QStringLiteral("5 € – œ"));
    EXPECT_EQ(d.raw(73, 7), QByteArray("5 \x80 \x96 \x9C", 7));
    EXPECT_EQ(d.LibelleDetail(), QStringLiteral("5 € – œ"));

    EnregConvertEntete e;
    e.setNomFichierSource(QString(60, QLatin1Char('n')));
    EXPECT_EQ(e.NomFichierSource().size(), 50);
    EXPECT_EQ(e.raw(60, 1), " ") << "DateTraitement untouched";
}

// What a field gives back of a text, as told before writing it, is what
// writing and reading the field gives: cut, code page, blanks, characters the
// code page lacks.
TEST(RecordLayout, StoredTextIsWhatTheFieldGivesBack) {
    const int width = EnregConvertEntete::NomFichierSourceChamp.width;
    const QString cases[] = {
        QString(),
        QStringLiteral(""),
        QStringLiteral("   "),
        QStringLiteral("Track 1.wav"),
        QStringLiteral("  blancs autour.wav  "),
        QString(49, QLatin1Char('a')) + QStringLiteral(" b"), // cut just after a blank
        QString(width + 10, QLatin1Char('n')),
        QStringLiteral("Été à l'œil 5 €.wav"),
        QStringLiteral("ÿŸ šŠ.wav"),
        QStringLiteral("Ādam 日本.wav"), // not in the code page
        QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"),
    };
    for (const QString& value : cases) {
        SCOPED_TRACE(value.toStdString());
        EnregConvertEntete e;
        e.setNomFichierSource(value);
        const QString stored = recordtext::stored(value, width);
        EXPECT_EQ(stored, e.NomFichierSource());
        EXPECT_FALSE(stored.isNull());
    }
}

// Record dates are "yyyyMMddHHmmss" in the date's own time, whatever the year.
TEST(RecordLayout, DatesAreFourteenDigits) {
    const QDateTime cases[] = {
        QDateTime(QDate(2024, 3, 31), QTime(2, 5, 9)),
        QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999)),
        QDateTime(QDate(2024, 7, 1), QTime(0, 0), Qt::OffsetFromUTC, 7200),
        QDateTime(QDate(999, 1, 2), QTime(3, 4, 5)),
        QDateTime(QDate(10000, 1, 1), QTime(0, 0)),
        QDateTime(),
    };
    for (const QDateTime& dt : cases) {
        SCOPED_TRACE(dt.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(recordtext::dateTime14(dt), dt.toString(QStringLiteral("yyyyMMddHHmmss")));
    }
    EXPECT_EQ(recordtext::dateTime14(QDateTime(QDate(2024, 3, 31), QTime(2, 5, 9))),
              QStringLiteral("20240331020509"));
}

TEST(RecordLayout, NumbersAreZeroFilledAndNeverCut) {
    EnregConvertEntete e;
    e.setTailleFichierSource(42);
    EXPECT_EQ(e.TailleFichierSource(), QStringLiteral("0000000042"));
    EXPECT_EQ(e.number(EnregConvertEntete::TailleFichierSourceChamp), 42);
    e.setIdEntete(9999999999LL);
    EXPECT_EQ(e.IdEntete(), QStringLiteral("9999999999"));
    // One digit too many, or a negative number, would store another number.
    EXPECT_THROW(e.setIdEntete(10000000000LL), Error);
    EXPECT_THROW(e.setTailleFichierSource(-1), Error);
    EXPECT_EQ(e.IdEntete(), QStringLiteral("9999999999"));
    EXPECT_THROW(enregMorceau().CodeArtiste(2), Error);
}

// Updating a recorder record writes only the delivery fields: the padding at
// 113 to 115 and every other byte stay as read from the file.
TEST(RecordLayout, RecorderRecordKeepsUnknownBytesAndPadding) {
    EnregMorceauMagneto m;
    const QByteArray read = noise(m.size(), 26);
    m.setBytes(read);
    m.setIndicateurDuree(QStringLiteral("E"));
    m.setDureeMs(61000);
    m.setTypeSon(QStringLiteral("S"));
    m.setFormatSon(QStringLiteral("S48"));
    const QByteArray after = m.bytes();
    for (int i = 0; i < m.size(); ++i) {
        const bool written = i == 112 || (i >= 116 && i < 124);
        if (!written) {
            EXPECT_EQ(after.at(i), read.at(i)) << "byte " << i;
        }
    }
    EXPECT_EQ(m.DureeMs(), 61000);
    EXPECT_EQ(m.raw(113, 3), read.mid(113, 3));
}
