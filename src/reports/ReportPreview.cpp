#include "ReportPreview.h"

#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char* const zoomChoices[] = {"Whole Page", "Page Width", "50%", "75%", "100%", "125%", "150%", "200%"};

QPushButton* toolButton(const QString& text, const QString& name, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

ReportPreview::ReportPreview(std::shared_ptr<ReportDocument> document, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(std::move(document))
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(doc_->title());
    QFont uiFont(QStringLiteral("Liberation Sans"));
    uiFont.setPointSize(9);
    setFont(uiFont);

    first_ = toolButton(QStringLiteral("|<"), QStringLiteral("firstButton"), QStringLiteral("First page"), this);
    previous_ = toolButton(QStringLiteral("<"), QStringLiteral("previousButton"), QStringLiteral("Previous page"), this);
    pageBox_ = new QSpinBox(this);
    pageBox_->setObjectName(QStringLiteral("pageBox"));
    pageBox_->setRange(1, std::max(1, doc_->pageCount()));
    pageBox_->setKeyboardTracking(false);
    pageCount_ = new QLabel(QStringLiteral("of %1").arg(doc_->pageCount()), this);
    pageCount_->setObjectName(QStringLiteral("pageCountLabel"));
    next_ = toolButton(QStringLiteral(">"), QStringLiteral("nextButton"), QStringLiteral("Next page"), this);
    last_ = toolButton(QStringLiteral(">|"), QStringLiteral("lastButton"), QStringLiteral("Last page"), this);
    zoom_ = new QComboBox(this);
    zoom_->setObjectName(QStringLiteral("zoomBox"));
    for (const char* z : zoomChoices)
        zoom_->addItem(QLatin1String(z));
    zoom_->setCurrentIndex(1);
    print_ = toolButton(QStringLiteral("&Print"), QStringLiteral("printButton"), QStringLiteral("Print on the printer chosen in Printer Setup"), this);
    export_ = toolButton(QStringLiteral("E&xport"), QStringLiteral("exportButton"), QStringLiteral("Save the report as a PDF file"), this);
    close_ = toolButton(QStringLiteral("&Close"), QStringLiteral("closeButton"), QStringLiteral("Close the preview"), this);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    bar->setSpacing(6);   // else it takes the page layout's 0, and "of n" touches the page box
    for (QPushButton* b : {first_, previous_, next_, last_})
        b->setFixedWidth(34);
    for (QWidget* w : std::initializer_list<QWidget*>{first_, previous_, pageBox_, pageCount_, next_, last_})
        bar->addWidget(w);
    bar->addSpacing(16);
    bar->addWidget(zoom_);
    bar->addStretch(1);
    bar->addWidget(print_);
    bar->addWidget(export_);
    bar->addWidget(close_);

    view_ = new QLabel;
    view_->setObjectName(QStringLiteral("pageView"));
    view_->setAlignment(Qt::AlignCenter);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("pageArea"));
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setWidget(view_);
    scroll_->setWidgetResizable(false);
    // A fitted page follows the room it has; a steady scroll bar keeps the width from flapping.
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(scroll_, 1);

    connect(first_, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(previous_, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(last_, &QPushButton::clicked, this, [this] { showPage(doc_->pageCount() - 1); });
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int v) { showPage(v - 1); });
    connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(print_, &QPushButton::clicked, this, &ReportPreview::printReport);
    connect(export_, &QPushButton::clicked, this, &ReportPreview::exportReport);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);

    const QRect avail = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 1024);
    resize(std::min(avail.width() - 40, 1000), std::min(avail.height() - 60, 1100));
    move(avail.center() - rect().center());   // wholly on the screen, whatever opened it
    refresh();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::showPage(int index)
{
    index = std::clamp(index, 0, std::max(0, doc_->pageCount() - 1));
    if (index == page_ && !view_->pixmap().isNull())
        return;
    page_ = index;
    refresh();
    scroll_->verticalScrollBar()->setValue(0);
}

double ReportPreview::zoomDpi() const
{
    const QSizeF page = doc_->pageSize();   // points
    const QSize room = scroll_->viewport()->size() - QSize(24, 24);
    const QString z = zoom_->currentText();
    if (z == QLatin1String("Whole Page"))
        return std::max(20.0, std::min(room.width() / page.width(), room.height() / page.height()) * 72.0);
    if (z == QLatin1String("Page Width"))
        return std::max(20.0, room.width() / page.width() * 72.0);
    return 96.0 * QStringView(z).chopped(1).toDouble() / 100.0;
}

void ReportPreview::refresh()
{
    const int count = doc_->pageCount();
    first_->setEnabled(page_ > 0);
    previous_->setEnabled(page_ > 0);
    next_->setEnabled(page_ < count - 1);
    last_->setEnabled(page_ < count - 1);
    {
        const QSignalBlocker block(pageBox_);
        pageBox_->setValue(page_ + 1);
    }
    const qreal ratio = devicePixelRatioF();
    QImage img;
    try {
        img = doc_->renderImage(page_, zoomDpi() * ratio);
    } catch (const ReportError& e) {
        view_->setText(QStringLiteral("This page cannot be shown: %1").arg(e.text()));
        view_->adjustSize();
        return;
    }
    QPixmap pm = QPixmap::fromImage(img);
    pm.setDevicePixelRatio(ratio);
    view_->setPixmap(pm);
    view_->resize(pm.deviceIndependentSize().toSize() + QSize(16, 16));
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport gets its final size only after the window's layout has run, so the fitted
    // zooms are recomputed from its own resize rather than the window's.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize && zoom_->currentIndex() <= 1)
        refresh();
    return QWidget::eventFilter(watched, event);
}

void ReportPreview::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageDown: showPage(page_ + 1); return;
    case Qt::Key_PageUp: showPage(page_ - 1); return;
    case Qt::Key_Home: showPage(0); return;
    case Qt::Key_End: showPage(doc_->pageCount() - 1); return;
    case Qt::Key_Escape: close(); return;
    default: QWidget::keyPressEvent(event);
    }
}

ReportProgress ReportPreview::progressFor(const QString& label)
{
    auto dialog = std::make_shared<QProgressDialog>(label, QStringLiteral("Stop"), 0, doc_->pageCount(), this);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(800);
    dialog->setAutoClose(true);
    return [dialog](int done, int total) {
        dialog->setMaximum(total);
        dialog->setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !dialog->wasCanceled();
    };
}

void ReportPreview::printReport()
{
    try {
        WaitCursor wait;
        doc_->print(sharedPrinter(), progressFor(QStringLiteral("Printing %1...").arg(doc_->title())));
    } catch (const ReportError& e) {
        MsgBox(QStringLiteral("The report %1 could not be printed: %2").arg(doc_->fileName(), e.text()), 48);
    }
}

void ReportPreview::exportReport()
{
    FileDialogOptions o;
    o.title = QStringLiteral("Export");
    o.filter = QStringLiteral("PDF Files (*.pdf)|*.pdf");
    o.defaultExt = QStringLiteral("pdf");
    o.fileName = QFileInfo(doc_->fileName()).completeBaseName() + QStringLiteral(".pdf");
    const QString path = Dialogs::get().saveFile(o);
    if (path.isEmpty())
        return;
    try {
        WaitCursor wait;
        doc_->exportPdf(path, progressFor(QStringLiteral("Exporting %1...").arg(doc_->title())));
    } catch (const ReportError& e) {
        MsgBox(QStringLiteral("The report %1 could not be exported: %2").arg(doc_->fileName(), e.text()), 48);
    }
}
