#pragma once

#include "platform/Modal.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

// Shows "modal" windows without blocking. Each exec() shows the window, records it and runs the
// next queued handler, which may drive the window and close it; with no handler queued the window
// is left open for the test to drive after exec() returns. Installed for its lifetime.
class ScriptedModal : public ModalRunner {
public:
    ScriptedModal();
    ~ScriptedModal() override;
    ScriptedModal(const ScriptedModal&) = delete;
    ScriptedModal& operator=(const ScriptedModal&) = delete;

    ScriptedModal& onNext(std::function<void(QWidget*)> handler);
    QList<QPointer<QWidget>> shown() const { return m_shown; }
    bool allHandled() const { return m_handlers.isEmpty(); }

    void exec(QWidget* window) override;

private:
    ModalRunner* m_previous;
    QList<std::function<void(QWidget*)>> m_handlers;
    QList<QPointer<QWidget>> m_shown;
};
