#include "utilities/ExtractDialog.h"

#include "platform/InputRules.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"
#include "parts/PartsFonts.h"
#include "utilities/ZipArchiver.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>

ExtractDialog::ExtractDialog(ZipArchiver* zip, QWidget* parent)
    : QDialog(parent)
    , m_zip(zip)
{
    setObjectName(QStringLiteral("ExtractDialog"));
    setWindowTitle(QStringLiteral("Extract archive"));
    setFont(arialFont(8));
    setFixedSize(twipsToPx(4935), twipsToPx(3990));

    Label1 = new QLabel(QStringLiteral("Extract files to:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    placeTwips(Label1, 120, 120, 3300, 255);
    txtExtract = new QLineEdit(this);
    txtExtract->setObjectName(QStringLiteral("txtExtract"));
    placeTwips(txtExtract, 120, 375, 3300, 315);

    Label2 = new QLabel(QStringLiteral("Directories:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    placeTwips(Label2, 120, 780, 3300, 255);
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QStringLiteral("/"));
    dirExtract = new QTreeView(this);
    dirExtract->setObjectName(QStringLiteral("dirExtract"));
    dirExtract->setModel(m_folders);
    dirExtract->setHeaderHidden(true);
    for (int c = 1; c < m_folders->columnCount(); ++c)
        dirExtract->hideColumn(c);
    placeTwips(dirExtract, 120, 1035, 3300, 2160);

    Label3 = new QLabel(QStringLiteral("Drives:"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    placeTwips(Label3, 120, 3300, 3300, 255);
    drvExtract = new QComboBox(this);
    drvExtract->setObjectName(QStringLiteral("drvExtract"));
    placeTwips(drvExtract, 120, 3555, 3300, 315);

    cmdSelect = new QPushButton(QStringLiteral("Select"), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    placeTwips(cmdSelect, 3600, 375, 1215, 390);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    placeTwips(cmdCancel, 3600, 855, 1215, 390);
    cmdSelect->setDefault(true);

    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    roots.sort();
    if (!roots.contains(QStringLiteral("/")))
        roots.prepend(QStringLiteral("/"));
    drvExtract->addItems(roots);

    // The folder list fills in as the folders are read: the current folder is brought into view
    // again while rows arrive, until the user moves in the list.
    m_reveal = new QTimer(this);
    m_reveal->setSingleShot(true);
    m_reveal->setInterval(0);
    connect(m_reveal, &QTimer::timeout, this, &ExtractDialog::revealCurrent);
    connect(m_folders, &QFileSystemModel::directoryLoaded, m_reveal, qOverload<>(&QTimer::start));
    connect(m_folders, &QAbstractItemModel::rowsInserted, m_reveal, qOverload<>(&QTimer::start));
    connect(dirExtract->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        if (!index.isValid())
            return;
        const QString chosen = m_folders->filePath(index);
        if (chosen != m_current)
            m_following = false;   // the user has moved on
        m_current = chosen;
        dirExtract_Change();
    });
    connect(drvExtract, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_loading)
            drvExtract_Change();
    });
    connect(cmdSelect, &QPushButton::clicked, this, &ExtractDialog::cmdSelect_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ExtractDialog::cmdCancel_Click);

    Form_Load();
}

QString ExtractDialog::volumeOf(const QString& folder) const
{
    QString best = QStringLiteral("/");
    for (int i = 0; i < drvExtract->count(); ++i) {
        const QString root = drvExtract->itemText(i);
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if ((folder == root || folder.startsWith(prefix)) && root.size() > best.size())
            best = root;
    }
    return best;
}

void ExtractDialog::selectVolume(const QString& root)
{
    m_loading = true;
    const int i = drvExtract->findText(root);
    if (i >= 0)
        drvExtract->setCurrentIndex(i);
    m_loading = false;
    // The folder list shows the folders of the chosen volume.
    dirExtract->setRootIndex(m_folders->index(root == QLatin1String("/") ? QString() : root));
}

void ExtractDialog::setCurrentFolder(const QString& folder)
{
    m_current = QDir::cleanPath(folder);
    m_following = true;
    revealCurrent();
    dirExtract_Change();
}

void ExtractDialog::revealCurrent()
{
    if (!m_following)
        return;
    const QModelIndex index = m_folders->index(m_current);
    if (!index.isValid())
        return;
    if (dirExtract->currentIndex() != index)
        dirExtract->setCurrentIndex(index);
    dirExtract->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void ExtractDialog::Form_Load()
{
    const QString folder = m_zip ? m_zip->extractionFolder() : QString();
    if (folder.isEmpty()) {
        m_current = QDir::currentPath();
        selectVolume(volumeOf(m_current));
        m_following = true;
        revealCurrent();
        txtExtract->setText(QDir::toNativeSeparators(m_current));
        return;
    }
    txtExtract->setText(folder);
    selectVolume(volumeOf(QDir::cleanPath(folder)));
    const QString shown = txtExtract->text();
    setCurrentFolder(folder);
    txtExtract->setText(shown);
}

void ExtractDialog::dirExtract_Change()
{
    txtExtract->setText(QDir::toNativeSeparators(m_current));
}

void ExtractDialog::drvExtract_Change()
{
    const QString root = drvExtract->currentText();
    const QStorageInfo volume(root);
    if (root.isEmpty() || !volume.isValid() || !volume.isReady() || !QDir(root).isReadable()) {
        // The volume's root folder stands where the legacy drive letter and its "\" stood.
        const QString drive = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        MsgBox(drive + QStringLiteral(" is not accessible") + QStringLiteral("\r\r") + QStringLiteral("The device is not ready"), 16,
               QStringLiteral("Error"));
        selectVolume(volumeOf(m_current));
        return;
    }
    selectVolume(root);
    setCurrentFolder(root);
}

void ExtractDialog::cmdSelect_Click()
{
    if (m_zip)
        m_zip->setExtractionFolder(txtExtract->text().trimmed());
    m_cancelled = false;
    accept();
}

void ExtractDialog::cmdCancel_Click()
{
    m_cancelled = true;
    reject();
}
