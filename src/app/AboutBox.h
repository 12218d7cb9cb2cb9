#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The about box: the program's icon, title, version, the platform line and the legal notice,
// with "&OK" (Enter and Esc) and "&System Info...". Shown modal from the main window's
// Help, About; help topic 1240.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // "major.minor.revision" of this build.
    static QString versionText();
    // The program's icon, a bowling pin, drawn at the given size in pixels.
    static QPixmap programIcon(int size);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QPlainTextEdit* Text1;
    QFrame* Line1;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

    void cmdOK_Click();
    void cmdSysInfo_Click();

    void done(int result) override;
    void reject() override;   // Esc and the close box press "&OK"

Q_SIGNALS:
    void closed();            // the box was closed (unloaded), whichever way

private:
    void Form_Load();
};
