#include "ui/result_memo.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QTimerEvent>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "dialogs/ansi_text.h"
#include "dialogs/design_fonts.h"
#include "rules/byte_blocks.h"
#include "rules/byte_words.h"
#include "rules/cp1252.h"
#include "ui/memo_find_bar.h"
#include "ui/open_dialog.h"

namespace {

// The UTF-16 character of every Windows-1252 byte, taken once from the
// program's one codec so both conversions always agree.
const std::array<char16_t, 256>& Cp1252Characters() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> characters{};
        for (int byte = 0; byte < 256; ++byte) {
            const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
            const QString character =
                QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
            characters[static_cast<std::size_t>(byte)] =
                character.size() == 1 ? character.front().unicode() : u'?';
        }
        return characters;
    }();
    return table;
}

// Every byte's capital (Cp1252UpperCase), for searches without regard to case.
const std::array<unsigned char, 256>& FoldedBytes() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> folded{};
        for (int byte = 0; byte < 256; ++byte) {
            folded[static_cast<std::size_t>(byte)] =
                static_cast<unsigned char>(Cp1252UpperCase(static_cast<char>(byte)));
        }
        return folded;
    }();
    return table;
}

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The first CR or LF of text[from, size), or size: sixteen or eight bytes at a time,
// as a log of tens of MB has a line end only every hundred bytes or so.
std::size_t NextLineEnd(const char* text, std::size_t from, std::size_t size) {
    std::size_t i = from + byte_blocks::FindEither(text + from, size - from, '\r', '\n');
    for (; size - i >= 8; i += 8) {
        const std::uint64_t word = byte_words::Load(text + i);
        const std::uint64_t ends =
            byte_words::MarkEqualBytes(word, '\r') | byte_words::MarkEqualBytes(word, '\n');
        if (ends != 0) {
            return i + byte_words::FirstMarkedByte(ends);
        }
    }
    while (i < size && !IsLineEnd(text[i])) {
        ++i;
    }
    return i;
}

