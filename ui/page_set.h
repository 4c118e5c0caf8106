#pragma once
// The page set: a vertical list of group headers and page items, 307 pixels
// wide, on the left, and the selected page on the right. Headers cannot be
// selected; clicking an item shows its page, and showing a page highlights
// its item. Items carry a picture and an optional badge ("Passo 01").
//
// From the keyboard the list is one stop of the tab order: the arrows (Home,
// End) move to the previous or next item that can be chosen and show its
// page, the focus staying in the list; Enter or Space choose the shown page.
// A page chosen (by a click, by Enter or Space, or through ChoosePage) is
// announced with PageChosen, for the window to give it the keyboard.

#include <QAbstractButton>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <vector>

class QStackedWidget;
class QVBoxLayout;

// A group title of the list.
class TPagerHeader : public QWidget {
    Q_OBJECT

public:
    TPagerHeader(const QString& caption, QWidget* parent = nullptr);
    QString Caption() const { return caption_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

// A list entry that opens one page.
class TPagerItem : public QAbstractButton {
    Q_OBJECT

public:
    TPagerItem(const QString& caption, const QPixmap& picture, int pageIndex,
               QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    int PageIndex() const { return pageIndex_; }

    QString Badge() const { return badge_; }
    void SetBadge(const QString& badge);
    bool BadgeVisible() const { return badgeVisible_; }
    void SetBadgeVisible(bool visible);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap picture_;
    int pageIndex_;
    QString badge_;
    bool badgeVisible_ = false;
    bool hovered_ = false;
};

class TAdvPolyPager : public QWidget {
    Q_OBJECT

public:
    static constexpr int kListWidth = 307;
    static constexpr int kItemPictureSize = 32;

    explicit TAdvPolyPager(QWidget* parent = nullptr);

    // Pages are numbered from 0 in the order they are added.
    int AddPage(QWidget* page);
    int PageCount() const;
    QWidget* Page(int index) const;

    // Entries appear in the list in the order they are added.
    TPagerHeader* AddHeader(const QString& objectName, const QString& caption);
    TPagerItem* AddItem(const QString& objectName, const QString& caption,
                        const QString& pictureName, int pageIndex);

    int ActivePageIndex() const;
    // Shows the page and highlights its item; an index out of range does
    // nothing.
    void SetActivePageIndex(int index);
    // The item that opens the page, or nullptr.
    TPagerItem* ItemOfPage(int index) const;

    QWidget* List() const { return list_; }

    // Shows the page as the user's choice (PageChosen follows) when its item
    // is visible and enabled; false, nothing changed, otherwise.
    bool ChoosePage(int index);

signals:
    void ActivePageChanged(int index);
    // The user chose the page: it takes the keyboard.
    void PageChosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Choosable(const TPagerItem& item) const;
    // The choosable item `step` places after (before) the shown page's.
    TPagerItem* ItemBeside(int step) const;

    QWidget* list_ = nullptr;
    QVBoxLayout* listLayout_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::vector<TPagerItem*> items_;
};
