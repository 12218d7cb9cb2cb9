#include "parts/PartImagesWindow.h"

#include "data/DataControl.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "parts/PartsFonts.h"
#include "platform/Dialogs.h"
#include "platform/InputRules.h"
#include "platform/Modal.h"
#include "platform/PictureBox.h"
#include "platform/Prompts.h"
#include "platform/TextFit.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {

constexpr int ClientWidth = 11415;
const int LabelLefts[3] = {360, 4080, 7800};
const int ImageLefts[3] = {240, 3960, 7680};

}  // namespace

PartImagesMember PartImagesMember::maintenance()
{
    PartImagesMember m;
    m.name = QStringLiteral("ImagesMaint");
    m.modifyCaption = QStringLiteral("Modify Image");
    m.clientHeightTwips = 4050;
    m.modifyWidthTwips = 3135;
    return m;
}

PartImagesMember PartImagesMember::ordering()
{
    PartImagesMember m;
    m.name = QStringLiteral("ImagesTagParts");
    m.clientHeightTwips = 4080;
    return m;
}

PartImagesMember PartImagesMember::receiving()
{
    PartImagesMember m;
    m.name = QStringLiteral("ImagesRecv");
    m.clientHeightTwips = 4095;
    m.modifyLeftTwips = {360, 4080, 7800};
    m.exitLeftTwips = 4360;
    return m;
}

PartImagesMember PartImagesMember::usage()
{
    PartImagesMember m;
    m.name = QStringLiteral("ImagesUse");
    m.clientHeightTwips = 4140;
    return m;
}

