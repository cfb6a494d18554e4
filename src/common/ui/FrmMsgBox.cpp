#include "common/ui/FrmMsgBox.h"

#include "common/ErrorRoutine.h"
#include "common/ui/AfficherAuDessus.h"
#include "common/ui/GestionClavier.h"
#include "common/ui/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace ks3 {

namespace {
const char* const kModule = "Frm_MsgBox";
constexpr int kButtonMargin = 15; // each side of a caption
constexpr int kButtonMinWidth = 75;
constexpr int kTitleBarRoom = 120; // the title bar's icon and buttons
constexpr int kTimerIntervalMs = 100;

Qt::Alignment alignmentOf(int a) {
    switch (a) {
    case 0:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case 1:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    }
}

QStyle::StandardPixmap iconOf(int image) {
    switch (image) {
    case 1:
        return QStyle::SP_MessageBoxCritical;
    case 2:
        return QStyle::SP_MessageBoxWarning;
    case 3:
        return QStyle::SP_MessageBoxInformation;
    default:
        return QStyle::SP_MessageBoxQuestion;
    }
}
} // namespace

FrmMsgBox::FrmMsgBox(QWidget* owner) : QDialog(owner), box_(*this) {
    setObjectName(QStringLiteral("FrmMsgBox"));
    setWindowTitle(QStringLiteral("Kestrel Diffuseurs"));
    setModal(false);
    setMouseTracking(true);
    // Above every other window from the start; no "Tag": the box is not one of
    // the windows that step back for a message box.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    labelNoZone_ = new QLabel(this);
    labelNoZone_->setObjectName(QStringLiteral("LabelNoZone"));
    labelNoZone_->hide();
    labelTestLargeurBtn_ = new QLabel(this);
    labelTestLargeurBtn_->setObjectName(QStringLiteral("LabelTestLargeurBtn"));
    labelTestLargeurBtn_->setFont(QPushButton().font());
    labelTestLargeurBtn_->hide();
    labelTestLargeurTitre_ = new QLabel(this);
    labelTestLargeurTitre_->setObjectName(QStringLiteral("LabelTestLargeurTitre"));
    labelTestLargeurTitre_->setFont(QApplication::font("QMdiSubWindowTitleBar"));
    labelTestLargeurTitre_->hide();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kTimerIntervalMs);
    connect(timer1_, &QTimer::timeout, this, [this] {
        Procedure p(kModule, "Timer1_Timer");
        p.step(10, [&] { box_.checkTimeout(); });
    });
}

FrmMsgBox::~FrmMsgBox() = default;

int FrmMsgBox::ChoiceBox(const ChoiceBoxRequest& request) {
    selfDelete_ = request.noWait;
    const int result = box_.run(request);
    return result;
}

void FrmMsgBox::pressButton(int i) {
    Procedure p(kModule, "BtnMsgBox_Click");
    p.step(10, [&] { box_.press(i); });
}

