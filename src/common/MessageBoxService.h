#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace ks3 {

// Everything a message box is asked to show.
struct ChoiceBoxRequest {
    QString message;     // lines separated by "\n"
    QStringList buttons; // captions, left to right
    QString title;       // empty: the program's title
    double xPos = -1;    // twips; negative centres the box
    double yPos = -1;
    int alignment = 2;     // 0 left, 1 right, 2 centre
    int defaultButton = 0; // 1-based; 0 for none
    int timeoutMs = 0;     // 0 or less: no time-out
    int icon = 0;          // 16 critical, 32 question, 48 exclamation, 64 information
    bool noWait = false;
    int zone = -1;
};

// Shows a message and returns the 1-based number of the button pressed (0 with
// noWait). The windows implement it for people; tests and unattended runs
// answer with scripted choices.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int choiceBox(const ChoiceBoxRequest& request) = 0;
    // Caption of the program's active window; none when no window is active
    // (always so without windows).
    virtual std::optional<QString> activeWindowTitle() const { return std::nullopt; }
};

// The service in force (CommonServices::questions, else the unattended one).
MessageBoxService& messageBoxService();

// Answers without a person: the answer that destroys nothing ("Non", "Annuler",
// "Ignorer", ...), else the default button, else the first one. Used by --once.
class UnattendedMessageBoxService : public MessageBoxService {
public:
    int choiceBox(const ChoiceBoxRequest& request) override;
    // The 1-based button that such a run takes for these captions.
    static int safeChoice(const ChoiceBoxRequest& request);
};

// Shows the request in a box that nobody sees and that is answered with
// `button` as soon as it is shown: the counter, the trace lines and the flags
// are those of a real box. What the services without windows answer through.
int answerAtOnce(const ChoiceBoxRequest& request, int button);

} // namespace ks3
