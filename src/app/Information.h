#pragma once

#include <QWidget>

#include <array>

class DataControl;
class ProportionalResizer;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// "Bowling Center/Vendor Information": edits the single row of table Information (the centre's
// and the shipping address, the make of each vendor's parts, and per vendor the purchase-order
// data). Every box is bound to one field; nothing is written except through the bindings.
// Opened modeless from the main window (which it keeps disabled while open) or modal on one
// vendor's tab before a purchase order prints (ShowVendorInformation).
class Information : public QWidget {
    Q_OBJECT
public:
    explicit Information(QWidget* parent = nullptr);
    ~Information() override;

    // Opens a new window modal on vendor's tab (1, 2 or 3) and returns once it has closed. Does
    // not touch the main window's lock: the screen that asked still holds it.
    static void ShowVendorInformation(int vendor);

    // One vendor tab's boxes.
    struct VendorBoxes {
        QGroupBox* Frame = nullptr;
        QLineEdit* Name = nullptr;
        QLineEdit* Address = nullptr;
        QLineEdit* City = nullptr;
        QLineEdit* State = nullptr;
        QLineEdit* Zip = nullptr;
        QLineEdit* Phone = nullptr;
        QLineEdit* Fax = nullptr;
        QLineEdit* Tax = nullptr;
        QLineEdit* PO = nullptr;
        QLineEdit* Discount = nullptr;
        QLineEdit* Contact = nullptr;
        QLineEdit* Via = nullptr;
        QListWidget* FOB = nullptr;      // "Origin" / "Destination", bound to nothing
        QPlainTextEdit* Notes = nullptr;
    };

    DataControl* Data1;
    QTabWidget* SSTab1;
    QPushButton* Command1;   // "&Copy Bowling Center Address"
    QPushButton* Command2;   // "E&xit"

    // Tab "Your Center".
    QLineEdit* Center;
    QLineEdit* Address;
    QLineEdit* City;
    QLineEdit* State;
    QLineEdit* Zip;
    QLineEdit* Phone;
    QLineEdit* Fax;
    QLineEdit* Text3;        // Your Name
    QLineEdit* SName;
    QLineEdit* SAddress;
    QLineEdit* SCity;
    QLineEdit* SState;
    QLineEdit* SZip;
    QLineEdit* SPhone;
    QLineEdit* SFax;
    QLineEdit* Text14;       // Vendor 1
    QLineEdit* Text15;       // Vendor 2
    QLineEdit* Text16;       // Vendor 3

    std::array<VendorBoxes, 3> Vendor;   // Vendor[0] is vendor 1

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildYourCenterTab();
    void buildVendorTab(int vendor);
    // Puts "0" into empty tax and discount boxes and writes the row. When the row cannot be
    // written the user decides whether to stay (false) or to close and lose the changes (true).
    bool SaveBeforeClosing();

    ProportionalResizer* m_resizer;
    bool m_saved = false;
    bool m_loaded = false;
};