// Where a row may wrap: after a blank.
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Letters (accented ones too), digits and "_": what a double click selects.
bool IsWordByte(unsigned char c) {
    return c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

// The first match of needle (already folded) in text[from, to), or npos.
std::size_t FindFolded(std::string_view text, std::string_view needle, std::size_t from,
                       std::size_t to) {
    const std::array<unsigned char, 256>& folded = FoldedBytes();
    if (needle.empty() || to < needle.size()) {
        return std::string_view::npos;
    }
    const auto first = static_cast<unsigned char>(needle[0]);
    const std::size_t last = to - needle.size();
    for (std::size_t i = from; i <= last && i < text.size(); ++i) {
        if (folded[static_cast<unsigned char>(text[i])] != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < needle.size() && folded[static_cast<unsigned char>(text[i + k])] ==
                                        static_cast<unsigned char>(needle[k])) {
            ++k;
        }
        if (k == needle.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

// The last match of needle (folded) starting in [from, to), or npos.
std::size_t FindFoldedBackward(std::string_view text, std::string_view needle, std::size_t from,
                               std::size_t to) {
    std::size_t found = std::string_view::npos;
    // Forward runs from each match on: simple, and fast enough for a search
    // a person starts.
    for (std::size_t at = FindFolded(text, needle, from, text.size());
         at != std::string_view::npos && at < to;
         at = FindFolded(text, needle, at + 1, text.size())) {
        found = at;
    }
    return found;
}

constexpr int kTextMargin = 3;

} // namespace

TResultMemo::TResultMemo(QWidget* parent)
    : QAbstractScrollArea(parent), findBar_(new TMemoFindBar(this)) {
    findBar_->hide();
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundRole(QPalette::Base);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);

    connect(
        findBar_, &TMemoFindBar::FindRequested, this,
        [this](const QString& text, bool backward) { findBar_->ShowFound(Find(text, backward)); });
    connect(findBar_, &TMemoFindBar::Closed, this, [this] {
        findBar_->hide();
        UpdateGeometry();
        setFocus(Qt::OtherFocusReason);
    });

    const auto makeAction = [this](const QString& text, QKeySequence::StandardKey key,
                                   auto handler) {
        auto* action = new QAction(text, this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, handler);
        QWidget::addAction(action);
        return action;
    };
    copyAction_ = makeAction(QStringLiteral("Copiar"), QKeySequence::Copy, [this] { copy(); });
    selectAllAction_ = makeAction(QStringLiteral("Selecionar tudo"), QKeySequence::SelectAll,
                                  [this] { selectAll(); });
    findAction_ =
        makeAction(QStringLiteral("Localizar..."), QKeySequence::Find, [this] { ShowFindBar(); });
    saveAction_ =
        makeAction(QStringLiteral("Salvar como..."), QKeySequence::Save, [this] { SaveAs(); });
    UpdateGeometry();
}

// ---------------------------------------------------------------- the text

void TResultMemo::AppendText(std::string_view cp1252Text) {
    const std::size_t firstChanged = lineStarts_.size() - 1;
    const bool first = text_.empty();
    text_.reserve(text_.size() + (first ? 0 : 2) + cp1252Text.size());
    const std::size_t offset = StartAppendedLine();
    text_.append(cp1252Text);
    IndexAppended(offset, firstChanged);
}

void TResultMemo::AppendText(std::string&& cp1252Text) {
    if (!text_.empty()) {
        AppendText(std::string_view(cp1252Text));
        return;
    }
    // An empty memo takes the text itself: a log of tens of MB is not copied.
    text_ = std::move(cp1252Text);
    IndexAppended(0, 0);
}

// The line break before a line appended to a memo that holds text; where the
// appended text starts.
std::size_t TResultMemo::StartAppendedLine() {
    if (!text_.empty()) {
        text_.append("\r\n");
        lineStarts_.push_back(text_.size());
    }
    return text_.size();
}

// Indexes the lines of text_ from offset on and lays out their rows, from
// the line firstChanged on (the last line before the append, whose rows may
// change: an empty memo's line receives the text).
void TResultMemo::IndexAppended(std::size_t offset, std::size_t firstChanged) {
    const std::size_t size = text_.size();
    const char* text = text_.data();
    for (std::size_t i = NextLineEnd(text, offset, size); i < size;
         i = NextLineEnd(text, i + 1, size)) {
        if (text[i] == '\r' && i + 1 < size && text[i + 1] == '\n') {
            ++i;
        }
        lineStarts_.push_back(i + 1);
    }
    LayOutRows(firstChanged);
    UpdateGeometry();
    viewport()->update();
}

// The index takes a line for every LF of the log at once, rather than
// growing (and moving) step by step through hundreds of thousands.
void TResultMemo::ReserveLines(const Base64Payload& payload) {
    lineStarts_.reserve(lineStarts_.size() + 1 + payload.lineFeeds);
}

void TResultMemo::AppendLog(std::string_view cp1252Text, const Base64Payload& payload) {
    const std::size_t offset = text_.empty() ? 0 : text_.size() + 2;
    ReserveLines(payload);
    AppendText(cp1252Text);
    log_ = Log{payload};
    log_->payload.begin += offset;
}

void TResultMemo::AppendLog(std::string&& cp1252Text, const Base64Payload& payload) {
    const std::size_t offset = text_.empty() ? 0 : text_.size() + 2;
    ReserveLines(payload);
    AppendText(std::move(cp1252Text));
    log_ = Log{payload};
    log_->payload.begin += offset;
}

void TResultMemo::clear() {
    std::string().swap(text_);
    lineStarts_.Assign({0});
    firstRows_.Assign({0, 1});
    rowMarks_.Assign({0});
    anchor_ = cursor_ = 0;
    log_.reset();
    verticalScrollBar()->setValue(0);
    UpdateGeometry();
    viewport()->update();
}

void TResultMemo::setPlainText(const QString& text) {
    clear();
    AppendText(QStringToAnsi(text));
}

std::size_t TResultMemo::LineEnd(std::size_t line) const {
    if (line + 1 >= lineStarts_.size()) {
        return text_.size();
    }
    const std::size_t next = lineStarts_[line + 1];
    const bool crLf =
        next >= lineStarts_[line] + 2 && text_[next - 1] == '\n' && text_[next - 2] == '\r';
    return next - (crLf ? 2 : 1);
}

std::size_t TResultMemo::LineOf(std::size_t position) const {
    return lineStarts_.LastNotAbove(position);
}

QString TResultMemo::Characters(std::size_t begin, std::size_t end) const {
    const std::array<char16_t, 256>& characters = Cp1252Characters();
    QString text(static_cast<qsizetype>(end - begin), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (std::size_t i = begin; i < end; ++i) {
        const char c = text_[i];
        if (c == '\r') {
            // A CR LF is one line end.
            if (i + 1 < end && text_[i + 1] == '\n') {
                ++i;
            }
            *out++ = u'\n';
        } else {
            *out++ = c == '\n' ? u'\n' : characters[static_cast<unsigned char>(c)];
        }
    }
    text.truncate(out - reinterpret_cast<char16_t*>(text.data()));
    return text;
}

QString TResultMemo::toPlainText() const {
    return Characters(0, text_.size());
}

int TResultMemo::LineCount() const {
    return static_cast<int>(lineStarts_.size());
}

int TResultMemo::RowCount() const {
    return static_cast<int>(firstRows_.back());
}

QString TResultMemo::SelectedText() const {
    return Characters(SelectionBegin(), SelectionEnd());
}

void TResultMemo::selectAll() {
    anchor_ = 0;
    cursor_ = text_.size();
    viewport()->update();
}

void TResultMemo::copy() const {
    if (SelectionBegin() != SelectionEnd()) {
        QApplication::clipboard()->setText(SelectedText());
    }
}

std::size_t TResultMemo::HeldBytes() const {
    return text_.capacity() + lineStarts_.HeldBytes() + firstRows_.HeldBytes() +
           rowMarks_.HeldBytes() + (log_ ? log_->payload.deviceBytes.capacity() : 0);
}

// ---------------------------------------------------------------- find

bool TResultMemo::Find(const QString& text, bool backward) {
    std::string needle = QStringToAnsi(text);
    const std::array<unsigned char, 256>& folded = FoldedBytes();
    for (char& c : needle) {
        c = static_cast<char>(folded[static_cast<unsigned char>(c)]);
    }
    std::size_t found = std::string_view::npos;
    if (!backward) {
        found = FindFolded(text_, needle, SelectionEnd(), text_.size());
        if (found == std::string_view::npos) {
            found = FindFolded(text_, needle, 0, text_.size());
        }
    } else {
        found = FindFoldedBackward(text_, needle, 0, SelectionBegin());
        if (found == std::string_view::npos) {
            found = FindFoldedBackward(text_, needle, SelectionBegin(), text_.size());
        }
    }
    if (found == std::string_view::npos) {
        // No match: the earlier one must not stay highlighted as if it were.
        anchor_ = cursor_;
        viewport()->update();
        return false;
    }
    anchor_ = found;
    cursor_ = found + needle.size();
    EnsureVisible(anchor_);
    viewport()->update();
    return true;
}

void TResultMemo::ShowFindBar() {
    findBar_->show();
    UpdateGeometry();
    if (SelectionBegin() != SelectionEnd() && LineOf(SelectionBegin()) == LineOf(SelectionEnd())) {
        findBar_->localizar_texto->setText(SelectedText());
    }
    findBar_->localizar_texto->selectAll();
    findBar_->localizar_texto->setFocus(Qt::ShortcutFocusReason);
}

// ---------------------------------------------------------------- save

bool TResultMemo::SaveAs() {
    TSaveDialog dialog(window());
    dialog.Filter = QStringLiteral("Arquivos de texto (*.txt)|*.txt|Todos os arquivos (*)|*");
    dialog.FileName = log_ ? QStringLiteral("logs_sat.txt") : QStringLiteral("retorno_sat.txt");
    return dialog.Execute() && SaveTo(dialog.FileName);
}

bool TResultMemo::SaveTo(const QString& fileName) {
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly);
    const auto write = [&file, &written](std::string_view piece) {
        written = written && file.write(piece.data(), static_cast<qint64>(piece.size())) ==
                                 static_cast<qint64>(piece.size());
    };
    if (written) {
        if (log_) {
            const Base64Payload& payload = log_->payload;
            WriteDevicePayload(std::string_view(text_).substr(payload.begin, payload.size), payload,
                               write);
        } else {
            Cp1252ToUtf8Pieces(text_, write);
        }
        written = written && file.commit();
    }
    if (!written && showMessage_) {
        showMessage_(Utf8ToCp1252("Não foi possível gravar o arquivo ") + QStringToAnsi(fileName) +
                     "[e]");
    }
    return written;
}

void TResultMemo::SetMessageFunction(std::function<void(const std::string&)> show) {
    showMessage_ = std::move(show);
}

// ---------------------------------------------------------------- rows

// Where the row starting at begin ends and the line's next row starts: all
// of the rest when it fits; else after the last blank within the row (blanks
// reaching past the edge hang there, as in any word-wrapping editor); else at
// the edge.
std::size_t TResultMemo::RowBreak(std::size_t begin, std::size_t lineEnd) const {
    if (lineEnd - begin <= columns_) {
        return lineEnd;
    }
    std::size_t edge = begin + columns_;
    if (IsBlank(text_[edge])) {
        while (edge < lineEnd && IsBlank(text_[edge])) {
            ++edge;
        }
        return edge;
    }
    for (std::size_t i = edge; i > begin; --i) {
        if (IsBlank(text_[i - 1])) {
            return i;
        }
    }
    return edge;
}

// Counts the rows of the lines from fromLine on at the current width (of
// every line when the width changed since the last count).
void TResultMemo::LayOutRows(std::size_t fromLine) {
    const std::size_t columns = FittingColumns();
    if (columns != columns_) {
        columns_ = columns;
        fromLine = 0;
    }
    firstRows_.Truncate(fromLine + 1);
    std::size_t row = firstRows_.back();
    rowMarks_.Truncate((row + kRowsPerMark - 1) / kRowsPerMark);
    firstRows_.reserve(lineStarts_.size() + 1);
    for (std::size_t line = fromLine; line < lineStarts_.size(); ++line) {
        const std::size_t end = LineEnd(line);
        std::size_t begin = LineBegin(line);
        for (;;) {
            if (row % kRowsPerMark == 0) {
                rowMarks_.push_back(begin);
            }
            ++row;
            begin = RowBreak(begin, end);
            if (begin >= end) {
                break;
            }
        }
        firstRows_.push_back(row);
    }
}

TResultMemo::Row TResultMemo::RowAt(std::size_t row) const {
    row = std::min(row, firstRows_.back() - 1);
    const std::size_t line = firstRows_.LastNotAbove(row);
    std::size_t from = firstRows_[line];
    std::size_t begin = LineBegin(line);
    if (row - from >= kRowsPerMark) {
        // The mark at or before row lies within this line.
        from = row / kRowsPerMark * kRowsPerMark;
        begin = rowMarks_[row / kRowsPerMark];
    }
    const std::size_t end = LineEnd(line);
    std::size_t next = RowBreak(begin, end);
    for (; from < row; ++from) {
        begin = next;
        next = RowBreak(begin, end);
    }
    return Row{line, begin, next, end};
}

std::optional<TResultMemo::Row> TResultMemo::RowAfter(const Row& row) const {
    if (!row.IsLast()) {
        return Row{row.line, row.next, RowBreak(row.next, row.lineEnd), row.lineEnd};
    }
    if (row.line + 1 >= lineStarts_.size()) {
        return std::nullopt;
    }
    const std::size_t begin = LineBegin(row.line + 1);
    const std::size_t end = LineEnd(row.line + 1);
    return Row{row.line + 1, begin, RowBreak(begin, end), end};
}

// The row a cursor at position stands on; one at a wrap stands at the start
// of the following row.
std::size_t TResultMemo::RowOf(std::size_t position) const {
    const std::size_t line = LineOf(position);
    const std::size_t end = LineEnd(line);
    position = std::min(position, end);
    std::size_t row = firstRows_[line];
    std::size_t begin = LineBegin(line);
    if (firstRows_[line + 1] - row > kRowsPerMark) {
        const std::size_t mark = rowMarks_.LastNotAbove(position);
        if (mark * kRowsPerMark > row) {
            row = mark * kRowsPerMark;
            begin = rowMarks_[mark];
        }
    }
    for (std::size_t next = RowBreak(begin, end); next < end && position >= next;
         next = RowBreak(begin, end)) {
        begin = next;
        ++row;
    }
    return row;
}

// ---------------------------------------------------------------- geometry

qreal TResultMemo::CharacterWidth() const {
    return QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0'));
}

std::size_t TResultMemo::FittingColumns() const {
    const qreal width = viewport()->width() - 2 * kTextMargin;
    return static_cast<std::size_t>(std::max<qreal>(1, width / CharacterWidth()));
}

int TResultMemo::VisibleLines() const {
    const int lineHeight = std::max(1, QFontMetrics(font()).lineSpacing());
    return std::max(1, (viewport()->height() - kTextMargin) / lineHeight);
}

void TResultMemo::UpdateGeometry() {
    const int findBarHeight = findBar_->isVisible() ? findBar_->sizeHint().height() : 0;
    if (viewportMargins().bottom() != findBarHeight) {
        setViewportMargins(0, 0, 0, findBarHeight);
    }
    QScrollBar* vertical = verticalScrollBar();
    std::optional<std::size_t> topPosition;
    if (FittingColumns() != columns_) {
        // The rows change with the width; the text at the top stays there.
        topPosition = RowAt(static_cast<std::size_t>(vertical->value())).begin;
        LayOutRows(0);
    }
    const int visible = VisibleLines();
    vertical->setRange(0, std::max(0, RowCount() - visible));
    vertical->setPageStep(visible);
    vertical->setSingleStep(1);
    if (topPosition) {
        vertical->setValue(static_cast<int>(RowOf(*topPosition)));
    }
    PlaceFindBar();
}

void TResultMemo::PlaceFindBar() {
    if (!findBar_->isVisible()) {
        return;
    }
    const QRect area = viewport()->geometry();
    findBar_->setGeometry(area.left(), area.bottom() + 1, area.width(),
                          findBar_->sizeHint().height());
}

void TResultMemo::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateGeometry();
}

void TResultMemo::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateGeometry();
    }
}

