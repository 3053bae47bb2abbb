#include "busy.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QEventLoop>
#include <exception>
#include <thread>

namespace forms {

namespace {

class InputDropper : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void runWithoutInput(const std::function<void()> &job)
{
    InputDropper dropper;
    qApp->installEventFilter(&dropper);
    QApplication::setOverrideCursor(Qt::BusyCursor);

    std::exception_ptr failure;
    QEventLoop loop;
    std::thread worker([&] {
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    // Input that reached the queue while the job ran is dropped here too, not delivered later.
    QCoreApplication::processEvents(QEventLoop::AllEvents);

    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(&dropper);
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace forms
