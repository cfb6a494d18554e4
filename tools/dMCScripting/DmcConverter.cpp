#include "DmcConverter.h"

#include "DmcRegistry.h"
#include "converter/ConverterError.h"
#include "converter/ConverterOptions.h"
#include "converter/EffectFactory.h"
#include "converter/TargetFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dmc {

namespace {

struct Codec {
    const char* name;      // as GetCompressions lists it
    const char* extension; // of its output
};
constexpr Codec kCodecs[] = {{"Mp3 (Lame)", ".mp3"}, {"Mp2", ".mp2"}, {"Wave", ".wav"}};

// True when both paths name one existing file (same device and inode).
bool sameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

QString setting(const char* name, int value) {
    return QLatin1Char('-') + QLatin1String(name) + QLatin1Char('=') + QString::number(value);
}

} // namespace

void DmcConverter::fail(int number, const QString& description) {
    errorNumber_ = number;
    errorDescription_ = description;
}

void DmcConverter::clearError() {
    errorNumber_ = 0;
    errorDescription_.clear();
}

void DmcConverter::AddFromFile(const QString& path) {
    clearError();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        fail(kErrPathAccess, QStringLiteral("Path/File access error: ") + path);
        return;
    }
    files_.append(path);
}

QString DmcConverter::GetCompressions(int index) {
    clearError();
    if (index < 0 || index >= int(std::size(kCodecs)))
        return QString();
    return QString::fromLatin1(kCodecs[index].name);
}

QStringList DmcConverter::formatArguments(const QString& codec, QString& extension) const {
    const DmcRegistry r(registryFile_);
    QStringList a;
    if (codec.compare(QLatin1String("Mp2"), Qt::CaseInsensitive) == 0) {
        extension = QStringLiteral(".mp2");
        // Channel modes: 0 stereo, 1 joint stereo, 2 dual channel, 3 mono.
        a << QStringLiteral("-convert_to=mp2") << setting("s", r.number("DMCMP2Freq", 48000))
          << setting("b", r.number("DMCMP2BitRate", 256))
          << setting("c", r.number("DMCMP2Channels", 0) == 3 ? 1 : 2);
    } else if (codec.compare(QLatin1String("Wave"), Qt::CaseInsensitive) == 0) {
        extension = QStringLiteral(".wav");
        a << QStringLiteral("-convert_to=wave") << setting("bits", r.number("DMCWaveBits", 16))
          << setting("freq", r.number("DMCWaveFreq", 44100))
          << setting("channels", r.number("DMCWaveChannels", 2));
    } else if (codec.compare(QLatin1String("Mp3 (Lame)"), Qt::CaseInsensitive) == 0) {
        extension = QStringLiteral(".mp3");
        a << QStringLiteral("-convert_to=mp3 (Lame)") << setting("s", r.number("DMCMP3Freq", 44100))
          << setting("b", r.number("DMCMP3BitRate", 256));
        if (r.number("DMCMP3Channels", 0) == 3)
            a << setting("c", 1);
    }
    if (!a.isEmpty() && volumeNormalize_)
        a << QStringLiteral("-dspeffect1=Volume Normalize= -mode={qt}peak{qt} -desiredb={qt}0{qt}");
    return a;
}

void DmcConverter::GoConversion(const QString& codec, bool, bool, bool, bool) {
    clearError();
    errors_.clear();
    const QStringList files = files_;
    files_.clear();
    QString extension;
    const QStringList format = formatArguments(codec, extension);
    if (format.isEmpty()) {
        errors_.append(QStringLiteral("Unknown codec: ") + codec);
        return;
    }
    QString folder = toFolder_;
    if (convertToFolder_) {
        const QFileInfo info(folder);
        if (folder.isEmpty() || !info.isDir() || !info.isWritable()) {
            fail(kErrPathAccess, QStringLiteral("Path/File access error: ") + folder);
            return;
        }
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
    }
    if (!QFileInfo(serverProgram_).isExecutable()) {
        fail(kErrModuleNotFound,
             QStringLiteral("The specified module could not be found: ") + serverProgram_);
        return;
    }
    for (const QString& file : files) {
        const QFileInfo source(file);
        const QString outFolder = convertToFolder_ ? folder : source.absolutePath() + QLatin1Char('/');
        const QString output = outFolder + source.completeBaseName() + extension;
        // The output would take the place of the sound before it is read.
        if (sameFile(file, output)) {
            errors_.append(file + QStringLiteral(": Error: the output would replace the source file"));
            continue;
        }
        const QStringList arguments =
            QStringList{QStringLiteral("-infile=") + file, QStringLiteral("-outfile=") + output} + format;
        // A setting of the registry that the converter would refuse is reported
        // without starting it.
        try {
            std::vector<std::string> args;
            for (const QString& a : arguments)
                args.push_back(a.toStdString());
            const ks3::conv::ConverterOptions options = ks3::conv::parseArguments(args);
            ks3::conv::resolveTarget(options);
            ks3::conv::validateEffects(options.effects);
        } catch (const std::exception& e) {
            errors_.append(file + QStringLiteral(": Error: ") + QString::fromStdString(e.what()));
            continue;
        }
        QProcess server;
        server.setStandardOutputFile(QProcess::nullDevice());
        // The server ends with its client, even one killed outright.
        const pid_t parent = ::getpid();
        server.setChildProcessModifier([parent] {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != parent)
                ::_exit(127);
        });
        server.start(serverProgram_, arguments);
        if (!server.waitForStarted(30000)) {
            fail(kErrModuleNotFound, QStringLiteral("The specified module could not be started: ") +
                                         serverProgram_ + QStringLiteral(" (") + server.errorString() +
                                         QLatin1Char(')'));
            return;
        }
        const qint64 pid = server.processId();
        server.waitForFinished(-1);
        if (server.exitStatus() != QProcess::NormalExit) {
            // What a server killed outright leaves of its output.
            QFile::remove(QFileInfo(output).absolutePath() + QStringLiteral("/.CoreConverter.") +
                          QString::number(pid) + QStringLiteral(".part"));
            fail(kErrDisconnected, QStringLiteral("The object invoked has disconnected from its clients."));
            return;
        }
        if (server.exitCode() != 0) {
            const QString text = QString::fromLocal8Bit(server.readAllStandardError());
            for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                errors_.append(file + QStringLiteral(": ") + line.trimmed());
            if (errors_.isEmpty())
                errors_.append(file + QStringLiteral(": conversion failed (") +
                               QString::number(server.exitCode()) + QLatin1Char(')'));
            continue;
        }
        if (deleteSourceFiles_ && QFileInfo(output).size() > 0)
            QFile::remove(file);
    }
}

bool DmcConverter::WasConvError() {
    clearError();
    return !errors_.isEmpty();
}

QString DmcConverter::GetConversionError(int index) {
    clearError();
    return index >= 0 && index < errors_.size() ? errors_.at(index) : QString();
}

} // namespace dmc
