// The credits window on the offscreen platform: its art, its texts and how they fit their boxes,
// its cursor and icon, and "ОК".

#include <form2.h>
#include <fittingfont.h>

#include <commandbutton.h>
#include <label.h>
#include <picture.h>
#include <picturebox.h>
#include <units.h>

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>

class TestForm2 : public QObject
{
    Q_OBJECT
private slots:
    void bitmapFillsImage1();
    void captionOfCommand1IsCyrillic();
    void birthDateIsWrittenInFull();

    void fittingFont_data();
    void fittingFont();
    void fitsBoxRefusesAWordWiderThanTheBox();

    void everyLabelShowsItsWholeText();
    void cursorIsTheProgramsOwn();
    void iconHasBothSizes();
    void okUnloadsTheLastWindow();
};

void TestForm2::bitmapFillsImage1()
{
    QFile bmp(QStringLiteral(":/Author/author.bmp"));
    QVERIFY(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(30);
    QCOMPARE(header.left(2), QByteArray("BM"));
    QCOMPARE(int(quint8(header[28])), 24); // bits per pixel
    const QImage image = forms::loadPicture(QStringLiteral(":/Author/author.bmp"));
    QCOMPARE(image.size(), QSize(115, 179));

    const forms::FormDesign design = form2Design();
    const forms::ControlDesign *image1 = design.control(QStringLiteral("Image1"));
    QVERIFY(image1);
    QCOMPARE(image1->kind, forms::ControlKind::Image);
    QCOMPARE(image1->rect.width, image.width() * 15);
    QCOMPARE(image1->rect.height, image.height() * 15);

    Form2 form;
    auto *shown = form.control<forms::PictureBox>(QStringLiteral("Image1"));
    QVERIFY(shown);
    QCOMPARE(shown->picture(), image);
}

void TestForm2::captionOfCommand1IsCyrillic()
{
    const forms::FormDesign design = form2Design();
    const forms::ControlDesign *command1 = design.control(QStringLiteral("Command1"));
    QVERIFY(command1);
    QCOMPARE(command1->text, QString::fromUtf16(u"\u041E\u041A"));
}

void TestForm2::birthDateIsWrittenInFull()
{
    const forms::FormDesign design = form2Design();
    const forms::ControlDesign *label = design.control(label1Name(6));
    QVERIFY(label);
    static const QStringList months = {
        QStringLiteral("января"), QStringLiteral("февраля"), QStringLiteral("марта"),
        QStringLiteral("апреля"), QStringLiteral("мая"), QStringLiteral("июня"),
        QStringLiteral("июля"), QStringLiteral("августа"), QStringLiteral("сентября"),
        QStringLiteral("октября"), QStringLiteral("ноября"), QStringLiteral("декабря")};
    const QRegularExpression re(QStringLiteral("^Дата рождения создателя игры: (\\d{1,2}) (\\S+) (\\d{4}) нашей эры\\.$"));
    const QRegularExpressionMatch m = re.match(label->text);
    QVERIFY2(m.hasMatch(), qPrintable(label->text));
    const int month = int(months.indexOf(m.captured(2))) + 1;
    QVERIFY2(month > 0, qPrintable(m.captured(2)));
    const QDate date(m.captured(3).toInt(), month, m.captured(1).toInt());
    QVERIFY2(date.isValid(), qPrintable(label->text));
}

void TestForm2::fittingFont_data()
{
    QTest::addColumn<QFont>("base");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<bool>("smaller");

    QFont points = QApplication::font();
    points.setPointSizeF(12);
    QFont pixels = QApplication::font();
    pixels.setPixelSize(16);
    const QString longText = QStringLiteral("Место создания игры: Галактика Млечный Путь, Солнечная система");

    QTest::newRow("fits already") << points << QStringLiteral("Звуки") << QSize(400, 40) << false;
    QTest::newRow("one line too long, points") << points << longText << QSize(200, 60) << true;
    QTest::newRow("one line too long, pixels") << pixels << longText << QSize(200, 60) << true;
    QTest::newRow("box too low for a second line") << points << QStringLiteral("Время создания игры: 2002 год - 2004 год.")
                                                   << QSize(220, 17) << true;
}

void TestForm2::fittingFont()
{
    QFETCH(QFont, base);
    QFETCH(QString, text);
    QFETCH(QSize, box);
    QFETCH(bool, smaller);

    const QFont font = ::fittingFont(base, {{text, box}});
    QVERIFY(fitsBox(font, {text, box}));
    QCOMPARE(font.family(), base.family());
    const int baseSize = base.pixelSize() > 0 ? base.pixelSize() : int(base.pointSizeF() * 2);
    const int size = font.pixelSize() > 0 ? font.pixelSize() : int(font.pointSizeF() * 2);
    QCOMPARE(size < baseSize, smaller);
    if (smaller) {
        // The largest that fits: one step larger does not.
        QFont larger = font;
        if (font.pixelSize() > 0)
            larger.setPixelSize(font.pixelSize() + 1);
        else
            larger.setPointSizeF(font.pointSizeF() + 0.5);
        QVERIFY(!fitsBox(larger, {text, box}));
    }
}

void TestForm2::fitsBoxRefusesAWordWiderThanTheBox()
{
    const QFont font = QApplication::font();
    QVERIFY(!fitsBox(font, {QStringLiteral("Художественное"), QSize(20, 500)}));
    // Nothing fits such a box: the smallest size is given, not an endless search.
    const QFont smallest = ::fittingFont(font, {{QStringLiteral("Художественное"), QSize(2, 2)}});
    QVERIFY(smallest.pointSizeF() <= 4.0 || smallest.pixelSize() == 5);
}

void TestForm2::everyLabelShowsItsWholeText()
{
    Form2 form;
    for (int i = 0; i < Label1Count; ++i) {
        forms::Label *label = form.Label1(i);
        QVERIFY(label);
        QCOMPARE(label->objectName(), label1Name(i));
        QVERIFY(label->wordWrap());
        QCOMPARE(label->font(), form.Label1(0)->font());
        QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->text()));
        QVERIFY2(fitsBox(label->font(), {label->text(), label->size()}, &form), qPrintable(label->text()));
    }
    // The place of creation is meant to take several lines.
    forms::Label *place = form.Label1(5);
    QVERIFY(place->heightForWidth(place->width()) >= 2 * QFontMetrics(place->font()).lineSpacing());
}

void TestForm2::cursorIsTheProgramsOwn()
{
    Form2 form;
    const QCursor cursor = form.cursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
    QImage art;
    QVERIFY(art.load(QStringLiteral(":/Author/author.cur"), "cur") || art.load(QStringLiteral(":/Author/author.cur"), "ico"));
    QCOMPARE(cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
             art.convertToFormat(QImage::Format_ARGB32));
    // The controls show the window's cursor too.
    for (const forms::ControlDesign &c : form.design().controls) {
        QWidget *w = form.control(c.name);
        QVERIFY2(!w->testAttribute(Qt::WA_SetCursor), qPrintable(c.name));
        QCOMPARE(w->cursor().shape(), Qt::BitmapCursor);
    }
}

void TestForm2::iconHasBothSizes()
{
    Form2 form;
    const QList<QSize> sizes = form.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(16, 16)));
}

void TestForm2::okUnloadsTheLastWindow()
{
    QPointer<Form2> form = new Form2;
    form->showForm();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTest::mouseClick(form->control<forms::CommandButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_VERIFY(form.isNull());
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
