// The centre and vendor information window: bindings, "E&xit" and the close box, the address
// copy, the vendor tabs and the purchase-order opening.
#include "app/Information.h"
#include "data/Connection.h"
#include "platform/AppFolder.h"
#include "platform/Help.h"
#include "platform/MainWindowLock.h"
#include "platform/VendorInformation.h"
#include "support/ScriptedModal.h"
#include "support/ScriptedPrompts.h"
#include "support/TestProgramFolder.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

// Every bound box of the window with the field it shows.
QList<QPair<QWidget*, QString>> boundBoxes(Information& w)
{
    QList<QPair<QWidget*, QString>> boxes = {
        {w.Center, "Center Name"}, {w.Address, "Address"}, {w.City, "City"}, {w.State, "State"},
        {w.Zip, "Zip"}, {w.Phone, "Phone"}, {w.Fax, "Fax"}, {w.Text3, "Your Name"},
        {w.SName, "Shipping Name"}, {w.SAddress, "shipping address"}, {w.SCity, "Shipping City"},
        {w.SState, "shipping state"}, {w.SZip, "shipping zip"}, {w.SPhone, "shipping phone"},
        {w.SFax, "Shipping Fax"}, {w.Text14, "Vendor 1"}, {w.Text15, "Vendor 2"}, {w.Text16, "Vendor 3"},
    };
    for (int n = 1; n <= 3; ++n) {
        const Information::VendorBoxes& v = w.Vendor[n - 1];
        const QString s = QString::number(n);
        boxes += {{v.Name, "Name " + s}, {v.Address, "Address " + s}, {v.City, "City " + s},
                  {v.State, "State " + s}, {v.Zip, "Zip " + s}, {v.Phone, "Phone " + s},
                  {v.Fax, "Fax " + s}, {v.Tax, "Tax " + s}, {v.PO, "PO " + s},
                  {v.Discount, "Discount " + s}, {v.Contact, "Contact " + s}, {v.Via, "Via " + s},
                  {v.Notes, "Notes " + s}};
    }
    return boxes;
}

void setText(QWidget* box, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->setText(text);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(box))
        memo->setPlainText(text);
}

QString textOf(QWidget* box)
{
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        return edit->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(box))
        return memo->toPlainText();
    return {};
}

// A field of the one row, read straight from the file.
QVariant stored(const QString& field)
{
    auto conn = Connection::open(AppFolder::join("Inventory.mdb"));
    Statement st = conn->prepare(QStringLiteral("SELECT [%1] FROM Information").arg(field));
    return st.step() ? st.value(0) : QVariant();
}

}  // namespace

class TestInformation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void layoutCaptionsAndTooltips();
    void everyBoxRoundTrips();
    void exitStoresZeroInEmptyTaxAndDiscount();
    void closeBoxSavesLikeExit();
    void failedSaveLetsTheUserStayOrLeave();
    void copyAddressFillsShippingOnly();
    void missingRowOrDatabase();
    void vendorThreeShippingIsItsOwn();
    void showVendorInformationOpensModalOnTheVendorsTab_data();
    void showVendorInformationOpensModalOnTheVendorsTab();

private:
    std::unique_ptr<TestProgramFolder> m_folder;
};

void TestInformation::init()
{
    m_folder = std::make_unique<TestProgramFolder>();
    QVERIFY(m_folder->installDatabase());
}

void TestInformation::cleanup()
{
    Connection::closeAll();
    m_folder.reset();
}

