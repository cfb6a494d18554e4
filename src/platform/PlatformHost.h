#pragma once

#include <QString>

namespace ks3 {

// What the platform layer needs of the program that uses it, and nothing more:
// a blocking pause between two attempts of an operation that another process
// holds up (a record file locked by another writer, an INI file that cannot
// be written yet), and where the failure lines of its operations go. The
// program hands its clock and its trace log in (common/CommonServices.h), so
// tests make the pauses instant; a program made of this layer alone (the
// record manager's peer process of the tests) sleeps for real and writes the
// lines to standard error.
class PlatformHost {
public:
    virtual ~PlatformHost() = default;
    // Blocks the thread for ms milliseconds; pending events do not run.
    virtual void sleep(int ms) = 0;
    // A failure the caller is not told about in detail (it only gets false).
    virtual void failure(const QString& line) = 0;
};

// The host in force; setPlatformHost(nullptr) restores the stand-alone one.
PlatformHost& platformHost();
void setPlatformHost(PlatformHost* host);

} // namespace ks3