std::size_t TResultMemo::PositionAt(const QPoint& point) const {
    const int lineHeight = std::max(1, QFontMetrics(font()).lineSpacing());
    const int shownRow = std::max(0, (point.y() - kTextMargin)) / lineHeight;
    const Row row = RowAt(static_cast<std::size_t>(verticalScrollBar()->value()) +
                          static_cast<std::size_t>(shownRow));
    const qreal x = point.x() - kTextMargin;
    const auto column = static_cast<std::size_t>(std::max<qreal>(0, x / CharacterWidth() + 0.5));
    return std::min(row.begin + column, row.CursorEnd());
}

QRect TResultMemo::cursorRect() const {
    const std::size_t row = RowOf(cursor_);
    const int lineHeight = std::max(1, QFontMetrics(font()).lineSpacing());
    const int top =
        kTextMargin + (static_cast<int>(row) - verticalScrollBar()->value()) * lineHeight;
    const auto x = static_cast<int>(kTextMargin + static_cast<qreal>(cursor_ - RowAt(row).begin) *
                                                      CharacterWidth());
    return QRect(x, top, 1, lineHeight);
}

void TResultMemo::EnsureVisible(std::size_t position) {
    const auto row = static_cast<int>(RowOf(position));
    QScrollBar* vertical = verticalScrollBar();
    const int visible = VisibleLines();
    if (row < vertical->value()) {
        vertical->setValue(row);
    } else if (row >= vertical->value() + visible) {
        vertical->setValue(row - visible + 1);
    }
}

