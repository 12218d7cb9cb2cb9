#pragma once

#include <QFont>
#include <QStyledItemDelegate>

#include <optional>

class QLabel;
class QLineEdit;
class QWidget;

// The font a text is drawn in to fit a room of the given width: the base font when the text fits
// in it, else a smaller size of it down to a readable minimum (three quarters of its size, never
// below 6.5 pt); nothing when the text fits in none of them.
std::optional<QFont> fittingFont(const QFont& base, const QString& text, qreal room);

// Labels placed in fixed boxes show texts that the user types elsewhere (vendor makes, part
// descriptions, locations) or that a font renders wider than the box was drawn for. A fitted
// label keeps its text and its box: when the text is wider than the box, the label is drawn in a
// smaller size of its own font, down to a readable minimum (three quarters of its size, never
// below 6.5 pt); a text that does not fit even then keeps the label's size and is cut with "..."
// where the label has no frame, and the whole text is then shown as the label's tooltip unless
// the label has a tooltip of its own.
// The size the program gives the label (set before or after, by a resizer as well) stays its
// size whenever the text fits; label->text() is never changed. Word-wrapped, rich-text and
// picture labels are left alone.
void fitLabelText(QLabel* label);

// A box whose text (an amount, a count) is wider than the box: it is shown in a smaller size of the
// box's font, as a fitted label is, so that no digit or sign is hidden at either end. A text that
// does not fit even then shows as mark (never as part of itself, which would read as another
// amount) except while the box has the focus, where the user edits the text itself. The text and
// what the user types are not changed.
void fitLineEditText(QLineEdit* edit, const QString& mark);

// Fits every single-line text label inside container (see fitLabelText).
void fitLabelTexts(QWidget* container);

// The cells of a list column whose texts (amounts, counts) are wider than the column are drawn in a
// smaller size of the list's font, as a fitted box is, rather than cut with "...".
class TextFittingDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
