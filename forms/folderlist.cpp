#include "folderlist.h"

#include "beep.h"
#include "files.h"
#include "formaccessible.h"
#include "formserror.h"
#include "units.h"
#include "volumes.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <unistd.h>

namespace forms {

namespace {

constexpr int Indent = 8;   // pixels per level below the root
constexpr int Picture = 16; // the folder picture's side
constexpr int Margin = 2;   // left of the first picture, and right of the text

bool readableFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && ::access(QFile::encodeName(path).constData(), R_OK | X_OK) == 0;
}

QString normalFolder(const QString &path)
{
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    return QDir::toNativeSeparators(clean);
}

// A yellow folder, 16 by 16 pixels from (x, y): closed, or open with its front flap down.
// Greyed when the list is disabled.
void drawFolder(QPainter &p, int x, int y, bool open, const QPalette &palette, bool enabled)
{
    const QColor outline = enabled ? QColor(0x80, 0x60, 0x10) : palette.color(QPalette::Disabled, QPalette::Dark);
    const QColor back = enabled ? QColor(0xe8, 0xc0, 0x40) : palette.color(QPalette::Disabled, QPalette::Mid);
    const QColor front = enabled ? QColor(0xff, 0xe0, 0x80) : palette.color(QPalette::Disabled, QPalette::Midlight);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(outline);
    // The tab, then the body.
    p.setBrush(back);
    p.drawRect(x + 1, y + 2, 5, 2);
    p.drawRect(x + 1, y + 4, 13, 9);
    if (open) {
        p.setBrush(front);
        const QPoint flap[] = {{x + 3, y + 7}, {x + 15, y + 7}, {x + 13, y + 13}, {x + 1, y + 13}};
        p.drawPolygon(flap, 4);
    } else {
        p.setPen(front);
        p.drawLine(x + 2, y + 5, x + 13, y + 5);
    }
    p.restore();
}

// One row for assistive technology: a list item named by its folder.
class FolderRowAccessible : public LeafAccessible
{
public:
    FolderRowAccessible(FolderList *list, int row) : list_(list), row_(row) {}

    bool isValid() const override { return list_ && row_ < list_->count(); }
    QWindow *window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return list_ ? QAccessible::queryAccessibleInterface(list_.data()) : nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = list_->currentRow() == row_;
        s.focused = s.selected && list_->hasFocus();
        s.disabled = !list_->isEnabled();
        s.offscreen = !list_->viewport()->rect().intersects(list_->rowRect(row_));
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        if (t == QAccessible::Name)
            return list_->rowText(row_);
        if (t == QAccessible::Description)
            return list_->rowPath(row_);
        return QString();
    }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = list_->rowRect(row_).intersected(list_->viewport()->rect());
        return QRect(list_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

private:
    QPointer<FolderList> list_;
    int row_;
};

class FolderListAccessible : public QAccessibleWidget
{
public:
    explicit FolderListAccessible(FolderList *list) : QAccessibleWidget(list, QAccessible::List) {}
    ~FolderListAccessible() override
    {
        for (QAccessible::Id id : rowIds_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return list()->count(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= list()->count())
            return nullptr;
        while (int(rowIds_.size()) <= index)
            rowIds_.push_back(QAccessible::registerAccessibleInterface(
                new FolderRowAccessible(list(), int(rowIds_.size()))));
        return QAccessible::accessibleInterface(rowIds_[index]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (std::size_t i = 0; i < rowIds_.size(); ++i)
            if (QAccessible::accessibleInterface(rowIds_[i]) == child)
                return int(i) < list()->count() ? int(i) : -1;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        return child(list()->rowAt(list()->viewport()->mapFromGlobal(QPoint(x, y))));
    }

private:
    FolderList *list() const { return static_cast<FolderList *>(widget()); }

    mutable std::vector<QAccessible::Id> rowIds_;
};

QAccessibleInterface *folderListAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("forms::FolderList") && object && object->isWidgetType())
        return new FolderListAccessible(static_cast<FolderList *>(object));
    return nullptr;
}

} // namespace