void TestInformation::layoutCaptionsAndTooltips()
{
    Information w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Bowling Center/Vendor Information"));
    QCOMPARE(w.SSTab1->count(), 4);
    const QStringList tabs = {"Your Center", "Vendor # 1", "Vendor # 2", "Vendor # 3"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(w.SSTab1->tabText(i), tabs[i]);
    QCOMPARE(w.SSTab1->currentIndex(), 0);
    QCOMPARE(helpContext(&w), 32);
    QCOMPARE(w.Command1->text(), QStringLiteral("&Copy Bowling Center Address"));
    QCOMPARE(w.Command2->text(), QStringLiteral("E&xit"));

    QCOMPARE(w.Center->toolTip(), QStringLiteral("Enter your bowling center name"));
    QCOMPARE(w.Text3->toolTip(), QStringLiteral("Please enter your name here"));
    QCOMPARE(w.SName->toolTip(), QStringLiteral("Enter the shipping address name"));
    QCOMPARE(w.Text14->toolTip(), QStringLiteral("Enter Brunswick or AMF"));
    QCOMPARE(w.Text15->toolTip(), QStringLiteral("Enter Quality Bowling"));
    QVERIFY(w.Text16->toolTip().isEmpty());
    QCOMPARE(w.Vendor[0].Tax->toolTip(), QStringLiteral("Enter the sales tax you are charged "));
    QCOMPARE(w.Vendor[1].Name->toolTip(), QStringLiteral("Enter vendor # 2 name"));
    QCOMPARE(w.Vendor[2].Discount->toolTip(), QStringLiteral("Enter any discount you receive on all parts from vendor # 3"));
    QCOMPARE(w.Vendor[2].Via->toolTip(), QStringLiteral("How do you want the parts shipped. \"UPS, RPS, or Truck\""));
    QCOMPARE(w.Vendor[0].Zip->toolTip(), QStringLiteral("Enter the zipcode"));
    QCOMPARE(w.Vendor[1].FOB->count(), 2);
    QCOMPARE(w.Vendor[1].FOB->toolTip(), QStringLiteral("Enter Destination if the Vendor Pays for Freight"));

    // Esc is "E&xit": it saves and closes.
    w.show();
    w.Vendor[0].Tax->clear();
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QCOMPARE(stored("Tax 1").toString(), QStringLiteral("0"));
}

void TestInformation::everyBoxRoundTrips()
{
    {
        auto* w = new Information;
        QPointer<Information> guard(w);
        const auto boxes = boundBoxes(*w);
        QCOMPARE(boxes.size(), 18 + 3 * 13);
        for (const auto& [box, field] : boxes)
            setText(box, "v:" + field);
        w->Command2->click();
        QVERIFY(!guard || !guard->isVisible());
        for (const auto& [box, field] : boxes)
            QCOMPARE(stored(field).toString(), "v:" + field);
    }
    Information again;
    for (const auto& [box, field] : boundBoxes(again))
        QCOMPARE(textOf(box), "v:" + field);
}

void TestInformation::exitStoresZeroInEmptyTaxAndDiscount()
{
    Information w;
    for (Information::VendorBoxes& v : w.Vendor) {
        v.Tax->clear();
        v.Discount->clear();
    }
    w.Vendor[1].Discount->setText("5");
    w.Vendor[2].Tax->setText("7.25");
    w.Command2_Click();
    QCOMPARE(stored("Tax 1").toString(), QStringLiteral("0"));
    QCOMPARE(stored("Discount 1").toString(), QStringLiteral("0"));
    QCOMPARE(stored("Tax 2").toString(), QStringLiteral("0"));
    QCOMPARE(stored("Discount 2").toString(), QStringLiteral("5"));
    QCOMPARE(stored("Tax 3").toString(), QStringLiteral("7.25"));
    QCOMPARE(stored("Discount 3").toString(), QStringLiteral("0"));
    QCOMPARE(w.Vendor[0].Tax->text(), QStringLiteral("0"));
}

void TestInformation::closeBoxSavesLikeExit()
{
    auto* w = new Information;
    w->show();
    w->Center->setText("Sunset Lanes");
    w->Vendor[2].Discount->clear();
    QVERIFY(w->close());
    QCOMPARE(stored("Center Name").toString(), QStringLiteral("Sunset Lanes"));
    QCOMPARE(stored("Discount 3").toString(), QStringLiteral("0"));
}

void TestInformation::failedSaveLetsTheUserStayOrLeave()
{
    {
        auto conn = Connection::open(AppFolder::join("Inventory.mdb"));
        conn->execute("CREATE TRIGGER refuse BEFORE UPDATE ON Information BEGIN SELECT RAISE(ABORT, 'the row is locked'); END");
        conn->close();
    }
    ScriptedPrompts prompts;
    auto* w = new Information;
    QPointer<Information> guard(w);
    w->show();
    w->Center->setText("Typed");

    prompts.expectMessage(Prompts::No);
    w->Command2_Click();
    QVERIFY(guard && guard->isVisible());   // stays, with the typed text
    QCOMPARE(w->Center->text(), QStringLiteral("Typed"));
    QCOMPARE(prompts.messages().last().style, 292);
    QVERIFY(prompts.texts().last().contains("could not be saved"));

    prompts.expectMessage(Prompts::Yes);
    QVERIFY(w->close());
    QVERIFY(!guard || !guard->isVisible());
    QVERIFY(prompts.verifyAllAnswered());
}

void TestInformation::copyAddressFillsShippingOnly()
{
    Information w;
    w.Center->setText("Sunset Lanes");
    w.Address->setText("1 Main St");
    w.City->setText("Springfield");
    w.State->setText("IL");
    w.Zip->setText("62701");
    w.Phone->setText("555-0100");
    w.Fax->setText("555-0101");
    w.Text3->setText("Pat");
    w.SName->setText("old");
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(w.SName->text(), QStringLiteral("Sunset Lanes"));
    QCOMPARE(w.SAddress->text(), QStringLiteral("1 Main St"));
    QCOMPARE(w.SCity->text(), QStringLiteral("Springfield"));
    QCOMPARE(w.SState->text(), QStringLiteral("IL"));
    QCOMPARE(w.SZip->text(), QStringLiteral("62701"));
    QCOMPARE(w.SPhone->text(), QStringLiteral("555-0100"));
    QCOMPARE(w.SFax->text(), QStringLiteral("555-0101"));
    // Only the boxes change; the table sees it when the row is saved.
    QVERIFY(stored("Shipping Name").toString() != QStringLiteral("Sunset Lanes"));

    // An empty centre address empties the shipping boxes.
    for (QLineEdit* box : {w.Center, w.Address, w.City, w.State, w.Zip, w.Phone, w.Fax})
        box->clear();
    w.Command1_Click();
    for (QLineEdit* box : {w.SName, w.SAddress, w.SCity, w.SState, w.SZip, w.SPhone, w.SFax})
        QVERIFY(box->text().isEmpty());
    QCOMPARE(w.Text3->text(), QStringLiteral("Pat"));
}

void TestInformation::missingRowOrDatabase()
{
    // A table without its row: what is typed becomes the row.
    Connection::open(AppFolder::join("Inventory.mdb"))->execute("DELETE FROM Information");
    {
        Information w;
        QVERIFY(w.SSTab1->isEnabled());
        w.Center->setText("Typed into an empty table");
        w.Command2_Click();
    }
    QCOMPARE(stored("Center Name").toString(), QStringLiteral("Typed into an empty table"));
    QCOMPARE(stored("Tax 2").toString(), QStringLiteral("0"));

    // No database: the user is told, nothing can be typed, and no file appears.
    Connection::closeAll();
    QVERIFY(QFile::remove(AppFolder::join("Inventory.mdb")));
    ScriptedPrompts prompts;
    prompts.expectMessage();
    Information w;
    QCOMPARE(prompts.messages().size(), 1);
    QCOMPARE(prompts.messages().first().style, 48);
    QVERIFY(!w.SSTab1->isEnabled());
    w.Command2_Click();
    QVERIFY(!QFile::exists(AppFolder::join("Inventory.mdb")));
}

void TestInformation::vendorThreeShippingIsItsOwn()
{
    {
        Information w;
        w.Vendor[1].Via->setText("UPS");
        w.Vendor[2].Via->setText("Truck");
        w.Command2_Click();
    }
    QCOMPARE(stored("Via 2").toString(), QStringLiteral("UPS"));
    QCOMPARE(stored("Via 3").toString(), QStringLiteral("Truck"));
    Information again;
    QCOMPARE(again.Vendor[1].Via->text(), QStringLiteral("UPS"));
    QCOMPARE(again.Vendor[2].Via->text(), QStringLiteral("Truck"));
}

void TestInformation::showVendorInformationOpensModalOnTheVendorsTab_data()
{
    QTest::addColumn<int>("vendor");
    QTest::newRow("vendor 1") << 1;
    QTest::newRow("vendor 2") << 2;
    QTest::newRow("vendor 3") << 3;
}

void TestInformation::showVendorInformationOpensModalOnTheVendorsTab()
{
    QFETCH(int, vendor);
    // The screen that asks for it holds the main window; closing the window leaves it disabled.
    QWidget mainWindow;
    QWidget orderingScreen;
    MainWindowLock::setMainWindow(&mainWindow);
    MainWindowLock::acquire(&orderingScreen);

    ScriptedModal modal;
    int shownTab = -1;
    QString poNumber = QStringLiteral("PO-%1").arg(vendor * 111);
    modal.onNext([&](QWidget* window) {
        auto* info = qobject_cast<Information*>(window);
        QVERIFY(info);
        shownTab = info->SSTab1->currentIndex();
        info->Vendor[vendor - 1].PO->setText(poNumber);
        info->Command2->click();
    });
    installVendorInformation(&Information::ShowVendorInformation);
    ShowVendorInformation(vendor);
    installVendorInformation({});

    QCOMPARE(modal.shown().size(), 1);
    QCOMPARE(shownTab, vendor);
    QCOMPARE(stored(QStringLiteral("PO %1").arg(vendor)).toString(), poNumber);
    QVERIFY(!mainWindow.isEnabled());
    MainWindowLock::release(&orderingScreen);
    QVERIFY(mainWindow.isEnabled());
    MainWindowLock::setMainWindow(nullptr);
}

QTEST_MAIN(TestInformation)
#include "tst_information.moc"
