#include "platform/Modal.h"

#include <QApplication>
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

// Makes a window one of owner's (nullptr: a window of its own), where it was and as shown as it was.
void rehome(QWidget* window, QWidget* owner)
{
    const QRect geometry = window->geometry();
    const bool wasVisible = window->isVisible();
    window->setParent(owner, window->windowFlags() | Qt::Window);
    if (wasVisible) {
        window->setGeometry(geometry);
        window->show();
    }
}

// The modal window a window shown beside the modal ones must belong to, so that the modal block
// does not shut it out: the one open now, unless it is the window itself or one of its own (a file
// dialog over a preview); nullptr when none is open.
QWidget* modalOwnerFor(QWidget* window)
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != window && !window->isAncestorOf(modal) ? modal : nullptr;
}

// Keeps a window beside the modal windows: when the modal window that holds it is really hidden
// (a minimised one stays "visible"), it goes to the modal window still open under it (a message box
// over the Date prompt, a file dialog over a preview of it), or stands on its own when none is.
class OwnerWatch : public QObject {
    Q_OBJECT
public:
    explicit OwnerWatch(QWidget* window)
        : QObject(window)
        , m_window(window)
    {
    }

    static OwnerWatch* of(QWidget* window)
    {
        if (auto* watch = window->findChild<OwnerWatch*>(QString(), Qt::FindDirectChildrenOnly))
            return watch;
        return new OwnerWatch(window);
    }

    // Makes the window one of the modal window open now (or its own) and watches that one.
    void place()
    {
        QWidget* owner = modalOwnerFor(m_window);
        if (m_window->parentWidget() != owner)
            rehome(m_window, owner);
        watch(owner);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_owner && event->type() == QEvent::Hide && !m_owner->isVisible() && m_window->parentWidget() == watched) {
            watch(nullptr);
            place();
        }
        return false;
    }

private:
    void watch(QWidget* owner)
    {
        if (m_owner)
            m_owner->removeEventFilter(this);
        m_owner = owner;
        if (owner)
            owner->installEventFilter(this);
    }

    QWidget* m_window;
    QPointer<QWidget> m_owner;
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

void ShowBesideModal(QWidget* window)
{
    if (!window)
        return;
    OwnerWatch::of(window)->place();
    window->show();
    window->raise();
    window->activateWindow();
}

#include "Modal.moc"
