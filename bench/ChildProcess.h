#pragma once

#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace ks3::bench {

// Processor time (user + system) of the ended children of this process, in
// milliseconds.
double childrenCpuMs();

// Runs the program with its argument list (no shell), its output dropped and
// its errors shown; its processor time goes to the "child_cpu_ms" counter,
// which a loaded machine disturbs less than the real time. True when it ended
// normally with status 0 within timeoutMs.
bool runChild(benchmark::State& state, const QString& program, const QStringList& args, int timeoutMs);

} // namespace ks3::bench
