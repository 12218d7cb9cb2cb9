#include "ReportLauncher.h"

#include "PaperSize.h"
#include "ReportError.h"
#include "data/DataControl.h"
#include "data/Schema.h"
#include "platform/AppFolder.h"
#include "platform/Cursor.h"
#include "platform/Prompts.h"

#include <QFileInfo>

namespace {

// Runs one step of a launch; a step that fails is skipped and the launch goes on.
template <typename F>
void step(F&& f)
{
    try {
        f();
    } catch (const std::exception&) {
    }
}

void showNotice(const ReportNotice& n)
{
    ArrowCursor arrow;
    if (n.beep)
        Beep();
    MsgBox(n.text, n.style, n.title);
}

} // namespace

ReportPrecondition ReportPrecondition::onQuery(const QString& sql, const ReportNotice& notice)
{
    ReportPrecondition p;
    p.query = sql;
    p.notice = notice;
    return p;
}

ReportPrecondition ReportPrecondition::onHeldRows(const ReportNotice& notice)
{
    ReportPrecondition p;
    p.notice = notice;
    p.pointAtInventory = false;
    p.moveFirst = true;
    p.restore = nullptr;
    return p;
}

ReportPrecondition ReportPrecondition::onCheck(std::function<bool()> check, const ReportNotice& notice)
{
    ReportPrecondition p;
    p.notice = notice;
    p.check = std::move(check);
    p.restore = nullptr;
    return p;
}

QString ReportFileForPaper(const QString& letterFile, bool hasA4Twin, ReportPlacement placement)
{
    QString name = letterFile;
    if (hasA4Twin && PaperSize::isA4()) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot < 0)
            name += QStringLiteral("A4");
        else
            name.insert(dot, QStringLiteral("A4"));
    }
    if (placement == ReportPlacement::Bare)
        return name;
    return AppFolder::join(u'\\' + name);
}

ReportOutcome ReportLauncher(DataControl* Data1, ReportControl& CrystalReport1, const ReportRequest& request)
{
    WaitCursor hourglass;   // back to the normal pointer on every way out

    // The paper size is read when the file is set, after any question the caller asks first.
    QString file = ReportFileForPaper(request.letterFile, request.hasA4Twin, request.placement);
    auto tellWhy = [&](const QString& reason) {
        ArrowCursor arrow;
        const QString name = QFileInfo(QString(file).replace(u'\\', u'/')).fileName();
        MsgBox(QStringLiteral("The report %1 could not be printed: %2").arg(name, reason), 48);
        return ReportOutcome::Failed;
    };

    if (request.precondition) {
        const ReportPrecondition& pre = *request.precondition;
        if (pre.check) {
            if (!pre.check()) {
                showNotice(pre.notice);
                return ReportOutcome::NoRecords;
            }
        } else {
            if (!Data1)
                return tellWhy(QStringLiteral("the window has no data source"));
            int count = 0;
            try {
                if (!pre.query.isEmpty()) {
                    if (pre.pointAtInventory)
                        step([&] { Data1->setDatabaseName(InventoryDatabasePath()); });
                    step([&] { Data1->setRecordsetType(Recordset::Kind::Dynaset); });
                    step([&] { if (Data1->recordset()) Data1->updateRecord(); });
                    step([&] { Data1->setRecordSource(pre.query); });
                    Data1->refresh();
                }
                Recordset* rs = Data1->recordset();
                if (rs && !rs->isClosed()) {
                    if (pre.moveFirst && rs->recordCount() > 0)
                        rs->moveFirst();
                    count = rs->recordCount();
                }
            } catch (const DbError& e) {
                // A query that cannot run is a fault to report, not an empty result.
                const ReportOutcome out = tellWhy(e.text());
                if (pre.restore)
                    step([&] { pre.restore(*Data1); });
                return out;
            }
            if (count == 0) {
                showNotice(pre.notice);
                if (pre.restore)
                    step([&] { pre.restore(*Data1); });
                return ReportOutcome::NoRecords;
            }
        }
    }

    if (request.beforeRun) {
        request.beforeRun();
        file = ReportFileForPaper(request.letterFile, request.hasA4Twin, request.placement);
    }

    try {
        CrystalReport1.setReportFileName(file);
        if (request.selectionFormula)
            CrystalReport1.setSelectionFormula(*request.selectionFormula);
        for (int k = 0; k < 3; ++k) {
            const QString sort = request.sortFields.value(k);
            if (sort.isEmpty())
                break;   // the first empty text ends the sort fields
            CrystalReport1.setSortField(k, sort);
        }
        CrystalReport1.run();
    } catch (const ReportError& e) {
        return tellWhy(e.text());
    } catch (const DbError& e) {
        return tellWhy(e.text());
    } catch (const std::exception& e) {
        return tellWhy(QString::fromLocal8Bit(e.what()));
    }
    return ReportOutcome::Ran;
}

void RestorePartsDataSource(DataControl& data)
{
    step([&] { data.setRecordSource(QStringLiteral("select * from parts")); });
    step([&] { data.refresh(); });
    step([&] { data.close(); });
    step([&] { data.setDatabaseName(InventoryDatabasePath()); });
    step([&] { data.setRecordSource(QStringLiteral("Parts")); });
    step([&] { data.setRecordsetType(Recordset::Kind::Table); });
    step([&] { data.refresh(); });
}
