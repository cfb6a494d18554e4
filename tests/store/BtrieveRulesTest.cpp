// The rules of the record layer, seen from the record manager's side: a
// scripted manager answers the statuses that only other programs could cause
// (locks, conflicts) and records every call the layer makes.
#include "common/MessageBoxService.h"
#include "common/ProgramEnd.h"
#include "common/TraceLog.h"
#include "common/WorkingFolders.h"
#include "store/BTRieve.h"
#include "store/BtrieveState.h"
#include "store/ErreurBTrieve.h"
#include "store/RecordBuffers.h"
#include "store/RecordManagerCall.h"
#include "support/ManualClock.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/ServicesGuard.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <cstring>
#include <deque>
#include <map>

using namespace ks3;

namespace {

struct Call {
    int operation;
    int keyNumber;
    QByteArray key; // the whole key buffer as sent
    QByteArray data;
    const void* block;
};

struct ScriptedManager {
    std::map<int, std::deque<int>> statuses; // answers per operation, in order, then 0
    QByteArray recordOnGetEqual;             // copied into the buffer by a Get Equal
    QByteArray keyReturned;                  // written at the start of the key buffer by Gets
    std::vector<Call> calls;

    std::int16_t operator()(std::uint16_t op, void* block, void* data, std::uint32_t* length, void* key,
                            std::uint16_t keyLength, std::int16_t keyNumber) {
        calls.push_back({op, keyNumber, QByteArray(static_cast<const char*>(key), keyLength),
                         QByteArray(static_cast<const char*>(data), int(*length)), block});
        int status = 0;
        std::deque<int>& script = statuses[op];
        if (!script.empty()) {
            status = script.front();
            script.pop_front();
        }
        if (op == 5 && !recordOnGetEqual.isEmpty())
            std::memcpy(data, recordOnGetEqual.constData(),
                        size_t(std::min<qsizetype>(recordOnGetEqual.size(), *length)));
        if (status == 0 && op >= 5 && op <= 13 && !keyReturned.isEmpty())
            std::memcpy(key, keyReturned.constData(), size_t(keyReturned.size()));
        return std::int16_t(status);
    }
    std::vector<int> operations() const {
        std::vector<int> ops;
        for (const Call& c : calls)
            ops.push_back(c.operation);
        return ops;
    }
};

const QString kOrigin = QStringLiteral("FrmMain:CompareFichierEtDonnees");

class BtrieveRules : public ::testing::Test {
protected:
    void SetUp() override {
        resetBtrieveState();
        resetRecordBuffers();
        resetTraceLog();
        InitGeneralData();
        workingFolders().logTechFolder = logs.path();
        for (int no : {41, 42})
            btrieveState().FichierOuvert(0, 1, no) = true;
    }
    void TearDown() override {
        resetBtrieveState();
        resetTraceLog();
    }
    // BTRieve with the request block, as the program's callers use it.
    int call(int operation, const QString& key, int file = 41, int keyNumber = 0, int station = 1,
             const QString& origin = kOrigin) {
        BtrRequestBlock& r = btrRequest();
        r.BtrOperation = operation;
        r.BtrCle = key;
        r.BtrNoCle = keyNumber;
        r.BtrFichier = file;
        BTRieve(0, station, origin);
        return r.BtrStatut;
    }
    QStringList trace() const { return traceLists().listeLogTemp.stringList(); }

    test::TempDir logs;
    test::ManualClock clock;
    ScriptedMessageBoxService boxes;
    ScriptedManager manager;
    int ended = 0;
    test::ServicesGuard services{[this](Services& s) {
        s.questions = &boxes;
        s.programEnd = [this](int) { ++ended; };
        s.recordManagerCall = [this](std::uint16_t op, void* b, void* d, std::uint32_t* l, void* k,
                                     std::uint16_t kl,
                                     std::int16_t kn) { return manager(op, b, d, l, k, kl, kn); };
    }};
};

} // namespace

