#pragma once
// The result memos of the pages (memo_retorno, memo_retorno_1): read-only
// views of the operations' result texts, device logs of tens of MB among
// them. The text is held once, as the Windows-1252 bytes the core gives, with
// an index of where its lines start (4 bytes a line while the text is under
// 4 GiB); only the part of a line that is on screen is ever turned into a Qt
// string. A result is appended as one more line; its own line breaks (CR LF,
// a lone LF, a lone CR) start further lines.
// Long lines wrap at the viewport's width, after the last blank before the
// edge or else at the edge, so a signed document of several KB reads without
// scrolling sideways. The font has a fixed pitch, so a visual row is a count
// of characters; the rows are laid out again only when the width changes or
// text is appended.
//
// Beyond showing it: selection by mouse and keys, "Copiar", "Selecionar
// tudo", "Localizar" (Ctrl+F, a find bar under the text) and "Salvar
// como..." (Ctrl+S), all in the context menu too.

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sat/base64_field.h"
#include "ui/offset_list.h"

class QAction;
class TMemoFindBar;

class TResultMemo : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TResultMemo(QWidget* parent = nullptr);

    // Appends the Windows-1252 text as one more line; an empty memo takes it
    // as its first. Given a text to keep, an empty memo keeps that very
    // text, without a copy.
    void AppendText(std::string_view cp1252Text);
    void AppendText(std::string&& cp1252Text);
    // The same for a result that holds a device log where payload says
    // (AppendBase64Payload's note about cp1252Text): "Salvar como..." then
    // writes the log exactly as the device sent it.
    void AppendLog(std::string_view cp1252Text, const Base64Payload& payload);
    void AppendLog(std::string&& cp1252Text, const Base64Payload& payload);
    // Empties the memo and gives its memory back.
    void clear();
    // The memo holding text alone, as if appended to an empty memo.
    void setPlainText(const QString& text);

    // The whole text, every line end as "\n".
    QString toPlainText() const;
    int LineCount() const;
    // Visual rows the text takes at the current width, and the characters
    // one row holds.
    int RowCount() const;
    int Columns() const { return static_cast<int>(columns_); }
    // Where the text cursor (the moving end of the selection) is drawn, in
    // viewport coordinates.
    QRect cursorRect() const;
    QString SelectedText() const;
    void selectAll();
    // The selection to the clipboard.
    void copy() const;

    // Looks for text without regard to case (accented capitals included)
    // after the selection, or before it when backward, going round the end;
    // selects the match and scrolls to it. False when there is none.
    bool Find(const QString& text, bool backward = false);
    void ShowFindBar();
    TMemoFindBar* FindBar() const { return findBar_; }

    // "Salvar como...": the save dialog, then SaveTo. False when cancelled
    // or not written.
    bool SaveAs();
    // Writes the memo's text as UTF-8, or its log exactly as the device sent
    // it, to fileName. When the file cannot be written the user is told (an
    // "[e]" message through the message function) and the result is false.
    bool SaveTo(const QString& fileName);
    // Where the memo's messages go: a Windows-1252 text with its marker.
    void SetMessageFunction(std::function<void(const std::string&)> show);

    // Memory the memo holds for its text and line index.
    std::size_t HeldBytes() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Where a device log lies in text_.
    struct Log {
        Base64Payload payload; // begin is the offset in text_
    };
    // One visual row: text_[begin, next) within its line, which ends at
    // lineEnd. next is where the following row of the line starts (blanks
    // at a wrap hang past the edge in this row); next == lineEnd on the
    // line's last row.
    struct Row {
        std::size_t line;
        std::size_t begin;
        std::size_t next;
        std::size_t lineEnd;
        bool IsLast() const { return next == lineEnd; }
        // The last place a cursor can stand on the row: a cursor at next
        // belongs to the following row.
        std::size_t CursorEnd() const { return IsLast() ? lineEnd : next - 1; }
    };

    void ReserveLines(const Base64Payload& payload);
    std::size_t StartAppendedLine();
    void IndexAppended(std::size_t offset, std::size_t firstChanged);
    std::size_t LineOf(std::size_t position) const;
    std::size_t LineBegin(std::size_t line) const { return lineStarts_[line]; }
    std::size_t LineEnd(std::size_t line) const;
    std::size_t SelectionBegin() const { return std::min(anchor_, cursor_); }
    std::size_t SelectionEnd() const { return std::max(anchor_, cursor_); }
    QString Characters(std::size_t begin, std::size_t end) const;
    std::size_t RowBreak(std::size_t begin, std::size_t lineEnd) const;
    void LayOutRows(std::size_t fromLine);
    Row RowAt(std::size_t row) const;
    std::optional<Row> RowAfter(const Row& row) const;
    std::size_t RowOf(std::size_t position) const;
    std::size_t PositionAt(const QPoint& point) const;
    void MoveCursor(std::size_t position, bool keepAnchor);
    void DragSelectionTo(const QPoint& point);
    void EnsureVisible(std::size_t position);
    void UpdateGeometry();
    void PlaceFindBar();
    int VisibleLines() const;
    std::size_t FittingColumns() const;
    qreal CharacterWidth() const;

    // Every kRowsPerMark-th row's start is kept, so a line of many rows is
    // walked from the nearest mark rather than from its start.
    static constexpr std::size_t kRowsPerMark = 256;
    // How often a selection held above or below the text scrolls on.
    static constexpr int kDragScrollInterval = 50;

    std::string text_;
    TOffsetList lineStarts_{0};
    // firstRows_[line] is the line's first visual row; one more entry holds
    // the row count.
    TOffsetList firstRows_{0, 1};
    // rowMarks_[k] is where row k * kRowsPerMark starts.
    TOffsetList rowMarks_{0};
    std::size_t columns_ = 1; // characters per row the rows were laid out for
    std::size_t anchor_ = 0;
    std::size_t cursor_ = 0;
    std::optional<Log> log_;
    // A selection dragged with the left button, and where the mouse is.
    bool selecting_ = false;
    QPoint dragPoint_;
    QBasicTimer dragScroll_;
    std::function<void(const std::string&)> showMessage_;
    TMemoFindBar* findBar_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* selectAllAction_ = nullptr;
    QAction* findAction_ = nullptr;
    QAction* saveAction_ = nullptr;
};

// The memo's look and place in a page: read-only text in Courier New 9,
// wrapped, with a vertical scroll bar always shown.
TResultMemo* PageResultMemo(const char* objectName, QWidget* parent);
