// Data controls: settings, refresh, the validate and reposition events, bound controls and
// their pending changes, and two views sharing one recordset.

#include "DataFixture.h"
#include "data/DataControl.h"
#include "data/RecordsetModel.h"
#include "platform/InputRules.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {

struct EventLog {
    QStringList events;
    void watch(DataControl& dc, const QString& name)
    {
        QObject::connect(&dc, &DataControl::validate, [this, name] { events << name + QStringLiteral(":validate"); });
        QObject::connect(&dc, &DataControl::reposition, [this, name] { events << name + QStringLiteral(":reposition"); });
    }
    QStringList take() { return std::exchange(events, {}); }
};

void openParts(DataControl& dc, const DataFixture& f)
{
    dc.setDatabaseName(f.file(QStringLiteral("Inventory.mdb")));
    dc.setRecordSource(QStringLiteral("Parts"));
    dc.setRecordsetType(Recordset::Kind::Table);
    dc.refresh();
    dc.recordset()->setIndex(QStringLiteral("inv1"));
    dc.recordset()->moveFirst();
}

} // namespace

class TestDataControl : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eventsComeInTheirOrder()
    {
        DataFixture f;
        f.makeInventory();
        DataControl dc;
        EventLog log;
        log.watch(dc, QStringLiteral("Data1"));
        dc.setDatabaseName(AppFolder::join(QStringLiteral("\\INVENTORY.MDB")));   // any letter case
        dc.setRecordSource(QStringLiteral("Parts"));
        dc.refresh();
        QCOMPARE(log.take(), QStringList({"Data1:reposition"}));   // the first positioning, without validate
        QCOMPARE(dc.recordset()->index(), QString());

        dc.recordset()->moveNext();
        QCOMPARE(log.take(), QStringList({"Data1:validate", "Data1:reposition"}));
        dc.updateRecord();
        QCOMPARE(log.take(), QStringList());
        dc.update();
        QCOMPARE(log.take(), QStringList({"Data1:validate"}));
        dc.recordset()->addNew();
        QCOMPARE(log.take(), QStringList({"Data1:validate", "Data1:reposition"}));
        dc.recordset()->cancelUpdate();
        log.take();
        dc.recordset()->deleteCurrent();
        QCOMPARE(log.take(), QStringList({"Data1:validate"}));
        dc.recordset()->moveLast();
        log.take();
        dc.close();
        QCOMPARE(log.take(), QStringList({"Data1:validate"}));

        // A handler that writes the record itself neither recurses nor raises validate again.
        openParts(dc, f);
        int validates = 0;
        QLineEdit location;
        dc.bind(&location, QStringLiteral("location"));
        connect(&dc, &DataControl::validate, this, [&] {
            ++validates;
            location.setText(QStringLiteral("FIXED"));
            dc.updateRecord();
        });
        dc.recordset()->moveNext();
        QCOMPARE(validates, 1);
        QCOMPARE(f.scalar(QStringLiteral("select Location from Parts where [Part Number 1]='00123'")), QVariant(QStringLiteral("FIXED")));
    }

    void boundChangesArePendingUntilSaved()
    {
        DataFixture f;
        f.makeInventory();
        DataControl dc;
        QLineEdit location, price, stock;
        QLabel minimum;
        QCheckBox vendor1;
        openParts(dc, f);   // on 00123
        dc.bind(&location, QStringLiteral("Location"));
        dc.bind(&price, QStringLiteral("Price 1"), BindFormat::Currency);
        dc.bind(&stock, QStringLiteral("In Stock"));
        dc.bind(&minimum, QStringLiteral("Minimum Stock"));
        dc.bind(&vendor1, QStringLiteral("Default 1"));
        QCOMPARE(location.text(), QStringLiteral("A1"));
        QCOMPARE(price.text(), QStringLiteral("$3.10"));
        QVERIFY(!dc.hasPendingChanges());

        // Written on the move that leaves the record; a label set by code counts too.
        location.setText(QStringLiteral("SHELF 4"));
        minimum.setText(QStringLiteral("7"));
        vendor1.setChecked(true);
        QVERIFY(dc.hasPendingChanges());
        QCOMPARE(f.scalar(QStringLiteral("select Location from Parts where [Record Number]=3")), QVariant(QStringLiteral("A1")));
        dc.recordset()->moveNext();
        QCOMPARE(f.scalar(QStringLiteral("select Location from Parts where [Record Number]=3")), QVariant(QStringLiteral("SHELF 4")));
        QCOMPARE(f.scalar(QStringLiteral("select [Minimum Stock] from Parts where [Record Number]=3")), QVariant(7LL));
        QCOMPARE(f.scalar(QStringLiteral("select [Default 1] from Parts where [Record Number]=3")), QVariant(1LL));
        // An unchanged formatted box writes nothing back: the price keeps its four decimals.
        QCOMPARE(f.scalar(QStringLiteral("select [Price 1] from Parts where [Record Number]=3")), QVariant(3.1));
        QCOMPARE(location.text(), QStringLiteral("A1"));   // now showing ABC

        // Written by update-record; typed currency text is read as money.
        price.setText(QStringLiteral("$1,000.25"));
        dc.updateRecord();
        QCOMPARE(f.scalar(QStringLiteral("select [Price 1] from Parts where [Record Number]=1")), QVariant(1000.25));

        // A value the field refuses stops the move with its error; nothing is lost or written.
        stock.setText(QStringLiteral("abc"));
        QVERIFY_THROWS_EXCEPTION(DbError, dc.recordset()->moveNext());
        QCOMPARE(dc.recordset()->value(QStringLiteral("Part Number 1")).toString(), QStringLiteral("ABC"));
        QCOMPARE(stock.text(), QStringLiteral("abc"));
        QCOMPARE(f.scalar(QStringLiteral("select [In Stock] from Parts where [Record Number]=1")), QVariant(5LL));
        stock.setText(QStringLiteral("6"));
        dc.recordset()->moveNext();
        QCOMPARE(f.scalar(QStringLiteral("select [In Stock] from Parts where [Record Number]=1")), QVariant(6LL));

        // Refresh drops what was typed.
        location.setText(QStringLiteral("DROPPED"));
        dc.refresh();
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from Parts where Location='DROPPED'")), QVariant(0LL));

        // Written on close; an emptied box stores nothing rather than an empty text.
        dc.recordset()->moveFirst();
        location.setText(QString());
        dc.close();
        QVERIFY(!f.scalar(QStringLiteral("select Location from Parts where [Record Number]=1")).isValid());
        QCOMPARE(location.text(), QString());
    }

    void maskedDateBox()
    {
        DataFixture f;
        f.makeInventory();
        DataControl dc;
        DateMaskBox date(QStringLiteral("99/99/99"));
        openParts(dc, f);
        dc.recordset()->seek(QStringLiteral("="), QStringLiteral("ABC"));
        dc.bind(&date, QStringLiteral("Date Ordered"));
        QCOMPARE(date.date(), std::optional<QDate>(QDate(1993, 12, 1)));
        date.setDate(QDate(2005, 6, 7));
        dc.updateRecord();
        QCOMPARE(f.scalar(QStringLiteral("select [Date Ordered] from Parts where [Record Number]=1")), QVariant(QStringLiteral("2005-06-07")));
        date.clearDate();
        dc.updateRecord();
        QVERIFY(!f.scalar(QStringLiteral("select [Date Ordered] from Parts where [Record Number]=1")).isValid());
        date.setText(QStringLiteral("13/45/07"));
        QVERIFY_THROWS_EXCEPTION(DbError, dc.updateRecord());
    }

    void twoViewsShareTheCurrentRecord()
    {
        DataFixture f;
        f.makeInventory();
        DataControl screen, list;
        openParts(screen, f);
        list.setRecordset(screen.sharedRecordset());
        QLineEdit screenBox, listBox;
        screen.bind(&screenBox, QStringLiteral("Description"));
        list.bind(&listBox, QStringLiteral("Description"));
        RecordsetModel model(&list);
        model.setColumns({{QStringLiteral("Part Number 1"), QStringLiteral("Part #"), BindFormat::General},
                          {QStringLiteral("Price 1"), {}, BindFormat::Currency}});
        QCOMPARE(model.rowCount(), 5);
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Part #"));
        QCOMPARE(model.data(model.index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("$12.50"));

        int rowSignalled = -1;
        connect(&model, &RecordsetModel::currentRowChanged, this, [&](int r) { rowSignalled = r; });
        model.moveTo(3);   // a row chosen in the list ...
        QCOMPARE(screenBox.text(), QStringLiteral("Switch*"));   // ... is the screen's part
        QCOMPARE(rowSignalled, 3);
        screen.recordset()->moveFirst();   // and the other way round
        QCOMPARE(model.currentRow(), 0);
        QCOMPARE(listBox.text(), QStringLiteral("Bearing"));

        // An edit on the screen reaches the list when saved.
        screenBox.setText(QStringLiteral("Bearing, sealed"));
        screen.updateRecord();
        QCOMPARE(listBox.text(), QStringLiteral("Bearing"));   // the list's own box shows the record as loaded
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("00123"));
        screen.recordset()->moveNext();
        QCOMPARE(f.scalar(QStringLiteral("select Description from Parts where [Record Number]=3")), QVariant(QStringLiteral("Bearing, sealed")));
        QCOMPARE(listBox.text(), QStringLiteral("Belt"));
    }

    void tableNameAsAQuery()
    {
        DataFixture f;
        f.makeInventory();
        DataControl dc;
        dc.setDatabaseName(f.file(QStringLiteral("Inventory.mdb")));
        dc.setRecordSource(QStringLiteral("Parts"));
        dc.setRecordsetType(Recordset::Kind::Dynaset);   // pending until the next refresh
        QVERIFY(!dc.recordset());
        dc.refresh();
        QCOMPARE(dc.recordset()->kind(), Recordset::Kind::Dynaset);
        QCOMPARE(dc.recordset()->recordCount(), 5);
        QVERIFY(dc.recordset()->isUpdatable());
        dc.setRecordSource(QStringLiteral("Select * from Parts where [Part Number 1] = 'nothing'"));
        dc.refresh();
        QCOMPARE(dc.recordset()->recordCount(), 0);
        QVERIFY(dc.recordset()->eof());
    }
};

QTEST_MAIN(TestDataControl)
#include "tst_datacontrol.moc"
