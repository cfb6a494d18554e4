#include "support/ScriptedMessageBoxService.h"

namespace ks3 {

int ScriptedMessageBoxService::choiceBox(const ChoiceBoxRequest& request) {
    seen_.append(request);
    // A box that is not waited for leaves the script to the next one.
    if (request.noWait || script_.isEmpty())
        return answerAtOnce(request, UnattendedMessageBoxService::safeChoice(request));
    const QString a = script_.takeFirst();
    bool isNumber = false;
    int n = a.toInt(&isNumber);
    if (!isNumber) {
        n = 0;
        for (int i = 0; i < request.buttons.size(); ++i)
            if (request.buttons.at(i).compare(a, Qt::CaseInsensitive) == 0) {
                n = i + 1;
                break;
            }
    }
    return answerAtOnce(request, n);
}

} // namespace ks3
