#include "engine/ConversionRun.h"

#include "common/Clock.h"
#include "common/DateFormats.h"
#include "common/DoEvents.h"
#include "common/ErrorRoutine.h"
#include "common/FileUtils.h"
#include "common/LeadingNumber.h"
#include "common/Messages.h"
#include "common/ProgramValues.h"
#include "common/SameFile.h"
#include "common/TraceLog.h"
#include "engine/DecomposeFichier.h"
#include "engine/DossierCourant.h"
#include "engine/FolderList.h"
#include "engine/NonUtf8Names.h"
#include "engine/RunSettings.h"
#include "engine/RunState.h"
#include "engine/RunSteps.h"
#include "settings/SourceTypes.h"
#include "settings/TargetTypes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace ks3 {

namespace {
const char* kModule = "FrmMain";

// The walk of an entry without its target folder and the folders below it, when
// the target lies inside the source: what the run writes there is not a source
// (else "conv/" would give "conv/conv/" at the next run, and so on). The entry's
// own folder stays: a source folder may be its own target for another type.
// The counts of the folders (one per folder) follow them.
void withoutTargetFolder(QStringList& folders, QList<int>& counts, const QString& targetFolder) {
    QStringList kept;
    QList<int> keptCounts;
    QString skipped;
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QString& folder = folders.at(i);
        if (!skipped.isEmpty() && folder.startsWith(skipped))
            continue;
        if (i > 0 && SameFile(folder, targetFolder)) {
            skipped = folder;
            continue;
        }
        kept << folder;
        keptCounts << counts.value(i);
    }
    folders = kept;
    counts = keptCounts;
}

// Whether a file of this extension is of a chosen source type: the extension is
// searched anywhere in the list text, so ".mp" is found in "*.mp3".
bool isChosenType(const QString& extension, const QString& sourceExtensions) {
    if (extension.trimmed() == QLatin1String("."))
        return false;
    // An empty extension would be found in any list: a file without one is of
    // no chosen type.
    return !extension.isEmpty() && sourceExtensions.contains(extension, Qt::CaseInsensitive);
}

// The run cannot reach a file or folder whose name is not UTF-8: each one is
// named in the trace log at every run, so that the operator renames it.
void traceNonUtf8Names(const QString& folder, const QList<QByteArray>& names, const QString& sourceExtensions,
                       bool recursive) {
    for (const NonUtf8Name& name : NonUtf8Names(folder, names)) {
        if (name.folder) {
            if (recursive)
                TraceLog(-1, -1, -1,
                         QStringLiteral("Warning: LancerAnalyseConvert: Folder name not valid UTF-8, "
                                        "folder not scanned (rename it): ") +
                             folder + name.shown + QLatin1Char('/'),
                         true);
        } else if (isChosenType(DecomposeFichier(name.shown).fichierExtension, sourceExtensions)) {
            TraceLog(-1, -1, -1,
                     QStringLiteral("Warning: LancerAnalyseConvert: File name not valid UTF-8, "
                                    "file not converted (rename it): ") +
                         folder + name.shown,
                     true);
        }
    }
}

// Pending events between two files: at most every few milliseconds, so that a
// run over thousands of unchanged files does not spend its time polling an
// empty event queue, while the window and the stop button still answer at once.
void DoEventsBetweenFiles() {
    static QElapsedTimer last;
    if (last.isValid() && last.elapsed() < 5)
        return;
    DoEvents();
    last.start();
}

// The conversions of a run that has several going at once. Each one's end is
// handled as it comes: the attempt recorded, the source deleted when asked,
// the temporary copy of a ".s48" removed, and its lines (those of change
// detection, of the policy, of its end) put in ListeFichiersCible and written
// to the trace log as one block.
class ConversionsEnCours {
public:
    struct EnCours {
        std::unique_ptr<RunningConversion> conversion;
        QStringList lignes;
        QString cible, cibleEffective, copieTemporaire;
    };

    int nombre() const { return int(enCours_.size()); }

