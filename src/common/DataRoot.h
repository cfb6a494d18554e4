#pragma once

#include <QString>

namespace ks3 {

// What decides where the program writes everything it keeps: settings,
// positions, the registry file, record files, logs, the suite's configuration.
struct DataRootFacts {
    QString programFolder;              // the executable's folder, through links, ending with "/"
    bool programFolderWritable = false; // the user may create files in it
    QString stateDirectory;             // $STATE_DIRECTORY, given by systemd to a service
    QString xdgDataHome;                // $XDG_DATA_HOME
    QString home;                       // the user's home folder
};

// The data root, ending with "/":
// - the program's folder when it is writable (a build tree, a copy in the
//   user's folders), unless it lies under /usr, which stays read-only at run
//   time even for root (an installed package);
// - else the first folder of $STATE_DIRECTORY (systemd gives a list separated
//   by ":");
// - else $XDG_DATA_HOME/Kestrel/ when that is an absolute path, else
//   <home>/.local/share/Kestrel/.
QString dataRoot(const DataRootFacts& facts);

// The facts of this process: its environment, its user's home folder, and
// whether it may write into programFolder.
DataRootFacts dataRootFactsOf(const QString& programFolder);

// True when the current user may create files in folder (an existing folder).
bool folderWritable(const QString& folder);

} // namespace ks3
