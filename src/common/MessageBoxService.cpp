#include "common/MessageBoxService.h"

#include "common/ChoiceBox.h"
#include "common/CommonServices.h"

namespace ks3 {

namespace {

// A box that nobody sees: it is answered as soon as it is shown, so the counter,
// the trace lines and the flags are those of a real box.
class AnsweringView final : public ChoiceBoxView {
public:
    explicit AnsweringView(int answer) : answer_(answer) {}
    void show(ChoiceBox& box) override { box.press(answer_); }

private:
    int answer_;
};

} // namespace

int answerAtOnce(const ChoiceBoxRequest& request, int button) {
    AnsweringView view(button);
    ChoiceBox box(view);
    return box.run(request);
}

MessageBoxService& messageBoxService() {
    static UnattendedMessageBoxService unattended;
    MessageBoxService* s = commonServices().questions;
    return s ? *s : unattended;
}

int UnattendedMessageBoxService::safeChoice(const ChoiceBoxRequest& request) {
    static const QStringList safe = {QStringLiteral("Non"), QStringLiteral("Annuler"),
                                     QStringLiteral("Ignorer"), QStringLiteral("Abandonner"),
                                     QStringLiteral("Ok")};
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
    return answerAtOnce(request, safeChoice(request));
}

} // namespace ks3