// ---------------------------------------------------------------- painting

void TResultMemo::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& colours = palette();
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const qreal characterWidth = CharacterWidth();
    const int lineHeight = std::max(1, QFontMetrics(font()).lineSpacing());
    const std::size_t selectionBegin = SelectionBegin();
    const std::size_t selectionEnd = SelectionEnd();
    const int shownRows = VisibleLines() + 1;

    std::optional<Row> row = RowAt(static_cast<std::size_t>(verticalScrollBar()->value()));
    for (int shown = 0; shown < shownRows && row; ++shown, row = RowAfter(*row)) {
        const int top = kTextMargin + shown * lineHeight;
        const auto xOf = [&](std::size_t position) {
            return kTextMargin + static_cast<qreal>(position - row->begin) * characterWidth;
        };
        // Blanks hanging past the edge need no drawing.
        const std::size_t shownEnd = std::min(row->next, row->begin + columns_ + 1);
        const qreal baseline = top + metrics.ascent();
        if (row->begin < shownEnd) {
            painter.setPen(colours.color(QPalette::Text));
            QString text = Characters(row->begin, shownEnd);
            text.replace(QLatin1Char('\t'), QLatin1Char(' '));
            painter.drawText(QPointF(xOf(row->begin), baseline), text);
        }
        // The selected part of the row, drawn again over its highlight.
        const std::size_t selectedBegin = std::max(selectionBegin, row->begin);
        const std::size_t selectedEnd = std::min(selectionEnd, shownEnd);
        if (selectedBegin < selectedEnd) {
            const QRectF area(xOf(selectedBegin), top,
                              static_cast<qreal>(selectedEnd - selectedBegin) * characterWidth,
                              lineHeight);
            painter.fillRect(area, colours.color(QPalette::Highlight));
            painter.setPen(colours.color(QPalette::HighlightedText));
            QString selected = Characters(selectedBegin, selectedEnd);
            selected.replace(QLatin1Char('\t'), QLatin1Char(' '));
            painter.drawText(QPointF(area.left(), baseline), selected);
        }
        if (hasFocus() && cursor_ >= row->begin && cursor_ <= row->CursorEnd()) {
            const qreal x = xOf(cursor_);
            painter.setPen(colours.color(QPalette::Text));
            painter.drawLine(QPointF(x, top), QPointF(x, top + lineHeight - 1));
        }
    }
}

