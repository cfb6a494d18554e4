// The other process of the multi-user tests. Orders:
//   update <file> <code> <name>   read the record and write it back with the name
//   hold <file> <code>            insert inside a transaction, print "held <status>",
//                                 end the transaction when a line arrives on stdin
//   insert <file> <first> <count> insert records one by one, printing "ok <code>"
//                                 once each insert is acknowledged
#include "BtrTestFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

using namespace ks3;
using namespace ks3::btr;

namespace {

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const std::string order = argv[1];
    const QString path = QString::fromLocal8Bit(argv[2]);
    test::BtrCursor c(test::PeerRecordLength);
    if (const int s = c.open(path); s != StatusSuccess) {
        say("open " + std::to_string(s));
        return 1;
    }
    if (order == "update" && argc == 5) {
        const QByteArray code(argv[3]);
        int s = c.get(OpGetEqual, 0, code);
        if (s == StatusSuccess)
            s = c.update(test::peerRecord(code, QByteArray(argv[4])));
        say(std::to_string(s));
        return s == StatusSuccess ? 0 : 1;
    }
    if (order == "hold" && argc == 4) {
        int s = c.call(OpBeginTransaction, 0);
        if (s == StatusSuccess)
            s = c.insert(test::peerRecord(QByteArray(argv[3]), "held"));
        say("held " + std::to_string(s));
        std::string line;
        std::getline(std::cin, line);
        say("released " + std::to_string(c.call(OpEndTransaction, 0)));
        return 0;
    }
    if (order == "insert" && argc == 5) {
        const long first = std::atol(argv[3]);
        const long count = std::atol(argv[4]);
        for (long n = first; n < first + count; ++n) {
            const QByteArray code = test::peerCode(n);
            const int s = c.insert(test::peerRecord(code, "peer"));
            say(s == StatusSuccess ? "ok " + code.toStdString() : "err " + std::to_string(s));
            if (s != StatusSuccess)
                return 1;
        }
        return 0;
    }
    return 2;
}
