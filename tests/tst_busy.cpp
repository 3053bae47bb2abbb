// Waiting for long work: the window keeps painting, takes no input, and input that arrived
// meanwhile is dropped rather than delivered once the work is over.

#include <busy.h>

#include <QApplication>
#include <QCloseEvent>
#include <QInputDevice>
#include <QPointingDevice>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

// Counts paint events, and tells when the GUI thread has handled everything posted before it.
class Probe : public QWidget
{
public:
    int paints = 0;
    QSemaphore reached;
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User) {
            reached.release();
            return true;
        }
        if (e->type() == QEvent::Paint)
            ++paints;
        return QWidget::event(e);
    }
};

} // namespace

class tst_Busy : public QObject
{
    Q_OBJECT
private slots:
    void inputDuringTheJobIsDropped();
    void windowPaintsDuringTheJob();
    void errorsComeBackToTheCaller();
};

void tst_Busy::inputDuringTheJobIsDropped()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *button = new QPushButton("press", &window);
    auto *edit = new QLineEdit(&window);
    auto *probe = new Probe;
    layout->addWidget(button);
    layout->addWidget(edit);
    layout->addWidget(probe);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();
    QSignalSpy clicks(button, &QPushButton::clicked);
    bool busyCursor = false;
    // Events built without a device take the primary ones, which Qt makes on first use; made on
    // the job's thread they would get no parent and leak.
    QInputDevice::primaryKeyboard();
    QPointingDevice::primaryPointingDevice();

    forms::runWithoutInput([&] {
        const QPointF at(button->rect().center());
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, button->mapToGlobal(at),
                                                            Qt::LeftButton, Qt::LeftButton, {}));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, button->mapToGlobal(at),
                                                            Qt::LeftButton, Qt::NoButton, {}));
        QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, {}, "a"));
        QCoreApplication::postEvent(&window, new QCloseEvent);
        QCoreApplication::postEvent(probe, new QEvent(QEvent::User));
        probe->reached.acquire();
        busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
    });
    QVERIFY(busyCursor);
    // Input posted in the last moment of the job is dropped as well.
    QCoreApplication::processEvents();
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(edit->text(), QString());
    QVERIFY(window.isVisible());
    QVERIFY(!QApplication::overrideCursor());

    // After the job the window takes input again.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
}

void tst_Busy::windowPaintsDuringTheJob()
{
    Probe probe;
    probe.resize(100, 100);
    probe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe));
    QCoreApplication::processEvents();
    const int before = probe.paints;
    forms::runWithoutInput([&] {
        QMetaObject::invokeMethod(&probe, [&] { probe.repaint(); }, Qt::QueuedConnection);
        QCoreApplication::postEvent(&probe, new QEvent(QEvent::User));
        probe.reached.acquire();
    });
    QVERIFY(probe.paints > before);
}

void tst_Busy::errorsComeBackToTheCaller()
{
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             forms::runWithoutInput([] { throw std::runtime_error("disk full"); }));
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(tst_Busy)
#include "tst_busy.moc"