FolderList::FolderList(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    static const bool accessible = (QAccessible::installFactory(folderListAccessibleFactory), true);
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    try {
        path_ = normalFolder(workingFolder());
    } catch (const FormsError &) {
        path_ = QDir::toNativeSeparators(QDir::rootPath());
    }
    fill();
}

QString FolderList::rowText(int row) const
{
    return row >= 0 && row < count() ? rows_[std::size_t(row)].text : QString();
}

QString FolderList::rowPath(int row) const
{
    return row >= 0 && row < count() ? rows_[std::size_t(row)].path : QString();
}

void FolderList::setPath(const QString &path)
{
    const QString target = normalFolder(path);
    if (!readableFolder(target))
        throw FormsError(QStringLiteral("The folder %1 cannot be opened").arg(path));
    if (target == path_)
        return;
    path_ = target;
    fill();
    emit change();
}

void FolderList::setDrive(const QString &rootPath)
{
    if (!volumeIsReady(rootPath))
        throw FormsError(QStringLiteral("The drive %1 is not ready").arg(rootPath));
    QString current = rootPath;
    try {
        const QString wf = workingFolder();
        if (volumeOf(wf) == rootPath)
            current = wf;
    } catch (const FormsError &) {
    }
    setPath(current);
}

void FolderList::openRow(int row)
{
    if (row < 0 || row >= count())
        return;
    try {
        setPath(rows_[std::size_t(row)].path);
    } catch (const FormsError &) {
        beep();
    }
}

void FolderList::fill()
{
    rows_.clear();
    const QString sep = QDir::separator();
    // The chain of folders from the root down to the current one, drawn open.
    int depth = 0;
    rows_.push_back({sep, sep, depth++, true});
    QString walk = sep;
    for (const QString &part : path_.split(sep, Qt::SkipEmptyParts)) {
        walk = joinPath(walk, part);
        rows_.push_back({part, walk, depth++, true});
    }
    const int shown = count() - 1;
    const QDir dir(QDir::fromNativeSeparators(path_));
    for (const QString &sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        rows_.push_back({sub, joinPath(path_, sub), depth, false});
    current_ = -1;
    updateScrollBar();
    // A folder newly shown starts from the top, scrolled only as far as its row needs.
    verticalScrollBar()->setValue(0);
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
    setCurrentRow(shown);
    viewport()->update();
}

int FolderList::rowHeight() const
{
    return qMax(fontMetrics().height(), Picture) + 3;
}

int FolderList::rowsPerPage() const
{
    return qMax(1, viewport()->height() / rowHeight());
}

QRect FolderList::rowRect(int row) const
{
    const int h = rowHeight();
    return QRect(0, row * h - verticalScrollBar()->value(), viewport()->width(), h);
}

int FolderList::rowAt(const QPoint &point) const
{
    if (!viewport()->rect().contains(point))
        return -1;
    const int row = (point.y() + verticalScrollBar()->value()) / rowHeight();
    return row < count() ? row : -1;
}

void FolderList::setCurrentRow(int row)
{
    if (count() == 0)
        return;
    row = qBound(0, row, count() - 1);
    scrollToRow(row);
    if (row == current_)
        return;
    current_ = row;
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent selection(this, QAccessible::Selection);
        selection.setChild(row);
        QAccessible::updateAccessibility(&selection);
        if (hasFocus()) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(row);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void FolderList::updateScrollBar()
{
    const int h = rowHeight();
    const int page = viewport()->height();
    verticalScrollBar()->setRange(0, qMax(0, count() * h - page));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(h);
}

void FolderList::scrollToRow(int row)
{
    const int h = rowHeight();
    const int top = row * h;
    QScrollBar *bar = verticalScrollBar();
    if (top < bar->value())
        bar->setValue(top);
    else if (top + h > bar->value() + viewport()->height())
        bar->setValue(top + h - viewport()->height());
}

void FolderList::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    const QRect dirty = event->rect();
    const QFontMetrics fm = fontMetrics();
    const int h = rowHeight();
    const int width = viewport()->width();
    for (int i = qMax(0, (dirty.top() + verticalScrollBar()->value()) / h); i < count(); ++i) {
        const QRect r = rowRect(i);
        if (r.top() > dirty.bottom())
            break;
        const Row &row = rows_[std::size_t(i)];
        // Deep paths stop indenting where the name would have no room left.
        const int x = qMin(Margin + row.depth * Indent, qMax(Margin, width - Picture - 40));
        const QRect marked(x, r.top(), width - x, h);
        const bool selected = i == current_;
        if (selected)
            p.fillRect(marked, palette().brush(QPalette::Highlight));
        drawFolder(p, x, r.top() + (h - Picture) / 2, row.open, palette(), isEnabled());
        const QRect textRect(x + Picture + 4, r.top(), width - (x + Picture + 4) - Margin, h);
        p.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, fm.elidedText(row.text, Qt::ElideRight, textRect.width()));
        if (selected && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = marked;
            focus.backgroundColor = palette().color(QPalette::Highlight);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }
}

void FolderList::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const int row = rowAt(event->position().toPoint());
        if (row >= 0)
            setCurrentRow(row);
    }
    event->accept();
}

