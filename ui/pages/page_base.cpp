#include "ui/pages/page_base.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/design_fonts.h"
#include "dialogs/pictures.h"
#include "ui/field_indicator.h"
#include "ui/pages/page_host.h"

TPageBase::TPageBase(TPageHost& host, const TPageLook& look, QWidget* parent)
    : QWidget(parent), host_(host) {
    setObjectName(look.pageName);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);

    picture_ = new QLabel(this);
    picture_->setObjectName(look.pictureName);
    picture_->setFixedSize(kPictureSize, kPictureSize);
    picture_->setPixmap(
        RenderPicture(look.pictureFile, QSize(kPictureSize, kPictureSize), devicePixelRatioF()));

    // The title bar: a rounded panel with the bold title label in it.
    auto* titleBar = new QWidget(this);
    titleBar->setObjectName(look.pageName + QStringLiteral("_title"));
    titleBar->setAttribute(Qt::WA_StyledBackground);
    titleBar->setStyleSheet(QStringLiteral("#") + titleBar->objectName() +
                            QStringLiteral(" { background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
                                           " stop:0 #1f5cc4, stop:1 #143f94);"
                                           " border-radius: 8px; }"));
    titleBar->setFixedHeight(34);
    title_ = new QLabel(look.title, titleBar);
    title_->setObjectName(look.titleName);
    title_->setTextFormat(Qt::PlainText);
    title_->setFont(ArialFont(12, true));
    title_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    auto* titleLayout = new QHBoxLayout(titleBar);
    titleLayout->setContentsMargins(14, 0, 14, 0);
    titleLayout->addWidget(title_);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(picture_);
    top->addWidget(titleBar, 1, Qt::AlignVCenter);

    body_ = new QWidget(this);
    body_->setObjectName(look.pageName + QStringLiteral("_body"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(body_, 1);
}

void TPageBase::Limpa() {
    for (TFieldIndicator* indicator : findChildren<TFieldIndicator*>()) {
        host_.SetIndicator(indicator, false);
    }
}
