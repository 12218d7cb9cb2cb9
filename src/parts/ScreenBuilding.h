#pragma once

#include "colours/ColorScheme.h"

#include <QString>
#include <QStringList>

#include <initializer_list>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QWidget;

// The pieces the parts screens build their windows from.

// A menu item with its objectName.
QAction* namedAction(QMenu* menu, const QString& name, const QString& caption);
// Controls with their objectName, placed in twips.
QLabel* labelAt(QWidget* parent, const QString& name, const QString& text, int left, int top, int width, int height,
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
QPushButton* buttonAt(QWidget* parent, const QString& name, const QString& caption, const QString& tip, int left,
                      int top, int width, int height);
// A frame with a caption in bold.
QGroupBox* frameAt(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                   int height);

// "Label1", "Label2" ... for the numbers given.
QStringList labelNames(std::initializer_list<int> numbers);
// The colour of key shown as property on each of controls, in their order.
void bindColor(ColorSchemeConfig& config, const QString& key, const QStringList& controls, ColorProperty property);
// The bindings a parts screen's scheme starts with, in this order: the window's background, the
// navigator's text, the text of textControls, the navigator's background, the background of
// backControls.
void bindScreenColors(ColorSchemeConfig& config, const QString& navigator, const QStringList& textControls,
                      const QStringList& backControls);
// The colours of a list (a record grid): its background, its text and its two row colours.
void bindListColors(ColorSchemeConfig& config, const QString& grid);
// A step of a colour menu item for each of controls, applying property, in their order.
void applyColor(QList<ColorStep>& steps, const QStringList& controls, ColorProperty property);

// The colour menu's background item as the parts screens have it: the window's background, then
// the navigator's, then that of controls, each stored under its key.
ColorMenuItem screenBackgroundItem(const QString& name, const QString& caption, const QString& navigator,
                                   const QStringList& controls);
// The colour menu's text item: the navigator's text, then that of controls.
ColorMenuItem screenTextItem(const QString& name, const QString& caption, const QString& navigator,
                             const QStringList& controls);
// An item of the list's submenu: the colour is stored under key, then shown as each of properties
// on the grid.
ColorMenuItem listColorItem(const QString& name, const QString& caption, const QString& submenu, const QString& key,
                            const QString& grid, std::initializer_list<ColorProperty> properties);
