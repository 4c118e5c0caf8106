#include "ui/input_box.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QWidget>

#include <utility>

namespace {

// The answer scripted for the next InputBox(): a text, or the empty optional
// inside for a cancel.
std::optional<std::optional<QString>>& NextAnswer() {
    static std::optional<std::optional<QString>> answer;
    return answer;
}

InputBoxRequest& LastRequest() {
    static InputBoxRequest request;
    return request;
}

} // namespace

std::optional<QString> InputBox(QWidget* owner, const QString& caption, const QString& prompt,
                                const QString& initial) {
    LastRequest() = {caption, prompt, initial};
    if (std::optional<std::optional<QString>> answer = std::exchange(NextAnswer(), std::nullopt)) {
        return *answer;
    }

    QInputDialog box(owner);
    box.setObjectName(QStringLiteral("InputBox"));
    box.setInputMode(QInputDialog::TextInput);
    box.setTextEchoMode(QLineEdit::Normal);
    box.setWindowTitle(caption);
    box.setLabelText(prompt);
    box.setTextValue(initial);
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("Cancelar"));
    // Wide enough for an access key ("CFe" and 44 digits) to show whole.
    if (auto* field = box.findChild<QLineEdit*>()) {
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(48, u'0')));
    }
    if (box.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return box.textValue();
}

void SetNextInputBoxAnswer(const QString& answer) {
    NextAnswer() = std::optional<QString>(answer);
}

void SetNextInputBoxCancel() {
    NextAnswer() = std::optional<QString>();
}

InputBoxRequest LastInputBoxRequest() {
    return LastRequest();
}
