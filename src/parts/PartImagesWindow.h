#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>

class DataControl;
class PictureBox;
class ProportionalResizer;
class QLabel;
class QLineEdit;
class QPushButton;

// How the images window looks for one of the four screens that open it.
struct PartImagesMember {
    QString name;                       // ImagesMaint, ImagesTagParts, ImagesRecv, ImagesUse
    QString modifyCaption = QStringLiteral("Modify Picture");
    int clientHeightTwips = 4140;
    int modifyWidthTwips = 3255;
    std::array<int, 3> modifyLeftTwips{480, 4200, 7920};
    int exitLeftTwips = 4440;

    static PartImagesMember maintenance();   // the part maintenance screen
    static PartImagesMember ordering();      // the ordering screen
    static PartImagesMember receiving();     // the receiving screen
    static PartImagesMember usage();         // the usage screen
};

// "Images": the three pictures kept for the part on which the opener's parts data source stands,
// in that part's row of Pictures. The row is found or, after the user agrees, started when the
// window is first activated, and written when the window closes. Deleted when closed.
class PartImagesWindow : public QWidget {
    Q_OBJECT
public:
    enum class Held { None, Found, New };

    PartImagesWindow(DataControl* partsSource, PartImagesMember member, QWidget* parent = nullptr);
    ~PartImagesWindow() override;

    // The opener's "Display": makes sure the pictures table exists, then shows the window modal.
    // Returns the window (already closed, or still open under a test's modal runner), or nullptr
    // when the table could not be made (the user has been told).
    static PartImagesWindow* ShowPartImages(DataControl* partsSource, const PartImagesMember& member,
                                            QWidget* opener);

    // The record number of the opener's current part; nothing when there is no saved part.
    static std::optional<qint64> currentPartNumber(DataControl* partsSource);

    Held held() const { return m_held; }
    PictureBox* image(int n) const { return Image[n - 1]; }        // 1..3
    QPushButton* modifyButton(int n) const { return Command[n - 1]; }

    void Form_Load();
    void Form_Activate();
    void Command1_Click() { modify(1); }
    void Command2_Click() { modify(2); }
    void Command3_Click() { modify(3); }
    void Command4_Click();   // "E&xit"
    void Form_Unload();

    DataControl* Data2;      // Information: the vendor headings
    DataControl* Data3;      // Pictures: the part's row
    std::array<QLabel*, 3> Label;        // Label1..Label3
    std::array<PictureBox*, 3> Image;    // Image1..Image3
    std::array<QPushButton*, 3> Command; // Command1..Command3
    QPushButton* Command4;
    QLabel* Label4;
    QLineEdit* Text1;        // the row's Record Number, below the visible area

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void modify(int n);

    PartImagesMember m_member;
    QPointer<DataControl> m_parts;
    ProportionalResizer* m_resizer;
    Held m_held = Held::None;
    bool m_activated = false;
    bool m_unloaded = false;
};
