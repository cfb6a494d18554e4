#pragma once

#include <QByteArray>
#include <QString>

struct stat;

namespace ks3 {

// The source folder that a run is going through, held open while its files
// are compared: the date and size of each of its files are read relative to
// it, as `find` does, instead of walking the whole path again for every file.
// One at a time, for the scope of the object; a path of another folder is read
// by its full path.
class DossierCourant {
public:
    explicit DossierCourant(const QString& folder);
    ~DossierCourant();
    DossierCourant(const DossierCourant&) = delete;
    DossierCourant& operator=(const DossierCourant&) = delete;

    // The open folder's descriptor when path (as the file system names it) is
    // a file directly in it, with name set to the file's name in path; -1
    // otherwise.
    static int descripteur(const QByteArray& path, const char*& name);

    // True when the file st of the open folder dir (a descriptor given by
    // descripteur) can be read without asking the file system: on a local disk
    // file system, a file of the program's user that its owner may read. The
    // kernel then decides from those bits (access lists never restrict a
    // file's owner); only a security module's own rules could say otherwise,
    // and the converter would then report the file it cannot read. False
    // means: ask (access(2)).
    static bool lisibleSansDemander(int dir, const struct stat& st);

private:
    QByteArray dossier_; // the folder's path as the file system names it, ending in "/"
    int fd_ = -1;
    bool disqueLocal_ = false;
    unsigned utilisateur_ = 0;
    DossierCourant* precedent_ = nullptr;
};

} // namespace ks3
