#include "udp/CodeMorceauValide.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace ks3;

namespace {

TEST(CodeMorceauValide, RefusesWhatWouldLeaveTheSoundFolderOrBreakAFileName) {
    struct Cas {
        QString code;
        bool valide;
    };
    const Cas cas[] = {
        {QStringLiteral("JIN00123"), true},
        {QStringLiteral("JIN123"), true},
        {QStringLiteral("PUB 12"), true},
        {QStringLiteral("JIN.123"), true},
        {QString(), true},
        {QStringLiteral("../../x"), false},
        {QStringLiteral(".."), false},
        {QStringLiteral("JIN..12"), false},
        {QStringLiteral("/tmp/x"), false},
        {QStringLiteral("JIN/123"), false},
        {QStringLiteral("..\\..\\x"), false},
        {QStringLiteral("JIN\\123"), false},
        {QStringLiteral("JIN\t123"), false},
        {QStringLiteral("JIN\n123"), false},
        {QString(QStringLiteral("JIN")) + QChar(0) + QStringLiteral("1"), false},
        {QString(QStringLiteral("JIN")) + QChar(0x7F), false},
        {QString(QStringLiteral("JIN")) + QChar(0x85), false},
        {QStringLiteral("JIN:123"), false},
        {QStringLiteral("JIN*"), false},
        {QStringLiteral("JIN?"), false},
        {QStringLiteral("JIN\"1"), false},
        {QStringLiteral("JIN|1"), false},
        {QStringLiteral("JIN<1"), false},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(CodeMorceauValide(c.code), c.valide) << c.code.toStdString();
}

} // namespace
