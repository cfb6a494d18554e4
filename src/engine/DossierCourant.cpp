#include "engine/DossierCourant.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace ks3 {

namespace {
DossierCourant* courant = nullptr;

// File systems on a local disk, whose permissions the kernel checks itself
// (on a network or FUSE file system the server may refuse what the bits allow).
bool disqueLocal(const struct statfs& fs) {
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x58465342UL: // XFS
    case 0x9123683EUL: // Btrfs
    case 0xF2F52010UL: // F2FS
    case 0x01021994UL: // tmpfs
        return true;
    default:
        return false;
    }
}
} // namespace

DossierCourant::DossierCourant(const QString& folder) : dossier_(QFile::encodeName(folder)) {
    if (!dossier_.endsWith('/'))
        dossier_ += '/';
    fd_ = ::open(dossier_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct statfs fs {};
    disqueLocal_ = fd_ >= 0 && ::fstatfs(fd_, &fs) == 0 && disqueLocal(fs);
    utilisateur_ = ::getuid();
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

bool DossierCourant::lisibleSansDemander(int dir, const struct stat& st) {
    const DossierCourant* d = courant;
    return d != nullptr && dir == d->fd_ && d->disqueLocal_ && st.st_uid == d->utilisateur_ &&
           (st.st_mode & S_IRUSR) != 0;
}

} // namespace ks3
