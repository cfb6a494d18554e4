#pragma once

#include "common/MessageBoxService.h"

#include <QPointer>
#include <QWidget>

namespace ks3 {

// The message boxes for people: every message opens its own FrmMsgBox, owned by
// the given window (the main window).
class FrmMsgBoxService final : public MessageBoxService {
public:
    explicit FrmMsgBoxService(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    QWidget* owner() const { return owner_; }

    int choiceBox(const ChoiceBoxRequest& request) override;
    std::optional<QString> activeWindowTitle() const override;

private:
    QPointer<QWidget> owner_;
};

} // namespace ks3
