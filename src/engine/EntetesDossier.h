#pragma once

#include "store/EnregConvertEntete.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace ks3 {

class IdentiteEntete;

// The conversion headers of one source folder's files, read from the history
// in one range read of the source names (key 1), so that the run compares each
// file of the folder with its header in memory instead of searching the
// history once per file. It only answers what the search of the history would
// answer, from the same records in the same order: a search that would go on
// past the records read, a range holding many more headers than the folder has
// files, a copy older than a second or taken before a write of this process
// into the headers, all send the file back to the history's own search.
class EntetesDossier {
public:
    // The keys that the search of a source name covers: from the name as key 1
    // holds it (cut to the field, with its blanks) to the same name padded with
    // "z", in capitals.
    static void clesRecherche(const QString& nomSource, QString& bas, QString& haut);

    // The source files (full paths) of the next folder; forgets the headers read.
    void preparer(const QStringList& sources);
    // Forgets the folder.
    void oublier();

    // The header that the search of the history would take for a file of this
    // source name (name and extension): connu is false when this copy cannot
    // tell (then nothing is returned); a null result with connu true means no
    // header of the history is this file's.
    const EnregConvertEntete* chercher(const QString& nomSource, const IdentiteEntete& identite, bool& connu);

private:
    struct Ligne {
        QByteArray tri;        // the key's order in the record file
        QString cleMajuscules; // the key as a search returns it, in capitals
        EnregConvertEntete enreg;
    };
    // A source name's search keys, and the order of the lower one.
    struct Cles {
        QString bas, haut;
        QByteArray triBas;
    };
    static Cles clesDe(const QString& nomSource);
    bool lire();

    QString bas_, haut_; // the range of the folder's names
    bool aLire_ = false; // names to look up, range not read (or out of date)
    bool utilisable_ = false;
    int nombreFichiers_ = 0;
    std::vector<Ligne> lignes_;
    QHash<QString, Cles> cles_; // of the folder's source names
    std::uint64_t ecritures_ = 0;
    QElapsedTimer age_;
};

} // namespace ks3
