#include "dialogs/message_markers.h"

#include <initializer_list>

namespace {

const QString kAccentedLower = QStringLiteral("çáéíóúãõàèìòùâêîôû");

QChar UpperCaseChar(QChar c) {
    if ((c >= u'a' && c <= u'z') || kAccentedLower.contains(c)) {
        return QChar(static_cast<char16_t>(c.unicode() - 32));
    }
    return c;
}

bool ContainsAny(const QString& upper, std::initializer_list<const char16_t*> markers) {
    for (const char16_t* marker : markers) {
        if (upper.contains(QStringView(marker))) {
            return true;
        }
    }
    return false;
}

// Step one: title and icon, first matching row wins. "[YNE]" shares the
// confirmation row with its sibling "[SNA]": both ask Sim/Não/Editar.
void ChooseTitle(MessageLook& look) {
    const QString upper = MessageUpperCase(look.text);
    if (upper.contains(u"[I]")) {
        look.title = QStringLiteral("Informação ao usuário");
        look.icon = MessageIcon::Information;
        look.text = RemoveMarker(look.text, QStringLiteral("[I]"));
    } else if (ContainsAny(upper,
                           {u"[C]", u"[SN]", u"[YN]", u"[SNC]", u"[YNC]", u"[SNA]", u"[YNE]"})) {
        look.title = QStringLiteral("Confirmação de Procedimento");
        look.icon = MessageIcon::Confirmation;
        look.text = RemoveMarker(look.text, QStringLiteral("[C]"));
    } else if (upper.contains(u"[E]")) {
        look.title = QStringLiteral("Erro de Procedimento");
        look.icon = MessageIcon::Error;
        look.text = RemoveMarker(look.text, QStringLiteral("[E]"));
    } else if (upper.contains(u"[P]")) {
        look.title = QStringLiteral("Selecione a opção desejada");
        look.icon = MessageIcon::Choice;
    } else if (upper.contains(u"[W]")) {
        look.title = QStringLiteral("Alerta ao Usuário");
        look.icon = MessageIcon::Warning;
        look.text = RemoveMarker(look.text, QStringLiteral("[W]"));
    } else {
        look.title = QStringLiteral("Mensagem ao Usuário");
        look.icon = MessageIcon::None;
    }
}

QString RemoveMarkers(QString text, std::initializer_list<const char16_t*> markers) {
    for (const char16_t* marker : markers) {
        text = RemoveMarker(text, QString::fromUtf16(marker));
    }
    return text;
}

// Step two: the buttons, read on the text that step one left.
void ChooseButtons(MessageLook& look) {
    const QString upper = MessageUpperCase(look.text);
    if (ContainsAny(upper, {u"[SN]", u"[YN]"})) {
        look.buttons = MessageButtons::YesNo;
        look.text = RemoveMarkers(look.text, {u"[SN]", u"[YN]"});
    } else if (upper.contains(u"[P]")) {
        look.buttons = MessageButtons::ViewPrintCancel;
        look.focus = MessageFocus::View;
        look.text = RemoveMarkers(look.text, {u"[P]"});
    } else if (ContainsAny(upper, {u"[SNC]", u"[YNC]"})) {
        look.buttons = MessageButtons::YesNoCancel;
        look.focus = MessageFocus::Yes;
        look.text = RemoveMarkers(look.text, {u"[SNC]", u"[YNC]"});
    } else if (ContainsAny(upper, {u"[SNA]", u"[YNE]"})) {
        look.buttons = MessageButtons::YesNoEdit;
        look.focus = MessageFocus::Yes;
        look.text = RemoveMarkers(look.text, {u"[SNA]", u"[YNE]"});
    } else {
        look.buttons = MessageButtons::Ok;
    }
}

} // namespace

QString MessageUpperCase(const QString& text) {
    QString upper = text;
    for (QChar& c : upper) {
        c = UpperCaseChar(c);
    }
    return upper;
}

QString RemoveMarker(const QString& text, const QString& marker) {
    if (marker.isEmpty()) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    const QString upper = MessageUpperCase(text);
    qsizetype i = 0;
    while (i < text.size()) {
        if (QStringView(upper).sliced(i).startsWith(marker)) {
            i += marker.size();
        } else {
            out.append(text.at(i));
            ++i;
        }
    }
    return out;
}

MessageLook ResolveMessageMarkers(const QString& text) {
    MessageLook look;
    look.text = text;
    ChooseTitle(look);
    ChooseButtons(look);
    return look;
}
