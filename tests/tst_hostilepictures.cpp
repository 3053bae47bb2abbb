// Pictures that are broken, hostile or not pictures at all: loading fails with the forms layer's
// error and leaves a picture box as it was, with no crash, no hang and memory bounded by Qt's
// allocation limit; the box then still shows a good picture.

#include "picturefixture.h"
#include "treefixture.h"

#include <picture.h>
#include <picturebox.h>
#include <formserror.h>

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using namespace fixture;

class tst_HostilePictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void goodPicturesLoad_data();
    void goodPicturesLoad();
    void hostile_data();
    void hostile();

private:
    QString make(const QString &name, const QByteArray &bytes);
    std::unique_ptr<QTemporaryDir> tmp;
    int limitAtStart = 0;
};

void tst_HostilePictures::initTestCase()
{
    limitAtStart = QImageReader::allocationLimit();
    QVERIFY2(limitAtStart > 0 && limitAtStart <= 128, "Qt's allocation limit must stay in force");
}

void tst_HostilePictures::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp->isValid());
}

void tst_HostilePictures::cleanup()
{
    fixture::removeTree(tmp->path());
}

QString tst_HostilePictures::make(const QString &name, const QByteArray &bytes)
{
    const QString path = tmp->filePath(name);
    writeFile(path, bytes);
    return path;
}

void tst_HostilePictures::goodPicturesLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("firstPixel");
    QTest::addColumn<QRgb>("lastPixel");
    const QRgb blue = qRgb(0, 0, 255);
    QTest::newRow("gif") << "p.gif" << gif(7, 3) << QSize(7, 3) << gifColour(0) << gifColour(0);
    QTest::newRow("gif, more than one data block") << "p.gif" << gif(300, 5, [](int x, int y) { return x + y; })
                                                   << QSize(300, 5) << gifColour(0) << gifColour((299 + 4) & 127);
    QTest::newRow("gif whose pixels are all 0x3b") << "p.gif" << gif(16, 16, [](int, int) { return 0x3b; })
                                                   << QSize(16, 16) << gifColour(0x3b) << gifColour(0x3b);
    QTest::newRow("gif, named in capitals") << "P.GIF" << gif(2, 2) << QSize(2, 2) << gifColour(0) << gifColour(1);
    QTest::newRow("bmp") << "p.bmp" << bmp(5, 4) << QSize(5, 4) << blue << blue;
    QTest::newRow("bmp named .gif") << "p.gif" << bmp(5, 4) << QSize(5, 4) << blue << blue;
}

void tst_HostilePictures::goodPicturesLoad()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QRgb, firstPixel);
    QFETCH(QRgb, lastPixel);
    const QImage image = forms::loadPicture(make(name, bytes));
    QCOMPARE(image.size(), size);
    QCOMPARE(image.pixel(0, 0) | 0xff000000, firstPixel);
    QCOMPARE(image.pixel(size.width() - 1, size.height() - 1) | 0xff000000, lastPixel);
}

void tst_HostilePictures::hostile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("special");
    for (const HostilePicture &h : hostilePictures())
        QTest::newRow(h.row) << h.name << h.bytes << h.special;
}

void tst_HostilePictures::hostile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, special);

    const QString path = tmp->filePath(name);
    QVERIFY(makePicture(path, bytes, special));

    QVERIFY_THROWS_EXCEPTION(forms::FormsError, forms::loadPicture(path));

    // A picture box keeps what it showed, and still shows a good picture afterwards.
    QWidget window;
    forms::ControlDesign design{QStringLiteral("Picture1"), forms::ControlKind::PictureBox, {}, {120, 1200, 4095, 2415}, 4};
    auto *box = new forms::PictureBox(design, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    box->loadPicture(make("good.gif", gif(3, 3)));
    QVERIFY_THROWS_EXCEPTION(forms::FormsError, box->loadPicture(path));
    QCOMPARE(box->picture().size(), QSize(3, 3));
    box->repaint();
    box->loadPicture(make("good.bmp", bmp(4, 4)));
    QCOMPARE(box->picture().size(), QSize(4, 4));
    QCOMPARE(QImageReader::allocationLimit(), limitAtStart);
}

QTEST_MAIN(tst_HostilePictures)
#include "tst_hostilepictures.moc"
