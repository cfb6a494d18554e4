#include "common/ui/FrmMsgBoxService.h"

#include "common/ui/FrmMsgBox.h"

#include <QApplication>
#include <memory>

namespace ks3 {

int FrmMsgBoxService::choiceBox(const ChoiceBoxRequest& request) {
    auto box = std::make_unique<FrmMsgBox>(owner_.data());
    const int result = box->ChoiceBox(request);
    // A box that nobody waits for lives on until a button closes it, then
    // deletes itself.
    if (request.noWait && box->box().isOpen())
        box.release();
    return result;
}

std::optional<QString> FrmMsgBoxService::activeWindowTitle() const {
    if (QWidget* w = QApplication::activeWindow())
        return w->windowTitle();
    return std::nullopt;
}

} // namespace ks3
