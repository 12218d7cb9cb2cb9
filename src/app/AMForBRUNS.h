#pragma once

#include <QWidget>

class QLabel;
class QRadioButton;

// "Parts Selection": on the first start, the user picks the make of the centre's pinsetters and
// the matching template database becomes Inventory.mdb. Shown modal by start-up.
class AMForBRUNS : public QWidget {
    Q_OBJECT
public:
    enum class Outcome {
        Open,        // still open, nothing chosen yet
        Installed,   // the template was copied to Inventory.mdb
        EndProgram,  // the template is missing or could not be copied; the user has been told
        Closed,      // closed with the close box without a choice
    };

    explicit AMForBRUNS(QWidget* parent = nullptr);

    Outcome outcome() const { return m_outcome; }

    QLabel* Label1;
    QRadioButton* Option1;   // "AMF Pinsetter Parts"
    QRadioButton* Option2;   // "Brunswick Pinsetter Parts"
    QRadioButton* Option3;   // below the visible area: keeps both choices unselected at first

    void Option1_Click();
    void Option2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The template counts as present only under one of its two spellings.
    void InstallTemplate(const QString& spelling, const QString& lowerSpelling, const QString& missingMessage);

    Outcome m_outcome = Outcome::Open;
};