TEST_F(BtrieveRules, KeyBufferIsSentAsTheCallerGaveItOrAsHundredSpaces) {
    call(5, QString());
    ASSERT_EQ(manager.calls.size(), 1u);
    EXPECT_EQ(manager.calls[0].key.size(), 255);
    EXPECT_EQ(manager.calls[0].key.left(100), QByteArray(100, ' '));
    EXPECT_EQ(btrRequest().BtrCle, QString(100, QLatin1Char(' ')));

    // Code 255 stands for the highest key: Get Less Than (or Equal) sends "z"
    // instead; the other operations send it as is.
    struct Case {
        int operation;
        const char* sent;
    };
    for (const Case& c : {Case{11, "00000000zz"}, Case{10, "00000000zz"}}) {
        manager.calls.clear();
        call(c.operation, QStringLiteral("00000000") + QString(2, QChar(0xFF)), 41, 0, 1, QString());
        EXPECT_EQ(manager.calls.at(0).key.left(10), QByteArray(c.sent)) << c.operation;
    }
    manager.calls.clear();
    call(9, QStringLiteral("00000000") + QString(2, QChar(0xFF)), 41, 0, 1, QString());
    EXPECT_EQ(manager.calls.at(0).key.left(10), QByteArray("00000000\xFF\xFF"));
}

TEST_F(BtrieveRules, FoundKeyReplacesTheKeyBufferOverTheWholeKey) {
    // A 50-character key looked up with a short name comes back whole.
    manager.keyReturned = "Song.WAV" + QByteArray(42, ' ');
    call(9, QStringLiteral("song.wav"), 41, 1);
    EXPECT_EQ(manager.calls.at(0).key.left(12), QByteArray("song.wav    "));
    EXPECT_EQ(btrRequest().BtrCle, QStringLiteral("Song.WAV") + QString(42, QLatin1Char(' ')));
}

TEST_F(BtrieveRules, StationBelowOneRunsAsOneAndAboveTenIsRefused) {
    for (int station : {0, -3}) {
        manager.calls.clear();
        call(5, QStringLiteral("0000000001"), 41, 0, station);
        ASSERT_EQ(manager.calls.size(), 1u);
        EXPECT_EQ(manager.calls[0].block, &btrieveState().BlocPosition(0, 1, 41));
        EXPECT_TRUE(btrieveState().HistoriqueBtr(0)[0].contains(QLatin1String(" Station:1 "))) << station;
    }
    manager.calls.clear();
    struct Case {
        int operation, status;
    };
    for (const Case& c : {Case{5, 4}, Case{6, 9}, Case{11, 9}}) {
        boxes.clear();
        EXPECT_EQ(call(c.operation, QStringLiteral("0000000001"), 41, 0, 11), c.status);
        ASSERT_EQ(boxes.seen().size(), 1);
        EXPECT_EQ(boxes.seen()[0].message, QStringLiteral("N° station hors limite:11"));
        EXPECT_EQ(boxes.seen()[0].title,
                  QStringLiteral("BTrieve (Source:FrmMain Sub:CompareFichierEtDonnees)"));
    }
    EXPECT_TRUE(manager.calls.empty());
    EXPECT_EQ(ended, 0);
}

TEST_F(BtrieveRules, EndTransactionWithoutTransactionDoesNothing) {
    btrRequest().BtrStatut = 1234;
    call(20, QString());
    call(21, QString());
    EXPECT_TRUE(manager.calls.empty());
    EXPECT_EQ(btrRequest().BtrStatut, 1234);

    call(19, QString());
    EXPECT_TRUE(btrieveState().transactionEnCours);
    call(20, QString());
    EXPECT_EQ(manager.operations(), (std::vector<int>{19, 20}));
    EXPECT_FALSE(btrieveState().transactionEnCours);
}

TEST_F(BtrieveRules, RecordConflictIsRetriedAfterARereadEveryHalfSecond) {
    manager.statuses[3] = {80, 80, 80};
    EXPECT_EQ(call(3, QStringLiteral("0000000001")), 0);
    EXPECT_EQ(manager.operations(), (std::vector<int>{3, 5, 3, 5, 3, 5, 3}));
    EXPECT_EQ(clock.waits, 3);
    EXPECT_EQ(clock.totalWaitedMs, 1500);
    EXPECT_FALSE(EnregOccupe());
    EXPECT_TRUE(boxes.seen().isEmpty());

    // An Insert in conflict is retried without a re-read.
    manager.calls.clear();
    manager.statuses[2] = {80};
    call(2, QString(20, QLatin1Char(' ')), 42);
    EXPECT_EQ(manager.operations(), (std::vector<int>{2, 2}));
}

