#include "colours/ColorScheme.h"

#include "data/DataControl.h"
#include "data/Schema.h"
#include "platform/Dialogs.h"
#include "platform/InputRules.h"
#include "platform/Prompts.h"

#include "ShippedColors.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStyledItemDelegate>

namespace {

// The three colour groups a palette keeps; text colours leave the disabled group alone so that
// a disabled control still shows its greyed text.
constexpr QPalette::ColorGroup allGroups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};
constexpr QPalette::ColorGroup enabledGroups[] = {QPalette::Active, QPalette::Inactive};

// Marks, per widget, the palette roles that were fixed to the widget's own designed colour
// before a colour was set on a widget around it.
const char* const pinnedProperty = "_colorSchemePinnedRoles";

// A control of the window in the legacy sense: one the window names. Qt's own parts
// ("qt_scrollarea_viewport", a tab widget's bar) and unnamed helpers belong to their owner.
bool isNamedControl(const QWidget* w)
{
    const QString name = w->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && !w->isWindow();
}

// A plain container (a tab page, a stacked page) is surface of the control holding it.
bool isPlainContainer(const QWidget* w)
{
    const QMetaObject* mo = w->metaObject();
    return mo == &QWidget::staticMetaObject || mo == &QStackedWidget::staticMetaObject;
}

// Fixes a widget's role at the colour it takes from `from`, so that a colour set on a widget
// around it does not spread to it.
void pinRole(QWidget* w, QPalette::ColorRole role, const QPalette& from)
{
    const qulonglong mask = w->property(pinnedProperty).toULongLong();
    const qulonglong bit = qulonglong(1) << int(role);
    if (mask & bit)
        return;
    QPalette p = w->palette();
    for (QPalette::ColorGroup g : allGroups)
        p.setColor(g, role, from.color(g, role));
    w->setPalette(p);
    w->setProperty(pinnedProperty, mask | bit);
}

// Keeps what lies inside a widget as it is when a colour is set on the widget: every named
// control keeps the colours it shows now (each legacy control had colours of its own), and a
// menu bar keeps the desktop's menu colours, whatever the window's scheme, so that its menus (the
// colour menu among them) always read as menus.
void keepColoursInside(QWidget* w, QPalette::ColorRole role)
{
    const QList<QWidget*> inside = w->findChildren<QWidget*>();
    for (QWidget* child : inside) {
        if (qobject_cast<QMenuBar*>(child))
            pinRole(child, role, QApplication::palette(child));
        else if (isNamedControl(child))
            pinRole(child, role, child->palette());
    }
}

// Sets one palette role of a widget (text colours: the enabled groups only, so that a disabled
// control still shows its greyed text). Equal colours change nothing and so repaint nothing.
void setRoles(QWidget* w, QPalette::ColorRole role, bool textOnly, const QColor& color)
{
    const auto groups = textOnly ? QList<QPalette::ColorGroup>(std::begin(enabledGroups), std::end(enabledGroups))
                                 : QList<QPalette::ColorGroup>(std::begin(allGroups), std::end(allGroups));
    QPalette p = w->palette();
    bool same = true;
    for (QPalette::ColorGroup g : groups)
        same = same && p.color(g, role) == color;
    if (same)
        return;
    keepColoursInside(w, role);
    p = w->palette();
    for (QPalette::ColorGroup g : groups)
        p.setColor(g, role, color);
    w->setPalette(p);
}

// One palette role of one widget that shows a colour property.
struct RoleTarget {
    QWidget* widget;
    QPalette::ColorRole role;
    bool textOnly;
};

// The palette roles that show a colour property on a control.
QList<RoleTarget> roleTargets(QWidget* w, ColorProperty property)
{
    if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        // A list: its general background is the viewport's own, showing in the area no row
        // covers; the rows are the list's base (first rows) and alternate base (next rows); one
        // text colour for all rows.
        switch (property) {
        case ColorProperty::BackColor:
            return {{view->viewport(), QPalette::Base, false}};
        case ColorProperty::EvenRowBackColor:
            return {{w, QPalette::Base, false}};
        case ColorProperty::OddRowBackColor:
            return {{w, QPalette::AlternateBase, false}};
        case ColorProperty::ForeColor:
        case ColorProperty::EvenRowForeColor:
        case ColorProperty::OddRowForeColor:
            return {{w, QPalette::Text, true}};
        }
        return {};
    }
    switch (property) {
    case ColorProperty::BackColor:
        return {{w, w->backgroundRole(), false}};
    case ColorProperty::ForeColor:
        if (qobject_cast<QGroupBox*>(w))   // the style draws a frame's caption in the text role
            return {{w, QPalette::WindowText, true}, {w, QPalette::Text, true}, {w, QPalette::ButtonText, true}};
        if (w->foregroundRole() == QPalette::WindowText)   // buttons inside a bar (the navigator) follow its text
            return {{w, QPalette::WindowText, true}, {w, QPalette::ButtonText, true}};
        return {{w, w->foregroundRole(), true}};
    default:
        return {};   // row colours exist on lists only
    }
}

