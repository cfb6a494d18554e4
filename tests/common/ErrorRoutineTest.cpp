#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(ErrorRoutine, AFailingStepIsTracedAndTheProcedureGoesOn) {
    resetTraceLog();
    test::ManualClock clock;
    test::TempDir dir;
    workingFolders().logTechFolder = dir.path();
    traceLists().frmSetupCharge = true;

    Procedure p("FrmSetup", "LabelDataArrivalUDP_Change");
    bool secondRan = false;
    p.step(120, [] { raiseError(53, QStringLiteral("File not found")); });
    p.step(130, [&] { secondRan = true; });
    EXPECT_TRUE(secondRan);
    const QString text =
        QString::fromLatin1(test::TempDir::read(dir.file(DateTexte(clock.now().date()) + ".Log")));
    const QString entry =
        QStringLiteral("Err:53 (File not found)  Source:FrmSetup Sub:LabelDataArrivalUDP_Change:120");
    EXPECT_TRUE(text.contains(QStringLiteral(" : : : :") + entry + QStringLiteral("\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral(" : : : :") + QString(entry.size(), QLatin1Char('=')) +
                              QStringLiteral("\r\n")));
    resetTraceLog();
}

namespace {
// The messages of the lines traced so far, without time stamp and tags (the
// options window is not loaded, so nothing reaches a file).
QStringList tracedMessages() {
    QStringList out;
    for (const QString& line : traceLists().listeLogTemp.stringList())
        out << line.mid(QStringLiteral("08:05:09:042 : : : :").size());
    return out;
}
QStringList framed(const QString& text) {
    const QString frame(text.size(), QLatin1Char('='));
    return {frame, text, frame};
}
} // namespace

TEST(ErrorRoutine, TraceErreurWritesTheSuitesEntry) {
    const QString sentence = QStringLiteral("Disk not ready. Retry. ");
    const QString longText = sentence.repeated(4) + QString(100 - 4 * sentence.size(), QLatin1Char('x'));
    ASSERT_EQ(longText.size(), 100);
    QString longTextReplaced = longText + QLatin1Char('y');
    longTextReplaced.replace(QStringLiteral(". "), QStringLiteral("  "));
    struct Case {
        int number;
        QString description, source, origin;
        int line;
        QStringList expected;
    } cases[] = {
        {0, "nothing", "X", "A:B", 10, {}},
        {-2147221499, "Bad file", "Converter", "FrmMain:LancerConvertV09", 40,
         framed("Err:5 (Bad file)  Source:FrmMain Sub:LancerConvertV09:40 (Source: Converter)")},
        {-2147221504 + 65534, "Top", "Obj", "", 0, framed("Err:65534 (Top) (Source: Obj)")},
        {-2147221504, "Base", "Obj", "", 0, framed("Err:-2147221504 (Base)")},
        {5, "Bad file", "Converter", "  ", 40, framed("Err:5 (Bad file)")},
        {5, "Bad file", "  ", "", 0, framed("Err:5 (Bad file)")},
        {-2147221499, "Bad file", "   ", "", 0, framed("Err:5 (Bad file)")},
        {6, longText, "", "", 0, framed("Err:6 (" + longText + ")")},
        {6, longText + "y", "", "", 0, framed("Err:6 (" + longTextReplaced + ")")},
        {11, "Division by zero", "", "A:B:C", 10,
         framed("Err:11 (Division by zero)  Source:A Sub:B Sub:C:10")},
        {13, "Type\nmismatch\r\n", "", "", 0, framed("Err:13 (Type mismatch\r )")},
        {-2147417848, "Automation error", "", "FrmMain:Convert", 20,
         framed("Err:-2147417848 (Automation error)  Source:FrmMain Sub:Convert:20") +
             framed("Reboot the Computer because of Automation Error, ")},
    };
    test::ManualClock clock;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        resetTraceLog();
        errorRecord() = ErrorRecord{c.number, c.line, c.description, c.source};
        TraceErreur(c.origin);
        EXPECT_EQ(tracedMessages(), c.expected);
        EXPECT_FALSE(ErreurEnCours());
    }
    resetTraceLog();
}

TEST(ErrorRoutine, ErrorsDuringAReportAreIgnored) {
    test::ManualClock clock;
    resetTraceLog();
    // While a report is written, a second one writes nothing and keeps the record.
    errorRecord() = ErrorRecord{53, 120, QStringLiteral("File not found"), QString()};
    ErreurEnCours() = true;
    TraceErreur(QStringLiteral("A:B"));
    Procedure p("A", "C");
    p.step(10, [] { raiseError(61, QStringLiteral("Disk full")); });
    ErreurEnCours() = false;
    EXPECT_TRUE(tracedMessages().isEmpty());
    EXPECT_EQ(errorRecord().errNumero, 53);
    EXPECT_TRUE(p.failed());

    // A log file that cannot be written fails inside the report itself: no second report.
    test::TempDir dir;
    workingFolders().logTechFolder = dir.file(QStringLiteral("missing/"));
    traceLists().frmSetupCharge = true;
    Procedure q("FrmMain", "LancerConvertV13");
    q.step(30, [] { raiseError(53, QStringLiteral("File not found")); });
    EXPECT_FALSE(ErreurEnCours());
    EXPECT_EQ(errorRecord().errNumero, 53);
    EXPECT_EQ(errorRecord().errLigne, 30);
    for (const QString& line : traceLists().listeLog.stringList())
        EXPECT_FALSE(line.contains(QStringLiteral("Err:75"))) << line.toStdString();
    resetTraceLog();
}
