#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QMenu;
class QWidget;
class DataControl;

// What a colour binding or an apply step sets on a control.
enum class ColorProperty {
    BackColor,         // background of a control or of the window
    ForeColor,         // text colour
    EvenRowBackColor,  // grids only: rows 1, 3, 5 ... (the first row and every second after it)
    OddRowBackColor,   // grids only: rows 2, 4, 6 ...
    EvenRowForeColor,
    OddRowForeColor,
};

// One key of the window's colour table shown on one control (objectName; empty = the window).
struct ColorBinding {
    QString key;
    QString control;
    ColorProperty property = ColorProperty::BackColor;
};

struct ColorStep {
    enum Kind { Apply, Store };
    Kind kind = Apply;
    QString control;        // Apply: objectName, empty = the window
    ColorProperty property = ColorProperty::BackColor;
    QString key;            // Store: the column written
    static ColorStep apply(const QString& control, ColorProperty p) { return {Apply, control, p, {}}; }
    static ColorStep store(const QString& key) { return {Store, {}, ColorProperty::BackColor, key}; }
};

struct ColorMenuItem {
    QString name;           // objectName of the menu action, e.g. "MnuColorBackground"
    QString caption;        // with its & accelerator
    QString submenu;        // caption of the submenu holding it ("&List Window"); empty = directly in the menu
    std::function<void()> pre;    // optional, before the colour dialog
    QList<ColorStep> steps;
    std::function<void()> post;   // optional, after the last step
};

// The constant description of one window's colours.
struct ColorSchemeConfig {
    QString tableName;              // its one-row table in Colors.mdb
    QList<ColorBinding> bindings;   // applied in this order
    QString menuName;               // objectName of the colour menu, e.g. "MnuMaintScreenColor"
    QString menuCaption;            // "&Colors"
    QList<ColorMenuItem> items;
    QStringList popupControls;      // besides the window's background, controls whose right-click pops the menu
};

// A window's colour scheme: reads its table in Colors.mdb, applies the colours to the
// window's controls, and offers the colour menu (on the menu bar and as the right-button
// popup). One instance per window, a child of the window.
//
// How a window wires it (typically in its load step, after its controls exist):
//
//     m_colors = new ColorScheme(this, maintScreenColors());   // the window's constant config
//     menuBar()->addMenu(m_colors->menu());                    // the colour menu on the menu bar
//     m_colors->OpenColorScheme();                             // Colors.mdb, the window's table
//     m_colors->install();                                     // show -> apply, right button -> menu
//
// install() applies the scheme whenever the window is shown and pops the colour menu for a
// right-button press on the window's own background or on one of its popup controls. The menu
// items apply the whole scheme again after each change. Never call ApplyColorScheme from a
// paintEvent: setting a palette schedules another paint. A colour equal to the one a control
// already shows changes nothing, so applying again is cheap and repaints nothing.
//
// A menu item runs its pre-step, asks for a colour (the dialog preselects the colour last taken
// on this window since it loaded, black at first), applies and stores it step by step, then runs
// its post-step. Cancel in the dialog changes and stores nothing; the post-step still runs, so a
// list that the pre-step showed is put back as the window keeps it.
//
// What cannot be read (no Colors.mdb, no table, no row, no such column, a value that is not a
// colour) shows the window's designed colour for that key: the one the shipped Colors.mdb starts
// with, built into the program from the same script. A key the shipped file does not hold leaves
// the control in the colours it was built with. A colour that cannot be stored is still shown
// until the window closes, and the user is told once per menu choice.
//
// Whatever the scheme, a menu bar inside the window keeps the desktop's menu colours, and each
// named control inside a coloured widget keeps its own unless a binding colours it. A list grid
// shows its general background (BackColor) in the area its rows do not cover, and its first and
// next rows in their own colours.
class ColorScheme : public QObject
{
    Q_OBJECT
public:
    ColorScheme(QWidget* window, ColorSchemeConfig config);
    ~ColorScheme() override;

    void OpenColorScheme();                          // when the window loads
    void ApplyColorScheme();                         // when the window shows and after each change
    void ShowColorMenu(int button);                  // 1 left, 2 right, 4 middle: only 2 pops the menu
    void ChangeSchemeColor(const ColorMenuItem& item);

    // Applies the scheme at every show of the window and routes mouse presses on the window's
    // background and on the popup controls to ShowColorMenu. Call once, after the controls exist.
    void install();
    // True when a press at pos (in the window's coordinates) belongs to the window's own
    // background or to a popup control, so that the right button pops the colour menu there.
    bool isMenuClick(const QPoint& windowPos) const;

    QMenu* menu() const;                             // the colour menu, for the window's menu bar
    QColor color(const QString& key) const;          // the colour shown for key: the stored value
                                                     // (a colour that could not be stored counts
                                                     // as stored until the window closes), else
                                                     // the designed one, else invalid

    // Colours as the table stores them: 0x00BBGGRR.
    static qint64 toStored(const QColor& c);
    static QColor fromStored(qint64 value);          // invalid outside 0..0x00FFFFFF

    // Sets one colour property on a control as the scheme does (palette roles, the grid's row
    // colours); a colour equal to the current one changes nothing. Named controls inside the
    // widget keep their own colours: a frame's text colour does not spread to its check boxes.
    static void setColorProperty(QWidget* control, ColorProperty property, const QColor& color);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
