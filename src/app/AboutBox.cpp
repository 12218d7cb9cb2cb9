#include "app/AboutBox.h"

#include "app/SystemInfo.h"
#include "platform/AppInfo.h"
#include "platform/Help.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>

// The version comes from the build (the CMake project version), as major.minor.revision.
#if !defined(INVENTORY_VERSION_MAJOR) || !defined(INVENTORY_VERSION_MINOR) || !defined(INVENTORY_VERSION_REVISION)
#error "src/app/CMakeLists.txt passes the project version to the about box"
#endif

namespace {

const QString legalNotice = QStringLiteral(
    "Pinsetter Parts Inventory\n"
    "Copyright (c) the authors of Pinsetter Parts Inventory. All rights reserved.\n"
    "\n"
    "The parts catalogues supplied with this program are samples. Their part numbers, prices, "
    "books and pages only show how the program works; they are not a vendor's catalogue or "
    "price list. Check part numbers and prices with your vendors before you order.\n"
    "\n"
    "This program is provided \"as is\", without warranty of any kind, express or implied, "
    "including the warranties of merchantability and fitness for a particular purpose. In no "
    "event shall the authors be liable for any loss of data, profit or business arising from "
    "its use. Back up your data regularly.");

QFont fontOf(const QString& family, qreal points, bool bold)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

}  // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Revised  December 1st, 2006"));
    setFont(fontOf(QStringLiteral("Liberation Sans"), 8.25, false));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    placeTwips(picIcon, 240, 240, 540, 540);
    picIcon->setPixmap(programIcon(picIcon->height()));

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(fontOf(QStringLiteral("Liberation Sans Narrow"), 18, true));
    placeTwips(lblTitle, 1050, 240, 4425, 480);

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    placeTwips(lblVersion, 1050, 780, 4425, 270);

    lblDescription = new QLabel(QStringLiteral("For Windows 98, ME, 2000, and XP"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(lblDescription, 1050, 1125, 4425, 300);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    placeTwips(Line1, 225, 1560, 5280, 60);

    Text1 = new QPlainTextEdit(legalNotice, this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFont(fontOf(QStringLiteral("Liberation Sans"), 8, false));
    Text1->setTabChangesFocus(true);
    placeTwips(Text1, 255, 1800, 3870, 1860);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    placeTwips(cmdOK, 4245, 1800, 1260, 345);
    cmdOK->setDefault(true);   // Enter; Esc reaches reject(), which presses it too

    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    placeTwips(cmdSysInfo, 4245, 2250, 1260, 345);
    cmdSysInfo->setAutoDefault(false);

    // A fixed dialog frame: the size of the design, no resizing.
    const QRect client = twipsRect(0, 0, 5730, 3900);
    setFixedSize(client.size());
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    setSizeGripEnabled(false);

    setHelpContext(this, 1240);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

QString frmAbout::versionText()
{
    return QStringLiteral("%1.%2.%3").arg(INVENTORY_VERSION_MAJOR).arg(INVENTORY_VERSION_MINOR).arg(INVENTORY_VERSION_REVISION);
}

void frmAbout::Form_Load()
{
    lblVersion->setText(QStringLiteral("Version ") + versionText());
    lblTitle->setText(AppInfo::title);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::reject()
{
    cmdOK_Click();
}

void frmAbout::done(int result)
{
    const bool wasOpen = isVisible();
    QDialog::done(result);
    if (wasOpen)
        Q_EMIT closed();
}

QPixmap frmAbout::programIcon(int size)
{
    // A white bowling pin with two red neck stripes, leaning on a dark ball.
    const qreal dpr = 2.0;
    QPixmap pixmap(QSize(size, size) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 36.0, size / 36.0);   // drawn on a 36 x 36 grid

    QRadialGradient ballShade(QPointF(24, 25), 10, QPointF(22, 23));
    ballShade.setColorAt(0, QColor(0x4a, 0x6f, 0xa5));
    ballShade.setColorAt(1, QColor(0x14, 0x24, 0x44));
    p.setPen(QPen(QColor(0x0e, 0x18, 0x30), 0.8));
    p.setBrush(ballShade);
    p.drawEllipse(QPointF(25, 27), 8.5, 8.5);
    p.setBrush(QColor(0x0e, 0x18, 0x30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(23, 23.5), 1.1, 1.1);
    p.drawEllipse(QPointF(26.5, 23), 1.1, 1.1);
    p.drawEllipse(QPointF(25, 26.2), 1.1, 1.1);

    QPainterPath pin;
    pin.moveTo(13, 2);
    pin.cubicTo(16.5, 2, 17.2, 6, 16.3, 9);
    pin.cubicTo(15.6, 11.5, 15.6, 13, 17.2, 16);
    pin.cubicTo(19.8, 21, 19.5, 29, 16.5, 34);
    pin.lineTo(9.5, 34);
    pin.cubicTo(6.5, 29, 6.2, 21, 8.8, 16);
    pin.cubicTo(10.4, 13, 10.4, 11.5, 9.7, 9);
    pin.cubicTo(8.8, 6, 9.5, 2, 13, 2);
    QLinearGradient pinShade(QPointF(7, 0), QPointF(19, 0));
    pinShade.setColorAt(0, QColor(0xd8, 0xd8, 0xd8));
    pinShade.setColorAt(0.45, Qt::white);
    pinShade.setColorAt(1, QColor(0xc4, 0xc4, 0xc4));
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 0.9));
    p.setBrush(pinShade);
    p.drawPath(pin);

    p.save();
    p.setClipPath(pin);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc8, 0x10, 0x2e));
    p.drawRect(QRectF(0, 9.6, 36, 1.4));
    p.drawRect(QRectF(0, 12.0, 36, 1.4));
    p.restore();
    return pixmap;
}
