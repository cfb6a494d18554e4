#pragma once

#include <QObject>

class QWidget;

namespace ks3 {

// Gives every key pressed or released in a window's controls to GestionClavier
// before the control that has the focus gets it, so the window stays usable
// from the keyboard. A window makes one, as its child, when it is built.
class FiltreClavier final : public QObject {
    Q_OBJECT
public:
    explicit FiltreClavier(QWidget* window);
    ~FiltreClavier() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

} // namespace ks3