// Paints the first row and every second one after it in the list's base colour. A list with
// alternating rows fills only the next rows itself and lets the others show the viewport, which
// here shows the list's general background.
class RowColorsDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->backgroundBrush.style() == Qt::NoBrush
            && !option->features.testFlag(QStyleOptionViewItem::Alternate))
            option->backgroundBrush = option->palette.base();
    }
};

// What else a property needs to show: a filled background, alternating rows, painted first rows.
void finishProperty(QWidget* w, ColorProperty property)
{
    if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        if (property == ColorProperty::OddRowBackColor && !view->alternatingRowColors())
            view->setAlternatingRowColors(true);
        // A list with a delegate of its own paints its rows as that delegate does.
        QAbstractItemDelegate* delegate = view->itemDelegate();
        if (property == ColorProperty::EvenRowBackColor && delegate && !dynamic_cast<RowColorsDelegate*>(delegate)
            && delegate->metaObject() == &QStyledItemDelegate::staticMetaObject)
            view->setItemDelegate(new RowColorsDelegate(view));
        return;
    }
    // Boxes and lists paint their own base; everything else fills its rectangle.
    if (property == ColorProperty::BackColor && !qobject_cast<QLineEdit*>(w)
        && !qobject_cast<QAbstractScrollArea*>(w) && !w->autoFillBackground())
        w->setAutoFillBackground(true);
}

int buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

}  // namespace

// Watches the window (show, presses that reach its background) and the popup controls.
class ColorSchemeWiring : public QObject
{
public:
    explicit ColorSchemeWiring(ColorScheme* scheme, QWidget* window)
        : QObject(scheme), m_scheme(scheme), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched == m_window) {
            m_scheme->ApplyColorScheme();
        } else if (event->type() == QEvent::MouseButtonPress) {
            auto* w = qobject_cast<QWidget*>(watched);
            auto* me = static_cast<QMouseEvent*>(event);
            if (!w || !m_window)
                return false;
            const QPoint inWindow = w == m_window ? me->position().toPoint()
                                                  : w->mapTo(m_window.data(), me->position().toPoint());
            if (!m_scheme->isMenuClick(inWindow))
                return false;
            const int code = buttonCode(me->button());
            m_scheme->ShowColorMenu(code);
            return code == 2;   // the menu took the press
        }
        return false;
    }

private:
    ColorScheme* m_scheme;
    QPointer<QWidget> m_window;
};

struct ColorScheme::Impl {
    QPointer<QWidget> window;
    ColorSchemeConfig config;
    DataControl* source = nullptr;
    QString openError;                   // why Colors.mdb or the table could not be opened
    QColor held = Qt::black;             // the colour dialog's colour, kept per window load
    QHash<QString, qint64> unsaved;      // lower-case key -> chosen colour the file refused
    QHash<QString, qint64> shipped;      // lower-case key -> the colour the shipped table starts with
    QPointer<QMenu> menu;
    ColorSchemeWiring* wiring = nullptr;
    mutable QHash<QString, QPointer<QWidget>> controls;

    QWidget* control(const QString& name) const
    {
        if (name.isEmpty())
            return window;
        QPointer<QWidget>& found = controls[name];
        if (!found && window)
            found = window->findChild<QWidget*>(name);
        return found;
    }

    // The colour the row holds for key; invalid when it cannot be read as a colour.
    QColor stored(const QString& key) const
    {
        Recordset* rs = row();
        if (!rs || !rs->hasCurrent() || rs->fieldIndex(key) < 0)
            return QColor();
        try {
            const QVariant v = rs->value(key);
            if (v.isNull())
                return QColor();
            bool ok = false;
            const qint64 n = v.toLongLong(&ok);
            if (!ok || (v.typeId() == QMetaType::Double && double(n) != v.toDouble()))
                return QColor();
            return fromStored(n);
        } catch (const DbError&) {
            return QColor();
        }
    }

