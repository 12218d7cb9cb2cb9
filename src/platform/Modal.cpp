#include "platform/Modal.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace {

ModalRunner* installedRunner = nullptr;

// Ends the local event loop once the window is really hidden; a minimised window stays "visible".
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* window, QEventLoop* loop)
        : m_window(window)
        , m_loop(loop)
    {
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, loop, &QEventLoop::quit);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Hide && !m_window->isVisible())
            m_loop->quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_window;
    QEventLoop* m_loop;
};

class EventLoopRunner : public ModalRunner {
public:
    void exec(QWidget* window) override
    {
        if (!window)
            return;
        QPointer<QWidget> guard(window);
        if (!window->isWindow())
            window->setWindowFlag(Qt::Window, true);
        // Modality only takes effect when the window is shown, so a visible one is shown again.
        if (window->isVisible())
            window->hide();
        const Qt::WindowModality previous = window->windowModality();
        window->setWindowModality(Qt::ApplicationModal);

        QEventLoop loop;
        HideWatcher watcher(window, &loop);
        window->show();
        window->raise();
        window->activateWindow();
        if (guard && guard->isVisible())
            loop.exec(QEventLoop::DialogExec);
        if (guard) {
            guard->removeEventFilter(&watcher);
            guard->setWindowModality(previous);
        }
    }
};

}  // namespace

ModalRunner& ModalRunner::get()
{
    static EventLoopRunner real;
    return installedRunner ? *installedRunner : real;
}

void ModalRunner::install(ModalRunner* r)
{
    installedRunner = r;
}

void ShowModal(QWidget* window)
{
    ModalRunner::get().exec(window);
}
