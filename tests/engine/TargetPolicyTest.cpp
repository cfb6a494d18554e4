#include "engine/TargetPolicy.h"
#include "common/MessageBoxService.h"
#include "common/TraceLog.h"
#include "engine/RunState.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace ks3;

TEST(TargetPolicy, ExistingTargetUnderEachPolicy) {
    test::ManualClock clock;
    test::TempDir dir;
    ScriptedMessageBoxService boxes;
    test::ServicesGuard services([&](Services& s) { s.questions = &boxes; });
    const QString source = dir.file("In/a.wav");
    const QString target = dir.file("Out/a.mp3");
    struct Case {
        int policy;
        const char* answer; // to the question of policy 2
        bool convert;
        const char* effective;
        bool targetKept;
    } cases[] = {
        {0, "", true, "Out/a.mp3", false},    {1, "", true, "Out/a(2).mp3", true},
        {2, "Oui", true, "Out/a.mp3", false}, {2, "Non", false, "Out/a.mp3", true},
        {3, "", false, "Out/a.mp3", true},    {-1, "", true, "Out/a.mp3", true},
    };
    for (const Case& c : cases) {
        dir.write("Out/a.mp3", "old");
        dir.write("Out/a(1).mp3", "older");
        boxes.clear();
        if (*c.answer)
            boxes.answer(QString::fromLatin1(c.answer));
        TargetPolicySettings s;
        s.cibleExistant = c.policy;
        const TargetDecision d = applyTargetPolicy(source, target, false, s);
        EXPECT_EQ(d.convert, c.convert) << c.policy << c.answer;
        EXPECT_EQ(d.cibleEffective, dir.file(QString::fromLatin1(c.effective))) << c.policy;
        EXPECT_EQ(QFile::exists(target), c.targetKept) << c.policy << c.answer;
        EXPECT_EQ(d.failure.isEmpty(), c.convert) << c.policy << c.answer;
        EXPECT_EQ(boxes.seen().size(), c.policy == 2 ? 1 : 0) << c.policy;
    }
    // The lines the user sees for indexing and refusal.
    dir.write("Out/a.mp3", "old");
    TargetPolicySettings index;
    index.cibleExistant = 1;
    EXPECT_EQ(applyTargetPolicy(source, target, false, index).lines,
              (QStringList{QStringLiteral("Le fichier '") + target +
                               QStringLiteral("' existe déjà. Il doit être indexé"),
                           QStringLiteral("Fichier réindexé: ") + dir.file("Out/a(2).mp3")}));
    TargetPolicySettings never;
    never.cibleExistant = 3;
    EXPECT_EQ(applyTargetPolicy(source, target, false, never).failure,
              QStringLiteral("Le fichier '") + target +
                  QStringLiteral("' existe déjà. Il ne peut être écrasé"));
    // A request of the suite always replaces its target, whatever the policy.
    const TargetDecision udp = applyTargetPolicy(source, target, true, never);
    EXPECT_TRUE(udp.convert);
    EXPECT_FALSE(QFile::exists(target));
    resetTraceLog();
}

