#include "engine/DossierCourant.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace ks3 {

namespace {
DossierCourant* courant = nullptr;
} // namespace

DossierCourant::DossierCourant(const QString& folder) : dossier_(QFile::encodeName(folder)) {
    if (!dossier_.endsWith('/'))
        dossier_ += '/';
    fd_ = ::open(dossier_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    precedent_ = courant;
    courant = this;
}

DossierCourant::~DossierCourant() {
    courant = precedent_;
    if (fd_ >= 0)
        ::close(fd_);
}

int DossierCourant::descripteur(const QByteArray& path, const char*& name) {
    const DossierCourant* d = courant;
    if (d == nullptr || d->fd_ < 0 || !path.startsWith(d->dossier_))
        return -1;
    const qsizetype debut = d->dossier_.size();
    if (debut >= path.size() || path.indexOf('/', debut) >= 0)
        return -1;
    name = path.constData() + debut;
    return d->fd_;
}

} // namespace ks3
