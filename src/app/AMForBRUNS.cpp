#include "app/AMForBRUNS.h"

#include "platform/AppFolder.h"
#include "platform/FileOps.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>

namespace {

const QColor lightCyan(128, 255, 255);

QFont boldArial9()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(9);
    font.setBold(true);
    return font;
}

void paintCyan(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, lightCyan);
    palette.setColor(QPalette::Button, lightCyan);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace

AMForBRUNS::AMForBRUNS(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("AMForBRUNS"));
    setWindowTitle(QStringLiteral("Parts Selection"));
    resize(twipsToPx(6345), twipsToPx(2805));
    paintCyan(this);

    // Tab order: the hidden choice first, so that the window opens with the focus on it and
    // neither visible choice selected.
    Option3 = new QRadioButton(this);
    Option3->setObjectName(QStringLiteral("Option3"));
    placeTwips(Option3, 1665, 3015, 3000, 420);

    Label1 = new QLabel(QStringLiteral("Please select the type of pinsetter parts you would like to install into your inventory program."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(Label1, 945, 315, 4470, 510);

    Option2 = new QRadioButton(QStringLiteral("Brunswick Pinsetter Parts"), this);
    Option2->setObjectName(QStringLiteral("Option2"));
    placeTwips(Option2, 1650, 1980, 3000, 420);

    Option1 = new QRadioButton(QStringLiteral("AMF Pinsetter Parts"), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    placeTwips(Option1, 1665, 1350, 3000, 420);

    for (QWidget* control : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2)}) {
        control->setFont(boldArial9());
        paintCyan(control);
    }
    setTabOrder(Option3, Option2);
    setTabOrder(Option2, Option1);
    Option3->setChecked(true);
    Option3->setFocus();

    connect(Option1, &QRadioButton::clicked, this, &AMForBRUNS::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &AMForBRUNS::Option2_Click);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void AMForBRUNS::Option1_Click()
{
    InstallTemplate(QStringLiteral("InventoryAMF.mdb"), QStringLiteral("inventoryamf.mdb"),
                    QStringLiteral("The file inventoryamf.mdb does not exist. Contact Quenmoor!"));
}

void AMForBRUNS::Option2_Click()
{
    InstallTemplate(QStringLiteral("InventoryBrunswick.mdb"), QStringLiteral("inventorybrunswick.mdb"),
                    QStringLiteral("The file inventorybrunswick.mdb does not exist. Contact Quenmoor!"));
}

void AMForBRUNS::InstallTemplate(const QString& spelling, const QString& lowerSpelling, const QString& missingMessage)
{
    if (m_outcome != Outcome::Open)
        return;
    QString found;
    if (AppFolder::existsExact(spelling))
        found = spelling;
    else if (AppFolder::existsExact(lowerSpelling))
        found = lowerSpelling;

    if (found.isEmpty()) {
        MsgBox(missingMessage, 0);
        m_outcome = Outcome::EndProgram;
    } else {
        // Through a temporary file: a failed copy never leaves a partial database that the next
        // start would take for a real one.
        QString reason;
        bool diskFull = false;
        if (copyFileAtomic(AppFolder::join(found), AppFolder::join(QStringLiteral("\\Inventory.mdb")), &reason, &diskFull)) {
            m_outcome = Outcome::Installed;
        } else {
            MsgBox(diskFull ? computerDiskFullText(QStringLiteral("Inventory.mdb could not be created."))
                            : QStringLiteral("Inventory.mdb could not be created: %1").arg(reason),
                   48);
            m_outcome = Outcome::EndProgram;
        }
    }
    close();
}

void AMForBRUNS::closeEvent(QCloseEvent* event)
{
    // The close box without a choice: the program ends and nothing is written, so the next
    // start asks again.
    if (m_outcome == Outcome::Open)
        m_outcome = Outcome::Closed;
    event->accept();
}
