#pragma once

#include "ReportDocument.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

// The preview window of a report: page navigation, zoom, "Print" to the printer chosen with
// "Printer Setup", and "Export" to a PDF file. Modeless; the report runs before it opens, so
// it never waits on the database.
class ReportPreview : public QWidget
{
    Q_OBJECT
public:
    explicit ReportPreview(std::shared_ptr<ReportDocument> document, QWidget* parent = nullptr);
    ~ReportPreview() override;

    std::shared_ptr<ReportDocument> document() const { return doc_; }
    int currentPage() const { return page_; }     // 0-based
    void showPage(int index);

    // The toolbar's commands.
    void printReport();
    void exportReport();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();
    double zoomDpi() const;
    ReportProgress progressFor(const QString& label);

    std::shared_ptr<ReportDocument> doc_;
    int page_ = 0;
    QPushButton* first_;
    QPushButton* previous_;
    QSpinBox* pageBox_;
    QLabel* pageCount_;
    QPushButton* next_;
    QPushButton* last_;
    QComboBox* zoom_;
    QPushButton* print_;
    QPushButton* export_;
    QPushButton* close_;
    QScrollArea* scroll_;
    QLabel* view_;
};
