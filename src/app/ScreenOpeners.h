#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// The windows the main window opens, by name.
namespace ScreenName {
inline const QString MaintScreen = QStringLiteral("MaintScreen");     // "&Maintain Database"
inline const QString TagParts = QStringLiteral("TagParts");           // "&Tag Parts for Ordering"
inline const QString Information = QStringLiteral("Information");     // "&Center Information"
inline const QString ReceiveParts = QStringLiteral("ReceiveParts");   // "R&eceive Parts"
inline const QString PartsUsage = QStringLiteral("PartsUsage");       // "U&se Parts", "Parts Usage (One Part)"
inline const QString ModifyData = QStringLiteral("ModifyData");       // "&Input Your Inventory"
inline const QString frmZipCreate = QStringLiteral("frmZipCreate");   // "&Backup / Restore Data"
inline const QString ChangePrice = QStringLiteral("ChangePrice");     // "&Change Prices (With Disk)"
}

// Makes each window the main window opens, on first use, and keeps it while it lives, so that a
// screen that only hides itself is shown again as it was and one that is deleted on close is
// made afresh. A command whose window has no factory opens nothing.
class ScreenOpeners {
public:
    using Factory = std::function<QWidget*()>;

    void setFactory(const QString& screen, Factory factory);
    bool has(const QString& screen) const;

    // The screen's window still alive, else a new one from its factory; nullptr without factory.
    QWidget* window(const QString& screen);
    QWidget* existing(const QString& screen) const;

private:
    QHash<QString, Factory> m_factories;
    QHash<QString, QPointer<QWidget>> m_windows;
};

// Fills in the factory of every screen that exists. New screens are added there, and only there.
void RegisterScreens(ScreenOpeners& screens);
