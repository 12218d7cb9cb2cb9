#include "platform/TextFit.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>

#include <memory>
#include <optional>

namespace {

constexpr qreal smallestPointSize = 6.5;
constexpr qreal shrinkShare = 0.75;
constexpr qreal step = 0.25;
const char* const fitterName = "qt_labelTextFit";

qreal widthOf(const QFont& font, const QString& text)
{
    const QFontMetricsF fm(font);
    qreal widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, fm.horizontalAdvance(line));
    return widest;
}

// Draws a widget's text in a smaller size of its own font while the text is wider than the room
// the widget gives it. The widget's own size (set by the program or a resizer) is kept as its base.
class TextFitter : public QObject {
public:
    explicit TextFitter(QWidget* widget)
        : QObject(widget)
        , m_widget(widget)
        , m_base(widget->font())
    {
        setObjectName(QLatin1String(fitterName));
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_widget)
            return false;
        switch (event->type()) {
        case QEvent::FontChange:
            if (!m_applying)
                m_base = m_widget->font();   // the program's (or the resizer's) size
            break;
        case QEvent::Paint:
            return fitAndPaint();
        default:
            break;
        }
        return false;
    }

    virtual bool applicable() const = 0;
    virtual QString text() const = 0;
    virtual qreal room() const = 0;
    // Once the font is set, on each paint: cut tells whether the text does not fit even in the
    // smallest size. True when the widget was painted here.
    virtual bool paintFitted(bool cut) = 0;

    QWidget* m_widget;
    QFont m_base;

private:
    bool fitAndPaint()
    {
        const std::optional<QFont> fitting = applicable() ? ::fittingFont(m_base, text(), room()) : m_base;
        // Cut either way: the cut text reads better in the widget's own size.
        const QFont wanted = fitting.value_or(m_base);
        if (m_widget->font() != wanted) {
            m_applying = true;
            m_widget->setFont(wanted);
            m_applying = false;
        }
        return paintFitted(!fitting);
    }

    bool m_applying = false;
};

class LabelFitter : public TextFitter {
public:
    explicit LabelFitter(QLabel* label)
        : TextFitter(label)
        , m_label(label)
    {
    }

protected:
    bool applicable() const override
    {
        if (m_label->wordWrap() || m_label->text().isEmpty() || m_label->textFormat() == Qt::RichText)
            return false;
        if (m_label->textFormat() == Qt::AutoText && Qt::mightBeRichText(m_label->text()))
            return false;
        return m_label->pixmap().isNull();
    }

    QString text() const override { return m_label->text(); }
    qreal room() const override { return textRect().width(); }

    bool paintFitted(bool cut) override
    {
        showWholeTextAsTip(cut);
        if (!cut || m_label->frameShape() != QFrame::NoFrame)
            return false;
        QPainter painter(m_label);
        const QRect r = textRect();
        const QString shown = QFontMetrics(m_label->font()).elidedText(m_label->text(), Qt::ElideRight, r.width());
        const Qt::Alignment a = QStyle::visualAlignment(m_label->layoutDirection(), m_label->alignment());
        m_label->style()->drawItemText(&painter, r, int(a), m_label->palette(), m_label->isEnabled(), shown,
                                       m_label->foregroundRole());
        return true;
    }

private:
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

    QLabel* m_label;
    QString m_tipShown;
};

// A line edit shows its text from where it scrolled to, so a text wider than the box loses its
// first or last characters: a smaller size of the box's font shows it whole, and a text too wide
// even for that shows as the mark while the box is not being edited.
class LineEditFitter : public TextFitter {
public:
    LineEditFitter(QLineEdit* edit, const QString& mark)
        : TextFitter(edit)
        , m_edit(edit)
        , m_mark(mark)
    {
    }

protected:
    bool applicable() const override { return !m_edit->displayText().isEmpty(); }
    QString text() const override { return m_edit->displayText(); }

    qreal room() const override
    {
        QStyleOptionFrame option;
        option.initFrom(m_edit);
        option.rect = m_edit->contentsRect();
        option.lineWidth = m_edit->hasFrame() ? m_edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, m_edit) : 0;
        option.midLineWidth = 0;
        option.state |= QStyle::State_Sunken;
        option.features = QStyleOptionFrame::None;
        QRect r = m_edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, m_edit);
        const QMargins margins = m_edit->textMargins();
        r = r.marginsRemoved(margins);
        // The line edit keeps two pixels either side of its text, and one for the caret.
        return r.width() - 2 * 2 - 1;
    }

    // A text cut is drawn as the same box holding the mark would be: an unseen copy of it paints here.
    bool paintFitted(bool cut) override
    {
        // In the box being edited, the user sees the text itself, as far as it scrolls.
        if (!cut || m_mark.isEmpty() || m_edit->hasFocus())
            return false;
        if (!m_markBox) {
            m_markBox = std::make_unique<QLineEdit>();
            m_markBox->setAttribute(Qt::WA_DontShowOnScreen);
        }
        QLineEdit& box = *m_markBox;
        box.setStyle(m_edit->style());
        box.setFont(m_edit->font());
        box.setPalette(m_edit->palette());
        box.setLayoutDirection(m_edit->layoutDirection());
        box.setAlignment(m_edit->alignment());
        box.setFrame(m_edit->hasFrame());
        box.setTextMargins(m_edit->textMargins());
        box.setReadOnly(m_edit->isReadOnly());
        box.setEnabled(m_edit->isEnabled());
        box.resize(m_edit->size());
        box.setText(m_mark);
        QPainter painter(m_edit);
        painter.drawPixmap(0, 0, box.grab());
        return true;
    }

private:
    QLineEdit* m_edit;
    QString m_mark;
    std::unique_ptr<QLineEdit> m_markBox;
};

}  // namespace

std::optional<QFont> fittingFont(const QFont& base, const QString& text, qreal room)
{
    if (widthOf(base, text) <= room || base.pointSizeF() <= 0)
        return base;
    QFont wanted = base;
    const qreal smallest = qMax(smallestPointSize, base.pointSizeF() * shrinkShare);
    for (qreal size = base.pointSizeF() - step; size >= smallest - 0.001; size -= step) {
        wanted.setPointSizeF(size);
        if (widthOf(wanted, text) <= room)
            return wanted;
    }
    return std::nullopt;
}

void TextFittingDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!(option->features & QStyleOptionViewItem::HasDisplay) || option->text.isEmpty() || option->rect.isEmpty())
        return;
    const QWidget* widget = option->widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The room the style draws a cell's text in: the text rectangle less a margin either side.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const qreal room = style->subElementRect(QStyle::SE_ItemViewItemText, option, widget).width() - 2 * margin;
    if (const std::optional<QFont> font = fittingFont(option->font, option->text, room))
        option->font = *font;
}

void fitLabelText(QLabel* label)
{
    if (!label || label->findChild<QObject*>(QLatin1String(fitterName), Qt::FindDirectChildrenOnly))
        return;
    new LabelFitter(label);
}

void fitLineEditText(QLineEdit* edit, const QString& mark)
{
    if (!edit || edit->findChild<QObject*>(QLatin1String(fitterName), Qt::FindDirectChildrenOnly))
        return;
    new LineEditFitter(edit, mark);
}

void fitLabelTexts(QWidget* container)
{
    if (!container)
        return;
    for (QLabel* label : container->findChildren<QLabel*>())
        if (!label->wordWrap())
            fitLabelText(label);
}
