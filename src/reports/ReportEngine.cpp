#include "ReportEngine.h"

#include "ReportPreview.h"
#include "platform/AppFolder.h"
#include "platform/Modal.h"

#include <QFileInfo>

namespace {

class PreviewViewer : public ReportViewer
{
public:
    void show(std::shared_ptr<ReportDocument> document) override
    {
        auto* w = new ReportPreview(std::move(document));
        w->setAttribute(Qt::WA_DeleteOnClose);
        // A report printed from a modal window (the Date prompt stays open after "&OK"): its
        // preview must answer while that window is open, and outlive it.
        ShowBesideModal(w);
    }
};

ReportViewer* installedViewer = nullptr;

} // namespace

QString findReportFile(const QString& nameOrPath)
{
    QString n = nameOrPath.trimmed();
    n.replace(u'\\', u'/');
    return resolveNoCase(n);
}

Report Report::load(const QString& nameOrPath)
{
    const QString path = findReportFile(nameOrPath);
    return Report(std::make_shared<const ReportDefinition>(ReportDefinition::load(path)));
}

Report::Report(std::shared_ptr<const ReportDefinition> definition)
    : def_(std::move(definition))
{
}

void Report::setSelectionFormula(const QString& formula)
{
    try {
        formula_ = Formula::parse(formula);
    } catch (const FormulaError& e) {
        throw FormulaError(QStringLiteral("the selection formula is not valid: %1").arg(e.text()), e.position());
    }
}

void Report::setSortFields(const QStringList& fields)
{
    QList<SortField> sorts;
    for (const QString& f : fields) {
        if (f.trimmed().isEmpty())
            continue;
        if (sorts.size() == 3)
            throw ReportError(QStringLiteral("a report sorts by at most three fields"));
        sorts.append(SortField::parse(f));
    }
    sorts_ = sorts;
}

std::shared_ptr<ReportDocument> Report::run() const
{
    auto data = ReportData::read(*def_, formula_, sorts_);
    auto doc = std::make_shared<ReportDocument>(def_, data);
    doc->page(0);   // a field that cannot be shown fails now, not in the preview
    return doc;
}

ReportViewer& ReportViewer::get()
{
    static PreviewViewer preview;
    return installedViewer ? *installedViewer : preview;
}

void ReportViewer::install(ReportViewer* v)
{
    installedViewer = v;
}
