#include "parts/ScreenBuilding.h"

#include "parts/PartsFonts.h"
#include "platform/Twips.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

QAction* namedAction(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QLabel* labelAt(QWidget* parent, const QString& name, const QString& text, int left, int top, int width, int height,
                Qt::Alignment alignment)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment);
    placeTwips(label, left, top, width, height);
    return label;
}

QPushButton* buttonAt(QWidget* parent, const QString& name, const QString& caption, const QString& tip, int left,
                      int top, int width, int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    placeTwips(button, left, top, width, height);
    return button;
}

QGroupBox* frameAt(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                   int height)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setFont(arialFont(8, true));
    placeTwips(frame, left, top, width, height);
    return frame;
}

QStringList labelNames(std::initializer_list<int> numbers)
{
    QStringList names;
    for (int n : numbers)
        names << QStringLiteral("Label%1").arg(n);
    return names;
}

void bindColor(ColorSchemeConfig& config, const QString& key, const QStringList& controls, ColorProperty property)
{
    for (const QString& control : controls)
        config.bindings.append({key, control, property});
}

void bindScreenColors(ColorSchemeConfig& config, const QString& navigator, const QStringList& textControls,
                      const QStringList& backControls)
{
    bindColor(config, QStringLiteral("MainFormBackColor"), {QString()}, ColorProperty::BackColor);
    bindColor(config, QStringLiteral("SSDataForeColor"), {navigator}, ColorProperty::ForeColor);
    bindColor(config, QStringLiteral("LabelForeColor"), textControls, ColorProperty::ForeColor);
    bindColor(config, QStringLiteral("SSDataBackColor"), {navigator}, ColorProperty::BackColor);
    bindColor(config, QStringLiteral("LabelBackColor"), backControls, ColorProperty::BackColor);
}

void bindListColors(ColorSchemeConfig& config, const QString& grid)
{
    bindColor(config, QStringLiteral("SSDBGridBackColor"), {grid}, ColorProperty::BackColor);
    bindColor(config, QStringLiteral("SSDBGridForeColor"), {grid}, ColorProperty::EvenRowForeColor);
    bindColor(config, QStringLiteral("SSDBGridForeColor"), {grid}, ColorProperty::OddRowForeColor);
    bindColor(config, QStringLiteral("SSDBGridEvenColor"), {grid}, ColorProperty::EvenRowBackColor);
    bindColor(config, QStringLiteral("SSDBGridOddColor"), {grid}, ColorProperty::OddRowBackColor);
}

void applyColor(QList<ColorStep>& steps, const QStringList& controls, ColorProperty property)
{
    for (const QString& control : controls)
        steps.append(ColorStep::apply(control, property));
}

ColorMenuItem screenBackgroundItem(const QString& name, const QString& caption, const QString& navigator,
                                   const QStringList& controls)
{
    ColorMenuItem item;
    item.name = name;
    item.caption = caption;
    item.steps = {ColorStep::apply(QString(), ColorProperty::BackColor),
                  ColorStep::store(QStringLiteral("MainFormBackColor")),
                  ColorStep::apply(navigator, ColorProperty::BackColor),
                  ColorStep::store(QStringLiteral("SSDataBackColor"))};
    applyColor(item.steps, controls, ColorProperty::BackColor);
    item.steps.append(ColorStep::store(QStringLiteral("LabelBackColor")));
    return item;
}

ColorMenuItem screenTextItem(const QString& name, const QString& caption, const QString& navigator,
                             const QStringList& controls)
{
    ColorMenuItem item;
    item.name = name;
    item.caption = caption;
    item.steps = {ColorStep::apply(navigator, ColorProperty::ForeColor),
                  ColorStep::store(QStringLiteral("SSDataForeColor"))};
    applyColor(item.steps, controls, ColorProperty::ForeColor);
    item.steps.append(ColorStep::store(QStringLiteral("LabelForeColor")));
    return item;
}

ColorMenuItem listColorItem(const QString& name, const QString& caption, const QString& submenu, const QString& key,
                            const QString& grid, std::initializer_list<ColorProperty> properties)
{
    ColorMenuItem item;
    item.name = name;
    item.caption = caption;
    item.submenu = submenu;
    item.steps.append(ColorStep::store(key));
    for (ColorProperty p : properties)
        item.steps.append(ColorStep::apply(grid, p));
    return item;
}
