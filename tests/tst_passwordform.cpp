// The password window driven through its controls: wrong passwords, the right one, and closing it.
#include <form2.h>

#include <beep.h>
#include <commandbutton.h>
#include <label.h>
#include <textbox.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

const QString Prompt = QStringLiteral("Для входа в редактор необходимо ввести пароль. Введите пароль.");
const QString Error = QStringLiteral("Ошибка ввода пароля. Введите пароль.");

QList<QWidget *> visibleWindows()
{
    QList<QWidget *> shown;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            shown.append(w);
    return shown;
}

QWidget *editorWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == u"form1")
            return w;
    return nullptr;
}

} // namespace

class tst_PasswordForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensWithFocusInText1();
    void wrongPassword_data();
    void wrongPassword();
    void rightPasswordOpensEditor();
    void enterPressesNothing();
    void closingEndsProgram();

private:
    QLineEdit *text1() const;
    void type(const QString &text);
    void pressOk();
    QString label1() const { return form_->control<forms::Label>(QStringLiteral("Label1"))->text(); }

    QPointer<PasswordForm> form_;
};

void tst_PasswordForm::init()
{
    form_ = new PasswordForm;
    form_->showForm();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
    QApplication::setActiveWindow(form_);
}

void tst_PasswordForm::cleanup()
{
    delete form_;
    delete editorWindow();
}

QLineEdit *tst_PasswordForm::text1() const
{
    return qobject_cast<QLineEdit *>(form_->control<forms::TextBox>(QStringLiteral("Text1"))->editor());
}

// Key by key, as typed; keyClicks takes Latin-1 only.
void tst_PasswordForm::type(const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, text1(), Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

void tst_PasswordForm::pressOk()
{
    QTest::mouseClick(form_->control<forms::CommandButton>(QStringLiteral("Command1")), Qt::LeftButton);
}

void tst_PasswordForm::opensWithFocusInText1()
{
    QCOMPARE(form_->objectName(), QStringLiteral("Form2"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Энциклопедия. Kovilan. Ввод пароля"));
    QCOMPARE(form_->size(), QSize(399, 95));
    QVERIFY(!(form_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form_->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!form_->windowIcon().isNull());
    QCOMPARE(label1(), Prompt);
    QCOMPARE(form_->control<forms::CommandButton>(QStringLiteral("Command1"))->text(), QStringLiteral("\u041e\u041a"));
    QTRY_COMPARE(QApplication::focusWidget(), text1());
    type("abc");
    QCOMPARE(text1()->echoMode(), QLineEdit::Password);
    QCOMPARE(text1()->displayText(), QStringLiteral("###"));
}

void tst_PasswordForm::wrongPassword_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << "";
    QTest::newRow("first letter in lower case") << "пингвин";
    QTest::newRow("all capitals") << "ПИНГВИН";
    QTest::newRow("trailing space") << "Пингвин ";
    QTest::newRow("leading space") << " Пингвин";
    QTest::newRow("one letter short") << "Пингви";
    QTest::newRow("twice") << "ПингвинПингвин";
    QTest::newRow("Latin u for и") << "Пuнгвuн";
    QTest::newRow("Latin H and e look-alikes") << "ПиHгвиH";
    QTest::newRow("transliterated") << "Pingvin";
}

void tst_PasswordForm::wrongPassword()
{
    QFETCH(QString, typed);
    type(typed);
    QCOMPARE(text1()->text(), typed);
    const int beeps = forms::beepCount();
    pressOk();
    QCOMPARE(forms::beepCount(), beeps + 1);
    QCOMPARE(label1(), Error);
    QCOMPARE(text1()->text(), typed);
    QVERIFY(form_ && form_->isVisible());
    QVERIFY(!editorWindow());

    pressOk();
    QCOMPARE(forms::beepCount(), beeps + 2);
    QCOMPARE(label1(), Error);
    QCOMPARE(text1()->text(), typed);
    QVERIFY(form_ && form_->isVisible());
}

void tst_PasswordForm::rightPasswordOpensEditor()
{
    type("Пинг");
    pressOk();
    QCOMPARE(label1(), Error);
    type("вин");
    const int beeps = forms::beepCount();
    pressOk();
    QCOMPARE(forms::beepCount(), beeps);
    QTRY_VERIFY(form_.isNull());
    QWidget *editor = editorWindow();
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(visibleWindows(), QList<QWidget *>{editor});
}

void tst_PasswordForm::enterPressesNothing()
{
    type("Пингвин");
    const int beeps = forms::beepCount();
    QTest::keyClick(text1(), Qt::Key_Return);
    QTest::keyClick(text1(), Qt::Key_Enter);
    QCOMPARE(forms::beepCount(), beeps);
    QCOMPARE(label1(), Prompt);
    QVERIFY(form_ && form_->isVisible());
    QVERIFY(!editorWindow());
}

// The program's event loop ends when Form2 is closed before the right password.
void tst_PasswordForm::closingEndsProgram()
{
    type("Пингви");
    pressOk();
    QTimer::singleShot(0, form_.data(), &QWidget::close);
    // Only a guard against a loop that never ends; the loop normally ends at once.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    guard.start(60000);
    QCOMPARE(QApplication::exec(), 0);
    QTRY_VERIFY(form_.isNull());
    QVERIFY(visibleWindows().isEmpty());
    QVERIFY(!editorWindow());
}

QTEST_MAIN(tst_PasswordForm)
#include "tst_passwordform.moc"
