#pragma once

#include <QString>

namespace ks3 {

// The path cleaned of what cannot stand in a folder name: "\", "*", "?", '"',
// "<", ">", "|" and "," become blanks; "...", ".." and "%" disappear (so no
// path climbs out of its folder); ":" past the first two characters becomes
// a blank and three blanks one; blanks before "/" and at both ends go.
QString NettoieChemin(const QString& path);

// Makes sure every level of path (cleaned first) exists, creating the missing
// ones. The root is no level; of a network path ("//server/share/...") the
// server is skipped and nothing is created, as Linux would make such a path
// at the root of this disk. A level that cannot be created ends the walk and
// is traced once, when report is set and it holds no "$": "Folder '...' not
// found". A path verified is not walked again.
void VerificationEtCreationRepertoire(const QString& path, bool report);

// True when the folder exists, creating it when missing. The answer for a
// path is remembered for the whole process (a folder made later by another
// program still counts as missing). With useDefault, a missing local folder
// is first replaced, in path, by the suite's default configuration folder
// (DossierProgramme + "Brightwell/Kestrel/Config/").
bool FolderFound(QString& path, bool useDefault);

// Forgets what the two operations remembered (tests).
void resetFolderTools();
// How many times the disk was asked whether a folder exists (tests).
int folderDiskChecks();

} // namespace ks3
