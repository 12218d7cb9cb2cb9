#pragma once

#include "ReportControl.h"

#include <QWidget>

#include <memory>
#include <optional>

class DataControl;
class DateMaskBox;
class ProportionalResizer;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Two small prompts print the usage report for a range of lanes or of dates. Each builds a
// selection formula from what the user typed and runs its report by bare file name. Both stay
// open after "&OK", so that another range can be printed, until "E&xit" unloads them.

// A typed lane number: a whole number of at most three digits, blanks around it allowed.
std::optional<int> ParseLaneNumber(const QString& text);
// The lane query and formula for a checked range: "... [Lane Number] >= 1 and [Lane Number] <= 12"
// and "{PartsUsage.Lane Number} in 1to 12". Built from the numbers, never from the typed text.
QString LaneRangeQuery(int start, int end);
QString LaneRangeFormula(int start, int end);
// The date formula from two boxes' texts in the form MM/DD/YYYY:
// "{PartsUsage.Date Used} >= Date (2004,01,15) and {PartsUsage.Date Used} <= Date (2004,02,20)".
QString DateRangeFormula(const QString& startText, const QString& endText);

// "Lane Number Entry", opened modeless from the main window; deletes itself when unloaded.
class LaneNumber : public QWidget
{
    Q_OBJECT
public:
    explicit LaneNumber(QWidget* parent = nullptr);
    ~LaneNumber() override;

    QLabel* Label1;
    QGroupBox* SSFrame1;
    QLineEdit* Text1;            // starting lane
    QGroupBox* SSFrame2;
    QLineEdit* Text2;            // ending lane
    QPushButton* Command1;       // "&OK", the default button
    QPushButton* Command2;       // "E&xit", the cancel button
    DataControl* Data1;          // runs the lane query
    std::unique_ptr<ReportControl> CrystalReport1;
    ProportionalResizer* ReSize1;

    void Form_Load();
    void Text1_GotFocus();
    void Text2_GotFocus();
    void Command1_Click();
    void Command2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// "Date", opened modal from the main window; deletes itself when unloaded.
class DateRange : public QWidget
{
    Q_OBJECT
public:
    explicit DateRange(QWidget* parent = nullptr);
    ~DateRange() override;

    QLabel* Label1;
    QGroupBox* SSFrame1;
    DateMaskBox* MaskEdBox1;     // start date
    QLabel* Label2;
    QGroupBox* SSFrame2;
    DateMaskBox* MaskEdBox2;     // end date
    QLabel* Label3;
    QPushButton* Command1;       // "&OK", the default button
    QPushButton* Command2;       // "E&xit", the cancel button
    QPlainTextEdit* Text1;       // below the client area: carries the built formula
    DataControl* Data1;
    std::unique_ptr<ReportControl> CrystalReport1;
    ProportionalResizer* ReSize1;

    void Form_Load();
    void Form_Activate();
    void Text1_GotFocus();
    void Command1_Click();
    void Command2_Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pointer;
    std::unique_ptr<Pointer> m_pointer;   // the normal pointer while the prompt is active
};
