// The purge of the history on real record files: questions, order of the
// deletions, what it shows, the total.
#include "engine/CompareFichierEtDonnees.h"
#include "history/PurgeHistorique.h"
#include "support/HistoryFixture.h"
#include "support/SoundFixtures.h"

#include <QStringList>

using namespace ks3;

namespace {

struct RecordedProgress : SuiviPurge {
    QStringList keys;
    QList<int> counts;
    void cleEnCours(const QString& cle) override { keys << cle; }
    void nombreSupprime(int nombre) override { counts << nombre; }
};

const QString kTitle = QStringLiteral("Options");

class HistoryPurge : public test::HistoryFixture {
protected:
    RecordedProgress progress;

    void fill() {
        for (int n = 1; n <= 3; ++n)
            header(n, QStringLiteral("f%1.wav").arg(n), QStringLiteral("/in"),
                   QStringLiteral("20240216080000"));
        detail(1, 1, QStringLiteral("E"), QStringLiteral("x"));
        detail(1, 2, QStringLiteral("O"), QString());
        detail(2, 1, QStringLiteral("O"), QString());
        detail(3, 1, QStringLiteral("E"), QStringLiteral("y"));
        detail(3, 2, QStringLiteral("O"), QString());
    }
    QStringList messages() const {
        QStringList all;
        for (const ChoiceBoxRequest& r : boxes.seen())
            all << r.message;
        return all;
    }
};

const QString kAsk1 = QStringLiteral("Voulez-vous supprimer l'historique des conversions ?");
const QString kAsk2 = QStringLiteral("Attention ceci va supprimer définitivement les donner. Continuer ?");

TEST_F(HistoryPurge, EmptyHistoryEndsWithZero) {
    boxes.answer(QStringLiteral("Oui"));
    boxes.answer(QStringLiteral("Oui"));
    EXPECT_EQ(CommandPurgerBase_Click(kTitle, progress), 0);
    EXPECT_EQ(messages(), (QStringList{kAsk1, kAsk2,
                                       "Destruction de l'historique terminée: 0 enregistrements supprimés"}));
    EXPECT_TRUE(progress.keys.isEmpty());
    ASSERT_EQ(boxes.seen().size(), 3);
    EXPECT_EQ(boxes.seen()[0].icon, 32);
    EXPECT_EQ(boxes.seen()[0].buttons, (QStringList{"Oui", "Non"}));
    EXPECT_EQ(boxes.seen()[1].icon, 64);
    EXPECT_EQ(boxes.seen()[2].icon, 64);
    EXPECT_EQ(boxes.seen()[2].buttons, (QStringList{"Ok", "Abandonner"}));
    EXPECT_EQ(boxes.seen()[2].title, kTitle);
}

TEST_F(HistoryPurge, DeletesHeadersThenDetailsFromTheHighestKeyDown) {
    fill();
    boxes.answer(QStringLiteral("Oui"));
    boxes.answer(QStringLiteral("Oui"));
    EXPECT_EQ(CommandPurgerBase_Click(kTitle, progress), 8);
    EXPECT_EQ(progress.keys, (QStringList{"0000000003", "0000000002", "0000000001", "00000000030000000002",
                                          "00000000030000000001", "00000000020000000001",
                                          "00000000010000000002", "00000000010000000001"}));
    EXPECT_EQ(progress.counts, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(messages().last(), "Destruction de l'historique terminée: 8 enregistrements supprimés");
    EXPECT_EQ(count(EnregConvertEntete::NoFichier), 0);
    EXPECT_EQ(count(EnregConvertDetail::NoFichier), 0);
}

TEST_F(HistoryPurge, NoToEitherQuestionDeletesNothing) {
    for (int refused = 1; refused <= 2; ++refused) {
        SCOPED_TRACE(refused);
        boxes.clear();
        fill();
        if (refused == 2)
            boxes.answer(QStringLiteral("Oui"));
        boxes.answer(QStringLiteral("Non"));
        EXPECT_EQ(CommandPurgerBase_Click(kTitle, progress), -1);
        EXPECT_EQ(messages(), QStringList({kAsk1, kAsk2}).mid(0, refused));
        EXPECT_TRUE(progress.keys.isEmpty());
        EXPECT_EQ(count(EnregConvertEntete::NoFichier), 3);
        EXPECT_EQ(count(EnregConvertDetail::NoFichier), 5);
        // Emptied again for the second round.
        boxes.clear();
        boxes.answer(QStringLiteral("Oui"));
        boxes.answer(QStringLiteral("Oui"));
        RecordedProgress ignored;
        ASSERT_EQ(CommandPurgerBase_Click(kTitle, ignored), 8);
    }
}

TEST_F(HistoryPurge, NumbersStartAgainAfterAPurge) {
    fill();
    boxes.answer(QStringLiteral("Oui"));
    boxes.answer(QStringLiteral("Oui"));
    ASSERT_EQ(CommandPurgerBase_Click(kTitle, progress), 8);
    boxes.clear();
    test::TempDir in;
    const QString source = in.write(QStringLiteral("new.wav"), "RIFF....WAVE");
    test::backdateFile(source);
    bool required = false;
    QString id;
    QDateTime date;
    qint64 size = 0;
    CompareFichierEtDonnees(source, data.path() + QStringLiteral("new.mp3"), required, id, date, size);
    EXPECT_TRUE(required);
    EXPECT_EQ(id, QStringLiteral("0000000001"));
}

} // namespace
