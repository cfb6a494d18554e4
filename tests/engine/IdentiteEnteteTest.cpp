// A header is a file's when its fields give back the file's folders and target
// name, letter case ignored: compared on the field's bytes for an ASCII text,
// the answer must be the one of the decoded texts, whatever byte the field has.
#include "engine/IdentiteEntete.h"
#include "platform/Text1252.h"
#include "store/EnregConvertEntete.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(IdentiteEntete, EveryByteInAFieldGivesTheAnswerOfTheDecodedText) {
    struct Cas {
        const char* nom;
        QString dossierSource, dossierCible, nomCible;
    };
    const QList<Cas> cas{
        {"ASCII", QStringLiteral("/radio/In/Jingles/"), QStringLiteral("/radio/Out/"),
         QStringLiteral("Top 1.mp3")},
        {"accents", QStringLiteral("/radio/Entrée/"), QStringLiteral("/radio/Sortie/"),
         QStringLiteral("Été.mp3")},
    };
    const TextField champs[] = {EnregConvertEntete::DossierSourceChamp, EnregConvertEntete::DossierCibleChamp,
                                EnregConvertEntete::NomFichierCibleChamp};
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const IdentiteEntete identite(c.dossierSource, QStringLiteral("a.wav"), c.dossierCible, c.nomCible);
        EnregConvertEntete juste;
        identite.ecrire(juste);
        ASSERT_TRUE(identite.correspond(juste));
        const QString attendus[] = {c.dossierSource, c.dossierCible, c.nomCible};
        for (int f = 0; f < 3; ++f) {
            const TextField champ = champs[f];
            // Each byte value in place of a letter, of a character that is no
            // letter, and of the blank after the text; and the letters'
            // other case all at once.
            const int texte = int(toCp1252(attendus[f]).size());
            for (const int position : {1, 0, texte}) {
                for (int b = 0; b < 256; ++b) {
                    EnregConvertEntete e = juste;
                    e.data()[champ.offset + position] = char(b);
                    const QString lu = e.text(champ);
                    const bool decode = lu.compare(attendus[f], Qt::CaseInsensitive) == 0;
                    EXPECT_EQ(identite.correspond(e), decode)
                        << "field " << f << ", byte " << b << " at " << position << ": " << lu.toStdString();
                }
            }
            EnregConvertEntete autreCasse = juste;
            autreCasse.setText(champ, attendus[f].toUpper());
            EXPECT_TRUE(identite.correspond(autreCasse)) << "field " << f;
            autreCasse.setText(champ, attendus[f].left(attendus[f].size() - 1));
            EXPECT_FALSE(identite.correspond(autreCasse)) << "field " << f << " shorter";
        }
    }
}