    Recordset* row() const
    {
        Recordset* rs = source ? source->recordset() : nullptr;
        return rs && !rs->isClosed() ? rs : nullptr;
    }

    // Writes one key into the table's first row; on failure says why in reason.
    bool store(const QString& key, qint64 value, QString* reason)
    {
        Recordset* rs = row();
        const QString table = config.tableName;
        if (!rs) {
            *reason = openError.isEmpty()
                ? QStringLiteral("The color table %1 is not open.").arg(table) : openError;
            return false;
        }
        if (rs->fieldIndex(key) < 0) {
            *reason = QStringLiteral("The color table %1 has no column %2.").arg(table, key);
            return false;
        }
        if (!rs->hasCurrent()) {
            *reason = QStringLiteral("The color table %1 holds no row.").arg(table);
            return false;
        }
        try {
            rs->edit();
            rs->setValue(key, value);
            rs->update();
            return true;
        } catch (const DbError& e) {
            *reason = e.text();
        } catch (const std::exception& e) {
            *reason = QString::fromLocal8Bit(e.what());
        }
        try {
            rs->cancelUpdate();
        } catch (...) {
        }
        return false;
    }
};

ColorScheme::ColorScheme(QWidget* window, ColorSchemeConfig config)
    : QObject(window), d(std::make_unique<Impl>())
{
    d->window = window;
    d->config = std::move(config);
    // Table and column names compare as the database compares them, whatever their letter case.
    for (const FirstRowValue& v : firstRowValues)
        if (d->config.tableName.compare(QLatin1String(v.table), Qt::CaseInsensitive) == 0)
            d->shipped.insert(QString::fromLatin1(v.column).toLower(), v.value);

    d->menu = new QMenu(d->config.menuCaption, window);
    d->menu->setObjectName(d->config.menuName);
    QHash<QString, QMenu*> submenus;
    for (int i = 0; i < d->config.items.size(); ++i) {
        const ColorMenuItem& item = d->config.items.at(i);
        QMenu* parent = d->menu;
        if (!item.submenu.isEmpty()) {
            QMenu*& sub = submenus[item.submenu];
            if (!sub)
                sub = d->menu->addMenu(item.submenu);
            parent = sub;
        }
        QAction* action = parent->addAction(item.caption);
        action->setObjectName(item.name);
        connect(action, &QAction::triggered, this, [this, i] { ChangeSchemeColor(d->config.items.at(i)); });
    }
}

ColorScheme::~ColorScheme()
{
    delete d->menu.data();
}

void ColorScheme::OpenColorScheme()
{
    d->held = Qt::black;
    d->unsaved.clear();
    d->openError.clear();
    if (!d->source)
        d->source = new DataControl(this);
    d->source->setDatabaseName(ColorsDatabasePath());
    d->source->setRecordSource(d->config.tableName);
    d->source->setRecordsetType(Recordset::Kind::Table);
    try {
        d->source->refresh();   // stands on the table's first row
    } catch (const DbError& e) {
        d->openError = e.text();
    } catch (const std::exception& e) {
        d->openError = QString::fromLocal8Bit(e.what());
    }
}

void ColorScheme::ApplyColorScheme()
{
    if (!d->window)
        return;
    // The bindings in order, resolved first to the last colour each role of each control takes,
    // so that two bindings on one role do not set it twice (and repaint) at every apply.
    struct Setting {
        RoleTarget target;
        QColor color;
    };
    QList<Setting> settings;
    QHash<QPair<QWidget*, int>, qsizetype> slot;
    QList<QPair<QWidget*, ColorProperty>> finishing;
    for (const ColorBinding& b : std::as_const(d->config.bindings)) {
        QWidget* w = d->control(b.control);
        if (!w)
            continue;
        const QColor c = color(b.key);
        if (!c.isValid())
            continue;
        for (const RoleTarget& t : roleTargets(w, b.property)) {
            const auto key = qMakePair(t.widget, int(t.role));
            const auto found = slot.constFind(key);
            if (found == slot.constEnd()) {
                slot.insert(key, settings.size());
                settings.append({t, c});
            } else {
                settings[*found].color = c;
            }
        }
        finishing.append({w, b.property});
    }
    for (const Setting& s : std::as_const(settings))
        setRoles(s.target.widget, s.target.role, s.target.textOnly, s.color);
    for (const auto& f : std::as_const(finishing))
        finishProperty(f.first, f.second);
}

