#include "app/FrmAbout.h"
#include "app/FrmSysTray.h"
#include "app/Frm_Main.h"
#include "app/Systeme_SysTray.h"
#include "app/TrayIcon.h"
#include "support/RunFixture.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <memory>
#include <optional>

using namespace ks3;

namespace {
// The icon as the desktop would hold it, with the clicks a person makes on it.
class DesktopIcon final : public TrayIcon {
public:
    bool zone = true;
    bool shown = false;
    QString tip;
    QIcon image;

    bool disponible() const override { return zone; }
    void afficher(const QIcon& i, const QString& t) override {
        shown = true;
        image = i;
        tip = t;
    }
    void supprimer() override { shown = false; }
    void click(QSystemTrayIcon::ActivationReason reason) { emit activated(reason); }
};

// Records the windows in the order they are shown.
struct ShowRecorder : QObject {
    QStringList shown;
    ShowRecorder() { qApp->installEventFilter(this); }
    ~ShowRecorder() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->isWidgetType() && static_cast<QWidget*>(o)->isWindow())
            shown << o->objectName();
        return false;
    }
};

struct SysTrayTest : test::RunFixture {
    DesktopIcon* icon = nullptr;
    std::unique_ptr<FrmSysTray> tray;
    std::optional<test::ServicesGuard> standby;
    std::unique_ptr<Frm_Main> main;
    std::vector<std::unique_ptr<QWidget>> others;
    int ended = 0;

    void SetUp() override {
        RunFixture::SetUp();
        auto owned = std::make_unique<DesktopIcon>();
        icon = owned.get();
        tray = std::make_unique<FrmSysTray>(std::move(owned));
        standby.emplace([this](Services& s) { s.standby = tray.get(); });
        main = std::make_unique<Frm_Main>();
        main->timerMain().stop();
        main->finProgramme = [this] { ++ended; };
        main->show();
    }
    void TearDown() override {
        main.reset();
        others.clear();
        standby.reset();
        tray.reset();
        RunFixture::TearDown();
    }
    QWidget& window(const char* name, bool visible = true) {
        others.push_back(std::make_unique<QWidget>());
        QWidget& w = *others.back();
        w.setObjectName(QLatin1String(name));
        w.show();
        w.setVisible(visible);
        return w;
    }
    void miseEnVeille() { main->findChild<QPushButton*>(QStringLiteral("CommandMiseEnVeille"))->click(); }
    QAction* entry(const char* name) const { return tray->findChild<QAction*>(QLatin1String(name)); }
};
} // namespace

TEST_F(SysTrayTest, StandbyHidesEveryWindowLastOpenedFirstAndAfficherShowsTheMainWindowFirst) {
    QWidget& options = window("FrmSetup");
    QWidget& histo = window("FrmHisto");
    QWidget& closedBefore = window("FrmFermee", false);

    miseEnVeille();
    EXPECT_EQ(tray->ListeFrm(), (QStringList{"FrmHisto", "FrmSetup", "Frm_Main"}));
    for (QWidget* w : {static_cast<QWidget*>(main.get()), &options, &histo})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(icon->shown);
    EXPECT_EQ(icon->tip, QStringLiteral("Kestrel: Tools Convert"));
    EXPECT_EQ(icon->image.cacheKey(), main->windowIcon().cacheKey());
    EXPECT_TRUE(SysTrayHookActif());

    ShowRecorder order;
    entry("MnuAfficher")->trigger();
    EXPECT_EQ(order.shown, (QStringList{"Frm_Main", "FrmHisto", "FrmSetup"}));
    EXPECT_FALSE(closedBefore.isVisible());
    EXPECT_TRUE(tray->ListeFrm().isEmpty());
    EXPECT_FALSE(icon->shown);
    EXPECT_FALSE(SysTrayHookActif());
}

