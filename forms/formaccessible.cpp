#include "formaccessible.h"

#include "form.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <vector>

namespace forms {

namespace {

// One message line: static text, read by its name or through its text interface.
class LineAccessible : public LeafAccessible, public QAccessibleTextInterface
{
public:
    LineAccessible(Form *form, int index) : form_(form), index_(index) {}

    bool isValid() const override { return form_ && index_ < form_->printedLines().size(); }
    QWindow *window() const override { return form_ ? form_->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return form_ ? QAccessible::queryAccessibleInterface(form_.data()) : nullptr; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !isValid();
        s.offscreen = !isValid() || form_->lineRect(index_).top() >= form_->height();
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        return (t == QAccessible::Name || t == QAccessible::Value) ? line() : QString();
    }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = form_->lineRect(index_);
        return QRect(form_->mapToGlobal(r.topLeft()), r.size());
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface *>(this) : nullptr;
    }

    // The text interface: the whole line, read-only, without a caret or selection.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return line().mid(start, end - start); }
    int characterCount() const override { return int(line().size()); }
    QRect characterRect(int offset) const override
    {
        if (!isValid())
            return {};
        const QFontMetrics fm(form_->font());
        const QRect r = rect();
        const int x = fm.horizontalAdvance(line().left(offset));
        return QRect(r.left() + x, r.top(), fm.horizontalAdvance(line().mid(offset, 1)), r.height());
    }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }

private:
    QString line() const { return isValid() ? form_->printedLines().at(index_) : QString(); }

    QPointer<Form> form_;
    int index_;
};

class FormAccessible : public QAccessibleWidget
{
public:
    explicit FormAccessible(Form *form) : QAccessibleWidget(form, QAccessible::Window) {}
    ~FormAccessible() override
    {
        for (QAccessible::Id id : lineIds_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return controlCount() + int(form()->printedLines().size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < controlCount())
            return QAccessibleWidget::child(index);
        return line(index - controlCount());
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (std::size_t i = 0; i < lineIds_.size(); ++i)
            if (QAccessible::accessibleInterface(lineIds_[i]) == child)
                return controlCount() + int(i);
        return QAccessibleWidget::indexOfChild(child);
    }

    QAccessibleInterface *line(int index) const
    {
        if (index < 0 || index >= form()->printedLines().size())
            return nullptr;
        while (int(lineIds_.size()) <= index)
            lineIds_.push_back(QAccessible::registerAccessibleInterface(
                new LineAccessible(form(), int(lineIds_.size()))));
        return QAccessible::accessibleInterface(lineIds_[index]);
    }

private:
    Form *form() const { return static_cast<Form *>(widget()); }
    int controlCount() const { return QAccessibleWidget::childCount(); }

    mutable std::vector<QAccessible::Id> lineIds_;
};

} // namespace

QAccessibleInterface *formAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("forms::Form") && object && object->isWidgetType())
        return new FormAccessible(static_cast<Form *>(object));
    return nullptr;
}

void announceLastLine(Form *form)
{
    if (!QAccessible::isActive() || form->printedLines().isEmpty())
        return;
    auto *iface = static_cast<FormAccessible *>(QAccessible::queryAccessibleInterface(form));
    if (!iface)
        return;
    if (QAccessibleInterface *line = iface->line(int(form->printedLines().size()) - 1)) {
        QAccessibleEvent event(line, QAccessible::ObjectCreated);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace forms