void ColorScheme::ShowColorMenu(int button)
{
    if (button != 2 || !d->menu)
        return;
    d->menu->exec(QCursor::pos());
}

void ColorScheme::ChangeSchemeColor(const ColorMenuItem& item)
{
    if (item.pre)
        item.pre();
    const std::optional<QColor> chosen = Dialogs::get().chooseColor(d->held);
    if (!chosen || !chosen->isValid()) {
        // Cancel keeps every colour as it was; the post-step still puts the window back in the
        // state it keeps outside the menu (a list the pre-step showed is hidden again).
        if (item.post)
            item.post();
        return;
    }
    const QColor c = QColor(chosen->red(), chosen->green(), chosen->blue());
    d->held = c;
    const qint64 value = toStored(c);

    QString failure;
    for (const ColorStep& step : item.steps) {
        if (step.kind == ColorStep::Apply) {
            if (QWidget* w = d->control(step.control))
                setColorProperty(w, step.property, c);
            continue;
        }
        const QString key = step.key.toLower();
        if (failure.isEmpty() && d->store(step.key, value, &failure)) {
            d->unsaved.remove(key);
        } else {
            d->unsaved.insert(key, value);   // shown until the window closes
        }
    }
    ApplyColorScheme();
    if (!failure.isEmpty())
        MsgBox(QStringLiteral("The color could not be saved. %1\n\nIt is shown until this window is closed.")
                   .arg(failure), 48);
    if (item.post)
        item.post();
}

void ColorScheme::install()
{
    if (!d->window)
        return;
    if (!d->wiring)
        d->wiring = new ColorSchemeWiring(this, d->window);
    d->window->installEventFilter(d->wiring);
    for (const QString& name : std::as_const(d->config.popupControls)) {
        QWidget* w = d->control(name);
        if (!w)
            continue;
        w->installEventFilter(d->wiring);
        // A list takes its presses on its viewport; they never reach the list itself.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(w))
            area->viewport()->installEventFilter(d->wiring);
    }
    if (d->window->isVisible())
        ApplyColorScheme();
}

bool ColorScheme::isMenuClick(const QPoint& windowPos) const
{
    if (!d->window)
        return false;
    if (isBackgroundClick(d->window, windowPos))
        return true;
    // A popup control counts when the press is on its own surface, not on a control inside it.
    QWidget* hit = d->window->childAt(windowPos);
    for (const QString& name : std::as_const(d->config.popupControls)) {
        QWidget* popup = d->control(name);
        if (!popup || !hit || (hit != popup && !popup->isAncestorOf(hit)))
            continue;
        for (QWidget* w = hit; w && w != popup; w = w->parentWidget()) {
            if (isNamedControl(w) && !isPlainContainer(w)) {
                // Another popup control inside this one answers for itself.
                return d->config.popupControls.contains(w->objectName());
            }
        }
        return true;
    }
    return false;
}

QMenu* ColorScheme::menu() const
{
    return d->menu;
}

QColor ColorScheme::color(const QString& key) const
{
    const QString lower = key.toLower();
    const auto pending = d->unsaved.constFind(lower);
    if (pending != d->unsaved.constEnd())
        return fromStored(*pending);
    const QColor c = d->stored(key);
    if (c.isValid())
        return c;
    const auto shipped = d->shipped.constFind(lower);
    return shipped != d->shipped.constEnd() ? fromStored(*shipped) : QColor();
}

qint64 ColorScheme::toStored(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return qint64(rgb.red()) | (qint64(rgb.green()) << 8) | (qint64(rgb.blue()) << 16);
}

QColor ColorScheme::fromStored(qint64 value)
{
    // A high byte or a negative value is no RGB colour (the legacy kept system-colour indexes
    // there); the control keeps its designed colour rather than showing a wrong one.
    if (value < 0 || value > 0xFFFFFF)
        return QColor();
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void ColorScheme::setColorProperty(QWidget* w, ColorProperty property, const QColor& color)
{
    if (!w || !color.isValid())
        return;
    for (const RoleTarget& t : roleTargets(w, property))
        setRoles(t.widget, t.role, t.textOnly, color);
    finishProperty(w, property);
}
