#include "runtime/CommandLine.h"
#include "common/ProgramValues.h"
#include "common/TraceLog.h"
#include "support/ManualClock.h"
#include "support/TracedLines.h"

#include <gtest/gtest.h>

using namespace ks3;

using test::tracedEnding;

TEST(AnalyseChaineCommand, InstanceNumberAndStatus) {
    struct Case {
        const char* line;
        int instance;
        const char* status;
    } cases[] = {
        {"/instance=3", 3, "E"},
        {"/I=3", 3, "E"},
        {"/Instance=0", 1, "D"},
        {"/Instance=25", 10, "C"},
        {"/Instance=", 1, "D"},
        {"/Instance=4x7", 4, "E"},
        {"-x /Instance= 7 /I=2", 7, "E"},
        {"other words", 0, "A"},
        {"/Instance=99999999999999999999", 10, "C"},
    };
    test::ManualClock clock;
    for (const Case& c : cases) {
        resetTraceLog();
        AnalyseChaineCommand(QString::fromLatin1(c.line));
        EXPECT_EQ(programValues().noInstance, c.instance) << c.line;
        EXPECT_TRUE(tracedEnding(QStringLiteral("Command Line: '") + QString::fromLatin1(c.line) + "'"))
            << c.line;
        EXPECT_TRUE(tracedEnding(QStringLiteral("Instance: %1 (%2)").arg(c.instance).arg(c.status)))
            << c.line;
    }
    resetTraceLog();
}

TEST(CommandLine, OptionsOfTheProgramAreSeparatedFromTheRest) {
    const CommandLineOptions o = parseCommandLine(
        {QStringLiteral("KS3_Tools_Convert"), QStringLiteral("--once"), QStringLiteral("/I=2")});
    EXPECT_TRUE(o.once);
    EXPECT_FALSE(o.help);
    EXPECT_EQ(o.rest, QStringLiteral("/I=2"));
    EXPECT_TRUE(parseCommandLine({QStringLiteral("x"), QStringLiteral("--help")}).help);
    EXPECT_TRUE(parseCommandLine({QStringLiteral("x"), QStringLiteral("--version")}).version);
    const CommandLineOptions shot =
        parseCommandLine({QStringLiteral("x"), QStringLiteral("/I=4"), QStringLiteral("--screenshot"),
                          QStringLiteral("/tmp/w.png")});
    EXPECT_EQ(shot.screenshot, QStringLiteral("/tmp/w.png"));
    EXPECT_EQ(shot.rest, QStringLiteral("/I=4"));
}

TEST(CommandLine, HistoryTakesAnOptionalTypeThenAnOptionalText) {
    struct Case {
        QStringList args;
        QString type, text, rest;
    };
    const QList<Case> cases{
        {{"--history"}, "Fichier", "", ""},
        {{"--history", "abc"}, "Fichier", "abc", ""},
        {{"--history", "Date", "16/02/2024", "/I=2"}, "Date", "16/02/2024", "/I=2"},
        {{"--history", "erreurs"}, "erreurs", "", ""},
        {{"--history", "Erreurs!", "/I=3"}, "Erreurs!", "", "/I=3"},
        {{"--history", "--version"}, "Fichier", "", ""},
    };
    for (const Case& c : cases) {
        const CommandLineOptions o = parseCommandLine(QStringList{"x"} + c.args);
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_TRUE(o.history);
        EXPECT_EQ(o.historyType, c.type);
        EXPECT_EQ(o.historyText, c.text);
        EXPECT_EQ(o.rest, c.rest);
    }
    const CommandLineOptions d = parseCommandLine({"x", "--history-detail", "0000000012"});
    EXPECT_TRUE(d.historyDetail);
    EXPECT_FALSE(d.history);
    EXPECT_EQ(d.historyId, "0000000012");
}