// ---------------------------------------------------------------- input

void TResultMemo::MoveCursor(std::size_t position, bool keepAnchor) {
    cursor_ = std::min(position, text_.size());
    if (!keepAnchor) {
        anchor_ = cursor_;
    }
    EnsureVisible(cursor_);
    viewport()->update();
}

void TResultMemo::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        ShowFindBar();
        return;
    }
    if (event->matches(QKeySequence::Save)) {
        SaveAs();
        return;
    }
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const std::size_t line = LineOf(cursor_);
    const std::size_t rowIndex = RowOf(cursor_);
    const Row row = RowAt(rowIndex);
    const std::size_t column = cursor_ - row.begin;
    // Up, down and the page keys move by visual rows, keeping the column.
    const auto rowMovedBy = [&](long long rows) {
        const Row target = RowAt(static_cast<std::size_t>(
            std::clamp<long long>(static_cast<long long>(rowIndex) + rows, 0, RowCount() - 1)));
        return std::min(target.begin + column, target.CursorEnd());
    };
    switch (event->key()) {
    case Qt::Key_Left:
        if (cursor_ == LineBegin(line)) {
            MoveCursor(line == 0 ? 0 : LineEnd(line - 1), shift);
        } else {
            MoveCursor(cursor_ - 1, shift);
        }
        return;
    case Qt::Key_Right:
        if (cursor_ == LineEnd(line)) {
            MoveCursor(line + 1 < lineStarts_.size() ? LineBegin(line + 1) : cursor_, shift);
        } else {
            MoveCursor(cursor_ + 1, shift);
        }
        return;
    case Qt::Key_Up:
        MoveCursor(rowMovedBy(-1), shift);
        return;
    case Qt::Key_Down:
        MoveCursor(rowMovedBy(1), shift);
        return;
    case Qt::Key_PageUp:
        MoveCursor(rowMovedBy(-VisibleLines()), shift);
        return;
    case Qt::Key_PageDown:
        MoveCursor(rowMovedBy(VisibleLines()), shift);
        return;
    case Qt::Key_Home:
        MoveCursor(control ? 0 : row.begin, shift);
        return;
    case Qt::Key_End:
        MoveCursor(control ? text_.size() : row.CursorEnd(), shift);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TResultMemo::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        selecting_ = true;
        MoveCursor(PositionAt(event->position().toPoint()),
                   event->modifiers().testFlag(Qt::ShiftModifier));
    }
}

