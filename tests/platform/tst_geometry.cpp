// Twips conversion and proportional resizing of a window's controls.
#include "platform/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

class TestGeometry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Layouts in twips are designed for 96 dpi, which the headless screen is.
        if (QGuiApplication::primaryScreen()->logicalDotsPerInch() != 96)
            QSKIP("These expectations are for a 96 dpi screen");
    }
    void twipsAt96Dpi();
    void resizerScalesPlacedControlsAndFonts();
    void resizerKeepsNeighboursTouching();
    void resizerUsesMainWindowClientArea();
};

void TestGeometry::twipsAt96Dpi()
{
    const QList<QPair<int, int>> cases{{0, 0}, {15, 1}, {1440, 96}, {5000, 333}, {7, 0}, {8, 1}, {-30, -2}};
    for (const auto& [twips, px] : cases)
        QCOMPARE(twipsToPx(twips), px);
    QCOMPARE(twipsRect(120, 240, 1215, 375), QRect(8, 16, 81, 25));
    QCOMPARE(twipsPoint(3000, 5000), QPoint(200, 333));
}

void TestGeometry::resizerScalesPlacedControlsAndFonts()
{
    QWidget window;
    window.resize(400, 300);
    auto* button = new QPushButton(QStringLiteral("OK"), &window);
    button->setGeometry(40, 30, 100, 20);
    button->setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    auto* frame = new QGroupBox(QStringLiteral("Vendor"), &window);
    frame->setGeometry(200, 100, 150, 150);
    auto* label = new QLabel(QStringLiteral("Phone"), frame);
    label->setGeometry(10, 10, 50, 20);
    auto* tabs = new QTabWidget(&window);
    tabs->setGeometry(0, 200, 200, 100);
    auto* page = new QWidget;
    tabs->addTab(page, QStringLiteral("Page"));
    auto* onPage = new QLabel(QStringLiteral("Default 1"), page);
    onPage->setGeometry(10, 10, 80, 20);
    auto* panel = new QWidget(&window);  // controls in a layout are the layout's to place
    panel->setGeometry(0, 0, 40, 30);
    auto* laidOut = new QLineEdit(panel);
    (new QVBoxLayout(panel))->addWidget(laidOut);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    ProportionalResizer resizer(&window);
    resizer.captureDesign();
    window.resize(800, 600);
    QCOMPARE(button->geometry(), QRect(80, 60, 200, 40));
    QCOMPARE(button->font().pointSizeF(), 20.0);
    QCOMPARE(frame->geometry(), QRect(400, 200, 300, 300));
    QCOMPARE(label->geometry(), QRect(20, 20, 100, 40));
    QCOMPARE(tabs->geometry(), QRect(0, 400, 400, 200));
    QCOMPARE(onPage->geometry(), QRect(20, 20, 160, 40));
    QCOMPARE(panel->geometry(), QRect(0, 0, 80, 60));
    const QMargins margins = panel->layout()->contentsMargins();
    QCOMPARE(laidOut->width(), 80 - margins.left() - margins.right());

    window.resize(800, 300);  // fonts follow the smaller ratio
    QCOMPARE(button->geometry(), QRect(80, 30, 200, 20));
    QCOMPARE(button->font().pointSizeF(), 10.0);
    window.resize(100, 75);  // never below a readable size
    QCOMPARE(button->font().pointSizeF(), 6.0);

    resizer.setEnabled(false);
    window.resize(800, 600);
    QCOMPARE(button->geometry(), QRect(10, 8, 25, 5));
    resizer.setEnabled(true);  // catches up; back at the design size nothing has drifted
    QCOMPARE(button->geometry(), QRect(80, 60, 200, 40));
    window.resize(400, 300);
    QCOMPARE(button->geometry(), QRect(40, 30, 100, 20));
    QCOMPARE(button->font().pointSizeF(), 10.0);
    QCOMPARE(onPage->geometry(), QRect(10, 10, 80, 20));
}

void TestGeometry::resizerKeepsNeighboursTouching()
{
    QWidget window;
    window.resize(99, 30);
    QList<QPushButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons.append(new QPushButton(&window));
        buttons.last()->setGeometry(i * 33, 0, 33, 30);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ProportionalResizer resizer(&window);
    resizer.captureDesign();
    for (int width : {124, 137, 150, 211}) {
        window.resize(width, 30);
        QCOMPARE(buttons.at(0)->geometry().right() + 1, buttons.at(1)->x());
        QCOMPARE(buttons.at(1)->geometry().right() + 1, buttons.at(2)->x());
        QCOMPARE(buttons.at(2)->geometry().right() + 1, width);
    }
}

void TestGeometry::resizerUsesMainWindowClientArea()
{
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"));
    auto* central = new QWidget;
    window.setCentralWidget(central);
    auto* button = new QPushButton(QStringLiteral("Parts"), central);
    button->setGeometry(20, 20, 100, 40);
    window.resize(400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize design = central->size();

    ProportionalResizer resizer(&window);
    resizer.captureDesign();
    // Twice the client area below the menu bar, not twice the frame.
    window.resize(window.width() + design.width(), window.height() + design.height());
    QCOMPARE(central->size(), design * 2);
    QCOMPARE(button->geometry(), QRect(40, 40, 200, 80));
}

QTEST_MAIN(TestGeometry)
#include "tst_geometry.moc"
