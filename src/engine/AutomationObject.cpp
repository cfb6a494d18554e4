#include "engine/AutomationObject.h"

#include "common/ErrorRoutine.h"
#include "common/ProgramRegistry.h"
#include "common/ProgramValues.h"

#include <QFileInfo>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QObject>
#include <QPluginLoader>
#include <array>
#include <map>
#include <memory>
#include <vector>

namespace ks3 {

namespace {

// The component's root object, loaded once per file and kept for the life of
// the program (a plugin stays loaded while its objects live).
QObject* component(const QString& file) {
    static std::map<QString, std::unique_ptr<QPluginLoader>> loaders;
    std::unique_ptr<QPluginLoader>& loader = loaders[file];
    if (!loader)
        loader = std::make_unique<QPluginLoader>(file);
    if (!QFileInfo::exists(file))
        raiseError(kErrAutomationModuleNotFound,
                   QStringLiteral("Automation error: the specified module could not be found: ") + file);
    QObject* root = loader->instance();
    if (!root)
        raiseError(kErrAutomationModuleNotFound,
                   QStringLiteral("Automation error: the component cannot be loaded: ") +
                       loader->errorString());
    return root;
}

} // namespace

AutomationObject::~AutomationObject() {
    release();
}

QString AutomationObject::componentFolder() {
    const QString converter = programValues().cheminConvertisseur;
    if (converter.trimmed().isEmpty())
        return programValues().dossierProgramme;
    return QFileInfo(converter).absolutePath() + QLatin1Char('/');
}

void AutomationObject::create(const QString& progId) {
    release();
    progId_ = progId;
    QObject* root = component(componentFolder() + QLatin1String(kAutomationComponentFile));
    // The component keeps its settings in the program's registry file.
    root->setProperty("RegistryFile", registryFile());
    QObject* o = nullptr;
    if (!QMetaObject::invokeMethod(root, "CreateObject", Qt::DirectConnection, Q_RETURN_ARG(QObject*, o),
                                   Q_ARG(QString, progId)) ||
        !o)
        raiseError(429, QStringLiteral("ActiveX component can't create object: ") + progId);
    object_ = o;
    created_ = true;
}

void AutomationObject::release() {
    if (object_)
        delete object_.data();
    object_ = nullptr;
    created_ = false;
}

QObject* AutomationObject::alive(const char* member) const {
    if (!created_)
        raiseError(91,
                   QStringLiteral("Object variable not set (") + QLatin1String(member) + QLatin1Char(')'));
    if (!object_)
        raiseError(kErrAutomationDisconnected,
                   QStringLiteral("Automation error: the object invoked has disconnected from its clients."),
                   progId_);
    return object_.data();
}

void AutomationObject::checkReported(QObject* o) const {
    const QMetaObject* mo = o->metaObject();
    const int n = mo->indexOfProperty("ErrorNumber");
    if (n < 0)
        return;
    const int number = mo->property(n).read(o).toInt();
    if (number != 0)
        raiseError(number, o->property("ErrorDescription").toString(), progId_);
}

void AutomationObject::setProperty(const char* name, const QVariant& value) {
    QObject* o = alive(name);
    const QMetaObject* mo = o->metaObject();
    const int index = mo->indexOfProperty(name);
    if (index < 0 || !mo->property(index).isWritable())
        raiseError(kErrNoSuchMember,
                   QStringLiteral("Object doesn't support this property or method: ") + QLatin1String(name),
                   progId_);
    QMetaProperty p = mo->property(index);
    QVariant v = value;
    if (!v.convert(p.metaType()) || !p.write(o, v))
        raiseError(kErrTypeMismatch, QStringLiteral("Type mismatch: ") + QLatin1String(name), progId_);
    checkReported(o);
}

QVariant AutomationObject::call(const char* method, const QVariantList& arguments) {
    QObject* o = alive(method);
    const QMetaObject* mo = o->metaObject();
    QMetaMethod m;
    for (int i = 0; i < mo->methodCount(); ++i) {
        const QMetaMethod c = mo->method(i);
        if (c.name() == method && c.parameterCount() == arguments.size() &&
            c.access() == QMetaMethod::Public) {
            m = c;
            break;
        }
    }
    if (!m.isValid() || arguments.size() > 10)
        raiseError(kErrNoSuchMember,
                   QStringLiteral("Object doesn't support this property or method: ") + QLatin1String(method),
                   progId_);
    std::vector<QVariant> values(arguments.begin(), arguments.end());
    std::array<QGenericArgument, 10> args{};
    for (int i = 0; i < int(values.size()); ++i) {
        const QMetaType t = m.parameterMetaType(i);
        if (!values[i].convert(t))
            raiseError(kErrTypeMismatch, QStringLiteral("Type mismatch: ") + QLatin1String(method), progId_);
        args[i] = QGenericArgument(t.name(), values[i].constData());
    }
    QVariant result;
    QGenericReturnArgument ret;
    if (m.returnMetaType().id() != QMetaType::Void) {
        result = QVariant(m.returnMetaType());
        ret = QGenericReturnArgument(m.returnMetaType().name(), result.data());
    }
    const QPointer<QObject> guard(o);
    const bool invoked = m.invoke(o, Qt::DirectConnection, ret, args[0], args[1], args[2], args[3], args[4],
                                  args[5], args[6], args[7], args[8], args[9]);
    alive(method);
    if (!invoked)
        raiseError(kErrNoSuchMember,
                   QStringLiteral("Object doesn't support this property or method: ") + QLatin1String(method),
                   progId_);
    checkReported(guard.data());
    return result;
}

} // namespace ks3