void FolderList::mouseMoveEvent(QMouseEvent *event)
{
    // Dragging with the button held moves the selection along, as in any list.
    if (event->buttons() & Qt::LeftButton) {
        const int row = rowAt(event->position().toPoint());
        if (row >= 0)
            setCurrentRow(row);
    }
    event->accept();
}

void FolderList::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const int row = rowAt(event->position().toPoint());
        if (row >= 0)
            openRow(row);
    }
    event->accept();
}

void FolderList::keyPressEvent(QKeyEvent *event)
{
    const int page = rowsPerPage();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openRow(current_);
        break;
    case Qt::Key_Up:
        setCurrentRow(current_ - 1);
        break;
    case Qt::Key_Down:
        setCurrentRow(current_ + 1);
        break;
    case Qt::Key_Home:
        setCurrentRow(0);
        break;
    case Qt::Key_End:
        setCurrentRow(count() - 1);
        break;
    case Qt::Key_PageUp:
        setCurrentRow(current_ - page);
        break;
    case Qt::Key_PageDown:
        setCurrentRow(current_ + page);
        break;
    default: {
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            typeAhead(text);
            break;
        }
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    }
    event->accept();
}

// Typing selects the next row whose name starts with what was typed within the keyboard
// interval; the same letter typed again goes on to the next such row.
void FolderList::typeAhead(const QString &text)
{
    if (!searchTimer_.isValid() || searchTimer_.elapsed() > QApplication::keyboardInputInterval())
        search_.clear();
    searchTimer_.start();
    search_ += text;
    QString needle = search_;
    bool repeated = needle.size() > 1;
    for (const QChar c : needle)
        repeated = repeated && c.toCaseFolded() == needle.at(0).toCaseFolded();
    if (repeated)
        needle = needle.left(1);
    const int start = needle.size() == 1 ? current_ + 1 : current_;
    for (int k = 0; k < count(); ++k) {
        const int i = (qMax(0, start) + k) % count();
        if (rows_[std::size_t(i)].text.startsWith(needle, Qt::CaseInsensitive)) {
            setCurrentRow(i);
            return;
        }
    }
}

void FolderList::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
    // The rows were placed for the size the list had when it was made, before the form gave it
    // its own: from the top again, scrolled only as far as the selected row needs. (The forms
    // give their controls a fixed size, so this is the one resize a list sees.)
    verticalScrollBar()->setValue(0);
    if (current_ >= 0)
        scrollToRow(current_);
}

void FolderList::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    if (QAccessible::isActive() && current_ >= 0) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(current_);
        QAccessible::updateAccessibility(&focus);
    }
}

void FolderList::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void FolderList::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateScrollBar();
        if (current_ >= 0)
            scrollToRow(current_);
    }
}

} // namespace forms
