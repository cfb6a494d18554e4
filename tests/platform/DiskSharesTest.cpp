#include "platform/DiskShares.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace ks3;

TEST(DiskShares, SambaConfiguration) {
    test::TempDir dir;
    dir.write("extra.conf", "[Extra]\n  path = /srv/extra\n");
    const QString conf = dir.write("smb.conf", "# comment\n"
                                               "[global]\n"
                                               "   workgroup = STATION\n"
                                               "   path = /not/a/share\n"
                                               "[homes]\n"
                                               "   path = /home\n"
                                               "[printers]\n"
                                               "   path = /var/spool/samba\n"
                                               "[Music]\r\n"
                                               "   Path = /srv/music\r\n"
                                               "; [Commented]\n"
                                               "[Label]\n"
                                               "   print ok = Yes\n"
                                               "   directory = /var/spool/label\n"
                                               "[Off]\n"
                                               "   path = /srv/off\n"
                                               "   available = no\n"
                                               "[PerUser]\n"
                                               "   path = /srv/users/%U\n"
                                               "[Long]\n"
                                               "   path = /srv/very/\\\n"
                                               "long\n"
                                               "include = " +
                                                   dir.file("extra.conf").toUtf8() + "\n");
    const QList<DiskShare> shares = LirePartagesSamba(conf);
    QStringList seen;
    for (const DiskShare& s : shares)
        seen << s.name + "=" + s.localPath + (s.disk ? "" : " (printer)");
    EXPECT_EQ(seen, QStringList({"Music=/srv/music", "Label=/var/spool/label (printer)",
                                 "Long=/srv/very/long", "Extra=/srv/extra"}));
    EXPECT_TRUE(LirePartagesSamba(dir.file("missing.conf")).isEmpty());
}
