#pragma once

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeView;
class ZipArchiver;

// "Extract archive": chooses the folder that the backup window's restore extracts into. "Select"
// sets the archiver's extraction folder; "Cancel" leaves it as it was. Shown modal (ShowModal).
//
// The drive list holds the volumes this system has mounted (the root folder "/" and each mounted
// medium), the folder list the folders of the chosen volume.
class ExtractDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExtractDialog(ZipArchiver* zip, QWidget* parent = nullptr);

    bool cancelled() const { return m_cancelled; }

    void Form_Load();
    void dirExtract_Change();
    void drvExtract_Change();
    void cmdSelect_Click();
    void cmdCancel_Click();

    // Moves the folder list's current folder, as a click in the list does.
    void setCurrentFolder(const QString& folder);

    QLabel* Label1;         // "Extract files to:"
    QLineEdit* txtExtract;
    QLabel* Label2;         // "Directories:"
    QTreeView* dirExtract;
    QLabel* Label3;         // "Drives:"
    QComboBox* drvExtract;
    QPushButton* cmdSelect;
    QPushButton* cmdCancel;

private:
    QString volumeOf(const QString& folder) const;
    void revealCurrent();
    void selectVolume(const QString& root);

    ZipArchiver* m_zip;
    QFileSystemModel* m_folders;
    QString m_current;
    bool m_cancelled = true;
    bool m_loading = false;
    bool m_following = true;   // the list keeps the current folder in view while it fills in
    QTimer* m_reveal;
};
