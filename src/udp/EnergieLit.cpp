#include "udp/EnergieLit.h"

#include "udp/ArrondiPair.h"

#include "common/ErrorRoutine.h"
#include "common/LeadingNumber.h"
#include "common/TraceLog.h"
#include "engine/DecomposeFichier.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace ks3 {

namespace {

using namespace energie;

QByteArray z10(std::int64_t v) {
    const QByteArray t = QByteArray::number(v).rightJustified(10, '0');
    return t.right(10);
}

QByteArray enregistrement(std::int32_t duree, std::int64_t blocs, const QByteArray& niveaux) {
    QByteArray r;
    r.reserve(kTailleEnreg);
    r += z10(duree);
    r += z10(blocs);
    r += z10(niveaux.size());
    r += niveaux;
    r += QByteArray(kNiveauxParEnreg - niveaux.size(), ' ');
    r += QByteArray(kTailleEnreg - r.size(), '\0');
    return r;
}

[[noreturn]] void echecFichier(const QFileDevice& f, const QString& quoi) {
    raiseError(75, QStringLiteral("Path/File access error: ") + quoi + QStringLiteral(": ") + f.fileName() +
                       QStringLiteral(": ") + f.errorString());
}

// Reads the sound in large buffers and writes the energy file whole.
void reconstruit(const QString& son, const QString& gpx, std::int32_t duree) {
    QFile entree(son);
    if (!entree.open(QIODevice::ReadOnly))
        raiseError(53, QStringLiteral("File not found: ") + son);
    const std::int64_t taille = entree.size();
    const std::int64_t blocs = arrondiPair(taille, kTailleBloc);

    QSaveFile sortie(gpx);
    if (!sortie.open(QIODevice::WriteOnly))
        echecFichier(sortie, QStringLiteral("create"));
    TraceLog(-1, -1, -1, QStringLiteral("Create Gpx Start: ") + son);

    // A buffer of whole blocks: 4096 blocks (3 MB) per read.
    constexpr std::int64_t kBlocsParLecture = 4096;
    std::vector<unsigned char> tampon(static_cast<std::size_t>(kBlocsParLecture * kTailleBloc));
    QByteArray niveaux;
    niveaux.reserve(kNiveauxParEnreg);
    auto ajoute = [&](std::uint8_t niveau) {
        niveaux.append(static_cast<char>(niveau));
        if (niveaux.size() == kNiveauxParEnreg) {
            if (sortie.write(enregistrement(duree, blocs, niveaux)) != kTailleEnreg)
                echecFichier(sortie, QStringLiteral("write"));
            niveaux.clear();
        }
    };
    std::int64_t faits = 0;
    while (faits < blocs) {
        const qint64 lus =
            entree.read(reinterpret_cast<char*>(tampon.data()), static_cast<qint64>(tampon.size()));
        if (lus < 0)
            echecFichier(entree, QStringLiteral("read"));
        if (lus == 0)
            break;
        const std::int64_t entiers = lus / kTailleBloc;
        for (std::int64_t k = 0; k < entiers && faits < blocs; ++k, ++faits)
            ajoute(NiveauBloc(tampon.data() + k * kTailleBloc));
        if (lus % kTailleBloc != 0) {
            // The end of the file: its last, partial block reads as zeros beyond the end.
            if (faits < blocs) {
                unsigned char dernier[kTailleBloc] = {};
                std::copy_n(tampon.data() + entiers * kTailleBloc, lus % kTailleBloc, dernier);
                ajoute(NiveauBloc(dernier));
                ++faits;
            }
            break;
        }
    }
    if (!niveaux.isEmpty() && sortie.write(enregistrement(duree, blocs, niveaux)) != kTailleEnreg)
        echecFichier(sortie, QStringLiteral("write"));
    if (!sortie.commit())
        echecFichier(sortie, QStringLiteral("commit"));
    TraceLog(-1, -1, -1, QStringLiteral("Create Gpx End"));
}

} // namespace

std::uint8_t NiveauBloc(const unsigned char* bloc) {
    const std::int64_t a = bloc[763] * 256 + bloc[764];
    const std::int64_t b = bloc[765] * 256 + bloc[766];
    // (A + B) / 2 * 100 / 65535, in integers.
    const std::int64_t n = arrondiPair((a + b) * 100, 2 * 65535);
    return static_cast<std::uint8_t>(std::min<std::int64_t>(n, 255));
}

void EnergieLit(std::int32_t& count, const QString& path, std::int32_t duree, QByteArray& niveaux,
                const QString& caller) {
    Q_UNUSED(caller);
    Procedure p("Lib_Public", "EnergieLit");
    count = 0;
    niveaux.clear();
    if (path.trimmed().isEmpty())
        return;
    const FichierDecompose d = DecomposeFichier(path);
    const QString gpx = d.fichierDossier + d.fichierNom + QStringLiteral(".gpx");
    const QString dossier = d.fichierDossier.isEmpty() ? QStringLiteral(".") : d.fichierDossier;
    if (!QFileInfo(dossier).isDir()) {
        TraceLog(-1, -1, -1, QStringLiteral("Err: Folder not found: ") + path);
        return;
    }

    bool reconstruire = false;
    p.step(30, [&] {
        QFile f(gpx);
        std::int64_t stockee = 0;
        if (f.exists()) {
            if (!f.open(QIODevice::ReadOnly))
                echecFichier(f, QStringLiteral("open"));
            stockee = static_cast<std::int64_t>(leadingNumber(QString::fromLatin1(f.read(10))));
        }
        reconstruire = std::llabs(stockee - duree) > kEcartToleree;
        if (!reconstruire && !f.exists()) {
            // Kept as it stands: an empty energy file, as opening it creates one.
            if (!f.open(QIODevice::WriteOnly))
                echecFichier(f, QStringLiteral("create"));
        }
    });
    if (reconstruire)
        p.step(40, [&] { reconstruit(path.trimmed(), gpx, duree); });

    p.step(50, [&] {
        QFile f(gpx);
        if (!f.open(QIODevice::ReadOnly))
            echecFichier(f, QStringLiteral("open"));
        const QByteArray tout = f.readAll();
        if (tout.size() >= 20)
            count = static_cast<std::int32_t>(leadingNumber(QString::fromLatin1(tout.mid(10, 10))));
        niveaux.reserve(count > 0 ? count : 0);
        for (qsizetype pos = 0; pos + 30 <= tout.size(); pos += kTailleEnreg) {
            const int n = static_cast<int>(leadingNumber(QString::fromLatin1(tout.mid(pos + 20, 10))));
            niveaux.append(tout.mid(pos + 30, std::clamp(n, 0, kNiveauxParEnreg)));
        }
    });
}

} // namespace ks3
