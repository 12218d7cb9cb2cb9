#pragma once

#include <QMainWindow>

class DataControl;
class QAction;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;

// "Update Pricing": brings the prices of vendor 1 or vendor 2 from a pricing disk (a database
// PriceChange.mdb with a table Pricing) into the parts, and lists the part numbers that the disk
// did not carry, for the user to price by hand. Modeless; deleted when closed. Opening it and
// File, Open ask for the pricing file.
class ChangePrice : public QMainWindow {
    Q_OBJECT
public:
    explicit ChangePrice(QWidget* parent = nullptr);
    ~ChangePrice() override;

    void Form_Load();
    void Form_Activate();          // asks for the pricing file
    void MnuFileOpenPrices_Click();
    void Command1_Click();         // "Update Vendor # &1 "
    void Command2_Click();         // "Update Vendor # &2"
    void UpdateProgress();
    void MnuOrderPriceDisk_Click();
    void MnuFileExit_Click();

    QString pricingFile() const;
    int total() const { return m_total; }            // Text25
    int remaining() const { return m_remaining; }    // Text26
    int percent() const { return m_percent; }        // Text27

    DataControl* Data1;   // the pricing file, record source Pricing
    DataControl* Data2;   // Inventory.mdb, record source Parts
    QPushButton* Command1;
    QPushButton* Command2;
    QListWidget* List1;
    QListWidget* List2;
    QLabel* Label9;
    QProgressBar* ccrpProgressBar1;
    QGroupBox* NewPrices[2];
    QGroupBox* Inventory[2];

    QMenu* MnuFileprices;
    QAction* MnuFileOpenPrices;
    QAction* MnuFileExit;
    QMenu* mnuPricesOrder;
    QAction* MnuOrderPriceDisk;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void runUpdate(int vendor);

    QString m_dialogFileName;   // the open-file dialog's file name, kept between uses
    bool m_asked = false;
    int m_total = 0;
    int m_remaining = 0;
    int m_percent = 0;
};
