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
QLabel* AsCaption(const QLayoutItem* item) {
    auto* label = item && item->widget() ? qobject_cast<QLabel*>(item->widget()) : nullptr;
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

// A caption found for a control: the label and the name it gives.
struct Caption {
    QLabel* label = nullptr;
    QString name;
};

// The caption of control within layout (searched through nested layouts).
std::optional<Caption> CaptionIn(QLayout& layout, const QWidget& control) {
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
                if (QLabel* caption = AsCaption(grid->itemAtPosition(row, left))) {
                    return Caption{caption,
                                   CaptionName(*caption) + PlaceAmongFields(cell, control)};
                }
            }
            // A field spanning its row (a memo) has its caption above it.
            for (int left = column; left >= 0 && row > 0; --left) {
                if (QLabel* caption = AsCaption(grid->itemAtPosition(row - 1, left))) {
                    return Caption{caption, CaptionName(*caption)};
                }
            }
            if (cell->layout() != nullptr) {
                return CaptionIn(*cell->layout(), control);
            }
            return std::nullopt;
        }
        return std::nullopt;
    }
    QLabel* lastCaption = nullptr;
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (QLabel* caption = AsCaption(item)) {
            lastCaption = caption;
            continue;
        }
        if (item->widget() == &control) {
            if (lastCaption == nullptr) {
                return std::nullopt;
            }
            return Caption{lastCaption, CaptionName(*lastCaption)};
        }
        if (item->layout() != nullptr && Holds(item, control)) {
            return CaptionIn(*item->layout(), control);
        }
    }
    return std::nullopt;
}

// The caption beside control in the layouts of its parent widgets.
Caption CaptionOf(const QWidget& control) {
    for (const QWidget* parent = control.parentWidget(); parent != nullptr;
         parent = parent->parentWidget()) {
        if (QLayout* layout = parent->layout()) {
            if (std::optional<Caption> caption = CaptionIn(*layout, control)) {
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
        // Windows of their own (a drop-down list's popup) are named by Qt.
        if (!widget->accessibleName().isEmpty() || widget->window() != root.window()) {
            continue;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QString caption = button->text();
            caption.remove(QLatin1Char('&'));
            if (caption.trimmed().isEmpty()) {
                widget->setAccessibleName(button->toolTip().simplified());
            } else if (widget->accessibleDescription().isEmpty()) {
                const QString row = CaptionOf(*widget).name;
                if (!row.isEmpty() && row != caption) {
                    widget->setAccessibleDescription(row);
                }
            }
            continue;
        }
        // Parts of a composite control (a combo box's own line edit) are
        // named by their owner.
        if (!IsField(*widget) ||
            (widget->parentWidget() != nullptr && IsField(*widget->parentWidget()))) {
            continue;
        }
        const Caption caption = CaptionOf(*widget);
        // The caption also labels the field for the platform's screen
        // readers (on Linux a drop-down list is named by its value and
        // labelled through this relation). Captions hold no "&", so no
        // shortcut comes with it.
        if (caption.label != nullptr && caption.label->buddy() == nullptr) {
            caption.label->setBuddy(widget);
        }
        const QString name = caption.name.isEmpty() ? widget->toolTip().simplified() : caption.name;
        if (!name.isEmpty()) {
            widget->setAccessibleName(name);
        }
    }
}
