#pragma once

#include <QString>

#include <functional>
#include <memory>

// The report control a printing window holds (its `CrystalReport1`): the four operations the
// windows use, and nothing else. run() consumes the settings: whatever happens, the control is
// clean afterwards, so a formula or sort field of one launch never reaches the next.
class ReportControl
{
public:
    virtual ~ReportControl() = default;

    virtual void setReportFileName(const QString& nameOrPath) = 0;   // full path or bare name
    virtual void setSelectionFormula(const QString& formula) = 0;
    virtual void setSortField(int k, const QString& sortField) = 0;    // k = 0, 1, 2
    // Produces the report and shows it (the preview is modeless: run returns once it is up).
    // Throws ReportError with the reason when the report cannot be produced.
    virtual void run() = 0;

    // The control a window makes for itself: the engine's, unless a test has installed a
    // factory (tests/support/RecordingReportControl.h).
    using Factory = std::function<std::unique_ptr<ReportControl>()>;
    static std::unique_ptr<ReportControl> create();
    static void installFactory(Factory factory) { installedFactory() = std::move(factory); }   // empty: the engine's

protected:
    static Factory& installedFactory()
    {
        static Factory f;
        return f;
    }
};

// The engine behind the control: loads the definition file (bare names from the program's
// folder, any letter case), applies the formula and sort fields, lays the report out and
// hands it to ReportViewer.
class EngineReportControl : public ReportControl
{
public:
    void setReportFileName(const QString& nameOrPath) override { file_ = nameOrPath; }
    void setSelectionFormula(const QString& formula) override { formula_ = formula; }
    void setSortField(int k, const QString& sortField) override;
    void run() override;

private:
    void clear();
    QString file_;
    QString formula_;
    QString sorts_[3];
};
