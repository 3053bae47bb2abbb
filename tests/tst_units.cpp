#include <form1design.h>
#include <units.h>

#include <QTest>

class tst_Units : public QObject
{
    Q_OBJECT
private slots:
    void pixels_data();
    void pixels();
    void colours_data();
    void colours();
    void joinPath_data();
    void joinPath();
    void columnLeft_data();
    void columnLeft();
};

void tst_Units::pixels_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("installer width at 96") << 9705 << 96.0 << 647;
    QTest::newRow("control column left") << 8040 << 96.0 << 536;
    QTest::newRow("editor height") << 6555 << 96.0 << 437;
    QTest::newRow("odd twips round") << 8 << 96.0 << 1;
    QTest::newRow("seven twips round down") << 7 << 96.0 << 0;
    QTest::newRow("144 dpi") << 1440 << 144.0 << 144;
    QTest::newRow("zero") << 0 << 96.0 << 0;
}

void tst_Units::pixels()
{
    QFETCH(int, twips);
    QFETCH(double, dpi);
    QFETCH(int, pixels);
    QCOMPARE(forms::pixelsFromTwips(twips, dpi), pixels);
}

void tst_Units::colours_data()
{
    QTest::addColumn<uint>("bgr");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("black") << 0x00000000u << QColor(0, 0, 0);
    QTest::newRow("green text") << 0x0000FF00u << QColor(0, 255, 0);
    QTest::newRow("yellow labels") << 0x0000FFFFu << QColor(255, 255, 0);
    QTest::newRow("button green") << 0x0000C000u << QColor(0, 192, 0);
    QTest::newRow("red is the lowest byte") << 0x000000FFu << QColor(255, 0, 0);
    QTest::newRow("blue is the third byte") << 0x00FF0000u << QColor(0, 0, 255);
}

void tst_Units::colours()
{
    QFETCH(uint, bgr);
    QFETCH(QColor, colour);
    QCOMPARE(forms::colorFromBgr(bgr), colour);
}

void tst_Units::joinPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("joined");
    QTest::newRow("root has one separator") << "/" << "Trivalon" << "/Trivalon";
    QTest::newRow("plain folder") << "/home/user" << "Trivalon" << "/home/user/Trivalon";
    QTest::newRow("trailing separator") << "/mnt/disk/" << "Trivalon" << "/mnt/disk/Trivalon";
    QTest::newRow("relative with folder") << "/games" << "Trivalon/file.bin" << "/games/Trivalon/file.bin";
    QTest::newRow("cyrillic") << "/home/игры" << "Trivalon" << "/home/игры/Trivalon";
}

void tst_Units::joinPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, joined);
    QCOMPARE(forms::joinPath(folder, name), joined);
}

void tst_Units::columnLeft_data()
{
    QTest::addColumn<float>("outer");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("left");
    QTest::newRow("borders of 45 twips") << 9795.0f << 1575.0f << 8120.0f;
    QTest::newRow("no frame") << 9705.0f << 1575.0f << 8030.0f;
    QTest::newRow("maximized 1280 px") << 19200.0f << 1575.0f << 17525.0f;
    QTest::newRow("fractional outer width") << 9735.5f << 1575.0f << 8060.5f;
}

void tst_Units::columnLeft()
{
    QFETCH(float, outer);
    QFETCH(float, width);
    QFETCH(float, left);
    QCOMPARE(::columnLeft(outer, width), left);
}

QTEST_MAIN(tst_Units)
#include "tst_units.moc"
