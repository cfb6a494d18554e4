#pragma once

#include <QList>
#include <QString>

namespace ks3 {

// The INI profile primitives of the whole program (settings, window positions,
// the suite's configuration files). They behave as the Windows profile
// functions: section and key names ignore letter case, values are trimmed and
// read up to 254 characters, the file is Windows-1252 with CR LF line ends
// (LF alone is accepted when reading).

// Most characters a read returns.
inline constexpr int kLectureIniMax = 254;
// Pause before each new attempt of a failed write, through the platform host.
inline constexpr int kEcritureIniPauseMs = 20;

// The value of key in [section] of file, or defaut when the file, the section
// or the key is missing (a key present with an empty value gives ""). A path
// that fails NomFichierValide is never opened: defaut is returned.
QString LectureIni(const QString& file, const QString& section, const QString& key,
                   const QString& defaut = QString());

// Writes key=value into [section] of file, creating the file and the section
// when missing; every other line of the file is kept byte for byte. The file is
// replaced whole (temporary file then rename), never left half-written.
// Attempts: as is; after creating the file's folder; after clearing its
// read-only flag. Returns false, writing nothing, when section or key is blank,
// when a name or the value would break the file's lines, when file fails
// NomFichierValide, or when the third attempt fails.
bool EcritureIni(const QString& file, const QString& section, const QString& key, const QString& value);

// One key to write.
struct IniEntree {
    QString section;
    QString key;
    QString value;
};
// Writes several keys, in their order, with one replacement of the file: the
// result is the file that one EcritureIni per entry would give, but a failure
// never leaves part of them written. An entry refused as above is skipped (and
// traced); the others are written. Same attempts as EcritureIni. Returns true
// when every entry was written.
bool EcritureIni(const QString& file, const QList<IniEntree>& entrees);

} // namespace ks3
