#pragma once

#include <QObject>
#include <QString>
#include <utility>

namespace dmc {

// dMCScripting.mp3Settings: the MP3 encoder's settings, kept in the registry
// file where the converter object reads them at its next conversion.
class DmcMp3Settings : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ErrorNumber READ errorNumber)
    Q_PROPERTY(QString ErrorDescription READ errorDescription)

public:
    explicit DmcMp3Settings(QString registryFile) : registryFile_(std::move(registryFile)) {}

    // bitRate in kbit/s, frequency in Hz, channelMode 0 stereo ... 3 mono,
    // quality 0 (best) to 9, kept for the encoder's choice of algorithm.
    Q_INVOKABLE void Set(int bitRate, int frequency, int channelMode, int quality);

    int errorNumber() const { return errorNumber_; }
    QString errorDescription() const { return errorDescription_; }

private:
    QString registryFile_;
    int errorNumber_ = 0;
    QString errorDescription_;
};

} // namespace dmc
