#include "engine/TargetPolicy.h"
#include "common/MessageBoxService.h"
#include "common/TraceLog.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace ks3;

TEST(TargetPolicy, ExistingTargetUnderEachPolicy) {
    test::ManualClock clock;
    test::TempDir dir;
    ScriptedMessageBoxService boxes;
    test::ServicesGuard services([&](Services& s) { s.questions = &boxes; });
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
        const TargetDecision d = applyTargetPolicy(target, false, s);
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
    EXPECT_EQ(applyTargetPolicy(target, false, index).lines,
              (QStringList{QStringLiteral("Le fichier '") + target +
                               QStringLiteral("' existe déjà. Il doit être indexé"),
                           QStringLiteral("Fichier réindexé: ") + dir.file("Out/a(2).mp3")}));
    TargetPolicySettings never;
    never.cibleExistant = 3;
    EXPECT_EQ(applyTargetPolicy(target, false, never).failure,
              QStringLiteral("Le fichier '") + target +
                  QStringLiteral("' existe déjà. Il ne peut être écrasé"));
    // A request of the suite always replaces its target, whatever the policy.
    const TargetDecision udp = applyTargetPolicy(target, true, never);
    EXPECT_TRUE(udp.convert);
    EXPECT_FALSE(QFile::exists(target));
    resetTraceLog();
}
