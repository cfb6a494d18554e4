#pragma once

#include "common/ChoiceBox.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTimer;
class QKeyEvent;

namespace ks3 {

// The suite's message box window: one label per message line, an optional icon,
// one button per free caption, a default button, a time-out, the message's
// identifier at the bottom. It stays above the other windows and, while it
// waits, the program's events keep running. One window per message.
class FrmMsgBox final : public QDialog, private ChoiceBoxView {
    Q_OBJECT
public:
    explicit FrmMsgBox(QWidget* owner = nullptr);
    ~FrmMsgBox() override;

    // Shows the message; returns the 1-based button pressed (0 with noWait, at
    // once). A box shown without waiting deletes itself once it is closed.
    int ChoiceBox(const ChoiceBoxRequest& request);

    const ks3::ChoiceBox& box() const { return box_; }
    // Presses button number i (1-based), as a click does.
    void pressButton(int i);

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent* e) override;

private:
    void show(ks3::ChoiceBox& box) override;
    void waiting(bool on) override;
    void closed(ks3::ChoiceBox& box) override;
    void build();
    void place();

    ks3::ChoiceBox box_;
    QList<QLabel*> labelMsg_;
    QList<QPushButton*> btnMsgBox_;
    QLabel* imageIcone_ = nullptr;
    QLabel* labelIdMsg_ = nullptr;
    QLabel* labelNoZone_ = nullptr;
    QLabel* labelTestLargeurBtn_ = nullptr;
    QLabel* labelTestLargeurTitre_ = nullptr;
    QTimer* timer1_ = nullptr;
    bool inCloseEvent_ = false;
    bool selfDelete_ = false;
};

} // namespace ks3
