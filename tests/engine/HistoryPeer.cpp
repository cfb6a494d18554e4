// Another program on the same conversion history, for the multi-user tests of
// change detection. Usage:
//   history_peer <data folder> <source folder> <target folder>
// Opens the history of the data folder and says "ready"; then for every file
// of the source folder (in name order) waits for a line on stdin, runs the
// change detection and records a successful conversion, and prints
// "ok <header number> <file name>". A test that gives the line to two peers at
// once has them create their headers at the same moment.
// Ends with "box <message>" for every record-layer message it had to answer,
// then "done".
//   history_peer hold <data folder>
// Inserts a header inside a transaction, says "held", and keeps the history
// locked for writing until a line arrives on stdin; then gives the
// transaction up and says "released".
#include "common/MessageBoxService.h"
#include "common/WorkingFolders.h"
#include "engine/CompareFichierEtDonnees.h"
#include "engine/ConversionHistory.h"
#include "platform/Btrcall.h"
#include "store/BTRieve.h"
#include "store/BtrRequestBlock.h"
#include "store/CatalogueTables.h"
#include "store/FichierPervasive.h"
#include "store/RecordBuffers.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <iostream>
#include <string>

using namespace ks3;

namespace {
void say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool hold = argc == 3 && QByteArray(argv[1]) == "hold";
    if (argc != 4 && !hold)
        return 2;
    const QString data = QString::fromLocal8Bit(hold ? argv[2] : argv[1]);
    const QString sources = hold ? QString() : QString::fromLocal8Bit(argv[2]);
    const QString targets = hold ? QString() : QString::fromLocal8Bit(argv[3]);
    ScriptedMessageBoxService boxes;
    test::ServicesGuard services([&](Services& s) { s.questions = &boxes; });
    InitGeneralData();
    workingFolders().dataFolder = data;
    workingFolders().logTechFolder = data;
    workingFolders().nbStation = 1;
    FichierPervasiveOuvrir(0, 1, 1, 41);
    FichierPervasiveOuvrir(0, 1, 1, 42);
    std::string line;
    if (hold) {
        QString cle;
        BTRieve(0, btr::OpBeginTransaction, cle, 0, EnregConvertEntete::NoFichier, 1, QString());
        enregConvertEntete().setIdEntete(QStringLiteral("9999999999"));
        cle = QString(10, QLatin1Char(' '));
        BTRieve(0, btr::OpInsert, cle, 0, EnregConvertEntete::NoFichier, 1, QString());
        say(QStringLiteral("held ") + QString::number(btrRequest().BtrStatut));
        std::getline(std::cin, line);
        BTRieve(0, btr::OpAbortTransaction, cle, 0, EnregConvertEntete::NoFichier, 1, QString());
        say(QStringLiteral("released ") + QString::number(btrRequest().BtrStatut));
        return 0;
    }
    say(QStringLiteral("ready"));

    const QStringList names = QDir(sources).entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        if (!std::getline(std::cin, line))
            break;
        bool required = false;
        QString id;
        QDateTime date;
        qint64 size = 0;
        CompareFichierEtDonnees(sources + name, targets + name, required, id, date, size);
        if (required)
            EnregistrerTentative(id, date, date, date, size, QStringLiteral("O"), QString(),
                                 QStringLiteral("N"));
        say(QStringLiteral("ok ") + (id.isEmpty() ? QStringLiteral("-") : id) + QLatin1Char(' ') + name);
    }
    FichierPervasiveFermer(0, 1, 1, 42);
    FichierPervasiveFermer(0, 1, 1, 41);
    for (const ChoiceBoxRequest& r : boxes.seen())
        say(QStringLiteral("box ") + QString(r.message).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    say(QStringLiteral("done"));
    return 0;
}
