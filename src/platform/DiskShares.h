#pragma once

#include <QList>
#include <QString>

namespace ks3 {

// One share of this computer.
struct DiskShare {
    QString name;      // the share name, as clients see it
    QString localPath; // the folder it serves
    bool disk = true;  // printer shares are not disk shares
};

// The shares of this computer, in the order of the configuration: Samba's
// (the file of setSambaConfigPath, /etc/samba/smb.conf unless told) when
// Samba is installed; none otherwise.
QList<DiskShare> ListeDesPartages();
void setSambaConfigPath(const QString& path);

// The shares that a Samba configuration file declares. [global], [homes] and
// [printers] are no shares; a share switched off ("available = no"), without
// a path, or whose path depends on the client ("%U"...) names no one folder
// and is left out. Plain "include = file" lines are followed.
QList<DiskShare> LirePartagesSamba(const QString& smbConf);

} // namespace ks3
