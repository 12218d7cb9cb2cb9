#include "DataControl.h"

#include "platform/AppFolder.h"
#include "platform/InputRules.h"
#include "platform/PictureBox.h"
#include "Values.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

DataControl::DataControl(QObject* parent) : QObject(parent) {}

DataControl::~DataControl()
{
    detach();
}

void DataControl::setEnabled(bool on)
{
    enabled_ = on;
}

void DataControl::attach()
{
    if (!rs_)
        return;
    rs_->addFlushHandler(this, [this](bool validate) { flush(validate); });
    connections_ << connect(rs_.get(), &Recordset::repositioned, this, &DataControl::onRepositioned);
}

void DataControl::detach()
{
    if (!rs_)
        return;
    rs_->removeFlushHandler(this);
    for (const auto& c : std::as_const(connections_))
        disconnect(c);
    connections_.clear();
}

void DataControl::refresh()
{
    detach();
    if (rs_ && rs_.use_count() == 1 && rs_->editMode() != Recordset::EditMode::None)
        rs_->cancelUpdate();
    rs_.reset();
    auto conn = Connection::open(resolveNoCase(database_));
    const QString source = recordSource_.trimmed();
    const bool isSql = source.startsWith(QLatin1String("select"), Qt::CaseInsensitive);
    if (kind_ == Recordset::Kind::Table && !isSql)
        rs_ = Recordset::openTable(conn, source);
    else if (isSql)
        rs_ = Recordset::openDynaset(conn, source);
    else   // a table name opened as a query: every row, no index
        rs_ = Recordset::openDynaset(conn, QStringLiteral("SELECT * FROM [%1]").arg(source));
    attach();
    Q_EMIT recordsetChanged();
    onRepositioned();
}

void DataControl::close()
{
    if (!rs_)
        return;
    const auto rs = rs_;
    rs->close();
    detach();
    rs_.reset();
    for (Binding& b : bindings_)
        showValue(b, QVariant());
    Q_EMIT recordsetChanged();
}

void DataControl::updateRecord()
{
    if (rs_ && !rs_->isClosed())
        rs_->save(false);
}

void DataControl::update()
{
    if (rs_ && !rs_->isClosed())
        rs_->save(true);
}

void DataControl::setRecordset(std::shared_ptr<Recordset> rs)
{
    detach();
    rs_ = std::move(rs);
    attach();
    Q_EMIT recordsetChanged();
    onRepositioned();
}

void DataControl::bind(QWidget* control, const QString& field, BindFormat format)
{
    unbind(control);
    Binding b{control, field, format, {}};
    bindings_.append(b);
    if (rs_ && !rs_->isClosed()) {
        QVariant v;
        if (rs_->hasCurrent() || rs_->editMode() == Recordset::EditMode::Adding)
            if (rs_->fieldIndex(field) >= 0)
                v = rs_->value(field);
        showValue(bindings_.last(), v);
    }
}

void DataControl::unbind(QWidget* control)
{
    bindings_.removeIf([control](const Binding& b) { return b.control == control; });
}

QString DataControl::storedText(const QString& field, BindFormat format) const
{
    if (!rs_ || rs_->isClosed() || !rs_->hasCurrent())
        return QString();
    try {
        return formatValue(rs_->value(field), format);
    } catch (const DbError&) {
        return QString();
    }
}

QString DataControl::formatValue(const QVariant& v, BindFormat format)
{
    if (!v.isValid())
        return {};
    switch (format) {
    case BindFormat::Currency:
        if (v.metaType().id() == QMetaType::QString)
            return v.toString();
        // Cut to cents, a price would be read back from its box as another amount (0.004 as 0).
        // An amount beyond what money holds (a damaged or foreign file's) shows as out of range,
        // never as the end of the range.
        if (const std::optional<Currency> amount = Currency::checked(v.toDouble()))
            return formatCurrencyExact(*amount);
        return OutOfRangeMark;
    case BindFormat::LongDate:
        if (v.metaType().id() == QMetaType::QDate)
            return formatLongDate(v.toDate());
        if (v.metaType().id() == QMetaType::QDateTime)
            return formatLongDate(v.toDateTime().date());
        return v.toString();
    case BindFormat::ShortDate:
    case BindFormat::General:
        break;
    }
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return formatShortDate(v.toDate());
    case QMetaType::QDateTime:
        return formatShortDate(v.toDateTime().date()) + u' ' + v.toDateTime().time().toString(QStringLiteral("h:mm:ss AP"));
    case QMetaType::Double:
        return numberText(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QByteArray:
        return {};
    default:
        return v.toString();
    }
}

