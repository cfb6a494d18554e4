#include "common/ChoiceBox.h"
#include "common/TraceLog.h"
#include "support/ManualClock.h"

#include <functional>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

// A box nobody answers unless the test does.
struct SilentView : ChoiceBoxView {
    int shown = 0, closings = 0;
    std::function<void(bool)> onWaiting;
    void show(ChoiceBox&) override { ++shown; }
    void waiting(bool on) override {
        if (onWaiting)
            onWaiting(on);
    }
    void closed(ChoiceBox&) override { ++closings; }
};

ChoiceBoxRequest request(QStringList buttons, int defaultButton = 0, int timeoutMs = 0, bool noWait = false) {
    ChoiceBoxRequest r;
    r.message = QStringLiteral("Question");
    r.buttons = std::move(buttons);
    r.defaultButton = defaultButton;
    r.timeoutMs = timeoutMs;
    r.noWait = noWait;
    return r;
}

struct ChoiceBoxFixture : ::testing::Test {
    test::ManualClock clock;
    void SetUp() override { resetTraceLog(); }
    void TearDown() override { resetTraceLog(); }
    QStringList traced() const {
        QStringList out;
        for (const QString& line : traceLists().listeLogTemp.stringList())
            out << line.mid(QStringLiteral("08:05:09:042 :").size());
        return out;
    }
};

} // namespace

TEST_F(ChoiceBoxFixture, CloseButtonPressesTheFirstHarmlessCaptionOrIsRefused) {
    struct Case {
        QStringList buttons;
        int result; // 0: refused, the box stays open
    } cases[] = {
        {{"Oui", "Non"}, 2},
        {{"Oui"}, 0},
        {{"Oui", "Non", "Annuler"}, 3},
        {{"Abandonner", "Réessayer", "Ignorer"}, 1},
        {{"Ok", "Abandonner"}, 2},
        {{"Réessayer", "Annuler"}, 2},
        {{"Ok"}, 1},
        {{"ok", "non", "Fermer"}, 0}, // captions are compared exactly
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buttons.join(QLatin1Char(',')).toStdString());
        SilentView view;
        ChoiceBox box(view);
        EXPECT_EQ(box.run(request(c.buttons, 0, 0, true)), 0);
        EXPECT_TRUE(box.isOpen());
        EXPECT_EQ(box.pressClose(), c.result != 0);
        EXPECT_EQ(box.isOpen(), c.result == 0);
        EXPECT_EQ(box.result(), c.result);
        EXPECT_EQ(view.closings, c.result != 0 ? 1 : 0);
    }
}

TEST_F(ChoiceBoxFixture, TimeOutPressesTheDefaultButtonOrTheFirst) {
    struct Case {
        int defaultButton, result;
    } cases[] = {{2, 2}, {0, 1}, {7, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.defaultButton);
        clock.totalWaitedMs = 0;
        SilentView view;
        ChoiceBox box(view);
        EXPECT_EQ(box.run(request({"Oui", "Non", "Annuler"}, c.defaultButton, 5000)), c.result);
        EXPECT_GE(clock.totalWaitedMs, 5000);
        EXPECT_LT(clock.totalWaitedMs, 5000 + ChoiceBox::kWaitStepMs);
        EXPECT_FALSE(box.isOpen());
        EXPECT_FALSE(box.busy());
    }
}

TEST_F(ChoiceBoxFixture, WhileWaitingTheFlagIsSetAndTheSameBoxRefusesASecondMessage) {
    SilentView view;
    ChoiceBox box(view);
    std::vector<bool> waitingCalls;
    view.onWaiting = [&](bool on) { waitingCalls.push_back(on); };
    int turns = 0;
    int secondOnSameBox = -1;
    int nested = -1;
    bool flagAfterNested = false;
    clock.onWait = [&](int, bool) {
        if (++turns == 1) {
            EXPECT_TRUE(MsgBoxEnCours());
            EXPECT_TRUE(box.busy());
            secondOnSameBox = box.run(request({"Ok"}));
            // Another box opened meanwhile (by a timer, say) and answered.
            nested = UnattendedMessageBoxService().choiceBox(request({"Oui", "Non"}));
            flagAfterNested = MsgBoxEnCours();
        } else if (turns == 3) {
            box.press(1);
        }
    };
    const int before = dernierIdMessage();
    EXPECT_EQ(box.run(request({"Oui", "Non"})), 1);
    clock.onWait = nullptr;
    EXPECT_EQ(secondOnSameBox, 0);
    EXPECT_EQ(nested, 2);
    EXPECT_TRUE(flagAfterNested);
    EXPECT_FALSE(MsgBoxEnCours());
    EXPECT_EQ(turns, 3);
    EXPECT_EQ(waitingCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(dernierIdMessage(), before + 2); // the refused call took no identifier
}

TEST_F(ChoiceBoxFixture, EveryMessageIsTracedWithItsIdentifierAndZone) {
    UnattendedMessageBoxService service;
    ChoiceBoxRequest r = request({"Oui", "Non"});
    r.message = QStringLiteral("Remplacer le fichier ?\r\nIl existe déjà");
    r.zone = 3;
    const int n = dernierIdMessage() + 1;
    EXPECT_EQ(service.choiceBox(r), 2);
    r.zone = -1;
    r.message = QStringLiteral("Suite");
    EXPECT_EQ(service.choiceBox(r), 2);
    const QString first = QStringLiteral("MsgBox: Remplacer le fichier ? Il existe déjà (Id:%1)").arg(n);
    const QString second = QStringLiteral("MsgBox: Suite (Id:%1)").arg(n + 1);
    const QString stars1(first.size(), QLatin1Char('*'));
    const QString stars2(second.size(), QLatin1Char('*'));
    EXPECT_EQ(traced(), (QStringList{
                            "3: : :" + stars1,
                            "3: : :" + first,
                            "3: : :" + stars1,
                            QStringLiteral("3: : :MsgBox: Id:%1 closed").arg(n),
                            " : : :" + stars2,
                            " : : :" + second,
                            " : : :" + stars2,
                            QStringLiteral(" : : :MsgBox: Id:%1 closed").arg(n + 1),
                        }));
}
