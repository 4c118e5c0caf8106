#include "ui/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <optional>

namespace {

// A caption as a name: without the availability mark "* " before it and the
// ":" after it.
QString CaptionName(const QLabel& label) {
    QString text = label.text().simplified();
    if (text.startsWith(QStringLiteral("* "))) {
        text.remove(0, 2);
    }
    while (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
    }
    return text.trimmed();
}

// A caption label: text, and not a picture or a value shown by a program.
const QLabel* AsCaption(const QLayoutItem* item) {
    const auto* label = item && item->widget() ? qobject_cast<const QLabel*>(item->widget())
                                               : nullptr;
    return label && !label->text().trimmed().isEmpty() ? label : nullptr;
}

bool Holds(QLayoutItem* item, const QWidget& control) {
    if (item->widget() == &control) {
        return true;
    }
    if (QLayout* inner = item->layout()) {
        for (int i = 0; i < inner->count(); ++i) {
            if (Holds(inner->itemAt(i), control)) {
                return true;
            }
        }
    }
    return false;
}

// The control's place among the fields of a box layout that shares one
// caption: "2 de 4"; empty when it stands alone.
QString PlaceAmongFields(QLayoutItem* cell, const QWidget& control) {
    QLayout* box = cell->layout();
    if (box == nullptr) {
        return {};
    }
    int fields = 0;
    int place = 0;
    for (int i = 0; i < box->count(); ++i) {
        QWidget* widget = box->itemAt(i)->widget();
        if (widget == nullptr || qobject_cast<QLabel*>(widget) != nullptr) {
            continue;
        }
        ++fields;
        if (widget == &control) {
            place = fields;
        }
    }
    if (fields < 2 || place == 0) {
        return {};
    }
    return QStringLiteral(" %1 de %2").arg(place).arg(fields);
}

// The caption of control within layout (searched through nested layouts).
std::optional<QString> CaptionIn(QLayout& layout, const QWidget& control) {
    if (auto* grid = qobject_cast<QGridLayout*>(&layout)) {
        for (int i = 0; i < grid->count(); ++i) {
            QLayoutItem* cell = grid->itemAt(i);
            if (!Holds(cell, control)) {
                continue;
            }
            int row = 0;
            int column = 0;
            int rowSpan = 0;
            int columnSpan = 0;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            for (int left = column - 1; left >= 0; --left) {
                if (const QLabel* caption = AsCaption(grid->itemAtPosition(row, left))) {
                    return CaptionName(*caption) + PlaceAmongFields(cell, control);
                }
            }
            if (cell->layout() != nullptr) {
                return CaptionIn(*cell->layout(), control);
            }
            return std::nullopt;
        }
        return std::nullopt;
    }
    const QLabel* lastCaption = nullptr;
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (const QLabel* caption = AsCaption(item)) {
            lastCaption = caption;
            continue;
        }
        if (item->widget() == &control) {
            if (lastCaption == nullptr) {
                return std::nullopt;
            }
            return CaptionName(*lastCaption);
        }
        if (item->layout() != nullptr && Holds(item, control)) {
            return CaptionIn(*item->layout(), control);
        }
    }
    return std::nullopt;
}

// The caption beside control in the layouts of its parent widgets.
QString CaptionOf(const QWidget& control) {
    for (const QWidget* parent = control.parentWidget(); parent != nullptr;
         parent = parent->parentWidget()) {
        if (QLayout* layout = parent->layout()) {
            if (std::optional<QString> caption = CaptionIn(*layout, control)) {
                return *caption;
            }
        }
    }
    return {};
}

bool IsField(const QWidget& widget) {
    return qobject_cast<const QLineEdit*>(&widget) != nullptr ||
           qobject_cast<const QComboBox*>(&widget) != nullptr ||
           qobject_cast<const QAbstractScrollArea*>(&widget) != nullptr;
}

} // namespace

void NameControlsFromCaptions(QWidget& root) {
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (!widget->accessibleName().isEmpty()) {
            continue;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QString caption = button->text();
            caption.remove(QLatin1Char('&'));
            if (caption.trimmed().isEmpty()) {
                widget->setAccessibleName(button->toolTip().simplified());
            } else if (widget->accessibleDescription().isEmpty()) {
                const QString row = CaptionOf(*widget);
                if (!row.isEmpty() && row != caption) {
                    widget->setAccessibleDescription(row);
                }
            }
            continue;
        }
        // Parts of a composite control (a combo box's own line edit) are
        // named by their owner.
        if (!IsField(*widget) || (widget->parentWidget() != nullptr &&
                                  IsField(*widget->parentWidget()))) {
            continue;
        }
        QString name = CaptionOf(*widget);
        if (name.isEmpty()) {
            name = widget->toolTip().simplified();
        }
        if (!name.isEmpty()) {
            widget->setAccessibleName(name);
        }
    }
}
