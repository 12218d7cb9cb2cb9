#include "support/ScriptedModal.h"

ScriptedModal::ScriptedModal()
    : m_previous(&ModalRunner::get())
{
    ModalRunner::install(this);
}

ScriptedModal::~ScriptedModal()
{
    if (&ModalRunner::get() == this)
        ModalRunner::install(m_previous);
}

ScriptedModal& ScriptedModal::onNext(std::function<void(QWidget*)> handler)
{
    m_handlers.append(std::move(handler));
    return *this;
}

void ScriptedModal::exec(QWidget* window)
{
    if (!window)
        return;
    if (!window->isWindow())
        window->setWindowFlag(Qt::Window, true);
    m_shown.append(window);
    window->show();
    if (!m_handlers.isEmpty())
        m_handlers.takeFirst()(window);
}
