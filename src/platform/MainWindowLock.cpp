#include "platform/MainWindowLock.h"

#include <QEvent>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace {

// Ends a window's hold once the window is hidden for good (closed; a minimised window stays
// visible) or destroyed.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(QObject* owner)
        : m_owner(owner)
    {
        owner->installEventFilter(this);
    }

    // Stops watching at once; the object itself goes later, as it may be inside its own filter.
    void retire()
    {
        if (m_owner)
            m_owner->removeEventFilter(this);
        m_owner = nullptr;
        deleteLater();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_owner && event->type() == QEvent::Hide) {
            auto* window = qobject_cast<QWidget*>(watched);
            if (window && !window->isVisible()) {
                MainWindowLock::release(watched);
                return false;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QObject> m_owner;
};

struct Hold {
    const QObject* owner = nullptr;   // compared only, never dereferenced
    std::function<void()> onRelease;
    CloseWatcher* watcher = nullptr;
    QMetaObject::Connection destroyed;
};

struct State {
    QPointer<QWidget> mainWindow;
    QList<std::shared_ptr<Hold>> holds;
};

State& state()
{
    static State s;
    return s;
}

void applyEnabled()
{
    State& s = state();
    if (s.mainWindow)
        s.mainWindow->setEnabled(s.holds.isEmpty());
}

}  // namespace

void MainWindowLock::setMainWindow(QWidget* window)
{
    state().mainWindow = window;
    applyEnabled();
}

QWidget* MainWindowLock::mainWindow()
{
    return state().mainWindow;
}

void MainWindowLock::acquire(QObject* owner, std::function<void()> onRelease)
{
    if (!owner || isHeldBy(owner)) {
        applyEnabled();
        return;
    }
    auto hold = std::make_shared<Hold>();
    hold->owner = owner;
    hold->onRelease = std::move(onRelease);
    if (owner->isWidgetType())
        hold->watcher = new CloseWatcher(owner);
    hold->destroyed = QObject::connect(owner, &QObject::destroyed, [owner] { MainWindowLock::release(owner); });
    state().holds.append(hold);
    applyEnabled();
}

void MainWindowLock::release(QObject* owner)
{
    State& s = state();
    for (int i = 0; i < s.holds.size(); ++i) {
        if (s.holds[i]->owner != owner)
            continue;
        std::shared_ptr<Hold> hold = s.holds.takeAt(i);
        QObject::disconnect(hold->destroyed);
        if (hold->watcher)
            hold->watcher->retire();
        applyEnabled();
        if (hold->onRelease)
            hold->onRelease();
        return;
    }
}

bool MainWindowLock::isHeldBy(const QObject* owner)
{
    for (const auto& hold : std::as_const(state().holds))
        if (hold->owner == owner)
            return true;
    return false;
}

bool MainWindowLock::isLocked()
{
    return !state().holds.isEmpty();
}

int MainWindowLock::holders()
{
    return int(state().holds.size());
}
