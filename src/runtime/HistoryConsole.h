#pragma once

#include "runtime/CommandLine.h"

#include <cstdio>

namespace ks3 {

// --history and --history-detail: opens the record files of the instance's
// data folder, prints what the history window would list (a line of column
// names, then one line a row, tab-separated, UTF-8) and closes them. Returns
// the exit status: 0, or 2 when the date cannot be read (the window's message
// then goes to err) or the search type is unknown.
int HistoriqueConsole(const QString& executablePath, const CommandLineOptions& options, std::FILE* out,
                      std::FILE* err);

} // namespace ks3