TEST_F(BtrieveRules, RecordConflictThatOutlastsTenRetriesIsGivenBackAsAConflict) {
    manager.statuses[4] = std::deque<int>(20, 80);
    const int status = call(4, QStringLiteral("0000000001"));
    const std::vector<int> ops = manager.operations();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), 4), 11);
    EXPECT_EQ(std::count(ops.begin(), ops.end(), 5), 10);
    EXPECT_EQ(clock.totalWaitedMs, 5000);
    EXPECT_TRUE(EnregOccupe());
    // The delete was not done: the caller must not be told it was.
    EXPECT_EQ(status, 80);
    EXPECT_TRUE(boxes.seen().isEmpty());
    EXPECT_TRUE(trace().filter(QStringLiteral("Err: Record busy")).size() == 1);

    // The next call starts with the flag cleared.
    call(5, QStringLiteral("0000000001"));
    EXPECT_FALSE(EnregOccupe());
}

TEST_F(BtrieveRules, ExpectedStatusesAreSilentOthersAreReported) {
    struct Case {
        int operation, status;
        bool reported;
    };
    const Case cases[] = {
        {2, 5, false}, {3, 5, false},  {5, 4, false}, {5, 9, false}, {6, 9, false},
        {9, 5, false}, {11, 4, false}, {2, 4, true},  {3, 9, true},  {4, 8, true},
        {4, 4, false}, {5, 2, true},   {6, 54, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.operation << "/" << c.status);
        boxes.clear();
        manager.calls.clear();
        manager.statuses[c.operation] = {c.status};
        EXPECT_EQ(call(c.operation, QStringLiteral("0000000001")), c.status);
        EXPECT_EQ(manager.calls.size(), 1u);
        EXPECT_EQ(boxes.seen().size(), c.reported ? 1 : 0);
    }
    EXPECT_EQ(ended, 0) << "the unattended answer is Ignorer";
}

TEST_F(BtrieveRules, LocksWaitASecondAndAskFromTheEleventhFailure) {
    manager.statuses[3] = {85, 81, 84};
    EXPECT_EQ(call(3, QStringLiteral("0000000001")), 0);
    EXPECT_EQ(manager.operations(), (std::vector<int>{3, 3, 3, 3}));
    EXPECT_EQ(clock.totalWaitedMs, 3000);
    EXPECT_TRUE(boxes.seen().isEmpty());

    // A lock that stays: the 11th failure asks; Réessayer waits and tries again,
    // Ignorer gives the status back.
    manager.calls.clear();
    manager.statuses[5] = std::deque<int>(30, 85);
    boxes.answer(QStringLiteral("Réessayer"));
    boxes.answer(QStringLiteral("Ignorer"));
    EXPECT_EQ(call(5, QStringLiteral("0000000001")), 85);
    EXPECT_EQ(manager.calls.size(), 12u);
    ASSERT_EQ(boxes.seen().size(), 2);
    EXPECT_EQ(boxes.seen()[0].buttons, (QStringList{QStringLiteral("Abandonner"), QStringLiteral("Réessayer"),
                                                    QStringLiteral("Ignorer")}));
    EXPECT_EQ(boxes.seen()[0].title, QStringLiteral("Lib_Data_Pervasive:BTRieve"));
    EXPECT_EQ(boxes.seen()[0].icon, 16);

    // Abandonner ends the program and nothing further is sent.
    manager.calls.clear();
    manager.statuses[5] = std::deque<int>(30, 85);
    boxes.answer(QStringLiteral("Abandonner"));
    call(5, QStringLiteral("0000000001"));
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(manager.calls.size(), 11u);
    call(5, QStringLiteral("0000000001"));
    EXPECT_EQ(manager.calls.size(), 11u);
}

TEST_F(BtrieveRules, KeyNumberChangedOnGetNextIsRepairedByGetEqual) {
    manager.statuses[6] = {7};
    EXPECT_EQ(call(6, QStringLiteral("0000000001")), 7);
    EXPECT_EQ(manager.operations(), (std::vector<int>{6, 5}));
    EXPECT_TRUE(boxes.seen().isEmpty());
}

TEST_F(BtrieveRules, FileNotOpenEndsTheProgramWithoutCallingTheManager) {
    btrieveState().FichierOuvert(0, 1, 41) = false;
    EXPECT_EQ(call(5, QStringLiteral("0000000001")), 20);
    EXPECT_TRUE(manager.calls.empty());
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(boxes.seen().size(), 2);
    EXPECT_EQ(boxes.seen()[0].message,
              QStringLiteral("Fichier #: 41 non ouvert\r\n(Source:FrmMain Sub:CompareFichierEtDonnees)"));
    EXPECT_TRUE(boxes.seen()[1].message.contains(QStringLiteral("Err:20\n")));
}

