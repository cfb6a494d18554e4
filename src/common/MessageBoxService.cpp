#include "common/MessageBoxService.h"

namespace ks3 {

namespace {
MessageBoxService* current = nullptr;
} // namespace

MessageBoxService& messageBoxService() {
    static UnattendedMessageBoxService unattended;
    return current ? *current : unattended;
}

void setMessageBoxService(MessageBoxService* service) { current = service; }

int UnattendedMessageBoxService::safeChoice(const ChoiceBoxRequest& request) {
    static const QStringList safe = {QStringLiteral("Non"), QStringLiteral("Annuler"), QStringLiteral("Ignorer"),
                                     QStringLiteral("Abandonner"), QStringLiteral("Ok")};
    for (const QString& s : safe) {
        for (int i = 0; i < request.buttons.size(); ++i)
            if (request.buttons.at(i).trimmed().compare(s, Qt::CaseInsensitive) == 0)
                return i + 1;
    }
    if (request.defaultButton >= 1 && request.defaultButton <= request.buttons.size())
        return request.defaultButton;
    return request.buttons.isEmpty() ? 0 : 1;
}

int UnattendedMessageBoxService::choiceBox(const ChoiceBoxRequest& request) {
    if (request.noWait)
        return 0;
    return safeChoice(request);
}

int ScriptedMessageBoxService::choiceBox(const ChoiceBoxRequest& request) {
    seen_.append(request);
    if (request.noWait)
        return 0;
    if (script_.isEmpty())
        return UnattendedMessageBoxService::safeChoice(request);
    const QString a = script_.takeFirst();
    bool isNumber = false;
    const int n = a.toInt(&isNumber);
    if (isNumber)
        return n;
    for (int i = 0; i < request.buttons.size(); ++i)
        if (request.buttons.at(i).compare(a, Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}

} // namespace ks3
