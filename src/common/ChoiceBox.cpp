#include "common/ChoiceBox.h"

#include "common/Clock.h"
#include "common/ErrorRoutine.h"
#include "common/TraceLog.h"

namespace ks3 {

namespace {
int& messageCounter() {
    static int counter = 0;
    return counter;
}
} // namespace

bool& MsgBoxEnCours() {
    static bool open = false;
    return open;
}

int dernierIdMessage() {
    return messageCounter();
}

QString ChoiceBox::programTitle() {
    return QStringLiteral("Kestrel Tools Convert");
}

int ChoiceBox::run(const ChoiceBoxRequest& request) {
    if (busy_)
        return 0;
    Procedure p("Frm_MsgBox", "ChoiceBox");
    p.step(10, [&] {
        id_ = ++messageCounter();
        request_ = request;
        // A box without a button could never be closed.
        if (request_.buttons.isEmpty())
            request_.buttons = QStringList{QStringLiteral("Ok")};
        result_ = 0;
        deadline_ = 0;
        open_ = true;
    });
    p.step(80, [&] {
        if (request_.timeoutMs > 0)
            deadline_ = GetTickCount64() + std::uint64_t(request_.timeoutMs);
    });
    busy_ = true;
    p.step(90, [&] {
        // One log line per entry: the message's own line ends would split it.
        QString text = request_.message;
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        TraceLogEncadre(request_.zone, -1, -1,
                        QStringLiteral("MsgBox: ") + text + QStringLiteral(" (Id:") + QString::number(id_) +
                            QLatin1Char(')'),
                        QStringLiteral("*"), false);
    });
    // A box that could not be shown is not waited for: nobody could answer it.
    const bool shown = p.step(100, [&] { view_.show(*this); });
    if (!request_.noWait && shown && open_) {
        // Boxes opened from inside this wait must not clear the flag for this one.
        const bool outer = MsgBoxEnCours();
        MsgBoxEnCours() = true;
        p.step(110, [&] { view_.waiting(true); });
        p.step(120, [&] {
            while (open_) {
                clock().waitWithEvents(kWaitStepMs);
                checkTimeout();
            }
        });
        p.step(130, [&] { view_.waiting(false); });
        MsgBoxEnCours() = outer;
    }
    busy_ = false;
    return request_.noWait ? 0 : result_;
}

void ChoiceBox::press(int button) {
    if (!open_)
        return;
    Procedure p("Frm_MsgBox", "Form_Unload");
    result_ = button;
    open_ = false;
    p.step(10, [&] { view_.closed(*this); });
    p.step(20, [&] {
        TraceLog(request_.zone, -1, -1,
                 QStringLiteral("MsgBox: Id:") + QString::number(id_) + QStringLiteral(" closed"));
    });
}

bool ChoiceBox::pressClose() {
    if (!open_)
        return false;
    for (const QString& caption : {QStringLiteral("Annuler"), QStringLiteral("Abandonner"),
                                   QStringLiteral("Non"), QStringLiteral("Ok")}) {
        const qsizetype at = request_.buttons.indexOf(caption);
        if (at >= 0) {
            press(int(at) + 1);
            return true;
        }
    }
    return false;
}

bool ChoiceBox::checkTimeout() {
    if (!open_ || deadline_ == 0 || GetTickCount64() < deadline_)
        return false;
    const int d = defaultButton();
    press(d > 0 ? d : 1);
    return true;
}

QStringList ChoiceBox::lines() const {
    QStringList out = request_.message.split(QLatin1Char('\n'));
    for (QString& line : out)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return out;
}

QString ChoiceBox::title() const {
    return request_.title.isEmpty() ? programTitle() : request_.title;
}

int ChoiceBox::iconImage() const {
    switch (request_.icon) {
    case 16:
        return 1;
    case 48:
        return 2;
    case 64:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

int ChoiceBox::defaultButton() const {
    const int d = request_.defaultButton;
    return d >= 1 && d <= request_.buttons.size() ? d : 0;
}

} // namespace ks3
