#include "ui/page_set.h"

#include <QEnterEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstddef>

#include "dialogs/design_fonts.h"
#include "dialogs/pictures.h"

namespace {

constexpr int kHeaderHeight = 30;
constexpr int kItemHeight = 46;
const QColor kDarkBlue(20, 63, 148);
const QColor kBlue(31, 92, 196);
const QColor kPaleBlue(225, 235, 250);

} // namespace

// ---------------------------------------------------------------- header

TPagerHeader::TPagerHeader(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    setFont(ArialFont(9, true));
    setFixedHeight(kHeaderHeight);
}

QSize TPagerHeader::sizeHint() const {
    return {TAdvPolyPager::kListWidth, kHeaderHeight};
}

void TPagerHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient band(0, 0, 0, height());
    band.setColorAt(0.0, kBlue);
    band.setColorAt(1.0, kDarkBlue);
    painter.fillRect(rect(), band);
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(12, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, caption_);
}

// ---------------------------------------------------------------- item

TPagerItem::TPagerItem(const QString& caption, const QPixmap& picture, int pageIndex,
                       QWidget* parent)
    : QAbstractButton(parent), picture_(picture), pageIndex_(pageIndex) {
    setText(caption);
    setCheckable(true);
    setAutoExclusive(false);
    setCursor(Qt::PointingHandCursor);
    // A click does not take the focus; the keyboard works the list as a
    // whole (TAdvPolyPager).
    setFocusPolicy(Qt::NoFocus);
    setFont(ArialFont(9, true));
    setFixedHeight(kItemHeight);
}

void TPagerItem::SetBadge(const QString& badge) {
    badge_ = badge;
    update();
}

void TPagerItem::SetBadgeVisible(bool visible) {
    badgeVisible_ = visible;
    update();
}

QSize TPagerItem::sizeHint() const {
    return {TAdvPolyPager::kListWidth, kItemHeight};
}

void TPagerItem::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    hovered_ = true;
    update();
}

void TPagerItem::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    hovered_ = false;
    update();
}

void TPagerItem::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = rect();
    if (isChecked()) {
        QLinearGradient glow(0, 0, width(), 0);
        glow.setColorAt(0.0, QColor(61, 123, 224));
        glow.setColorAt(1.0, kBlue);
        painter.fillRect(area, glow);
    } else if (hovered_ && isEnabled()) {
        painter.fillRect(area, kPaleBlue);
    }
    // Separator line between items.
    painter.setPen(QColor(210, 220, 235));
    painter.drawLine(area.bottomLeft(), area.bottomRight());

    const int pictureTop = (height() - TAdvPolyPager::kItemPictureSize) / 2;
    if (!picture_.isNull()) {
        painter.setOpacity(isEnabled() ? 1.0 : 0.4);
        painter.drawPixmap(
            QRect(12, pictureTop, TAdvPolyPager::kItemPictureSize, TAdvPolyPager::kItemPictureSize),
            picture_);
        painter.setOpacity(1.0);
    }

    int textRight = width() - 10;
    if (badgeVisible_ && !badge_.isEmpty()) {
        const QFont badgeFont = ArialFont(7, true);
        const QFontMetrics metrics(badgeFont);
        const int badgeWidth = metrics.horizontalAdvance(badge_) + 14;
        const QRectF pill(width() - badgeWidth - 10, (height() - 18) / 2.0, badgeWidth, 18);
        QPainterPath path;
        path.addRoundedRect(pill, 9, 9);
        painter.fillPath(path, isChecked() ? QColor(255, 255, 255) : QColor(232, 120, 20));
        painter.setFont(badgeFont);
        painter.setPen(isChecked() ? kBlue : QColor(255, 255, 255));
        painter.drawText(pill, Qt::AlignCenter, badge_);
        textRight = static_cast<int>(pill.left()) - 6;
    }

    painter.setFont(font());
    QColor textColour = isChecked() ? QColor(255, 255, 255) : kDarkBlue;
    if (!isEnabled()) {
        textColour = QColor(160, 160, 160);
    }
    painter.setPen(textColour);
    const int textLeft = 12 + TAdvPolyPager::kItemPictureSize + 10;
    painter.drawText(QRect(textLeft, 0, textRight - textLeft, height()),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text());

    // The keyboard is in the list: its shown item says so.
    if (isChecked() && parentWidget() != nullptr && parentWidget()->hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(QColor(240, 176, 0), 2, Qt::DotLine));
        painter.drawRect(area.adjusted(2, 2, -3, -3));
    }
}

// ---------------------------------------------------------------- pager