void FrmMsgBox::build() {
    Procedure p(kModule, "ChoiceBox");
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* body = new QHBoxLayout;
    auto* linesBox = new QVBoxLayout;
    linesBox->setSpacing(2);
    p.step(10, [&] { labelNoZone_->setText(QString::number(box_.zone())); });
    p.step(20, [&] {
        const QFont font(QStringLiteral("Arial"), 10);
        const QStringList lines = box_.lines();
        for (int i = 0; i < lines.size(); ++i) {
            auto* l = new QLabel(lines.at(i), this);
            l->setObjectName(QStringLiteral("LabelMsg"));
            l->setProperty("Index", i);
            l->setFont(font);
            l->setTextFormat(Qt::PlainText);
            l->setAlignment(alignmentOf(box_.request().alignment));
            // An empty line keeps its height.
            if (lines.at(i).isEmpty())
                l->setMinimumHeight(QFontMetrics(font).height());
            linesBox->addWidget(l);
            labelMsg_ << l;
        }
        linesBox->addStretch();
    });
    p.step(30, [&] { setWindowTitle(box_.title()); });
    p.step(40, [&] {
        imageIcone_ = new QLabel(this);
        imageIcone_->setObjectName(QStringLiteral("ImageIcone"));
        const int image = box_.iconImage();
        imageIcone_->setProperty("Image", image);
        if (image > 0) {
            const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
            imageIcone_->setPixmap(style()->standardIcon(iconOf(image), nullptr, this).pixmap(size, size));
            imageIcone_->setAlignment(Qt::AlignTop);
            body->addWidget(imageIcone_, 0, Qt::AlignTop);
        } else {
            imageIcone_->hide();
        }
        body->addLayout(linesBox, 1);
    });
    auto* row = new QHBoxLayout;
    p.step(50, [&] {
        row->addStretch();
        const QStringList captions = box_.request().buttons;
        const QFontMetrics fm(labelTestLargeurBtn_->font());
        for (int i = 0; i < captions.size(); ++i) {
            auto* b = new QPushButton(captions.at(i), this);
            b->setObjectName(QStringLiteral("BtnMsgBox"));
            b->setProperty("Index", i);
            b->setAutoDefault(false);
            labelTestLargeurBtn_->setText(captions.at(i));
            b->setFixedWidth(qMax(kButtonMinWidth, fm.horizontalAdvance(captions.at(i)) + 2 * kButtonMargin));
            connect(b, &QPushButton::clicked, this, [this, i] { pressButton(i + 1); });
            row->addWidget(b);
            btnMsgBox_ << b;
        }
        row->addStretch();
    });
    p.step(60, [&] {
        labelIdMsg_ = new QLabel(this);
        labelIdMsg_->setObjectName(QStringLiteral("LabelIdMsg"));
        QFont small = labelIdMsg_->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        labelIdMsg_->setFont(small);
        labelIdMsg_->setAlignment(Qt::AlignRight);
        labelIdMsg_->setEnabled(false);
        if (!labelIdMsg_->isHidden())
            labelIdMsg_->setText(QStringLiteral(" [") + QString::number(box_.id()) + QLatin1Char(']'));
    });
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addLayout(row);
    layout->addWidget(labelIdMsg_);
    p.step(70, [&] {
        // Wide enough for the title as well as for the lines and the buttons.
        labelTestLargeurTitre_->setText(windowTitle());
        const QFontMetrics fm(labelTestLargeurTitre_->font());
        setMinimumWidth(fm.horizontalAdvance(windowTitle()) + kTitleBarRoom);
    });
    p.step(80, [&] {
        const int d = box_.defaultButton();
        if (d > 0) {
            btnMsgBox_.at(d - 1)->setDefault(true);
            btnMsgBox_.at(d - 1)->setFocus();
        }
    });
}

void FrmMsgBox::place() {
    Procedure p(kModule, "ChoiceBox");
    p.step(90, [&] {
        adjustSize();
        QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize size = frameGeometry().size().isValid() ? frameGeometry().size() : this->size();
        const double x = box_.request().xPos;
        const double y = box_.request().yPos;
        const int px = x < 0 ? area.x() + (area.width() - size.width()) / 2 : pixelsDeTwips(x);
        const int py = y < 0 ? area.y() + (area.height() - size.height()) / 2 : pixelsDeTwips(y);
        move(px, py);
    });
}

void FrmMsgBox::show(ks3::ChoiceBox& box) {
    (void)box;
    build();
    place();
    Procedure p(kModule, "ChoiceBox");
    p.step(100, [&] {
        if (box_.deadline() > 0)
            timer1_->start();
        QDialog::show();
        raise();
        activateWindow();
    });
}

void FrmMsgBox::waiting(bool on) {
    AfficherMessageBoxOuInputBox(on);
}

void FrmMsgBox::closed(ks3::ChoiceBox& box) {
    (void)box;
    timer1_->stop();
    if (!inCloseEvent_)
        QDialog::hide();
    // Nobody waits for a box shown without waiting: it goes once closed.
    if (selfDelete_)
        deleteLater();
}

void FrmMsgBox::closeEvent(QCloseEvent* e) {
    Procedure p(kModule, "Form_QueryUnload");
    bool accept = true;
    inCloseEvent_ = true;
    p.step(10, [&] {
        if (box_.isOpen())
            accept = box_.pressClose();
    });
    inCloseEvent_ = false;
    if (accept)
        e->accept();
    else
        e->ignore();
}

void FrmMsgBox::reject() {
    // Escape is the close button: only a harmless caption may close the box.
    Procedure p(kModule, "Form_QueryUnload");
    p.step(10, [&] {
        if (box_.isOpen())
            box_.pressClose();
    });
}

void FrmMsgBox::keyPressEvent(QKeyEvent* e) {
    Procedure p(kModule, "Form_KeyDown");
    p.step(10, [&] { GestionClavier(*e); });
    // Enter and Escape keep their meaning in the box.
    QDialog::keyPressEvent(e);
}

void FrmMsgBox::keyReleaseEvent(QKeyEvent* e) {
    Procedure p(kModule, "Form_KeyUp");
    p.step(10, [&] { GestionClavier(*e); });
    QDialog::keyReleaseEvent(e);
}

void FrmMsgBox::enterEvent(QEnterEvent* e) {
    // The mouse over the box gives it the focus.
    activateWindow();
    QDialog::enterEvent(e);
}

} // namespace ks3
