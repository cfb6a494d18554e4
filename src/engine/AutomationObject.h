#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantList>

class QObject;

namespace ks3 {

// Automation error numbers of the older converter's path.
inline constexpr int kErrAutomationModuleNotFound = -2147024770; // the component cannot be loaded
inline constexpr int kErrAutomationDisconnected = -2147417848;   // the object left during a call
inline constexpr int kErrPathFileAccess = 75;
inline constexpr int kErrNoSuchMember = 438;
inline constexpr int kErrTypeMismatch = 13;

// The file of the automation component, beside MusicConverter.
inline constexpr const char* kAutomationComponentFile = "dMCScripting.so";

// An object of the automation component, late-bound: created by name from the
// component found in the folder of the converter of start-up
// (CheminConvertisseur), its properties and methods reached by name through
// Qt's meta-object system. Every failure throws ks3::Error (common/ErrorRoutine.h)
// with the automation numbers above: the component missing or not a loadable
// plugin -2147024770; the object gone during a call -2147417848; a member the
// object lacks 438; a value of the wrong type 13; a failure the object
// reports itself (its ErrorNumber and ErrorDescription properties) with its
// own number (75 for a path it cannot reach).
class AutomationObject {
public:
    AutomationObject() = default;
    ~AutomationObject();
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    // Creates the object progId ("dMCScripting.Converter").
    void create(const QString& progId);
    bool isCreated() const { return created_; }
    void setProperty(const char* name, const QVariant& value);
    QVariant call(const char* method, const QVariantList& arguments = {});
    // Releases the object (nothing when none was created).
    void release();

    // The folder the component is loaded from: that of CheminConvertisseur.
    static QString componentFolder();

private:
    QObject* alive(const char* member) const;
    void checkReported(QObject* o) const;

    QString progId_;
    QPointer<QObject> object_;
    bool created_ = false;
};

} // namespace ks3
