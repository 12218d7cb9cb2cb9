#include "app/ScreenOpeners.h"

#include "app/Information.h"
#include "parts/MaintScreen.h"
#include "stock/ModifyData.h"
#include "stock/PartsUsage.h"
#include "stock/ReceiveParts.h"
#include "stock/TagParts.h"
#include "utilities/ChangePrice.h"
#include "utilities/frmZipCreate.h"

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
    screens.setFactory(ScreenName::TagParts, [] { return new TagParts; });
    screens.setFactory(ScreenName::ReceiveParts, [] { return new ReceiveParts; });
    screens.setFactory(ScreenName::PartsUsage, [] { return new PartsUsage; });
    screens.setFactory(ScreenName::ModifyData, [] { return new ModifyData; });
    screens.setFactory(ScreenName::frmZipCreate, [] { return new frmZipCreate; });
    screens.setFactory(ScreenName::ChangePrice, [] { return new ChangePrice; });
}
