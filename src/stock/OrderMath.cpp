#include "stock/OrderMath.h"

#include "data/DataControl.h"
#include "stock/StockMath.h"

#include <cmath>
#include <optional>

namespace OrderMath {

namespace {

bool isZero(const QString& text)
{
    return parseNumber(text).value_or(0.0) == 0.0;
}

// A vendor counts as tagged only with a quantity above 0.
bool isAboveZero(const QString& text)
{
    return parseNumber(text).value_or(0.0) > 0;
}

// Whether a special price replaces the discounted book price: one above 0, and one beyond what
// money holds, which is the price to pay all the same (out of range).
bool specialPriceApplies(const std::optional<Currency>& specialPrice)
{
    return specialPrice && (specialPrice->isOutOfRange() || *specialPrice > Currency());
}

}  // namespace

PriceFigures priceFigures(std::optional<Currency> bookPrice, double discountPercent,
                          std::optional<Currency> specialPrice, std::optional<double> package)
{
    if (!bookPrice)
        return {};
    if (*bookPrice == Currency())
        return {Currency(), Currency()};
    // One piece of a package: nothing to show for a package that is missing or 0.
    auto perPiece = [&package](Currency price) -> std::optional<Currency> {
        if (!package || *package == 0 || !std::isfinite(*package))
            return std::nullopt;
        return price / *package;
    };
    PriceFigures f;
    f.discountPrice = *bookPrice - *bookPrice * (discountPercent * 0.01);
    f.costEach = perPiece(*f.discountPrice);
    if (specialPriceApplies(specialPrice)) {
        f.discountPrice = *specialPrice;
        f.costEach = perPiece(*specialPrice);
    }
    return f;
}

double discountPercent(const QString& text)
{
    return vbVal(text);
}

std::optional<ExactMoney> exactDiscountPrice(std::optional<Currency> bookPrice, double discountPercent,
                                             std::optional<Currency> specialPrice)
{
    if (!bookPrice)
        return std::nullopt;
    if (*bookPrice == Currency())
        return ExactMoney();
    if (specialPriceApplies(specialPrice))
        return ExactMoney(*specialPrice);
    const ExactMoney book(*bookPrice);
    return book - book * discountPercent / std::int64_t(100);
}

bool isNeeded(const StockLine& part)
{
    const double inStock = part.inStock.value_or(0.0);
    if (!(inStock < part.minimumStock.value_or(0.0)))
        return false;
    for (int i = 0; i < 3; ++i)
        if (part.quantityOrdered[i].value_or(0.0) != 0 || part.backOrdered[i].value_or(0.0) != 0)
            return false;
    return true;
}

bool isTagged(const std::array<QString, 3>& orderQuantities)
{
    return isTagged({parseNumber(orderQuantities[0]), parseNumber(orderQuantities[1]), parseNumber(orderQuantities[2])});
}

bool isTagged(const std::array<std::optional<double>, 3>& orderQuantities)
{
    for (const std::optional<double>& q : orderQuantities)
        if (q.value_or(0.0) > 0)
            return true;
    return false;
}

// ---------------------------------------------------------------- what a part's boxes show

Shown::Shown(QString text)
    : m_text(std::move(text))
{
}

Shown::Shown(const QVariant* stored, bool money)
{
    setStored(stored, money);
}

bool Shown::isOutOfRange() const
{
    if (!m_money)
        return false;
    if (isStoredNumber())
        return !Currency::fits(m_stored->toDouble());
    return text() == OutOfRangeMark;
}

void Shown::setStored(const QVariant* stored, bool money)
{
    if (!m_text.isNull())
        m_text = QString();
    m_stored = stored;
    m_storedType = stored->typeId();
    m_money = money;
    m_isText = false;
}

QString Shown::text() const
{
    if (m_isText)
        return m_text;
    return DataControl::formatValue(*m_stored, m_money ? BindFormat::Currency : BindFormat::General);
}

// Text and memo fields show their text as it is.
bool Shown::isStoredText() const
{
    return !m_isText && !m_money && m_storedType == QMetaType::QString;
}

bool Shown::isEmpty() const
{
    if (m_isText)
        return m_text.isEmpty();
    if (isStoredNumber())
        return false;
    return isStoredText() ? static_cast<const QString*>(m_stored->constData())->isEmpty() : text().isEmpty();
}

bool Shown::isBlankText() const
{
    if (isStoredText())
        return static_cast<const QString*>(m_stored->constData())->trimmed().isEmpty();
    return text().trimmed().isEmpty();
}

void Shown::setText(QString text)
{
    m_text = std::move(text);
    m_isText = true;
}

bool isMoneyBox(int box)
{
    return box == PriceBox || box == SpecialPriceBox;
}

QString numberField(int vendor, int box)
{
    static const std::array<std::array<QString, NumberBoxes>, 3> names = [] {
        const char* const boxes[NumberBoxes] = {"Quantity Ordered", "Back Ordered", "Minimum Buy", "Package",
                                                "Price", "Special Price"};
        std::array<std::array<QString, NumberBoxes>, 3> all;
        for (int n = 1; n <= 3; ++n)
            for (int box = 0; box < NumberBoxes; ++box)
                all[n - 1][box] = QStringLiteral("%1 %2").arg(QLatin1String(boxes[box])).arg(n);
        return all;
    }();
    return names[vendor - 1][box];
}

namespace {

// Whether the record check takes what a number box shows: nothing, a price of 0 or more in a money
// box, a whole number of 0 or more that the field holds in a count box. A value the part stores is
// taken unless it is too large to be used.
bool acceptsNumber(const Shown& box, int kind)
{
    if (box.isBlank())
        return true;
    if (box.isStored()) {
        if (isMoneyBox(kind))
            return !box.isOutOfRange();
        const std::optional<double> n = box.number();
        return !n || fitsLongField(*n);
    }
    if (isMoneyBox(kind)) {
        const std::optional<Currency> amount = Currency::parse(box.text());
        return amount && *amount >= Currency();
    }
    const std::optional<double> n = box.number();
    return n && fitsLongField(*n) && isWholeCount(*n);
}

}  // namespace

CheckFindings recordCheck(const PartBoxes& part)
{
    CheckFindings f;
    std::array<std::optional<double>, 3> quantities;
    for (int i = 0; i < 3; ++i) {
        const PartBoxes::Vendor& v = part.vendors[i];
        for (int box = 0; box < NumberBoxes; ++box)
            if (!acceptsNumber(v.numbers[box], box))
                f.refused.append({i + 1, box});
        quantities[i] = v.numbers[QuantityBox].number();
    }
    f.tagged = isTagged(quantities);
    f.lacksMinimum = part.minimumStock.number().value_or(0.0) == 0;
    f.lacksLocation = part.location.isEmpty();
    return f;
}

PartTag autoTag(const PartBoxes& part)
{
    std::array<bool, 3> defaults{};
    std::array<QString, 3> partNumbers, quantities;
    for (int i = 0; i < 3; ++i) {
        defaults[i] = part.vendors[i].isDefault;
        partNumbers[i] = part.vendors[i].partNumber.text();
        quantities[i] = part.vendors[i].numbers[QuantityBox].text();
    }
    const AutoTagVendor choice = autoTagVendor(defaults, partNumbers, quantities);
    if (choice.vendor == 0)
        return {};
    const int i = choice.vendor - 1;
    const PartBoxes::Vendor& v = part.vendors[i];
    PartTag tag;
    tag.vendor = choice.vendor;
    tag.checkDefault = choice.becomesDefault;
    const AutoTagQuantity q = autoTagQuantity(part.minimumStock.text(), part.inStock.text(), v.numbers[PackageBox].text(),
                                              quantities[i], v.numbers[MinimumBuyBox].text());
    if (q.outOfRange) {
        tag.outOfRange = partNumbers[i].isEmpty() ? part.description.text() : partNumbers[i];
    } else {
        // The box takes the whole number of packages the field stores (the shortfall rounded half
        // to even): the record check that follows takes no part of a package.
        const std::optional<double> n = parseNumber(q.orderQuantity);
        tag.quantity = n ? QString::number(roundHalfEven(*n)) : q.orderQuantity;
    }
    return tag;
}

ExactMoney taggedAmount(const std::array<TaggedLine, 3>& vendors)
{
    ExactMoney total;
    for (const TaggedLine& v : vendors) {
        if (!v.quantity || *v.quantity == 0)
            continue;   // nothing tagged for this vendor adds nothing, whatever its price
        if (const std::optional<ExactMoney> price = exactDiscountPrice(v.bookPrice, v.discountPercent, v.specialPrice))
            total = total + *price * *v.quantity;
    }
    return total;
}

QuantityWarnings quantityWarnings(int vendor, const QString& quantity, const QString& backOrder,
                                  const QString& package, const QString& vendorHeading)
{
    QuantityWarnings w;
    if (quantity.isEmpty())
        return w;
    const std::optional<double> q = parseNumber(quantity);
    if (!q || *q <= 0)
        return w;
    const std::optional<double> b = parseNumber(backOrder);
    if (!vendorHeading.isEmpty() && b && *b > 0)
        w.backOrder = true;
    const std::optional<double> k = parseNumber(package);
    if ((vendor != 3 || !vendorHeading.isEmpty()) && k && *q * *k > 50)
        w.overFifty = true;
    return w;
}

AutoTagVendor autoTagVendor(const std::array<bool, 3>& defaults, const std::array<QString, 3>& partNumbers,
                            const std::array<QString, 3>& orderQuantities)
{
    for (int i = 0; i < 3; ++i)
        if (defaults[i])
            return {partNumbers[i].isEmpty() ? 0 : i + 1, false};
    for (int i = 0; i < 3; ++i) {
        if (partNumbers[i].isEmpty())
            continue;
        if (isZero(orderQuantities[(i + 1) % 3]) && isZero(orderQuantities[(i + 2) % 3]))
            return {i + 1, true};
    }
    return {};
}

AutoTagQuantity autoTagQuantity(const QString& minimumStock, const QString& inStock, const QString& package,
                                const QString& orderQuantity, const QString& minimumBuy)
{
    AutoTagQuantity r{orderQuantity, false};
    // A count in stock or a minimum stored empty (an older file's) is 0, as the needed view takes it.
    auto count = [](const QString& text) { return text.trimmed().isEmpty() ? std::optional<double>(0.0) : parseNumber(text); };
    const std::optional<double> min = count(minimumStock);
    const std::optional<double> stock = count(inStock);
    const std::optional<double> k = parseNumber(package);
    if (min && stock && k && *k != 0)
        r.orderQuantity = numberText((*min - *stock) / *k);

    // The comparison is made on 16-bit whole numbers; a value beyond them is not ordered at all
    // rather than ordered wrongly.
    std::int16_t q = 0;
    if (const std::optional<double> shortfall = parseNumber(r.orderQuantity)) {
        const std::optional<std::int16_t> fits = StockMath::cint16(*shortfall);
        if (!fits)
            return {orderQuantity, true};
        q = *fits;
    }
    const std::optional<double> buy = parseNumber(minimumBuy);
    if (!buy)
        return r;   // no minimum purchase to compare with: the shortfall stands
    const std::optional<std::int16_t> m = StockMath::cint16(*buy);
    if (!m)
        return {orderQuantity, true};
    if (*m >= q)
        r.orderQuantity = minimumBuy;
    return r;
}

Submission submitPart(int vendor, const OrderLine& part)
{
    Submission s;
    s.backOrders = part.backOrders;
    s.defaults = part.defaults;

    // An empty box is a count of 0; anything else must be a whole number of packages that fits 16 bits.
    auto count = [](const QString& text) -> std::optional<std::int16_t> {
        if (text.trimmed().isEmpty())
            return std::int16_t(0);
        const std::optional<double> n = wholeCount(text);
        return n ? StockMath::cint16(*n) : std::nullopt;
    };
    auto refuse = [&s](int n, const QString& why) {
        s.problem = QStringLiteral("vendor # %1: %2").arg(n).arg(why);
        return s;
    };

    for (int i = 0; i < 3; ++i) {
        const int n = i + 1;
        if (vendor != 0 && vendor != n)
            continue;
        const QString& qText = part.orderQuantities[i];
        const std::optional<double> tagged = parseNumber(qText);
        if (vendor == 0 && (qText.trimmed().isEmpty() || (tagged && *tagged <= 0)))
            continue;   // nothing tagged for this vendor: its back order and special price stay
        const std::optional<std::int16_t> q = count(qText);
        if (!q)
            return refuse(n, QStringLiteral("the quantity \"%1\" is not a whole number of packages from 0 to 32767").arg(qText));
        const QString& bText = part.backOrders[i];
        const std::optional<std::int16_t> b = count(bText);
        if (!b)
            return refuse(n, QStringLiteral("the back order \"%1\" is not a whole number of packages from 0 to 32767").arg(bText));
        const std::optional<std::int16_t> sum = StockMath::add16(*b, *q);
        if (!sum)
            return refuse(n, QStringLiteral("the back order would be %1 packages, more than 32767")
                                 .arg(int(*b) + int(*q)));
        s.backOrders[i] = QString::number(*sum);
        s.submitted[i] = true;
    }

    if (vendor != 0) {
        if (!part.defaults[vendor - 1])
            s.defaults = {vendor == 1, vendor == 2, vendor == 3};
    } else {
        for (int i = 0; i < 3; ++i) {
            if (part.partNumbers[i].isEmpty())
                continue;
            if (!isAboveZero(part.orderQuantities[(i + 1) % 3]) && !isAboveZero(part.orderQuantities[(i + 2) % 3]))
                s.defaults = {i == 0, i == 1, i == 2};
        }
    }
    s.ok = true;
    return s;
}

}  // namespace OrderMath
