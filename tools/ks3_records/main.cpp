// ks3_records: makes and reads the suite's record files of a base through the
// program's own record layer, for tests and for setting up or checking a
// workstation.
//
//   ks3_records create <data folder> <stations>
//   ks3_records put <data folder> <table> <station> Field=value [Field[i]=value ...]
//   ks3_records dump <data folder> <table> <station>
#include "common/WorkingFolders.h"
#include "platform/BtrStop.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/CatalogueTables.h"
#include "store/DefinitionFichier.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstring>

using namespace ks3;

namespace {

const QString kOrigine = QStringLiteral("ks3_records:main");
constexpr int kTables[] = {20, 21, 22, 26, 29, 31, 37};

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

int usage() {
    err() << "usage: ks3_records create <data folder> <stations>\n"
             "       ks3_records put <data folder> <table> <station> Field=value [Field[i]=value ...]\n"
             "       ks3_records dump <data folder> <table> <station>\n"
             "tables: 20 21 22 26 29 31 37\n";
    err().flush();
    return 2;
}

const std::vector<FieldDef>* layoutOf(int table) {
    switch (table) {
    case 20:
        return &EnregArtiste::layout();
    case 21:
        return &EnregVoixGroupe::layout();
    case 22:
        return &EnregMorceau::layout();
    case 26:
        return &EnregMorceauMagneto::layout();
    case 29:
        return &EnregMorceauCles::layout();
    case 31:
        return &EnregPointeurs::layout();
    case 37:
        return &EnregInfoSon::layout();
    default:
        return nullptr;
    }
}

QString chemin(int table, int station) {
    return DossierDonneesBase(0) + NomFichierBTR(table, station - 1);
}

int appel(int operation, QString& cle, int table, int station) {
    BtrRequestBlock& r = btrRequest();
    r.BtrOperation = operation;
    r.BtrCle = cle;
    r.BtrNoCle = 0;
    r.BtrFichier = table;
    BTRieve(0, station, kOrigine);
    cle = r.BtrCle;
    return r.BtrStatut;
}

std::int64_t lireNombre(const char* p, int width) {
    std::uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return width == 2 ? static_cast<qint16>(v) : static_cast<qint32>(v);
}

void ecrireNombre(char* p, int width, std::int64_t v) {
    for (int i = 0; i < width; ++i)
        p[i] = static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF);
}

int creer(int stations) {
    if (stations < 1)
        return usage();
    int echecs = 0;
    for (const int table : kTables) {
        const int dernier = CatalogueTables()[table].estParStation() ? stations : 1;
        for (int s = 1; s <= dernier; ++s) {
            const QString c = chemin(table, s);
            if (FichierBtrExiste(c)) {
                out() << "exists: " << c << "\n";
                continue;
            }
            InitStructureFichierBTR(table);
            const int statut = CreationStructureVide(c);
            out() << (statut == 0 ? "created: " : "failed: ") << c;
            if (statut != 0)
                out() << " (status " << statut << ")";
            out() << "\n";
            echecs += statut != 0 ? 1 : 0;
        }
    }
    return echecs == 0 ? 0 : 1;
}

bool ouvrir(int table, int station) {
    FichierPervasiveOuvrir(0, station, station, table);
    if (!FichierBtrExiste(chemin(table, station))) {
        err() << "no record file: " << chemin(table, station) << "\n";
        return false;
    }
    return true;
}

int mettre(int table, int station, const QStringList& paires) {
    const std::vector<FieldDef>* layout = layoutOf(table);
    if (layout == nullptr || !ouvrir(table, station))
        return usage();
    resetRecordBuffers();
    const RecordBufferRef buffer = recordBufferOf(table);
    static const QRegularExpression forme(QStringLiteral("^(\\w+)(?:\\[(\\d+)\\])?=(.*)$"),
                                          QRegularExpression::DotMatchesEverythingOption);
    for (const QString& paire : paires) {
        const QRegularExpressionMatch m = forme.match(paire);
        const FieldDef* champ = nullptr;
        for (const FieldDef& f : *layout)
            if (m.hasMatch() && QLatin1String(f.name) == m.captured(1))
                champ = &f;
        const int index = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
        if (champ == nullptr || champ->kind == FieldDef::Padding || index >= champ->count) {
            err() << "unknown field: " << paire << "\n";
            return 2;
        }
        char* p = buffer.data + champ->offset + index * champ->width;
        if (champ->kind == FieldDef::Text) {
            const QByteArray b = recordtext::fit(m.captured(3), champ->width);
            std::memcpy(p, b.constData(), static_cast<std::size_t>(champ->width));
        } else {
            bool ok = false;
            const qint64 v = m.captured(3).toLongLong(&ok);
            if (!ok) {
                err() << "not a number: " << paire << "\n";
                return 2;
            }
            ecrireNombre(p, champ->width, v);
        }
    }
    QString cle;
    const int statut = appel(btr::OpInsert, cle, table, station);
    if (statut != 0) {
        err() << "insert failed: status " << statut << "\n";
        return 1;
    }
    return 0;
}

int lister(int table, int station) {
    const std::vector<FieldDef>* layout = layoutOf(table);
    if (layout == nullptr || !ouvrir(table, station))
        return usage();
    QString cle;
    for (int statut = appel(btr::OpGetFirst, cle, table, station); statut == 0;
         statut = appel(btr::OpGetNext, cle, table, station)) {
        const RecordBufferRef buffer = recordBufferOf(table);
        QStringList champs;
        for (const FieldDef& f : *layout) {
            if (f.kind == FieldDef::Padding)
                continue;
            for (int i = 0; i < f.count; ++i) {
                const char* p = buffer.data + f.offset + i * f.width;
                const QString nom = f.count > 1 ? QStringLiteral("%1[%2]").arg(QLatin1String(f.name)).arg(i)
                                                : QLatin1String(f.name);
                const QString valeur = f.kind == FieldDef::Text ? recordTextDecode(p, f.width)
                                                                : QString::number(lireNombre(p, f.width));
                champs << nom + QLatin1Char('=') + valeur;
            }
        }
        out() << champs.join(QLatin1Char('|')) << "\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    if (a.size() < 3)
        return usage();
    QTemporaryDir traces;
    workingFolders().dataFolder = a.at(1);
    workingFolders().logTechFolder = traces.path() + QLatin1Char('/');
    InitGeneralData();
    int r = 2;
    if (a.at(0) == QLatin1String("create") && a.size() == 3)
        r = creer(a.at(2).toInt());
    else if (a.at(0) == QLatin1String("put") && a.size() >= 5)
        r = mettre(a.at(2).toInt(), a.at(3).toInt(), a.mid(4));
    else if (a.at(0) == QLatin1String("dump") && a.size() == 4)
        r = lister(a.at(2).toInt(), a.at(3).toInt());
    else
        usage();
    out().flush();
    err().flush();
    btr::stopRecordManager();
    return r;
}
