#pragma once

#include "common/MessageBoxService.h"

#include <QStringList>
#include <cstdint>

namespace ks3 {

// True while a waiting message box is open: handlers that run meanwhile (timers,
// sockets) can tell that the user is being asked something.
bool& MsgBoxEnCours();
// Identifier of the last message shown; the first message gets 1.
int dernierIdMessage();

class ChoiceBox;

// The part of a message box that people see: a window shows it, an unattended
// service answers it at once.
class ChoiceBoxView {
public:
    virtual ~ChoiceBoxView() = default;
    // Builds and shows the box (never modal). A view that answers by itself
    // presses a button here.
    virtual void show(ChoiceBox& box) = 0;
    // Around the wait of a waiting box (true before, false after).
    virtual void waiting(bool on) { (void)on; }
    // The box was closed by a button, the close button or the time-out: the view
    // goes away. Called once per message.
    virtual void closed(ChoiceBox& box) { (void)box; }
};

// One message box: the message counter and identifier, the busy flag, the trace
// lines, the time-out, the close-button rule and the wait. Everything but the
// showing, so the window and the unattended services behave alike.
class ChoiceBox {
public:
    // How long each turn of the wait lets events run.
    static constexpr int kWaitStepMs = 20;

    explicit ChoiceBox(ChoiceBoxView& view) : view_(view) {}
    ChoiceBox(const ChoiceBox&) = delete;
    ChoiceBox& operator=(const ChoiceBox&) = delete;

    // Shows the message and, unless request.noWait, lets events run until a button
    // is pressed; returns its 1-based number (0 with noWait, and 0 at once when
    // this box is still busy with a message).
    int run(const ChoiceBoxRequest& request);

    // A button was pressed (1-based): the result, and the box closes.
    void press(int button);
    // The window's close button: presses the first "Annuler", else "Abandonner",
    // "Non" or "Ok"; false (nothing happens) when there is none of them.
    bool pressClose();
    // The time-out: once the deadline has passed, presses the default button, or
    // the first one. True when it pressed.
    bool checkTimeout();

    // The message being shown, as the window lays it out.
    const ChoiceBoxRequest& request() const { return request_; }
    QStringList lines() const; // the message split at each line feed
    QString title() const;     // the request's title, or the program's title
    int iconImage() const;     // 0 none, 1 critical, 2 exclamation, 3 information, 4 question
    int defaultButton() const; // 1-based, 0 for none
    int id() const { return id_; }
    int zone() const { return request_.zone; }
    int result() const { return result_; }
    bool busy() const { return busy_; }
    bool isOpen() const { return open_; }
    std::uint64_t deadline() const { return deadline_; } // 0: no time-out

    static QString programTitle();

private:
    ChoiceBoxView& view_;
    ChoiceBoxRequest request_;
    int id_ = 0;
    int result_ = 0;
    bool busy_ = false;
    bool open_ = false;
    std::uint64_t deadline_ = 0;
};

} // namespace ks3
