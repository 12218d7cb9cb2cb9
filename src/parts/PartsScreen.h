#pragma once

#include "parts/FindPartWindow.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>

class ColorScheme;
class DataControl;
class QLineEdit;
class QPushButton;
class Recordset;

struct ColorSchemeConfig;

// Points a data source at the parts table; the setting is applied at its next refresh.
void usePartsTable(DataControl& data);
// Reads the parts table in the order of index ("inv1", "inv2", "inv3", "location") and stands on
// the first part. Throws DbError.
void openPartsTable(DataControl& data, const QString& index);
// Reads the information row (vendor names and makes, discounts). Without it, what is bound to it
// stays empty: nothing is said.
void openInformation(DataControl& data);

// What a record navigator says of the position in the parts: "Part 3 of 120", "New part" while
// one is being added, "No parts", or nothing when no parts are open.
QString partPositionCaption(const Recordset* rs);

// Why a number box refuses what was typed into it: not a price, a price below 0 or too large to be
// one; not a whole number, or one too large for a count.
QString notAPriceText(const QString& typed);
QString notAWholeNumberText(const QString& typed);
// Why a box that counts (packages, parts) refuses a number below 0 or with a fraction.
QString notACountText(const QString& typed);
// What is said, once while the part is shown, of a value the part stores that is too large to be
// used here (shown: what its box shows, "####" for an amount beyond what money holds).
QString storedTooLargeText(const QString& field, const QString& shown);

// The window of a screen that works on the parts one at a time: the maintenance, ordering,
// stock-input, usage and receiving screens. Opened modeless from the main window, which the opener
// locks; deleted when closed.
//
// What it gives each of them:
// - Data1, the parts data source (the part on screen), and the find window opened on it, which
//   closes with the screen;
// - the first activation, run once (Form_Activate), at the window's activation or where the
//   platform reports none at a show;
// - the closing: the part on screen is written (closeParts) and, when that fails, the user is
//   asked whether to close anyway and lose the changes; then Form_Unload lets the main window go;
// - the record buttons and the checks and helpers that the screens share.
class PartsScreen : public QMainWindow, public FindPartOpener {
    Q_OBJECT
public:
    // What besides the window's activation makes the first activation happen.
    enum class Activation {
        None,        // the screen has no activation of its own
        FirstShow,   // the first show, queued, where the platform reports no activation
        EveryShow,   // every show, at once: the screen stands on its first part as soon as it shows
    };
    struct Setup {
        QString name;                                   // objectName
        QString title;                                  // the window's caption
        int helpTopic = 0;                              // the window's help context
        double pointSize = 8;                           // the screen's font (Arial)
        Activation activation = Activation::FirstShow;
        bool raisesMainWindow = false;                  // the main window comes to the front when the screen closes
    };

    ~PartsScreen() override;

    DataControl* Data1;   // Parts: the part on screen

    // FindPartOpener: the find window works on Data1. By default no focus moves after a seek.
    QWidget* findPartOpenerWindow() override { return this; }
    DataControl* findPartDataControl() override { return Data1; }
    QWidget* findPartFocusTarget(int vendor) override;
    FindPartWindow* findWindow() const { return m_findWindow; }

    // Reads what the screen shows at first, once it is built.
    virtual void Form_Load() = 0;
    // The first activation; nothing for a screen without one. See firstActivation().
    virtual void Form_Activate() {}
    // The end of the screen, once: closes the find window and lets the main window go.
    void Form_Unload();

protected:
    PartsScreen(QWidget* parent, const Setup& setup);

    // Builds the window as every parts screen is built, then loads it: its controls, its menus
    // (with their help contexts), the bindings of its boxes to the data sources, its handlers,
    // and Form_Load. The screen's constructor calls it once its data sources exist.
    void build();
    virtual void buildControls() = 0;
    virtual void buildMenus() = 0;
    virtual void bindControls() = 0;
    virtual void wireHandlers() = 0;

    // The window's client area; a designed size in twips, or none for a window that sizes itself.
    QWidget* addClientArea(int widthTwips = 0, int heightTwips = 0);
    // The window takes the client area's designed size, and the controls keep their proportions
    // when the window is resized.
    void keepProportions(QWidget* client);

    // True once, at the first activation of a screen not yet unloaded: Form_Activate goes on.
    bool firstActivation();
    bool isUnloaded() const { return m_unloaded; }

    // Writes the part on screen as the screen closes; false keeps the screen open. By default
    // Data1 is closed: the record check runs and the part is written, as on any leaving.
    virtual bool closeParts();
    // Runs write; when it fails, asks question (%1: the reason) whether to close anyway.
    static bool writeOrCloseAnyway(const std::function<void()>& write, const QString& question);
    static QString unsavedChangesQuestion();   // "The changes to this part could not be saved: ..."

    DataControl* addDataControl(const QString& name);
    ColorScheme* addColorScheme(const QString& name, ColorSchemeConfig config);

    // Data1 stands on a part.
    bool hasPart() const;
    // The record buttons move Data1 to the first, previous, next or last part; a step past either
    // end stays on the end part, a failure is told to the user, and with no parts (none being
    // added either) nothing moves. afterMove, when given, runs after each move made.
    void wireRecordButtons(QPushButton* first, QPushButton* previous, QPushButton* next, QPushButton* last,
                           std::function<void()> afterMove = {});
    // "&Retrieve": the find window on Data1.
    void retrievePart(const FindPartMember& member);
    // Text that a number box cannot take goes back to the part's stored value of field (shown as
    // money or as it is), after the user is told why.
    void refuseNumber(QLineEdit* box, const QString& refusal, const QString& field, bool money);
    // The one refusal of a count (packages or parts) that is a number but below 0 or with a
    // fraction: the user is told message (notACountText when none is given) in a box of the given
    // style, and the box shows the part's stored field again, or "0" for a box bound to none. A
    // value the part already stores (an older file's) was not typed: it stays, for the user to
    // correct, without a word each time. Text that is no number is left to the box's other rules.
    // False when it refused.
    bool acceptCount(QLineEdit* box, const QString& field, const QString& message = QString(), int style = 48);
    // Whether a number box shows what the part stores in field (shown as money or as it is), rather
    // than text typed. Such a value was not typed: it is left for the user to correct, and one too
    // large to be used here (an amount beyond what money holds, a count beyond what its field
    // holds) is said once while the part is shown (storedTooLargeText), never on every move.
    bool showsStoredValue(const QString& text, const QString& field, bool money);
    void centreOnScreen();

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    int m_inRule = 0;   // a rule or a message runs: focus changes are not leavings of a box

private:
    bool movePart(int which);   // 0 first, 1 previous, 2 next, 3 last; false when nothing moves

    Setup m_setup;
    QPointer<FindPartWindow> m_findWindow;
    QString m_visitedPart;        // the Record Number of the part Data1 stands on
    QSet<QString> m_toldOnPart;   // the fields showsStoredValue has spoken of on that part
    bool m_activated = false;   // the first activation has happened
    bool m_unloaded = false;
};
