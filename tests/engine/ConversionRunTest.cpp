#include "engine/ConversionRun.h"
#include "common/MessageBoxService.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "engine/RunState.h"
#include "engine/RunSteps.h"
#include "settings/Settings.h"
#include "settings/SourceTypes.h"
#include "settings/TargetTypes.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"
#include "support/TracedLines.h"

#include <QDirIterator>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace ks3;

namespace {
// Records what the run hands over, and converts nothing.
struct RecordingSteps : RunSteps {
    QList<QPair<QString, QString>> compared;
    QList<QPair<QString, QString>> converted;
    bool required = true;
    std::function<void(const QString& source)> onConvert;
    CompareResult compare(const QString& source, const QString& target) override {
        compared.append({source, target});
        CompareResult r;
        r.conversionRequise = required;
        r.idEntete = QStringLiteral("0000000001");
        return r;
    }
    void convert(const CompareResult&, const QString& source, const QString& target) override {
        converted.append({source, target});
        if (onConvert)
            onConvert(source);
    }
};

int sourceTypeCode(const char* label) {
    for (const SourceType& t : sourceTypes())
        if (t.libelle == QLatin1String(label))
            return t.code;
    return -1;
}

struct ConversionRunFixture : ::testing::Test {
    test::ManualClock clock;
    test::TempDir dir;
    RecordingSteps steps;
    ScriptedMessageBoxService boxes;
    test::ServicesGuard services{[this](Services& s) {
        s.runSteps = &steps;
        s.questions = &boxes;
    }};

    void SetUp() override {
        resetTraceLog();
        runState().reset();
        settings().reinitialiser();
        settings().setChargementSetup(true);
        settings().choisirCible(2); // mp3
        settings().setText(SettingId::DossiersFrequence, 0, QStringLiteral("5"));
    }
    void TearDown() override {
        settings().setChargementSetup(false);
        resetTraceLog();
    }
    void pair(int n, const QString& source, const QString& target) {
        settings().setText(SettingId::DossiersSource, n, source);
        settings().setText(SettingId::DossiersCible, n, target);
    }
    void select(const char* label) {
        settings().setNumber(SettingId::FichiersSource, sourceTypeCode(label), 1);
    }
    QStringList targets() const {
        QStringList t;
        for (const auto& c : steps.compared)
            t << c.second;
        t.sort();
        return t;
    }
    static QStringList traced() { return test::tracedLines(); }
    static bool tracedEnding(const QString& text) { return test::tracedEnding(text); }
};
} // namespace

TEST_F(ConversionRunFixture, TargetPathsFollowBothSubfolderOptions) {
    dir.write("In/a.wav", "x");
    dir.write("In/Jazz/Old/b.wav", "x");
    pair(0, dir.file("In/"), dir.file("Out/"));
    select("Wave (*.wave; *.wav)");

    LancerAnalyseConvert();
    EXPECT_EQ(targets(), QStringList{dir.file("Out/a.mp3")}) << "subfolders are not scanned unless asked";

    steps.compared.clear();
    settings().setNumber(SettingId::DossiersSourceRecursive, 0, 1);
    LancerAnalyseConvert();
    EXPECT_EQ(targets(), (QStringList{dir.file("Out/a.mp3"), dir.file("Out/b.mp3")}));

    steps.compared.clear();
    settings().setNumber(SettingId::DossiersCibleRecursive, 0, 1);
    LancerAnalyseConvert();
    EXPECT_EQ(targets(), (QStringList{dir.file("Out/Jazz/Old/b.mp3"), dir.file("Out/a.mp3")}));
    EXPECT_EQ(runState().listeDossiersSource.stringList(),
              (QStringList{dir.file("In/"), dir.file("In/Jazz/"), dir.file("In/Jazz/Old/")}));
}

TEST_F(ConversionRunFixture, ExtensionFilterSearchesTheListText) {
    for (const char* name : {"a.MP3", "b.mp", "c.", "d.txt", "e.wav", "f"})
        dir.write(QStringLiteral("In/") + name, "x");
    pair(0, dir.file("In/"), dir.file("Out/"));
    select("MPEG-1 Layer 3 (*.mp3)");
    select("Wave (*.wave; *.wav)");
    LancerAnalyseConvert();
    // ".mp" occurs in "*.mp3;*.wave;*.wav"; a name ending with a dot, or without
    // an extension, never converts.
    EXPECT_EQ(targets(), (QStringList{dir.file("Out/a.mp3"), dir.file("Out/b.mp3"), dir.file("Out/e.mp3")}));
}

TEST_F(ConversionRunFixture, FilesOfAFolderAreHandledInReverseEnumerationOrder) {
    for (int i = 0; i < 8; ++i)
        dir.write(QStringLiteral("In/%1.wav").arg(i), "x");
    pair(0, dir.file("In/"), dir.file("Out/"));
    select("Wave (*.wave; *.wav)");
    QStringList enumerated;
    QDirIterator it(dir.file("In/"), QDir::Files);
    while (it.hasNext())
        enumerated.prepend(it.next());
    LancerAnalyseConvert();
    QStringList handled;
    for (const auto& c : steps.compared)
        handled << c.first;
    EXPECT_EQ(handled, enumerated);
}