void DataControl::showValue(Binding& b, const QVariant& v)
{
    QWidget* w = b.control;
    if (!w)
        return;
    if (auto* box = qobject_cast<DateMaskBox*>(w)) {
        const QVariant d = v.metaType().id() == QMetaType::QDateTime ? QVariant(v.toDateTime().date()) : v;
        if (d.metaType().id() == QMetaType::QDate && d.toDate().isValid())
            box->setDate(d.toDate());
        else
            box->clearDate();
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(formatValue(v, b.format));
        edit->setCursorPosition(0);   // a text longer than its box shows its beginning, not its end
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(formatValue(v, b.format));
    } else if (auto* check = qobject_cast<QAbstractButton*>(w)) {
        check->setChecked(v.isValid() && v.toBool());
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        plain->setPlainText(formatValue(v, b.format));
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        rich->setPlainText(formatValue(v, b.format));
    } else if (auto* picture = qobject_cast<PictureBox*>(w)) {
        picture->setImageData(v.toByteArray());
    }
    b.shown = controlValue(b);
}

QVariant DataControl::controlValue(const Binding& b) const
{
    QWidget* w = b.control;
    if (!w)
        return {};
    if (auto* box = qobject_cast<DateMaskBox*>(w))
        return box->displayText();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* check = qobject_cast<QAbstractButton*>(w))
        return check->isChecked();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<QTextEdit*>(w))
        return rich->toPlainText();
    if (auto* picture = qobject_cast<PictureBox*>(w))
        return picture->imageData();
    return {};
}

bool DataControl::hasPendingChanges()
{
    Q_EMIT collectInput();
    for (const Binding& b : bindings_)
        if (b.control && controlValue(b) != b.shown)
            return true;
    return false;
}

void DataControl::reloadBoundControls()
{
    for (Binding& b : bindings_) {
        QVariant v;
        if (rs_ && !rs_->isClosed() && (rs_->hasCurrent() || rs_->editMode() == Recordset::EditMode::Adding)
            && rs_->fieldIndex(b.field) >= 0)
            v = rs_->value(b.field);
        showValue(b, v);
    }
}

void DataControl::onRepositioned()
{
    reloadBoundControls();
    Q_EMIT reposition();
}

void DataControl::flush(bool raiseValidate)
{
    Q_EMIT collectInput();
    if (raiseValidate && !inValidate_) {
        inValidate_ = true;
        struct Reset { bool& f; ~Reset() { f = false; } } reset{inValidate_};
        Q_EMIT validate();
    }
    if (!rs_ || rs_->isClosed() || !rs_->isUpdatable())
        return;
    // Nothing to write into: a change typed while no record is current goes nowhere.
    if (!rs_->hasCurrent() && rs_->editMode() != Recordset::EditMode::Adding)
        return;
    for (Binding& b : bindings_) {
        if (!b.control)
            continue;
        const QVariant now = controlValue(b);
        if (now == b.shown)
            continue;
        const int field = rs_->fieldIndex(b.field);
        if (field < 0)
            continue;
        QVariant value = now;
        if (auto* box = qobject_cast<DateMaskBox*>(b.control.data())) {
            if (box->isBlank())
                value = QVariant();
            else if (const auto d = box->date())
                value = *d;
            // else: the partial text goes on and the field refuses it with its error
        } else if (now.metaType().id() == QMetaType::QString && now.toString().isEmpty()) {
            value = QVariant();
        }
        if (rs_->editMode() == Recordset::EditMode::None)
            rs_->edit();
        rs_->setValue(field, value);
        b.shown = now;
    }
}
