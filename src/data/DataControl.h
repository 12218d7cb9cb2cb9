#pragma once

#include "Recordset.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

// How a bound control shows its field.
enum class BindFormat {
    General,      // text as stored; numbers in their shortest form
    Currency,     // "$1,234.50", "($5.00)", "$0.0625": every decimal stored, two at least
    LongDate,     // "Monday, January 5, 2004"
    ShortDate,    // "1/5/2004"
};

// A data source as the windows use it: database, record source and kind are settings that
// take effect at the next refresh(); the open recordset may be shared with another data
// control (a screen and its result list). Controls bound to fields show the current record;
// a change to one, by the user or by code, is pending until the record is next saved.
//
// Events: collectInput() before every save and move; validate() next, except for updateRecord();
// reposition() after every move, the first positioning included, once the bound controls show
// the new record.
class DataControl : public QObject
{
    Q_OBJECT
public:
    explicit DataControl(QObject* parent = nullptr);
    ~DataControl() override;

    QString databaseName() const { return database_; }
    void setDatabaseName(const QString& path) { database_ = path; }
    QString recordSource() const { return recordSource_; }
    void setRecordSource(const QString& source) { recordSource_ = source; }
    Recordset::Kind recordsetType() const { return kind_; }        // the setting, applied at refresh
    void setRecordsetType(Recordset::Kind kind) { kind_ = kind; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on);

    // Builds the recordset anew from the settings and makes its first record current.
    // Pending changes are dropped (a command that re-reads saves first). A table comes back
    // without an index. Throws DbError; the previous recordset is then gone too.
    void refresh();
    // Closes the recordset, writing a pending change first.
    void close();
    // Writes the bound controls' changes into the current record now, without validate.
    void updateRecord();
    // Saves the current record after validate (bound changes included).
    void update();

    Recordset* recordset() const { return rs_.get(); }
    std::shared_ptr<Recordset> sharedRecordset() const { return rs_; }
    // Takes another data control's recordset, so that both stand on the same record.
    void setRecordset(std::shared_ptr<Recordset> rs);

    void bind(QWidget* control, const QString& field, BindFormat format = BindFormat::General);
    void unbind(QWidget* control);
    // Shows the current record in the bound controls again (dropping their changes).
    void reloadBoundControls();
    // Whether a bound control differs from the record, once typed input has been collected.
    bool hasPendingChanges();

    static QString formatValue(const QVariant& v, BindFormat format);
    // A field of the current record as a box bound to it in the given format shows it when the
    // record is read: what the record stores, whatever the box shows now. Empty without a record.
    QString storedText(const QString& field, BindFormat format = BindFormat::General) const;

Q_SIGNALS:
    // Before the bound controls are read for a save or a move, or asked for changes: a window
    // that holds typed text outside its bound controls (an entry box shown while a value is
    // typed) hands it to them now, so that every way of leaving the record takes it along.
    void collectInput();
    void validate();
    void reposition();
    void recordsetChanged();   // refreshed, shared, or closed

private:
    struct Binding {
        QPointer<QWidget> control;
        QString field;
        BindFormat format = BindFormat::General;
        QVariant shown;    // what the binding last put into the control
    };

    void attach();
    void detach();
    void flush(bool raiseValidate);
    void onRepositioned();
    QVariant controlValue(const Binding& b) const;
    void showValue(Binding& b, const QVariant& v);

    QString database_;
    QString recordSource_;
    Recordset::Kind kind_ = Recordset::Kind::Table;
    bool enabled_ = true;
    std::shared_ptr<Recordset> rs_;
    QList<Binding> bindings_;
    bool inValidate_ = false;
    QList<QMetaObject::Connection> connections_;
};
