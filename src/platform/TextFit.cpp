#include "platform/TextFit.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QStyle>

namespace {

constexpr qreal smallestPointSize = 6.5;
constexpr qreal shrinkShare = 0.75;
constexpr qreal step = 0.25;
const char* const fitterName = "qt_labelTextFit";

class LabelFitter : public QObject {
public:
    explicit LabelFitter(QLabel* label)
        : QObject(label)
        , m_label(label)
        , m_base(label->font())
    {
        setObjectName(QLatin1String(fitterName));
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_label)
            return false;
        switch (event->type()) {
        case QEvent::FontChange:
            if (!m_applying)
                m_base = m_label->font();   // the program's (or the resizer's) size
            break;
        case QEvent::Paint:
            fit();
            if (m_elide)
                return paintElided();
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool applicable() const
    {
        if (m_label->wordWrap() || m_label->text().isEmpty() || m_label->textFormat() == Qt::RichText)
            return false;
        if (m_label->textFormat() == Qt::AutoText && Qt::mightBeRichText(m_label->text()))
            return false;
        return m_label->pixmap().isNull();
    }

    QRect textRect() const
    {
        const int m = m_label->margin();
        QRect r = m_label->contentsRect().adjusted(m, m, -m, -m);
        int indent = m_label->indent();
        if (indent < 0)
            indent = 0;   // the default: no frame, no indent worth measuring
        const Qt::Alignment a = QStyle::visualAlignment(m_label->layoutDirection(), m_label->alignment());
        if (a & Qt::AlignLeft)
            r.setLeft(r.left() + indent);
        else if (a & Qt::AlignRight)
            r.setRight(r.right() - indent);
        return r;
    }

    static qreal widthOf(const QFont& font, const QString& text)
    {
        const QFontMetricsF fm(font);
        qreal widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = qMax(widest, fm.horizontalAdvance(line));
        return widest;
    }

    void fit()
    {
        QFont wanted = m_base;
        bool elide = false;
        if (applicable()) {
            const QString text = m_label->text();
            const qreal room = textRect().width();
            if (widthOf(m_base, text) > room && m_base.pointSizeF() > 0) {
                const qreal smallest = qMax(smallestPointSize, m_base.pointSizeF() * shrinkShare);
                qreal size = m_base.pointSizeF();
                bool fits = false;
                while (!fits && size - step >= smallest - 0.001) {
                    size -= step;
                    wanted.setPointSizeF(size);
                    fits = widthOf(wanted, text) <= room;
                }
                if (!fits) {
                    // Cut either way: the cut text reads better in the label's own size.
                    wanted = m_base;
                    elide = true;
                }
            }
        }
        if (m_label->font() != wanted) {
            m_applying = true;
            m_label->setFont(wanted);
            m_applying = false;
        }
        m_elide = elide && m_label->frameShape() == QFrame::NoFrame;
        showWholeTextAsTip(elide);
    }

    void showWholeTextAsTip(bool cut)
    {
        const QString tip = m_label->toolTip();
        if (cut) {
            if (tip.isEmpty() || tip == m_tipShown) {
                m_tipShown = m_label->text();
                m_label->setToolTip(m_tipShown);
            }
        } else if (!m_tipShown.isEmpty() && tip == m_tipShown) {
            m_label->setToolTip(QString());
            m_tipShown.clear();
        }
    }

    bool paintElided()
    {
        QPainter painter(m_label);
        const QRect r = textRect();
        const QString shown = QFontMetrics(m_label->font()).elidedText(m_label->text(), Qt::ElideRight, r.width());
        const Qt::Alignment a = QStyle::visualAlignment(m_label->layoutDirection(), m_label->alignment());
        m_label->style()->drawItemText(&painter, r, int(a), m_label->palette(), m_label->isEnabled(), shown,
                                       m_label->foregroundRole());
        return true;
    }

    QLabel* m_label;
    QFont m_base;
    QString m_tipShown;
    bool m_applying = false;
    bool m_elide = false;
};

}  // namespace

void fitLabelText(QLabel* label)
{
    if (!label || label->findChild<QObject*>(QLatin1String(fitterName), Qt::FindDirectChildrenOnly))
        return;
    new LabelFitter(label);
}

void fitLabelTexts(QWidget* container)
{
    if (!container)
        return;
    for (QLabel* label : container->findChildren<QLabel*>())
        if (!label->wordWrap())
            fitLabelText(label);
}