PartImagesWindow::PartImagesWindow(DataControl* partsSource, PartImagesMember member, QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , m_member(std::move(member))
    , m_parts(partsSource)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(m_member.name);
    setWindowTitle(QStringLiteral("Images"));
    setFont(arialFont(8));
    resize(twipsToPx(ClientWidth), twipsToPx(m_member.clientHeightTwips));

    Data2 = new DataControl(this);
    Data2->setObjectName(QStringLiteral("Data2"));
    Data3 = new DataControl(this);
    Data3->setObjectName(QStringLiteral("Data3"));

    QPalette darkRed;
    darkRed.setColor(QPalette::WindowText, QColor(64, 0, 0));
    for (int i = 0; i < 3; ++i) {
        QLabel* heading = new QLabel(this);
        heading->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        heading->setAlignment(Qt::AlignCenter);
        heading->setFont(arialFont(9.75, true));
        heading->setPalette(darkRed);
        placeTwips(heading, LabelLefts[i], 0, 3255, 255);
        Label[i] = heading;

        PictureBox* picture = new PictureBox(this);
        picture->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        picture->setFrameShape(QFrame::Box);
        picture->setCursor(Qt::PointingHandCursor);
        picture->setToolTip(QStringLiteral("Click to choose a picture"));
        placeTwips(picture, ImageLefts[i], 360, 3615, 2535);
        picture->installEventFilter(this);
        Image[i] = picture;

        QPushButton* button = new QPushButton(m_member.modifyCaption, this);
        button->setObjectName(QStringLiteral("Command%1").arg(i + 1));
        button->setFont(arialFont(8.25));
        placeTwips(button, m_member.modifyLeftTwips[i], 3000, m_member.modifyWidthTwips, 315);
        connect(button, &QPushButton::clicked, this, [this, i] { modify(i + 1); });
        Command[i] = button;
    }

    Command4 = new QPushButton(QStringLiteral("E&xit"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setFont(arialFont(9, true));
    placeTwips(Command4, m_member.exitLeftTwips, 3480, 2655, 495);
    connect(Command4, &QPushButton::clicked, this, &PartImagesWindow::Command4_Click);
    setDefaultButton(this, Command4);

    // The row's record number sits below the visible area, as it always has.
    Label4 = new QLabel(QStringLiteral("Images Record #"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    placeTwips(Label4, 4800, 6480, 1500, 255);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFocusPolicy(Qt::NoFocus);
    placeTwips(Text1, 4920, 6720, 1500, 285);

    m_resizer = new ProportionalResizer(this);
    m_resizer->captureDesign();

    Form_Load();
    fitLabelTexts(this);   // the vendor makes are what the user typed
}

PartImagesWindow::~PartImagesWindow() = default;

PartImagesWindow* PartImagesWindow::ShowPartImages(DataControl* partsSource, const PartImagesMember& member,
                                                   QWidget* opener)
{
    if (!EnsurePicturesTable())
        return nullptr;
    QPointer<PartImagesWindow> window = new PartImagesWindow(partsSource, member, opener);
    ShowModal(window);
    return window;
}

std::optional<qint64> PartImagesWindow::currentPartNumber(DataControl* partsSource)
{
    Recordset* rs = partsSource ? partsSource->recordset() : nullptr;
    // A part added and not yet saved has no number yet.
    if (!rs || rs->isClosed() || !rs->hasCurrent() || rs->editMode() == Recordset::EditMode::Adding)
        return std::nullopt;
    try {
        const QVariant v = rs->value(QStringLiteral("Record Number"));
        bool ok = false;
        const qint64 number = v.toLongLong(&ok);
        if (v.isNull() || !ok)
            return std::nullopt;
        return number;
    } catch (const DbError&) {
        return std::nullopt;
    }
}

void PartImagesWindow::Form_Load()
{
    Data2->setDatabaseName(InventoryDatabasePath());
    Data2->setRecordSource(QStringLiteral("Information"));
    Data2->setRecordsetType(Recordset::Kind::Table);
    for (int i = 0; i < 3; ++i)
        Data2->bind(Label[i], QStringLiteral("Vendor %1").arg(i + 1));
    try {
        Data2->refresh();
    } catch (const DbError&) {
        // Without the information row the headings stay empty.
    }

    Data3->setDatabaseName(InventoryDatabasePath());
    Data3->setRecordsetType(Recordset::Kind::Dynaset);
    for (int i = 0; i < 3; ++i)
        Data3->bind(Image[i], QStringLiteral("Image%1").arg(i + 1));
    Data3->bind(Text1, QStringLiteral("Record Number"));
}

void PartImagesWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Command4->setFocus(Qt::OtherFocusReason);   // Enter closes the window unless a Modify button is chosen
    // Activation asks questions and may close the window, which must not happen inside show().
    if (!m_activated)
        QMetaObject::invokeMethod(this, &PartImagesWindow::Form_Activate, Qt::QueuedConnection);
}

void PartImagesWindow::Form_Activate()
{
    if (m_activated || m_unloaded)
        return;
    m_activated = true;

    const std::optional<qint64> part = currentPartNumber(m_parts);
    if (!part) {
        MsgBox(QStringLiteral("There is no saved part on the screen, so there are no images to show. "
                              "Choose a part, or save the new one, first."),
               48);
        close();
        return;
    }
    // The number comes from the database as a whole number, so the statement holds digits only.
    const QString number = QString::number(*part);
    Data3->setRecordSource(QStringLiteral("Select * from Pictures Where [Record Number] = ") + number);
    try {
        Data3->refresh();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
        close();
        return;
    }
    if (Text1->text() == number) {
        m_held = Held::Found;
        return;
    }
    const int answer = MsgBox(
        QStringLiteral("Currently, no images exist for this part number, would you like to add new images?"), 4,
        QStringLiteral("New Image"));
    if (answer != Prompts::Yes) {
        close();
        return;
    }
    try {
        Data3->recordset()->addNew();
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
        close();
        return;
    }
    Text1->setText(number);
    m_held = Held::New;
}

void PartImagesWindow::modify(int n)
{
    if (m_held == Held::None || n < 1 || n > 3)
        return;
    PictureBox* box = Image[n - 1];
    FileDialogOptions options;   // no file name, no filter: any file may be chosen
    const QString path = Dialogs::get().openFile(options);
    if (!path.isEmpty()) {
        QString error;
        if (!box->loadFile(path, &error))
            MsgBox(error + QStringLiteral("\r\rThe image has not been changed."), 48);
        return;
    }
    if (MsgBox(QStringLiteral("Do you want to erase the image?"), 4) == Prompts::Yes)
        box->clear();
}

void PartImagesWindow::Command4_Click()
{
    close();
}

void PartImagesWindow::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    try {
        if (m_held != Held::None)
            Data3->updateRecord();   // a new row is inserted, a found one updated
        Data3->close();
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("The images could not be saved: %1").arg(e.text()), 48);
    }
    m_held = Held::None;
}

void PartImagesWindow::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

bool PartImagesWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < 3; ++i)
            if (watched == Image[i]) {
                Command[i]->click();
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}
