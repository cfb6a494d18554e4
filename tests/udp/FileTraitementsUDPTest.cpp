#include "udp/FileTraitementsUDP.h"

#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "support/TracedLines.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace ks3;
using namespace ks3::test;

namespace {

class FileTraitements : public ::testing::Test {
protected:
    void SetUp() override { resetTraceLog(); }
    void TearDown() override { resetTraceLog(); }

    // What the handlings did, in order: "+row:text" at the start, "-row" at the end.
    QStringList journal;
    // Requests that "arrive" while a handling of the given text lets events run.
    QMap<QString, QList<std::pair<int, QString>>> arrivees;
    FileTraitementsUDP file{[this](int index, const QString& texte) {
        journal << QStringLiteral("+%1:%2").arg(index).arg(texte);
        EXPECT_TRUE(file.TraitementUDPEnCours(index));
        for (const auto& [ligne, t] : arrivees.value(texte))
            file.recevoir(ligne, t);
        if (texte == QLatin1String("panne"))
            raiseError(5, QStringLiteral("failure inside a handling"));
        journal << QStringLiteral("-%1").arg(index);
    }};
};

TEST_F(FileTraitements, ARequestOfAnotherRowWaitsAndIsHandledRightAfter) {
    arrivees[QStringLiteral("a")] = {{1, QStringLiteral("b")}, {2, QStringLiteral("c")}};
    arrivees[QStringLiteral("b")] = {{0, QStringLiteral("d")}};
    file.recevoir(0, QStringLiteral("a"));
    // Never one inside another; in the order they arrived.
    EXPECT_EQ(journal, (QStringList{"+0:a", "-0", "+1:b", "-1", "+2:c", "-2", "+0:d", "-0"}));
    for (int n = 0; n < FileTraitementsUDP::kNombreLignes; ++n)
        EXPECT_FALSE(file.TraitementUDPEnCours(n)) << n;
    EXPECT_EQ(file.enAttente(), 0);
}

TEST_F(FileTraitements, ASecondRequestOfABusyOrWaitingRowIsDroppedWithItsFramedEntry) {
    // Row 0 is being handled when its second text comes; row 1 waits when its
    // second text comes.
    arrivees[QStringLiteral("a")] = {{0, QStringLiteral("a")},
                                     {1, QStringLiteral("b")},
                                     {1, QStringLiteral("b2")},
                                     {0, QStringLiteral("   ")}};
    file.recevoir(0, QStringLiteral("a"));
    EXPECT_EQ(journal, (QStringList{"+0:a", "-0", "+1:b", "-1"}));
    const QStringList lignes = tracedLines();
    const auto encadre = [&](const QString& message) {
        const qsizetype i = lignes.indexOf(QRegularExpression(
            QStringLiteral(".*") + QRegularExpression::escape(message) + QStringLiteral("$")));
        return i > 0 && i + 1 < lignes.size() &&
               lignes[i - 1].endsWith(QString(message.size(), QLatin1Char('='))) &&
               lignes[i + 1].endsWith(QString(message.size(), QLatin1Char('=')));
    };
    EXPECT_TRUE(encadre(QStringLiteral("UDP: Receipt: a But InProcess: Aborted")))
        << lignes.join('\n').toStdString();
    EXPECT_TRUE(encadre(QStringLiteral("UDP: Receipt: b2 But InProcess: Aborted")))
        << lignes.join('\n').toStdString();
    // A blank text on a busy row leaves no entry.
    EXPECT_FALSE(lignes.join('\n').contains(QStringLiteral("Receipt:     But")));

    // Once handled, the rows take requests again.
    journal.clear();
    file.recevoir(0, QStringLiteral("a2"));
    file.recevoir(1, QStringLiteral("b"));
    EXPECT_EQ(journal, (QStringList{"+0:a2", "-0", "+1:b", "-1"}));
}

TEST_F(FileTraitements, AHandlingThatFailsFreesItsRowAndTheWaitingOnesStillRun) {
    arrivees[QStringLiteral("panne")] = {{3, QStringLiteral("suite")}};
    file.recevoir(2, QStringLiteral("panne"));
    EXPECT_EQ(journal, (QStringList{"+2:panne", "+3:suite", "-3"}));
    EXPECT_FALSE(file.TraitementUDPEnCours(2));
    journal.clear();
    file.recevoir(2, QStringLiteral("encore"));
    EXPECT_EQ(journal, (QStringList{"+2:encore", "-2"}));
}

} // namespace