    void demarrer(const CompareResult& found, const QString& source, const QString& target,
                  const QStringList& lignes, const QString& copieTemporaire) {
        RunState& s = runState();
        s.listeFichiersCible.setStringList(lignes);
        EnCours e;
        e.conversion = runSteps().startConvert(found, source, target);
        e.lignes = s.listeFichiersCible.stringList();
        e.cible = target;
        e.cibleEffective = e.conversion->target();
        e.copieTemporaire = copieTemporaire;
        clearList(s.listeFichiersCible);
        s.ciblesEnCours.insert(e.cible);
        s.ciblesEnCours.insert(e.cibleEffective);
        enCours_.push_back(std::move(e));
    }

    // Handles the end of every conversion whose converter has ended.
    bool recolter() {
        bool fini = false;
        for (std::size_t i = 0; i < enCours_.size();) {
            if (enCours_[i].conversion->running()) {
                ++i;
                continue;
            }
            EnCours e = std::move(enCours_[i]);
            enCours_.erase(enCours_.begin() + std::ptrdiff_t(i));
            terminer(e);
            fini = true;
        }
        return fini;
    }

    // Lets events run until at least one conversion has ended, and handles it.
    void attendreUne() {
        while (!enCours_.empty() && !recolter())
            attendreEvenements();
    }

    void toutesTerminer() {
        while (!enCours_.empty())
            attendreUne();
    }

private:
    static void attendreEvenements() {
        if (!QCoreApplication::instance()) {
            QThread::msleep(20);
            return;
        }
        // The end of a converter is an event too: it wakes the wait at once.
        QTimer reveil;
        reveil.setSingleShot(true);
        reveil.start(20);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    static void terminer(EnCours& e) {
        Procedure p(kModule, "LancerAnalyseConvert");
        RunState& s = runState();
        p.step(40, [&] {
            s.listeFichiersCible.setStringList(e.lignes);
            e.conversion->finish();
            s.ciblesEnCours.remove(e.cible);
            s.ciblesEnCours.remove(e.cibleEffective);
            if (!e.copieTemporaire.isEmpty() &&
                File_Exist(e.copieTemporaire, QStringLiteral("FrmMain:LancerAnalyseConvert")))
                File_Delete(e.copieTemporaire, QStringLiteral("FrmMain:LancerAnalyseConvert"));
        });
        p.step(50, [&] {
            for (const QString& line : s.listeFichiersCible.stringList())
                TraceLog(-1, -1, -1, line);
        });
    }

    std::vector<EnCours> enCours_;
};

QString fileCountText(const QString& folder, int count) {
    return folder + QStringLiteral(" (") + QString::number(count) + QStringLiteral(" fichiers)");
}

// The ordinary files of folder, each inserted at the top so that the list ends
// in the reverse of the enumeration order; stops early on a stop request. The
// names that are not UTF-8 go to nonUtf8, from the same read.
QStringList listFilesReversed(const QString& folder, QList<QByteArray>& nonUtf8) {
    RunState& s = runState();
    QStringList files;
    ForEachFile(
        folder, false, false,
        [&](const char* name) {
            files.append(folder + QFile::decodeName(name));
            if (s.stopConversion)
                return false;
            DoEventsBetweenFiles();
            return true;
        },
        &nonUtf8);
    std::reverse(files.begin(), files.end());
    return files;
}
} // namespace

QString ListeExtensionsSource(const std::vector<const SourceType*>& selectedSourceTypes) {
    QStringList pieces;
    for (const SourceType* type : selectedSourceTypes)
        if (!type->motifs.isEmpty())
            pieces << type->motifs;
    return pieces.join(QLatin1Char(';'));
}

QString ListeExtensionCible(const TargetType* targetType) {
    return targetType ? targetType->extension : QString();
}

QString FormateDuree(qint64 seconds) {
    const qint64 minutes = seconds / 60;
    const qint64 s = seconds % 60;
    return QStringLiteral("%1:%2").arg(minutes, 3, 10, QLatin1Char(' ')).arg(s, 2, 10, QLatin1Char('0'));
}