TEST_F(BtrieveRules, CallHistoryShowsTheKeyPrintableAndTheStatus) {
    QString key = QStringLiteral("ab") + QChar(1) + QStringLiteral("c") + QChar(0xFC) + QStringLiteral("é");
    const QString sent = key;
    BTRieve(0, 5, key, 0, 41, 1, kOrigin);
    // The record manager gets the key as it is: only the history is printable.
    EXPECT_EQ(key, sent + QString(4, QLatin1Char(' ')));
    EXPECT_EQ(manager.calls.at(0).key.left(7), QByteArray("ab\x01"
                                                          "c\xFC\xE9 "));
    EXPECT_EQ(
        btrieveState().HistoriqueBtr(0)[0],
        QStringLiteral("S:0 File:41 Station:1 OP:05 K:00 [ab c é] [FrmMain Sub:CompareFichierEtDonnees]"));

    // Six entries per base, newest first; no origin, no entry.
    for (int i = 0; i < 7; ++i)
        call(1019, QString(), 42, 0, 1, QStringLiteral("A:B"));
    call(5, QStringLiteral("x"), 41, 0, 1, QString());
    const auto& h = btrieveState().HistoriqueBtr(0);
    EXPECT_EQ(h[0], QStringLiteral("S:0 File:42 Station:1 OP:19 K:00 [] [A Sub:B]"));
    EXPECT_EQ(h[5], h[0]);
}

TEST_F(BtrieveRules, ErrorReportListsTheFileTheStatusAndTheLastCalls) {
    manager.statuses[4] = {2};
    call(4, QStringLiteral("0000000001"));
    ASSERT_EQ(boxes.seen().size(), 1);
    const QString m = boxes.seen()[0].message;
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    EXPECT_TRUE(
        m.startsWith(QStringLiteral("Fichier :  (") + exe + QStringLiteral(")  (16/02/2024 08:05:09)\n")))
        << m.toStdString();
    EXPECT_TRUE(m.contains(
        QStringLiteral("\nErr:2: The application encountered an I/O error\n\n 0>S:2 File:41 "
                       "Station:1 OP:04 K:00 [0000000001] [FrmMain Sub:CompareFichierEtDonnees]\n")))
        << m.toStdString();
    EXPECT_TRUE(m.endsWith(QStringLiteral("\n\nFaîtes une restauration de ce fichier\n"))) << m.toStdString();

    struct Case {
        int status;
        const char* key;
        const char* text;
    };
    for (const Case& c : {Case{12, "/d/FRAD041.bt6",
                               "Err:12: The MicroKernel cannot find the specified file (/d/FRAD041.bt6)\n"},
                          Case{11, "x", "Err:11: The specified filename is invalid (x)\n"},
                          Case{3110, "", "Err:3110: Network error\n"}, Case{99, "", "Err:99\n"},
                          Case{46, "", "Err:46: Access to the requested file is denied (File locked ?)\n"}})
        EXPECT_EQ(ErreurBTrieveLibelle(c.status, QString::fromUtf8(c.key)), QString::fromUtf8(c.text));
}

// A lone network failure lets the user choose; another within five minutes
// ends the program after the message.
TEST_F(BtrieveRules, RepeatedNetworkFailuresEndTheProgram) {
    btrRequest().BtrStatut = 3105;
    ErreurBTrieve(0, 41, QString(), kOrigin);
    ASSERT_EQ(boxes.seen().size(), 1);
    EXPECT_EQ(boxes.seen()[0].message,
              QStringLiteral("Le programme a rencontré un problème de connexion au serveur.\n\n"
                             "Veuillez vérifier la connectique de votre réseau."));
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(trace().filter(QStringLiteral("Err: Network Pervasive errors: 3105")).size(), 1);
    clock.advance(299000);
    ErreurBTrieve(0, 41, QString(), kOrigin);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(boxes.seen().size(), 2);

    OublierFinProgramme(); // the program goes on
    clock.advance(300000);
    ErreurBTrieve(0, 41, QString(), kOrigin);
    EXPECT_EQ(ended, 1);
}