TAdvPolyPager::TAdvPolyPager(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    list_ = new QWidget(this);
    list_->setObjectName(QStringLiteral("AdvPolyPager1_list"));
    list_->setFixedWidth(kListWidth);
    list_->setAutoFillBackground(true);
    QPalette listPalette = list_->palette();
    listPalette.setColor(QPalette::Window, QColor(244, 247, 252));
    list_->setPalette(listPalette);
    list_->setFocusPolicy(Qt::TabFocus);
    list_->setAccessibleName(QStringLiteral("Lista de páginas"));
    list_->installEventFilter(this);
    listLayout_ = new QVBoxLayout(list_);
    listLayout_->setContentsMargins(0, 0, 1, 0);
    listLayout_->setSpacing(0);
    listLayout_->addStretch(1);

    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("AdvPolyPager1_pages"));

    layout->addWidget(list_);
    layout->addWidget(pages_, 1);
}

int TAdvPolyPager::AddPage(QWidget* page) {
    return pages_->addWidget(page);
}

int TAdvPolyPager::PageCount() const {
    return pages_->count();
}

QWidget* TAdvPolyPager::Page(int index) const {
    return pages_->widget(index);
}

TPagerHeader* TAdvPolyPager::AddHeader(const QString& objectName, const QString& caption) {
    auto* header = new TPagerHeader(caption, list_);
    header->setObjectName(objectName);
    listLayout_->insertWidget(listLayout_->count() - 1, header);
    return header;
}

TPagerItem* TAdvPolyPager::AddItem(const QString& objectName, const QString& caption,
                                   const QString& pictureName, int pageIndex) {
    const QPixmap picture =
        RenderPicture(pictureName, QSize(kItemPictureSize, kItemPictureSize), devicePixelRatioF());
    auto* item = new TPagerItem(caption, picture, pageIndex, list_);
    item->setObjectName(objectName);
    listLayout_->insertWidget(listLayout_->count() - 1, item);
    items_.push_back(item);
    connect(item, &QAbstractButton::clicked, this, [this, item] {
        SetActivePageIndex(item->PageIndex());
        // A click on the shown page's item keeps it highlighted.
        item->setChecked(ActivePageIndex() == item->PageIndex());
        emit PageChosen(item->PageIndex());
    });
    item->setChecked(pageIndex == ActivePageIndex());
    return item;
}

int TAdvPolyPager::ActivePageIndex() const {
    return pages_->currentIndex();
}

void TAdvPolyPager::SetActivePageIndex(int index) {
    if (index < 0 || index >= pages_->count()) {
        return;
    }
    const bool changed = index != pages_->currentIndex();
    pages_->setCurrentIndex(index);
    for (TPagerItem* item : items_) {
        item->setChecked(item->PageIndex() == index);
    }
    if (changed) {
        emit ActivePageChanged(index);
    }
}

TPagerItem* TAdvPolyPager::ItemOfPage(int index) const {
    for (TPagerItem* item : items_) {
        if (item->PageIndex() == index) {
            return item;
        }
    }
    return nullptr;
}

bool TAdvPolyPager::Choosable(const TPagerItem& item) const {
    return item.isVisibleTo(list_) && item.isEnabled();
}

bool TAdvPolyPager::ChoosePage(int index) {
    TPagerItem* item = ItemOfPage(index);
    if (item == nullptr || !Choosable(*item)) {
        return false;
    }
    SetActivePageIndex(index);
    emit PageChosen(index);
    return true;
}

TPagerItem* TAdvPolyPager::ItemBeside(int step) const {
    const auto shown = std::find_if(items_.begin(), items_.end(), [this](TPagerItem* item) {
        return item->PageIndex() == ActivePageIndex();
    });
    if (shown == items_.end()) {
        return nullptr;
    }
    auto at = static_cast<std::ptrdiff_t>(shown - items_.begin());
    for (at += step; at >= 0 && at < static_cast<std::ptrdiff_t>(items_.size()); at += step) {
        TPagerItem* item = items_[static_cast<std::size_t>(at)];
        if (Choosable(*item)) {
            return item;
        }
    }
    return nullptr;
}

bool TAdvPolyPager::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (TPagerItem* item : items_) {
            item->update();
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    TPagerItem* target = nullptr;
    switch (key->key()) {
    case Qt::Key_Up:
        target = ItemBeside(-1);
        break;
    case Qt::Key_Down:
        target = ItemBeside(1);
        break;
    case Qt::Key_Home:
    case Qt::Key_End: {
        const auto choosable = [this](TPagerItem* item) { return Choosable(*item); };
        if (key->key() == Qt::Key_Home) {
            const auto first = std::find_if(items_.begin(), items_.end(), choosable);
            target = first == items_.end() ? nullptr : *first;
        } else {
            const auto last = std::find_if(items_.rbegin(), items_.rend(), choosable);
            target = last == items_.rend() ? nullptr : *last;
        }
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        ChoosePage(ActivePageIndex());
        return true;
    default:
        return false;
    }
    if (target != nullptr) {
        SetActivePageIndex(target->PageIndex());
    }
    return true;
}