void TResultMemo::mouseMoveEvent(QMouseEvent* event) {
    if (!selecting_ || !event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    dragPoint_ = event->position().toPoint();
    DragSelectionTo(dragPoint_);
    // Held above or below the text, the selection goes on growing.
    const bool outside = dragPoint_.y() < 0 || dragPoint_.y() >= viewport()->height();
    if (outside && !dragScroll_.isActive()) {
        dragScroll_.start(kDragScrollInterval, this);
    } else if (!outside) {
        dragScroll_.stop();
    }
}

void TResultMemo::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        selecting_ = false;
        dragScroll_.stop();
    }
}

void TResultMemo::timerEvent(QTimerEvent* event) {
    if (event->timerId() != dragScroll_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    if (!selecting_) {
        dragScroll_.stop();
        return;
    }
    DragSelectionTo(dragPoint_);
}

// The selection's moving end to a point of the viewport; a point above or
// below it scrolls first, by a row and one more for every row's height
// further away.
void TResultMemo::DragSelectionTo(const QPoint& point) {
    const int lineHeight = std::max(1, QFontMetrics(font()).lineSpacing());
    const int height = viewport()->height();
    int rows = 0;
    if (point.y() < 0) {
        rows = -(1 + -point.y() / lineHeight);
    } else if (point.y() >= height) {
        rows = 1 + (point.y() - height) / lineHeight;
    }
    QScrollBar* vertical = verticalScrollBar();
    vertical->setValue(vertical->value() + rows);
    const QPoint inside(point.x(), std::clamp(point.y(), 0, std::max(0, height - 1)));
    MoveCursor(PositionAt(inside), true);
}

void TResultMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const std::size_t position = PositionAt(event->position().toPoint());
    const std::size_t line = LineOf(position);
    std::size_t begin = position;
    std::size_t end = position;
    while (begin > LineBegin(line) && IsWordByte(static_cast<unsigned char>(text_[begin - 1]))) {
        --begin;
    }
    while (end < LineEnd(line) && IsWordByte(static_cast<unsigned char>(text_[end]))) {
        ++end;
    }
    anchor_ = begin;
    MoveCursor(end, true);
}

void TResultMemo::contextMenuEvent(QContextMenuEvent* event) {
    copyAction_->setEnabled(SelectionBegin() != SelectionEnd());
    saveAction_->setEnabled(!text_.empty());
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("memo_menu"));
    menu.addAction(copyAction_);
    menu.addAction(selectAllAction_);
    menu.addSeparator();
    menu.addAction(findAction_);
    menu.addAction(saveAction_);
    menu.exec(event->globalPos());
    copyAction_->setEnabled(true);
    saveAction_->setEnabled(true);
}

void TResultMemo::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TResultMemo::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

TResultMemo* PageResultMemo(const char* objectName, QWidget* parent) {
    auto* memo = new TResultMemo(parent);
    memo->setObjectName(QString::fromLatin1(objectName));
    memo->setFont(CourierNewFont(9, false));
    return memo;
}
