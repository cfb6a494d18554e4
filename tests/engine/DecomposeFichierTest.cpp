#include "engine/DecomposeFichier.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(DecomposeFichier, SplitsFolderNameAndExtension) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        const char* extension;
    } cases[] = {
        {"/music/in/song.wav", "/music/in/", "song", ".wav"},
        {"/A.B/song", "/A.B/", "song", ""}, // a dot in a folder is no extension
        {"song.tar.gz", "", "song.tar", ".gz"},
        {"  /in/a.  ", "/in/", "a", "."},
        {"/in/", "/in/", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        const FichierDecompose r = DecomposeFichier(QString::fromUtf8(c.path));
        EXPECT_EQ(r.fichierDossier, QString::fromUtf8(c.folder)) << c.path;
        EXPECT_EQ(r.fichierNom, QString::fromUtf8(c.name)) << c.path;
        EXPECT_EQ(r.fichierExtension, QString::fromUtf8(c.extension)) << c.path;
    }
}

TEST(DecomposeFichier, OverwritesTheSharedRecord) {
    DecomposeFichier(QStringLiteral("/a/b.c"));
    DecomposeFichier(QStringLiteral("x"));
    EXPECT_EQ(fichierDecompose().fichierDossier, QString());
    EXPECT_EQ(fichierDecompose().fichierNom, QStringLiteral("x"));
    EXPECT_EQ(fichierDecompose().fichierExtension, QString());
}
