#include "common/ui/FrmMsgBox.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "common/ui/AfficherAuDessus.h"
#include "common/ui/FrmMsgBoxService.h"
#include "support/ManualClock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

FrmMsgBox* openBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<FrmMsgBox*>(w); b && b->isVisible() && b->box().isOpen())
            return b;
    return nullptr;
}

QStringList texts(const QList<QLabel*>& labels) {
    QStringList out;
    for (const QLabel* l : labels)
        out << l->text();
    return out;
}

ChoiceBoxRequest request(const QString& message, QStringList buttons, int defaultButton = 0,
                         int timeoutMs = 0) {
    ChoiceBoxRequest r;
    r.message = message;
    r.buttons = std::move(buttons);
    r.defaultButton = defaultButton;
    r.timeoutMs = timeoutMs;
    return r;
}

struct FrmMsgBoxFixture : ::testing::Test {
    test::ManualClock clock;
    FrmMsgBoxService service;
    void SetUp() override { resetTraceLog(); }
    void TearDown() override {
        clock.onWait = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        resetTraceLog();
    }
    QString trace() const { return traceLists().listeLogTemp.stringList().join(QLatin1Char('\n')); }
};

} // namespace

TEST_F(FrmMsgBoxFixture, ShowsOneLabelPerLineAndOneButtonPerCaption) {
    ChoiceBoxRequest r =
        request(QStringLiteral("Le fichier existe déjà.\r\nVoulez-vous le remplacer ?\nCible: a.mp3"),
                {"Oui", "Non", "Toujours remplacer"}, 2);
    r.icon = 48;
    r.noWait = true;
    r.xPos = 1500;
    r.yPos = 3000;
    r.title = QStringLiteral("Conversion");
    EXPECT_EQ(service.choiceBox(r), 0); // without waiting: at once
    QPointer<FrmMsgBox> box = openBox();
    ASSERT_TRUE(box);

    const QList<QLabel*> lines = box->findChildren<QLabel*>(QStringLiteral("LabelMsg"));
    EXPECT_EQ(texts(lines),
              (QStringList{"Le fichier existe déjà.", "Voulez-vous le remplacer ?", "Cible: a.mp3"}));
    EXPECT_EQ(lines.first()->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(lines.first()->font().pointSize(), 10);
    EXPECT_TRUE(lines.first()->alignment() & Qt::AlignHCenter);
    EXPECT_LT(lines.at(0)->y(), lines.at(1)->y());

    const QList<QPushButton*> buttons = box->findChildren<QPushButton*>(QStringLiteral("BtnMsgBox"));
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(buttons.at(2)->text(), QStringLiteral("Toujours remplacer"));
    EXPECT_GT(buttons.at(2)->width(), buttons.at(0)->width());
    EXPECT_GE(buttons.at(2)->width(), buttons.at(2)->fontMetrics().horizontalAdvance(buttons.at(2)->text()));
    EXPECT_LT(buttons.at(0)->x(), buttons.at(1)->x());
    EXPECT_GT(buttons.at(0)->y(), lines.last()->y());
    EXPECT_TRUE(buttons.at(1)->isDefault());
    EXPECT_FALSE(buttons.at(0)->isDefault());

    const auto* icon = box->findChild<QLabel*>(QStringLiteral("ImageIcone"));
    ASSERT_TRUE(icon);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(icon->property("Image").toInt(), 2);
    EXPECT_EQ(box->findChild<QLabel*>(QStringLiteral("LabelIdMsg"))->text(),
              QStringLiteral(" [%1]").arg(box->box().id()));
    EXPECT_TRUE(box->findChild<QTimer*>(QStringLiteral("Timer1")));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Conversion"));
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(box->pos(), QPoint(100, 200)); // twips

    // Keys go to the main window's key handling, which records the modifiers.
    programValues().toucheCtrl = false;
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(box, &release);
    EXPECT_TRUE(programValues().toucheCtrl);
    programValues().toucheCtrl = false;

    // Shown without waiting, the box closes when a button is pressed and goes away.
    buttons.at(1)->click();
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(box->box().result(), 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());
}

TEST_F(FrmMsgBoxFixture, CloseButtonAnswersNonOrIsRefusedAndEachMessageHasTheNextIdentifier) {
    const int n = dernierIdMessage() + 1;
    clock.onWait = [](int, bool) {
        if (FrmMsgBox* b = openBox())
            b->close();
    };
    EXPECT_EQ(service.choiceBox(request(QStringLiteral("Supprimer ?"), {"Oui", "Non"})), 2);

    int turns = 0;
    bool stillOpenAfterClose = false;
    clock.onWait = [&](int, bool) {
        FrmMsgBox* b = openBox();
        ASSERT_TRUE(b);
        if (++turns == 1) {
            b->close();
            QMetaObject::invokeMethod(b, "reject"); // Escape follows the same rule
        } else {
            stillOpenAfterClose = b->isVisible() && b->box().isOpen();
            b->findChild<QPushButton*>(QStringLiteral("BtnMsgBox"))->click();
        }
    };
    EXPECT_EQ(service.choiceBox(request(QStringLiteral("Continuer"), {"Oui"})), 1);
    EXPECT_TRUE(stillOpenAfterClose);
    EXPECT_EQ(turns, 2);

    const QString t = trace();
    EXPECT_TRUE(t.contains(QStringLiteral("MsgBox: Supprimer ? (Id:%1)").arg(n)));
    EXPECT_TRUE(t.contains(QStringLiteral("MsgBox: Id:%1 closed").arg(n)));
    EXPECT_TRUE(t.contains(QStringLiteral("MsgBox: Continuer (Id:%1)").arg(n + 1)));
    EXPECT_TRUE(t.contains(QStringLiteral("MsgBox: Id:%1 closed").arg(n + 1)));
    EXPECT_FALSE(openBox());
}

TEST_F(FrmMsgBoxFixture, TimeOutPressesTheDefaultButtonWithoutRealWaiting) {
    EXPECT_EQ(service.choiceBox(request(QStringLiteral("Écraser ?"), {"Oui", "Non"}, 2, 5000)), 2);
    EXPECT_GE(clock.totalWaitedMs, 5000);
    EXPECT_LT(clock.totalWaitedMs, 5000 + ChoiceBox::kWaitStepMs);
    EXPECT_FALSE(openBox());
}

TEST_F(FrmMsgBoxFixture, EventsKeepRunningWhileABoxWaitsAndOnTopWindowsStepBack) {
    QWidget onTop;
    onTop.setWindowTitle(QStringLiteral("Kestrel: Tools Convert"));
    onTop.show();
    AfficherAuDessus(&onTop, 1);
    ASSERT_TRUE(onTop.windowFlags() & Qt::WindowStaysOnTopHint);

    int ticks = 0;
    bool flagWhileWaiting = false;
    QString tagWhileWaiting;
    bool onTopWhileWaiting = true;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks < 5)
            return;
        FrmMsgBox* b = openBox();
        if (!b)
            return;
        flagWhileWaiting = MsgBoxEnCours();
        tagWhileWaiting = onTop.property("Tag").toString();
        onTopWhileWaiting = onTop.windowFlags() & Qt::WindowStaysOnTopHint;
        b->findChildren<QPushButton*>(QStringLiteral("BtnMsgBox")).last()->click();
    });
    timer.start();
    EXPECT_EQ(service.choiceBox(request(QStringLiteral("Attente"), {"Ok", "Abandonner"})), 2);
    timer.stop();

    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(flagWhileWaiting);
    EXPECT_EQ(tagWhileWaiting, QStringLiteral("-1"));
    EXPECT_FALSE(onTopWhileWaiting);
    EXPECT_FALSE(MsgBoxEnCours());
    EXPECT_EQ(onTop.property("Tag").toString(), QStringLiteral("1"));
    EXPECT_TRUE(onTop.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(onTop.isVisible());
}
