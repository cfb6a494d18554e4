#include "engine/NonUtf8Names.h"
#include "support/TempDir.h"

#include <QDirIterator>
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace ks3;

TEST(NonUtf8Names, EscapedFormKeepsWhatIsUtf8AndWritesEveryOtherByte) {
    const struct {
        QByteArray name;
        const char* shown;
    } cases[] = {
        {"Caf\xE9.wav", "Caf\\xE9.wav"},                       // Windows-1252 "é"
        {"Caf\xC3\xA9 \xE9t\xE9.mp3", "Café \\xE9t\\xE9.mp3"}, // UTF-8 and Windows-1252 in one name
        {"a\xC3.wav", "a\\xC3.wav"},                           // a sequence cut short
        {"\xC0\xAF.wav", "\\xC0\\xAF.wav"},                    // an overlong "/"
        {"\xED\xA0\x80.wav", "\\xED\\xA0\\x80.wav"},           // a surrogate
        {"\xF0\x9F\x8E\xB5\xFF", "\xF0\x9F\x8E\xB5\\xFF"},     // four bytes kept, a stray one escaped
        {"line\nbreak\x7F", "line\\x0Abreak\\x7F"},            // control characters would break a trace line
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapedFileName(c.name), QString::fromUtf8(c.shown)) << c.shown;
}

TEST(NonUtf8Names, ListsOnlyWhatQtCannotList) {
    test::TempDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    for (const QByteArray& name : {QByteArray("ok.wav"), QByteArray("\xC3\xA9t\xC3\xA9.wav"),
                                   QByteArray("Caf\xE9.wav"), QByteArray(".hidden\xE9.wav")}) {
        FILE* f = std::fopen((folder + name).constData(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    ASSERT_EQ(::mkdir((folder + "D\xE9mo").constData(), 0755), 0);
    ASSERT_EQ(::symlink((folder + "D\xE9mo").constData(), (folder + "Lien\xE9").constData()), 0);
    ASSERT_EQ(::symlink((folder + "Caf\xE9.wav").constData(), (folder + "Lien\xE9.wav").constData()), 0);

    QStringList shown;
    for (const NonUtf8Name& n : NonUtf8Names(dir.path()))
        shown << n.shown + (n.folder ? QStringLiteral("/") : QString());
    shown.sort();
    // A link to a folder is not walked, a link to a file is listed like the file.
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Caf\\xE9.wav"), QStringLiteral("D\\xE9mo/"),
                                  QStringLiteral("Lien\\xE9.wav")}));
    QStringList qtSees;
    QDirIterator it(dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext())
        qtSees << it.next().mid(dir.path().size());
    qtSees.sort();
    EXPECT_EQ(qtSees, (QStringList{QStringLiteral("ok.wav"), QStringLiteral("été.wav")}))
        << "Qt would list these names itself";
    EXPECT_TRUE(NonUtf8Names(dir.file("missing/")).isEmpty());

    // Their own names back, so that the temporary folder can be removed.
    for (const char* name : {"Caf\xE9.wav", ".hidden\xE9.wav", "Lien\xE9", "Lien\xE9.wav"})
        ::unlink((folder + name).constData());
    ::rmdir((folder + "D\xE9mo").constData());
}
