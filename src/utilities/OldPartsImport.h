#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// The import of the older DOS program's table INVNTORY into Parts, in two passes, one per vendor.
// A pass merges the old parts and the catalogue, both sorted by that vendor's part number: an old
// part whose number the catalogue holds updates that part's stock figures, one the catalogue
// lacks is added. Numbers are compared as text by character code, exactly and with regard to
// case, and both lists are sorted by that same comparison, so that the walk never passes a match.

// The fields of INVNTORY that the import reads, in the order of OldPartRecord.
enum class OldField {
    NUMBER1, NUMBER2, NUMBER3, STOCK, INSTOCK, LOCATION, QTYB, QTYQ, QTYOTHER, BRUNSBO, QUALITYBO,
    OTHERBO, MEMO1, MEMO2, AREA, DESCRIPT, PAGE1, PAGE2, PAGE3, PKGB, PKGQ, PKGOTHER, PRICEB,
    PRICEQ, OTHERPR,
};
constexpr int OldFieldCount = int(OldField::OTHERPR) + 1;
QString oldFieldName(OldField f);

// One row of INVNTORY, every value as the text the table holds. The values are kept one after
// the other in one string (a large table holds hundreds of thousands of rows).
struct OldPartRecord {
    QString text;
    std::array<int, OldFieldCount + 1> bounds {};   // where each value starts; the last is the end

    QStringView view(OldField f) const
    {
        const size_t i = size_t(f);
        return QStringView(text).mid(bounds[i], bounds[i + 1] - bounds[i]);
    }
    QString operator[](OldField f) const { return view(f).toString(); }
};

// The comparison of part numbers used by the merge and by both sort orders.
inline int comparePartNumbers(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseSensitive);
}

// The old parts a pass read, and those it left out of its source list.
struct OldPartsCount {
    int read = 0;        // the rows that are not deleted
    int badNumber = 0;   // left out: the vendor-n number does not sort after "1"
    int lowStock = 0;    // left out (with a number that does): STOCK is no number or below 1
};

// The source list of a pass: the rows of the table that are not deleted, whose STOCK is a number
// of at least 1 and whose vendor-n number sorts after the text "1", ascending by that number
// ("Select * from INVNTORY Where [STOCK] >= 1 and [NUMBERn] > '1' order by [NUMBERn] ASC").
// Throws DbError when the table cannot be read or lacks one of the fields.
QList<OldPartRecord> readOldParts(const QString& dbfPath, int vendor, OldPartsCount* count = nullptr);

// A part of the catalogue as a pass walks it.
struct CatalogueKey {
    qint64 recordNumber = 0;
    QString number;
};

// The target list of a pass: the parts whose vendor-n number sorts after "1", ascending by it
// ("Select * from PARTS where [Part Number n] > '1' order by [Part Number n] ASC").
QList<CatalogueKey> readCatalogueKeys(const QString& inventoryPath, int vendor);

// What a pass does, in order: update a catalogue part from an old one, or add an old one.
struct ImportStep {
    enum Kind { Match, Add };
    Kind kind = Add;
    int source = 0;              // index in the source list
    qint64 recordNumber = 0;     // the catalogue part, for Match
};

// The merge of the two sorted lists. An old part whose number sorts after the last catalogue
// number cannot match one either, so it is added like any other missing part (an empty catalogue
// list adds every old part).
QList<ImportStep> planImportPass(const QStringList& sourceNumbers, const QList<CatalogueKey>& catalogue);

struct ImportOutcome {
    QStringList added;      // the numbers of the parts added, in the order they were added
    int matched = 0;
    QStringList failed;     // "<number>: <reason>" for each old part that could not be written
};

// One prepared pass: the source and target lists read when the pass is prepared.
class ImportPass {
public:
    ImportPass() = default;
    // Throws DbError when the table, the database or its Parts table cannot be read.
    static ImportPass prepare(int vendor, const QString& dbfPath, const QString& inventoryPath);

    int vendor() const { return m_vendor; }
    int total() const { return int(m_source.size()); }
    const OldPartsCount& oldParts() const { return m_oldParts; }
    const QList<OldPartRecord>& source() const { return m_source; }
    const QList<CatalogueKey>& catalogue() const { return m_catalogue; }

    // Writes the pass in one transaction. A part whose values do not fit its fields is left out
    // whole (never half written) and named in failed; the others are written. matchDone is
    // called after each match with the count still to go. Throws DbError, with nothing written,
    // when the database cannot be written at all.
    ImportOutcome run(const std::function<void(int remaining)>& matchDone = {}) const;

private:
    int m_vendor = 1;
    QString m_inventoryPath;
    QList<OldPartRecord> m_source;
    OldPartsCount m_oldParts;
    QList<CatalogueKey> m_catalogue;
};
