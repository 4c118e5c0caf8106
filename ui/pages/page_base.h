#pragma once
// What every page of the page set has: its picture at the top left, a title
// bar (a rounded panel with a bold label) and the body below them, where the
// page puts its own controls. The page reset sets the page's indicators to X;
// pages with more to reset extend Limpa().

#include <QString>
#include <QWidget>

class QLabel;
class TPageHost;

// Design names and texts of a page.
struct TPageLook {
    QString pageName;    // "AdvPolyPage1"
    QString pictureName; // "meu_01_img"
    QString pictureFile; // picture drawn in it, e.g. "page_network"
    QString titleName;   // "Label3"
    QString title;       // "Configurar Rede SAT"
};

class TPageBase : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPictureSize = 48;

    TPageBase(TPageHost& host, const TPageLook& look, QWidget* parent = nullptr);

    QLabel* Picture() const { return picture_; }
    QLabel* Title() const { return title_; }
    // The page's own controls go here.
    QWidget* Body() const { return body_; }

    // The page reset: every indicator of the page reads "X" on red.
    virtual void Limpa();

protected:
    TPageHost& host_;

private:
    QLabel* picture_ = nullptr;
    QLabel* title_ = nullptr;
    QWidget* body_ = nullptr;
};
