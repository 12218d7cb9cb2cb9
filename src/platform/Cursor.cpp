#include "platform/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

int aliveWaitCursors = 0;

bool haveGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace

WaitCursor::WaitCursor()
    : m_pushed(haveGuiApplication())
{
    ++aliveWaitCursors;
    if (m_pushed)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    --aliveWaitCursors;
    if (m_pushed && haveGuiApplication())
        QGuiApplication::restoreOverrideCursor();
}

int WaitCursor::depth()
{
    return aliveWaitCursors;
}

ArrowCursor::ArrowCursor()
    : m_pushed(haveGuiApplication() && QGuiApplication::overrideCursor() != nullptr)
{
    if (m_pushed)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
}

ArrowCursor::~ArrowCursor()
{
    if (m_pushed && haveGuiApplication())
        QGuiApplication::restoreOverrideCursor();
}
