#pragma once

#include "data/Recordset.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class DataControl;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the find-part window needs of the screen that opens it: the screen's window, its parts
// data source (Data1) and the control that takes the focus after a seek on vendor n's box.
class FindPartOpener {
public:
    virtual ~FindPartOpener() = default;
    virtual QWidget* findPartOpenerWindow() = 0;
    virtual DataControl* findPartDataControl() = 0;
    // vendor is 1, 2 or 3; nullptr when the screen moves no focus.
    virtual QWidget* findPartFocusTarget(int vendor) = 0;
};

// How the window behaves for one of the four screens that open it.
struct FindPartMember {
    QString name;                 // RetWinMaintScreen, RetWinTagPart, RetWinModifyDataScreen, RetWinUsePart
    QString caption;
    bool partNumberHeading = true;
    bool disablesOpener = true;   // the opener takes no input while the window is open
    // With no vendor index set on the opener's parts, the window opens on vendor 1's index
    // (true) or not at all (false).
    bool fallsBackToInv1 = true;
    Recordset::Kind kindLeft = Recordset::Kind::Dynaset;   // recordset type left pending on the opener
    QString notFoundText;
    int clientHeightTwips = 3150;

    static FindPartMember maintenance();   // the part maintenance screen
    static FindPartMember ordering();      // the ordering screen
    static FindPartMember stockInput();    // the stock-input screen
    static FindPartMember usage();         // the usage screen
};

// "Search Window" / "Retrieve Part Number": moves the opener's parts data source to the first part
// whose vendor part number equals or follows the typed text. Modeless, deleted when closed, and
// closed with its opener; a search never acts on an opener that has gone.
class FindPartWindow : public QWidget {
    Q_OBJECT
public:
    FindPartWindow(FindPartOpener* opener, FindPartMember member);
    ~FindPartWindow() override;

    // The opener's side of "&Retrieve", after the opener's own precondition: shows its window (or
    // brings the one still open forward, keeping the typed texts), focuses the box of the vendor
    // whose index orders the opener's parts, and disables the opener when the member says so.
    // Returns the window, or nullptr when none opens (the usage screen with no vendor index).
    static FindPartWindow* RetrievePart(FindPartOpener* opener, const FindPartMember& member,
                                        QPointer<FindPartWindow>& window);

    const FindPartMember& member() const { return m_member; }
    QLineEdit* box(int vendor) const;    // 1..3

    void Form_Load();
    void Command1_Click();   // "&Search"
    void Command2_Click();   // "E&xit"
    void Form_Unload();

    DataControl* Data1;      // the window's own source on Information, for the vendor headings
    QGroupBox* SSFrame1;
    QLabel* Label5;          // "Part Number"
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QPushButton* Command1;
    QPushButton* Command2;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusBox(int vendor);
    void enableOpener();
    bool openerAlive() const;

    FindPartMember m_member;
    QPointer<QWidget> m_openerWindow;
    QPointer<DataControl> m_openerData;
    FindPartOpener* m_opener;   // valid while m_openerWindow is
    bool m_unloaded = false;
};
