#include "stock/PartReader.h"

#include "data/Recordset.h"

namespace {

std::optional<double> numberOf(const QVariant& v)
{
    // Numbers as the parts store them directly, anything else converted.
    const int type = v.typeId();
    if (type == QMetaType::Double)
        return *static_cast<const double*>(v.constData());
    if (type == QMetaType::LongLong)
        return double(*static_cast<const qlonglong*>(v.constData()));
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok)
        return d;
    return parseNumber(v.toString());
}

std::optional<Currency> moneyOf(const QVariant& v)
{
    const std::optional<double> d = numberOf(v);
    if (!d)
        return std::nullopt;
    // An amount beyond what money holds is out of range, never the end of the range.
    return Currency::checked(*d).value_or(Currency::outOfRange());
}

}  // namespace

PartReader::PartReader(const Recordset& rs, Reads reads)
    : m_rs(rs), m_reads(reads)
{
    auto field = [&rs](const QString& name) { return rs.fieldIndex(name); };
    for (int n = 1; n <= 3; ++n)
        for (int box = 0; box < OrderMath::NumberBoxes; ++box)
            m_fields << field(OrderMath::numberField(n, box));
    m_fields << field(QStringLiteral("Location")) << field(QStringLiteral("Minimum Stock"));
    if (reads == ForTagging) {
        for (int n = 1; n <= 3; ++n)
            m_fields << field(QStringLiteral("Part Number %1").arg(n)) << field(QStringLiteral("Default %1").arg(n));
        m_fields << field(QStringLiteral("Description")) << field(QStringLiteral("In Stock"));
    }
}

const OrderMath::PartBoxes& PartReader::at(int pos)
{
    const QVariant* value = row(pos);
    if (!value) {
        m_part = {};
        return m_part;
    }
    if (m_part.stored.constData() != m_values.constData())
        m_part.stored = m_values;
    auto show = [&value](OrderMath::Shown& box, bool money = false) { box.setStored(value++, money); };
    for (OrderMath::PartBoxes::Vendor& v : m_part.vendors)
        for (int box = 0; box < OrderMath::NumberBoxes; ++box)
            show(v.numbers[box], OrderMath::isMoneyBox(box));
    show(m_part.location);
    show(m_part.minimumStock);
    if (m_reads == ForTagging) {
        for (OrderMath::PartBoxes::Vendor& v : m_part.vendors) {
            show(v.partNumber);
            v.isDefault = value->isValid() && value->toBool();
            ++value;
        }
        show(m_part.description);
        show(m_part.inStock);
    }
    return m_part;
}

ExactMoney PartReader::taggedAmount(int pos, const std::array<double, 3>& discountPercents)
{
    const QVariant* value = row(pos);
    if (!value)
        return {};
    std::array<OrderMath::TaggedLine, 3> line;
    for (int i = 0; i < 3; ++i, value += OrderMath::NumberBoxes) {
        line[i].quantity = numberOf(value[OrderMath::QuantityBox]);
        line[i].bookPrice = moneyOf(value[OrderMath::PriceBox]);
        line[i].discountPercent = discountPercents[i];
        line[i].specialPrice = moneyOf(value[OrderMath::SpecialPriceBox]);
    }
    return OrderMath::taggedAmount(line);
}

const QVariant* PartReader::row(int pos)
{
    if (pos < m_from || pos >= m_from + m_count) {
        m_from = pos;
        m_values = m_rs.valuesAt(pos, Block, m_fields);
        m_count = int(m_values.size() / m_fields.size());
        if (m_count == 0)
            return nullptr;
    }
    return m_values.constData() + qsizetype(pos - m_from) * m_fields.size();
}

std::optional<QuietTag> autoTagQuietly(OrderMath::PartBoxes part)
{
    using namespace OrderMath;
    QuietTag quiet;
    const PartTag tag = autoTag(part);
    if (tag.vendor != 0) {
        PartBoxes::Vendor& v = part.vendors[tag.vendor - 1];
        if (tag.checkDefault && !v.isDefault)
            quiet.writes.append({QStringLiteral("Default %1").arg(tag.vendor), true});
        quiet.outOfRange = tag.outOfRange;
        if (tag.quantity && *tag.quantity != v.numbers[QuantityBox].text()) {
            // A box emptied is written as nothing, as a bound box hands it in.
            quiet.writes.append({numberField(tag.vendor, QuantityBox), tag.quantity->isEmpty() ? QVariant() : QVariant(*tag.quantity)});
            v.numbers[QuantityBox].setText(*tag.quantity);
        }
    }
    if (!recordCheck(part).passesQuietly())
        return std::nullopt;
    return quiet;
}