TEST_F(SysTrayTest, AWindowHiddenBeforeStandbyStaysHiddenAndTheMainWindowHasTheFocus) {
    QWidget& options = window("FrmSetup");
    options.hide(); // "Fermer"

    miseEnVeille();
    EXPECT_EQ(tray->ListeFrm(), QStringList{"Frm_Main"});
    entry("MnuAfficher")->trigger();
    QApplication::processEvents();

    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(options.isVisible());
    EXPECT_EQ(QApplication::activeWindow(), main.get());
}

TEST_F(SysTrayTest, OnlyTheRightButtonOpensTheMenuAndStandbyTwiceInterceptsOnce) {
    QMenu* menu = tray->MnuFlottant();
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") + a->objectName()
                                     : a->objectName() + ":" + a->text());
    EXPECT_EQ(entries, (QStringList{"MnuAfficher:Afficher", "-MnuSep01", "MnuAbout:A propos..."}));

    QWidget& options = window("FrmSetup");
    miseEnVeille();
    miseEnVeille(); // from the menu of a window shown meanwhile, or twice in a row
    EXPECT_EQ(tray->ListeFrm(), (QStringList{"FrmSetup", "Frm_Main"}));

    int popups = 0;
    QObject::connect(menu, &QMenu::aboutToShow, [&] { ++popups; });
    for (auto reason :
         {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) {
        icon->click(reason);
        EXPECT_FALSE(menu->isVisible()) << reason;
    }
    EXPECT_EQ(popups, 0);
    EXPECT_FALSE(main->isVisible());
    icon->click(QSystemTrayIcon::Context);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(popups, 1);
    menu->hide();

    // "A propos...": the main window's about box, not modal, while in standby.
    entry("MnuAbout")->trigger();
    auto* about = main->findChild<FrmAbout*>(QStringLiteral("FrmAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_FALSE(main->isVisible());
    about->hide();

    // What both standbys hid comes back; afterwards the icon's clicks reach nothing.
    entry("MnuAfficher")->trigger();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(options.isVisible());
    icon->click(QSystemTrayIcon::Context);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(popups, 1);
}

TEST_F(SysTrayTest, UnloadingInStandbyShowsTheHiddenWindowsBeforeTheyAreUnloaded) {
    QWidget& options = window("FrmSetup");
    bool mainShown = false;
    bool optionsShown = false;
    bool iconShown = true;
    test::ServicesGuard hooks([&](Services& s) {
        s.windowHooks.dechargerOptions = [&] {
            mainShown = main->isVisible();
            optionsShown = options.isVisible();
            iconShown = icon->shown;
        };
    });
    miseEnVeille();
    main->FermetureSysteme();
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(mainShown);
    EXPECT_TRUE(optionsShown);
    EXPECT_FALSE(iconShown);
    EXPECT_TRUE(tray->ListeFrm().isEmpty());
}

TEST_F(SysTrayTest, WithoutNotificationAreaStandbyMinimisesTheWindowsAndSaysSoOnce) {
    icon->zone = false;
    QWidget& options = window("FrmSetup");
    miseEnVeille();
    miseEnVeille();
    for (QWidget* w : {static_cast<QWidget*>(main.get()), &options}) {
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
        EXPECT_TRUE(w->isMinimized()) << w->objectName().toStdString();
    }
    EXPECT_FALSE(icon->shown);
    EXPECT_FALSE(SysTrayHookActif());
    EXPECT_TRUE(tray->ListeFrm().isEmpty());
    EXPECT_EQ(
        tracedCount(QStringLiteral("No notification area on this desktop: standby minimises the windows")),
        1);
}

TEST(SysTrayIcon, TheTipIsCutToWhatTheIconTakes) {
    struct Icon : TrayIcon {
        QString tip;
        bool disponible() const override { return true; }
        void afficher(const QIcon&, const QString& t) override { tip = t; }
        void supprimer() override {}
    } icon;
    SysTrayAjouteIcone(icon, QIcon(), QString(100, QLatin1Char('x')));
    EXPECT_EQ(icon.tip, QString(kLongueurMaxTip, QLatin1Char('x')));
}
