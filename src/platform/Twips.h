#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

// Layouts are given in twips (1/1440 inch): 15 twips make one pixel at 96 dpi. Conversion uses
// the primary screen's logical DPI, so that text set in a font of a given point size still fits.
int twipsToPx(int twips);
QRect twipsRect(int left, int top, int width, int height);
QPoint twipsPoint(int x, int y);
void placeTwips(QWidget* widget, int left, int top, int width, int height);

// Keeps a window's controls in proportion when the user resizes it. captureDesign() records the
// geometry and font of every control placed by coordinates (not by a layout) and the size of the
// client area they sit in; each later resize scales x and widths by the width ratio, y and heights
// by the height ratio, and fonts by the smaller of the two, never below a readable size.
// Call captureDesign() again after changing a control's font so that the change is kept.
class ProportionalResizer : public QObject {
    Q_OBJECT
public:
    explicit ProportionalResizer(QWidget* window);

    void captureDesign();
    void setEnabled(bool enabled);  // fixed-frame windows opt out
    bool isEnabled() const { return m_enabled; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Placed {
        QPointer<QWidget> widget;
        QRect geometry;
        QFont font;
    };

    void collect(QWidget* container);
    void apply();

    QWidget* m_window;
    QPointer<QWidget> m_client;
    QSize m_designSize;
    QList<Placed> m_placed;
    bool m_enabled = true;
};
