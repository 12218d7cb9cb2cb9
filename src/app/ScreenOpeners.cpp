#include "app/ScreenOpeners.h"

#include "app/Information.h"
#include "parts/MaintScreen.h"

void ScreenOpeners::setFactory(const QString& screen, Factory factory)
{
    m_factories.insert(screen, std::move(factory));
}

bool ScreenOpeners::has(const QString& screen) const
{
    return bool(m_factories.value(screen));
}

QWidget* ScreenOpeners::window(const QString& screen)
{
    if (QWidget* alive = existing(screen))
        return alive;
    const Factory factory = m_factories.value(screen);
    if (!factory)
        return nullptr;
    QWidget* made = factory();
    m_windows.insert(screen, made);
    return made;
}

QWidget* ScreenOpeners::existing(const QString& screen) const
{
    return m_windows.value(screen);
}

void RegisterScreens(ScreenOpeners& screens)
{
    // Unloaded when it closes: every opening reads the row afresh on tab 0.
    screens.setFactory(ScreenName::Information, [] { return new Information; });
    screens.setFactory(ScreenName::MaintScreen, [] { return new MaintScreen; });
}
