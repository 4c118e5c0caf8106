#pragma once
// The small find bar of a result memo ("Localizar"): a field, "Anterior" and
// "Próximo", a note when nothing is found, and "Fechar". Enter looks for the
// next match, Shift+Enter for the previous one, Esc closes the bar.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class TMemoFindBar : public QWidget {
    Q_OBJECT

public:
    explicit TMemoFindBar(QWidget* parent = nullptr);

    QLineEdit* localizar_texto = nullptr;
    QPushButton* localizar_anterior = nullptr;
    QPushButton* localizar_proximo = nullptr;
    QLabel* localizar_aviso = nullptr;
    QPushButton* localizar_fechar = nullptr;

    // Shows whether the last search found the text.
    void ShowFound(bool found);

signals:
    void FindRequested(const QString& text, bool backward);
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Request(bool backward);
};
