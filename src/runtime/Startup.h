#pragma once

#include <QString>
#include <functional>

namespace ks3 {

// Locates the converter: the command-line CoreConverter first, else the older
// MusicConverter. Returns true when one was found.
bool ConvertSonDetermineVersion(bool& commandLineKind, QString& converterPath, bool showMessage);

// The options at start-up: the options window of the services
// (Services::optionsWindowLoader; it loads the options itself), else the
// options alone (ChargerOptions).
void ChargerFenetreOptions();

// The start-up of the program up to its first run, without the windows:
// command line, working folders, settings, record files, next run, converter,
// sound folders. Returns false when the program must end (no converter).
bool DemarrageProgramme(const QString& executablePath, const QString& commandLine);

// The end of the program: last trace lines, log flush, then the options window
// unloaded (dechargerOptions, when given: it may ask to save the settings),
// then the record files closed.
void ArretProgramme(const std::function<void()>& dechargerOptions = {});

} // namespace ks3
