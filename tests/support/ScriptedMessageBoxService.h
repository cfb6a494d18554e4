#pragma once

#include "common/MessageBoxService.h"

#include <QList>
#include <QStringList>

namespace ks3 {

// Answers from a script: each call takes the next answer (a caption or a
// 1-based number); with the script empty, it falls back to the unattended rule.
// Keeps every request it saw.
class ScriptedMessageBoxService : public MessageBoxService {
public:
    void answer(const QString& caption) { script_.append(caption); }
    void answer(int button) { script_.append(QString::number(button)); }
    int choiceBox(const ChoiceBoxRequest& request) override;
    const QList<ChoiceBoxRequest>& seen() const { return seen_; }
    void clear() {
        seen_.clear();
        script_.clear();
    }

private:
    QStringList script_;
    QList<ChoiceBoxRequest> seen_;
};

} // namespace ks3