// Replacing an "existing target" that is the source itself would delete the sound
// before the converter reads it: refused under every policy, however the path is
// spelt, and the file stays.
TEST(TargetPolicy, TargetThatIsTheSourceItselfIsRefused) {
    test::ManualClock clock;
    test::TempDir dir;
    ScriptedMessageBoxService boxes;
    test::ServicesGuard services([&](Services& s) { s.questions = &boxes; });
    const QString source = dir.write("In/a.mp3", "the recording");
    ASSERT_TRUE(QFile::link(dir.file("In"), dir.file("Link")));
    for (const char* spelling : {"In/a.mp3", "In/./a.mp3", "In//a.mp3", "Link/a.mp3", "Out/../In/a.mp3"}) {
        QDir().mkpath(dir.file("Out"));
        const QString target = dir.file(QString::fromLatin1(spelling));
        for (const int policy : {0, 1, 2, 3, -1}) {
            for (const bool udp : {false, true}) {
                boxes.clear();
                boxes.answer(QStringLiteral("Oui"));
                TargetPolicySettings s;
                s.cibleExistant = policy;
                const TargetDecision d = applyTargetPolicy(source, target, udp, s);
                EXPECT_FALSE(d.convert) << spelling << " policy " << policy << " udp " << udp;
                EXPECT_EQ(d.failure,
                          QStringLiteral("Cible identique au fichier source, conversion refusée: '") +
                              target + "'")
                    << spelling << " policy " << policy;
                EXPECT_EQ(d.lines, QStringList{d.failure}) << spelling << " policy " << policy;
                EXPECT_TRUE(boxes.seen().isEmpty()) << "nobody is asked to overwrite the source";
                ASSERT_EQ(test::TempDir::read(source), QByteArray("the recording"))
                    << spelling << " policy " << policy << " udp " << udp;
            }
        }
    }
    // A file of the same name elsewhere is an ordinary existing target.
    dir.write("Out/a.mp3", "old");
    TargetPolicySettings overwrite;
    const TargetDecision d = applyTargetPolicy(source, dir.file("Out/a.mp3"), false, overwrite);
    EXPECT_TRUE(d.convert);
    EXPECT_FALSE(QFile::exists(dir.file("Out/a.mp3")));
    resetTraceLog();
}

// "jingle.wav" and "jingle.mp3" into one "jingle.mp3" in one run: the second source
// gets its own indexed target whatever the policy, so that the first one's sound
// (whose source may be deleted already) stays.
TEST(TargetPolicy, TargetWrittenInThisRunFromAnotherSourceIsIndexed) {
    test::ManualClock clock;
    test::TempDir dir;
    ScriptedMessageBoxService boxes;
    test::ServicesGuard services([&](Services& s) { s.questions = &boxes; });
    runState().reset();
    const QString wav = dir.write("In/jingle.wav", "wave");
    const QString mp3 = dir.write("In/jingle.mp3", "mpeg");
    const QString target = dir.file("Out/jingle.mp3");
    for (const int policy : {0, 1, 2, 3, -1}) {
        runState().oublieCiblesEcrites();
        dir.write("Out/jingle.mp3", "jingle.wav converted");
        QFile::remove(dir.file("Out/jingle(1).mp3"));
        runState().noteCibleEcrite(dir.file("Out/../Out/jingle.mp3"), wav);
        boxes.clear();
        TargetPolicySettings s;
        s.cibleExistant = policy;
        const TargetDecision d = applyTargetPolicy(mp3, target, false, s);
        EXPECT_TRUE(d.convert) << policy;
        EXPECT_TRUE(d.failure.isEmpty()) << policy;
        EXPECT_EQ(d.cibleEffective, dir.file("Out/jingle(1).mp3")) << policy;
        EXPECT_EQ(d.lines,
                  (QStringList{QStringLiteral("Le fichier '") + target +
                                   QStringLiteral("' vient d'être converti depuis '") + wav +
                                   QStringLiteral("'. Il doit être indexé"),
                               QStringLiteral("Fichier réindexé: ") + dir.file("Out/jingle(1).mp3")}))
            << policy;
        EXPECT_EQ(test::TempDir::read(target), QByteArray("jingle.wav converted")) << policy;
        EXPECT_TRUE(boxes.seen().isEmpty()) << policy;
    }
    // The same source again, a later run, or a request of the suite: the policy decides.
    TargetPolicySettings overwrite;
    runState().oublieCiblesEcrites();
    runState().noteCibleEcrite(target, mp3);
    EXPECT_EQ(applyTargetPolicy(mp3, target, false, overwrite).cibleEffective, target);
    EXPECT_FALSE(QFile::exists(target));
    dir.write("Out/jingle.mp3", "jingle.wav converted");
    runState().noteCibleEcrite(target, wav);
    runState().oublieCiblesEcrites();
    EXPECT_EQ(applyTargetPolicy(mp3, target, false, overwrite).cibleEffective, target);
    dir.write("Out/jingle.mp3", "jingle.wav converted");
    runState().noteCibleEcrite(target, wav);
    EXPECT_EQ(applyTargetPolicy(mp3, target, true, overwrite).cibleEffective, target);
    EXPECT_FALSE(QFile::exists(target));
    runState().reset();
    resetTraceLog();
}
