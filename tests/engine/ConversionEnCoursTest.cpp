#include "engine/ConversionEnCours.h"

#include "common/TraceLog.h"
#include "settings/Settings.h"
#include "support/TempDir.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

using namespace ks3;

namespace {

class ConversionEnCoursTest : public ::testing::Test {
protected:
    test::TempDir dir;
    QString source, target, indexed;
    QDateTime date = QDateTime::fromMSecsSinceEpoch(1700000000123);

    void SetUp() override {
        resetTraceLog();
        source = dir.write("in/a.wav", "sound");
        target = dir.file("out/a.mp3");
        indexed = dir.file("out/a(1).mp3");
        dir.write("out/Err_Convert/keep", "");
    }
    void TearDown() override {
        settings().setValue(SettingId::FichiersSourcesDetruire, 0, 0);
        resetTraceLog();
    }
    void converterWrites(const QString& path) {
        // The converter's file comes after the note.
        QThread::msleep(20);
        dir.write(path.mid(dir.path().size()), "converted");
    }
};

} // namespace

TEST_F(ConversionEnCoursTest, OnlyTheFileWrittenForThisVerySourceAfterTheNoteIsTakenAsItsConversion) {
    // Nothing noted: nothing taken, even with the target there.
    converterWrites(target);
    EXPECT_EQ(CibleDejaEcrite(target, source, date, 5), QString());

    EXPECT_TRUE(CiblesNotees(dir.file("out/")).isEmpty());
    NoterConversionEnCours(target, source, date, 5, indexed);
    // The listing that the run reads once per folder finds the note's target,
    // and nothing else of the folder.
    EXPECT_EQ(CiblesNotees(dir.file("out/")), QSet<QString>{QStringLiteral("a.mp3")});
    EXPECT_EQ(CibleDejaEcrite(target, source, date, 5), QString()) << "the indexed file is not written yet";
    converterWrites(indexed);
    EXPECT_EQ(CibleDejaEcrite(target, source, date, 5), indexed);
    // The source changed since, or another source of the same target.
    EXPECT_EQ(CibleDejaEcrite(target, source, date, 6), QString());
    EXPECT_EQ(CibleDejaEcrite(target, source, date.addSecs(1), 5), QString());
    EXPECT_EQ(CibleDejaEcrite(target, dir.file("in/a.flac"), date, 5), QString());

    // A file that was there before the note is not the converter's.
    NoterConversionEnCours(target, source, date, 5, target);
    EXPECT_EQ(CibleDejaEcrite(target, source, date, 5), QString());

    OublierConversionEnCours(target);
    EXPECT_FALSE(QFileInfo::exists(dir.file("out/Err_Convert/.a.mp3.enCours")));
    EXPECT_TRUE(QFileInfo::exists(dir.file("out/Err_Convert/keep")));
    EXPECT_TRUE(CiblesNotees(dir.file("out/")).isEmpty());
    EXPECT_TRUE(CiblesNotees(dir.file("nowhere/")).isEmpty());
}

TEST_F(ConversionEnCoursTest, CleanUpStoppedAfterTheRecordIsFinishedByTheNextRun) {
    for (const int detruire : {0, 1}) {
        SCOPED_TRACE(detruire);
        settings().setValue(SettingId::FichiersSourcesDetruire, 0, detruire);
        source = dir.write("in/a.wav", "sound");
        NoterConversionEnCours(target, source, date, 5, target);
        converterWrites(target);
        EXPECT_TRUE(TerminerConversionInterrompue(target, source, date, 5));
        EXPECT_EQ(QFile::exists(source), detruire == 0);
        EXPECT_TRUE(QFile::exists(target));
        EXPECT_FALSE(QFileInfo::exists(dir.file("out/Err_Convert/.a.mp3.enCours")));
        // Once done, the next look finds nothing to finish.
        source = dir.write("in/a.wav", "sound");
        EXPECT_FALSE(TerminerConversionInterrompue(target, source, date, 5));
        EXPECT_TRUE(QFile::exists(source));
        QFile::remove(target);
    }
}
