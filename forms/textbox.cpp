#include "textbox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QVBoxLayout>

namespace forms {

namespace {

// Qt draws its own bullet for hidden text; the design names the character to show instead.
class MaskStyle : public QProxyStyle
{
public:
    MaskStyle(QChar mask) : mask_(mask) {}
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return mask_.unicode();
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar mask_;
};

} // namespace

TextBox::TextBox(const ControlDesign &design, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QWidget *editor = nullptr;
    if (design.multiLine) {
        multi_ = new QPlainTextEdit(this);
        multi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        multi_->setTabChangesFocus(true);
        multi_->setPlainText(design.text);
        editor = multi_;
    } else {
        line_ = new QLineEdit(design.text, this);
        if (!design.passwordChar.isNull()) {
            auto *style = new MaskStyle(design.passwordChar);
            style->setParent(line_);
            line_->setStyle(style);
            line_->setEchoMode(QLineEdit::Password);
        }
        editor = line_;
    }
    editor->setObjectName(design.name + QStringLiteral("_editor"));
    layout->addWidget(editor);
    setFocusProxy(editor);
    setFocusPolicy(Qt::StrongFocus);
}

QString TextBox::text() const
{
    return line_ ? line_->text() : multi_->toPlainText();
}

void TextBox::setText(const QString &text)
{
    if (line_)
        line_->setText(text);
    else
        multi_->setPlainText(text);
}

QWidget *TextBox::editor() const
{
    return line_ ? static_cast<QWidget *>(line_) : static_cast<QWidget *>(multi_);
}

} // namespace forms
