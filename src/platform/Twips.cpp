#include "platform/Twips.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

namespace {

constexpr qreal minimumPointSize = 6.0;
constexpr int minimumPixelSize = 8;

qreal logicalDpi()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->logicalDotsPerInch();
    }
    return 96.0;
}

// Widgets whose children are the window's own controls. Children of any other widget (the
// editor inside a spin box, the viewport of a list) are that widget's business.
bool holdsControls(const QWidget* widget)
{
    const QMetaObject* type = widget->metaObject();
    return type == &QWidget::staticMetaObject || type == &QFrame::staticMetaObject
        || qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QTabWidget*>(widget)
        || qobject_cast<const QStackedWidget*>(widget);
}

QFont scaledFont(QFont font, qreal ratio)
{
    if (font.pointSizeF() > 0) {
        const qreal design = font.pointSizeF();
        font.setPointSizeF(qMax(design * ratio, qMin(design, minimumPointSize)));
    } else if (font.pixelSize() > 0) {
        const int design = font.pixelSize();
        font.setPixelSize(qMax(qRound(design * ratio), qMin(design, minimumPixelSize)));
    }
    return font;
}

}  // namespace

int twipsToPx(int twips)
{
    return qRound(twips * logicalDpi() / 1440.0);
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

QPoint twipsPoint(int x, int y)
{
    return QPoint(twipsToPx(x), twipsToPx(y));
}

void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

ProportionalResizer::ProportionalResizer(QWidget* window)
    : QObject(window)
    , m_window(window)
{
}

void ProportionalResizer::captureDesign()
{
    if (m_client)
        m_client->removeEventFilter(this);
    // In a main window the controls sit in the central widget, below the menu bar.
    QWidget* client = m_window;
    if (auto* main = qobject_cast<QMainWindow*>(m_window); main && main->centralWidget())
        client = main->centralWidget();
    m_client = client;
    m_designSize = client->size();
    m_placed.clear();
    collect(client);
    client->installEventFilter(this);
}

void ProportionalResizer::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    if (m_enabled)
        apply();
}

void ProportionalResizer::collect(QWidget* container)
{
    if (auto* tabs = qobject_cast<QTabWidget*>(container)) {
        for (int i = 0; i < tabs->count(); ++i)
            collect(tabs->widget(i));
        return;
    }
    const QLayout* layout = container->layout();
    for (QObject* object : container->children()) {
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget || widget->isWindow())
            continue;
        if (!layout || layout->indexOf(widget) < 0)
            m_placed.append({widget, widget->geometry(), widget->font()});
        if (holdsControls(widget))
            collect(widget);
    }
}

void ProportionalResizer::apply()
{
    if (!m_enabled || !m_client || m_designSize.isEmpty())
        return;
    const QSize now = m_client->size();
    const qreal rx = qreal(now.width()) / m_designSize.width();
    const qreal ry = qreal(now.height()) / m_designSize.height();
    const qreal rf = qMin(rx, ry);
    for (const Placed& placed : std::as_const(m_placed)) {
        if (!placed.widget)
            continue;
        // Scale both edges rather than the size, so that controls that touch stay touching.
        const QRect& d = placed.geometry;
        const int left = qRound(d.x() * rx);
        const int right = qRound((d.x() + d.width()) * rx);
        const int top = qRound(d.y() * ry);
        const int bottom = qRound((d.y() + d.height()) * ry);
        placed.widget->setGeometry(left, top, right - left, bottom - top);
        const QFont font = scaledFont(placed.font, rf);
        if (placed.widget->font() != font)
            placed.widget->setFont(font);
    }
}

bool ProportionalResizer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}
