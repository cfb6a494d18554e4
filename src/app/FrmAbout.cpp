#include "app/FrmAbout.h"

#include "common/ProgramValues.h"
#include "common/VersionApplication.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace ks3 {

FrmAbout::FrmAbout(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("A propos"));
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Kestrel: Tools Convert"), this);
    name->setObjectName(QStringLiteral("LabelProduit"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version ") + VersionApplication(), this);
    version->setObjectName(QStringLiteral("LabelVersion"));
    auto* instance =
        new QLabel(QStringLiteral("Instance: ") + QString::number(programValues().noInstance), this);
    instance->setObjectName(QStringLiteral("LabelInstance"));
    for (QLabel* l : {name, version, instance}) {
        l->setAlignment(Qt::AlignHCenter);
        layout->addWidget(l);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("BtnOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

FrmAbout* AfficherAPropos(QWidget* owner) {
    static QPointer<FrmAbout> box;
    if (!box || box->parentWidget() != owner) {
        delete box;
        box = new FrmAbout(owner);
        box->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

} // namespace ks3