void LancerAnalyseConvertStart() {
    Procedure p(kModule, "LancerAnalyseConvertStart");
    RunState& s = runState();
    if (s.conversionEnCours) {
        p.step(10,
               [] { AffMsg(QStringLiteral("Conversion déjà en cours."), 48, programValues().titreFenetre); });
        return;
    }
    p.step(20, [&] {
        s.conversionEnCours = true;
        s.setLabel(RunState::LabelTimingConvert1, texteHeure(clock().now().time()));
        s.setStartTimeVisible(true);
    });
    p.step(30, [&] {
        s.stopConversion = false;
        LancerAnalyseConvert();
    });
    p.step(40, [&] {
        s.conversionEnCours = false;
        s.setStartTimeVisible(false);
    });
    p.step(50, [&] {
        const double minutes = leadingNumber(currentRunSettings().frequence);
        s.setProchaineConversion(clock().now().addSecs(qint64(minutes * 60)));
    });
}

void LancerAnalyseConvert() {
    Procedure p(kModule, "LancerAnalyseConvert");
    RunState& s = runState();
    RunSettings rs;
    QString sourceExtensions;
    QString targetExtension;
    bool stop = false;
    p.step(10, [&] {
        rs = currentRunSettings();
        sourceExtensions = ListeExtensionsSource(rs.selectedSourceTypes);
        targetExtension = ListeExtensionCible(rs.targetType);
        if (sourceExtensions.trimmed().isEmpty()) {
            AffMsg(
                QStringLiteral("Conversion impossible:\n\n"
                               "Vous devez sélectionner dans le Setup les types de fichiers son à convertir"),
                64, programValues().titreFenetre);
            stop = true;
        }
    });
    if (stop)
        return;
    QDateTime start;
    const int simultanees = rs.conversionsSimultanees;
    ConversionsEnCours enCours;
    p.step(20, [&] {
        start = clock().now();
        s.oublieCiblesEcrites();
        s.setRunCommands(true);
    });

    for (int i = 0; i < int(rs.sources.size()); ++i) {
        p.step(30, [&] {
            if (rs.sources[i].trimmed().isEmpty())
                return;
            const QString sourceFolder = rs.sources[i];
            const QString targetFolder = rs.cibles[i];
            s.setLabel(RunState::LabelDossierSourceEnCours, sourceFolder);
            s.setLabel(RunState::LabelDossierCibleEnCours, targetFolder);

            // The folders and their file counts, from one read of each.
            QStringList folders{sourceFolder};
            QList<int> counts;
            if (rs.sourceRecursive) {
                FolderListCounts(sourceFolder, folders, counts);
                withoutTargetFolder(folders, counts, targetFolder);
            } else {
                counts << FileCount(sourceFolder, false);
            }
            s.listeDossiersSource.setStringList(folders);
            int total = 0;
            for (const int c : counts)
                total += c;
            if (s.stopConversion)
                return;
            s.setLabel(RunState::LabelDossierSourceEnCours, fileCountText(sourceFolder, total));
            DoEvents();

            for (qsizetype k = 0; k < folders.size(); ++k) {
                const QString& folder = folders.at(k);
                s.setLabel(RunState::LabelDossierSourceTraite, fileCountText(folder, counts.value(k)));
                clearList(s.listeFichiersSource);
                QList<QByteArray> nonUtf8;
                const QStringList files = listFilesReversed(folder, nonUtf8);
                s.listeFichiersSource.setStringList(files);
                if (s.stopConversion)
                    break;
                traceNonUtf8Names(folder, nonUtf8, sourceExtensions, rs.sourceRecursive);
                QStringList chosen;
                for (const QString& item : files)
                    if (isChosenType(DecomposeFichier(item).fichierExtension, sourceExtensions))
                        chosen << item;
                runSteps().beginFolder(chosen);
                const DossierCourant ouvert(folder);

                for (const QString& item : files) {
                    p.step(40, [&] {
                        QString sourceFile = item;
                        const FichierDecompose parts = DecomposeFichier(sourceFile);
                        if (!isChosenType(parts.fichierExtension, sourceExtensions))
                            return;
                        QString fileTargetFolder = targetFolder;
                        if (rs.cibleRecursive) {
                            QString sub = folder;
                            sub.remove(sourceFolder, Qt::CaseSensitive);
                            fileTargetFolder += sub;
                        }
                        const QString targetPath = fileTargetFolder + parts.fichierNom + targetExtension;
                        s.setLabel(RunState::LabelFichierTraite, sourceFile);
                        s.setLabel(RunState::LabelDossierCibleTraite, targetPath);
                        DoEventsBetweenFiles();
                        clearList(s.listeFichiersCible);

                        const CompareResult found = runSteps().compare(sourceFile, targetPath);
                        if (!found.conversionRequise)
                            return;
                        bool temporaryCopy = false;
                        // A source that is its own target goes to the converter step
                        // as it is, which refuses it; a copy would hide it.
                        if (parts.fichierExtension.toLower() == QLatin1String(".s48") &&
                            !SameFile(sourceFile, targetPath)) {
                            const QString copy =
                                parts.fichierDossier + parts.fichierNom + QStringLiteral(".mp2");
                            if (File_Copy(sourceFile, copy)) {
                                sourceFile = copy;
                                temporaryCopy = true;
                            }
                        }
                        if (simultanees > 1) {
                            // The lines of change detection stay with the file
                            // while other conversions end.
                            const QStringList lignes = s.listeFichiersCible.stringList();
                            // Never two converters on one target, never more than the setting.
                            while (s.ciblesEnCours.contains(targetPath))
                                enCours.attendreUne();
                            while (enCours.nombre() >= simultanees)
                                enCours.attendreUne();
                            // A stop asked meanwhile starts no new file: its
                            // header says it is still to convert.
                            if (s.stopConversion) {
                                s.listeFichiersCible.setStringList(lignes);
                                if (temporaryCopy &&
                                    File_Exist(sourceFile, QStringLiteral("FrmMain:LancerAnalyseConvert")))
                                    File_Delete(sourceFile, QStringLiteral("FrmMain:LancerAnalyseConvert"));
                                return;
                            }
                            enCours.demarrer(found, sourceFile, targetPath, lignes,
                                             temporaryCopy ? sourceFile : QString());
                            return;
                        }
                        runSteps().convert(found, sourceFile, targetPath);
                        if (temporaryCopy &&
                            File_Exist(sourceFile, QStringLiteral("FrmMain:LancerAnalyseConvert")))
                            File_Delete(sourceFile, QStringLiteral("FrmMain:LancerAnalyseConvert"));
                    });
                    p.step(50, [&] {
                        DoEventsBetweenFiles();
                        for (const QString& line : s.listeFichiersCible.stringList())
                            TraceLog(-1, -1, -1, line);
                    });
                    if (simultanees > 1)
                        p.step(55, [&] { enCours.recolter(); });
                    if (s.stopConversion)
                        break;
                    DoEventsBetweenFiles();
                }
                if (s.stopConversion)
                    break;
                DoEvents();
            }
        });
        if (s.stopConversion)
            break;
        clock().waitWithEvents(1000);
        if (s.stopConversion)
            break;
    }

    // A stop starts no new file: those under way finish.
    p.step(58, [&] { enCours.toutesTerminer(); });
    p.step(60, [&] {
        runSteps().beginFolder({});
        if (s.stopConversion) {
            TraceLogEncadre(-1, -1, -1, QStringLiteral("Conversion stoppée"), QStringLiteral("="), false);
            s.stopConversion = false;
        }
    });
    p.step(70, [&] { s.setRunCommands(false); });
    p.step(80, [&] {
        const QDateTime end = clock().now();
        const qint64 duration = start.secsTo(end);
        const QString rule(50, QLatin1Char('='));
        const QStringList summary{rule, QStringLiteral("Conversion terminée: ") + texteHeure(end.time()),
                                  QStringLiteral("Durée: ") + FormateDuree(duration), rule};
        s.listeFichiersCible.setStringList(summary);
        for (const QString& line : summary)
            TraceLog(-1, -1, -1, line);
    });
}

} // namespace ks3
