#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace dmc {

// dMCScripting.Converter: converts the files added to it with one codec,
// each in a MusicConverter process (the object's server). The output of a
// file goes into ToFolder (or beside the file when ConvertToFolder is off)
// under the file's name with the codec's extension. The codec's settings come
// from the registry file: "Mp2" the DMCMP2 values, "Wave" the DMCWave values,
// "Mp3 (Lame)" the DMCMP3 values of dMCScripting.mp3Settings.
//
// A call that fails sets ErrorNumber and ErrorDescription (cleared by the
// next call): 75 for a file or folder it cannot reach, -2147024770 when its
// server program is missing, -2147417848 when the server ended without
// answering (it crashed or was killed). What the conversion of a file reports
// goes to the list of WasConvError and GetConversionError.
class DmcConverter : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool VolumeNormalize MEMBER volumeNormalize_)
    Q_PROPERTY(bool PreserveTags MEMBER preserveTags_)
    Q_PROPERTY(bool DeleteSourceFiles MEMBER deleteSourceFiles_)
    Q_PROPERTY(bool ConvertToFolder MEMBER convertToFolder_)
    Q_PROPERTY(QString ToFolder MEMBER toFolder_)
    Q_PROPERTY(int ErrorNumber READ errorNumber)
    Q_PROPERTY(QString ErrorDescription READ errorDescription)

public:
    DmcConverter(QString registryFile, QString serverProgram)
        : registryFile_(std::move(registryFile)), serverProgram_(std::move(serverProgram)) {}

    // Adds a file to convert; 75 when it is not a readable file.
    Q_INVOKABLE void AddFromFile(const QString& path);
    // The codec at index; empty past the last one.
    Q_INVOKABLE QString GetCompressions(int index);
    // Converts the files added, then empties the list. Returns when every
    // conversion has ended. The four flags of the interface (show progress,
    // close when done, play a sound, log) have no meaning for a converter
    // without a window.
    Q_INVOKABLE void GoConversion(const QString& codec, bool showProgress, bool closeWhenDone, bool playSound,
                                  bool writeLog);
    // True when the last conversion reported errors.
    Q_INVOKABLE bool WasConvError();
    // The error text at index; empty past the last one.
    Q_INVOKABLE QString GetConversionError(int index);

    int errorNumber() const { return errorNumber_; }
    QString errorDescription() const { return errorDescription_; }

private:
    void fail(int number, const QString& description);
    void clearError();
    // The converter's type and settings for a codec; empty for an unknown one.
    QStringList formatArguments(const QString& codec, QString& extension) const;

    QString registryFile_;
    QString serverProgram_;
    bool volumeNormalize_ = false;
    bool preserveTags_ = false;
    bool deleteSourceFiles_ = false;
    bool convertToFolder_ = false;
    QString toFolder_;
    QStringList files_;
    QStringList errors_;
    int errorNumber_ = 0;
    QString errorDescription_;
};

} // namespace dmc