TEST_F(ConversionRunFixture, OneSecondPausePerEntryOnTheClock) {
    dir.write("In/a.wav", "x");
    pair(3, dir.file("In/"), dir.file("Out/"));
    select("Wave (*.wave; *.wav)");
    const QDateTime start = clock.now();
    LancerAnalyseConvert();
    EXPECT_EQ(clock.waits, 10);
    EXPECT_EQ(clock.totalWaitedMs, 10000);
    EXPECT_EQ(start.secsTo(clock.now()), 10);
    EXPECT_TRUE(tracedEnding(QStringLiteral("Durée:   0:10")));
}

TEST_F(ConversionRunFixture, StopEndsTheRunAfterTheCurrentFile) {
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        dir.write(QStringLiteral("In/") + name, "x");
    pair(0, dir.file("In/"), dir.file("Out/"));
    pair(1, dir.file("In/"), dir.file("Out2/"));
    select("Wave (*.wave; *.wav)");
    steps.onConvert = [](const QString&) { runState().stopConversion = true; };
    LancerAnalyseConvert();
    EXPECT_EQ(steps.converted.size(), 1);
    EXPECT_FALSE(runState().stopConversion);
    EXPECT_TRUE(tracedEnding(QStringLiteral("Conversion stoppée")));
    EXPECT_TRUE(tracedEnding(QStringLiteral("Conversion terminée: 08:05:09")));
    EXPECT_EQ(clock.waits, 0) << "a stopped run does not pause before the next entry";
    EXPECT_TRUE(runState().lancerEnabled());
    EXPECT_FALSE(runState().stopperEnabled());
}

TEST_F(ConversionRunFixture, NoSourceTypeSelectedShowsTheMessageAndScansNothing) {
    dir.write("In/a.wav", "x");
    pair(0, dir.file("In/"), dir.file("Out/"));
    LancerAnalyseConvertStart();
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_TRUE(boxes.seen().first().message.startsWith(QStringLiteral("Conversion impossible:")));
    EXPECT_TRUE(steps.compared.isEmpty());
    EXPECT_EQ(runState().prochaineConversion(), clock.now().addSecs(300)) << "the next run is still planned";
}

TEST_F(ConversionRunFixture, S48SourceGoesThroughATemporaryMp2Copy) {
    dir.write("In/song.s48", "mpeg audio");
    pair(0, dir.file("In/"), dir.file("Out/"));
    select("Kestrel (*.s48)");
    bool copyExisted = false;
    steps.onConvert = [&](const QString& source) { copyExisted = QFile::exists(source); };
    LancerAnalyseConvert();
    ASSERT_EQ(steps.converted.size(), 1);
    EXPECT_EQ(steps.converted.first().first, dir.file("In/song.mp2"));
    EXPECT_TRUE(copyExisted);
    EXPECT_FALSE(QFile::exists(dir.file("In/song.mp2")));
    EXPECT_TRUE(QFile::exists(dir.file("In/song.s48")));
}

TEST_F(ConversionRunFixture, NextRunIsPlannedFromTheEndOfTheRun) {
    dir.write("In/a.wav", "x");
    pair(0, dir.file("In/"), dir.file("Out/"));
    select("Wave (*.wave; *.wav)");
    settings().setText(SettingId::DossiersFrequence, 0, QStringLiteral("7"));
    LancerAnalyseConvertStart();
    EXPECT_FALSE(runState().conversionEnCours);
    EXPECT_EQ(runState().prochaineConversion(), clock.now().addSecs(7 * 60));
}

TEST(ConversionRunText, DurationAndExtensionLists) {
    EXPECT_EQ(FormateDuree(125), QStringLiteral("  2:05"));
    EXPECT_EQ(FormateDuree(0), QStringLiteral("  0:00"));
    EXPECT_EQ(FormateDuree(1000 * 60 + 7), QStringLiteral("1000:07"));
    const SourceType& wave = sourceTypes().at(10);
    const SourceType& separator = sourceTypes().at(kSourceSeparateur);
    const SourceType& mpeg2 = sourceTypes().at(7);
    EXPECT_EQ(ListeExtensionsSource({&wave, &separator}), QStringLiteral("*.wave;*.wav"));
    EXPECT_EQ(ListeExtensionsSource({&mpeg2, &wave}), QStringLiteral("*.mp2;*.m2a;*.wave;*.wav"));
    EXPECT_EQ(ListeExtensionCible(targetType(2)), QStringLiteral(".mp3"));
    EXPECT_EQ(ListeExtensionCible(nullptr), QString());
}
