#pragma once

#include "utilities/OldPartsImport.h"

#include <QWidget>

#include <optional>

class DataControl;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

// "Import Setup": brings the stock of the older DOS program (the dBASE table INVNTORY.DBF in the
// folder that stands for C:\INVNTORY, see OldDataFolder) into the parts, in a vendor-1 and a
// vendor-2 pass. Each pass is prepared by its vendor button and run by its continue button; the
// numbers of the parts a pass added are listed. Modeless; deleted when closed; it disables
// nothing.
class ImportSetup : public QWidget {
    Q_OBJECT
public:
    explicit ImportSetup(QWidget* parent = nullptr);
    ~ImportSetup() override;

    void Form_Load();
    void Command1_Click();   // "Vendor # &1": prepares the vendor-1 pass
    void Command2_Click();   // "Continue Vendor #&1": runs it
    void Command4_Click();   // "Vendor # &2"
    void Command3_Click();   // "Continue Vendor #&2"
    void Command7_Click();   // "E&xit"

    int total() const { return m_total; }            // Text25
    int remaining() const { return m_remaining; }    // Text26
    int percent() const { return m_percent; }        // Text27

    DataControl* Data2;   // the parts, in Inventory.mdb
    QGroupBox* Frame1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command7;
    QProgressBar* ccrpProgressBar1;
    QLabel* Label27;
    QListWidget* List1;
    QLabel* Image1;

private:
    void preparePass(int vendor);
    void runPass(int vendor);
    QPushButton* prepareButton(int vendor) const { return vendor == 1 ? Command1 : Command4; }
    QPushButton* continueButton(int vendor) const { return vendor == 1 ? Command2 : Command3; }

    std::optional<ImportPass> m_pass;
    int m_total = 0;
    int m_remaining = 0;
    int m_percent = 0;
};

// "Instructions": says where the older program's table must be. Shown modal over the import
// window; closed with its close box.
class ImportHelp : public QWidget {
    Q_OBJECT
public:
    explicit ImportHelp(QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;   // the folder that stands for C:\INVNTORY on this computer
};
