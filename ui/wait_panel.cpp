#include "ui/wait_panel.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/design_fonts.h"
#include "ui/busy_wheel.h"

namespace {

const QColor kPanelGrey(130, 130, 130); // 8553090

QLabel* WhiteLabel(const char* objectName, const QString& text, const QFont& font,
                   QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    return label;
}

} // namespace

TWaitPanel::TWaitPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("AguardeGenPnl"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_TranslucentBackground);

    lbl_msg_1 = WhiteLabel("lbl_msg_1", QStringLiteral("Aguarde ..."), ArialFont(11, true), this);
    gen_indicador = new TBusyWheel(this);
    gen_indicador->setObjectName(QStringLiteral("gen_indicador"));
    gen_indicador->setFixedSize(kWheelSize, kWheelSize);
    gen_indicador->setEnabled(false);
    lbl_msg = WhiteLabel("lbl_msg", QStringLiteral("Efetuando comunicação com o Vexa ®"),
                         ArialFont(10, true), this);
    lbl_msg->setWordWrap(true);

    lbl_silencio = WhiteLabel("lbl_silencio", QString(), ArialFont(10, false), this);
    btnParar = new QPushButton(QStringLiteral("Parar de esperar"), this);
    btnParar->setObjectName(QStringLiteral("btnParar"));
    btnParar->setFocusPolicy(Qt::NoFocus);
    lbl_silencio->hide();
    btnParar->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->setSpacing(6);
    layout->addWidget(lbl_msg_1);
    layout->addWidget(gen_indicador, 0, Qt::AlignHCenter);
    layout->addWidget(lbl_msg, 1);
    layout->addWidget(lbl_silencio);
    layout->addWidget(btnParar, 0, Qt::AlignHCenter);
}

QString SilenceText(int seconds) {
    return QStringLiteral("O equipamento SAT não responde há %1 s.").arg(seconds);
}

void TWaitPanel::ShowSilence(int seconds) {
    lbl_silencio->setText(SilenceText(seconds));
    if (!btnParar->isVisible()) {
        setFixedSize(kWidth, kSilentHeight);
        lbl_silencio->show();
        btnParar->show();
    }
}

void TWaitPanel::HideSilence() {
    lbl_silencio->hide();
    btnParar->hide();
    setFixedSize(kWidth, kHeight);
}

void TWaitPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath panel;
    panel.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    painter.fillPath(panel, kPanelGrey);
    painter.setPen(QPen(QColor(90, 90, 90), 1.0));
    painter.drawPath(panel);
}
