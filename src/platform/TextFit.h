#pragma once

class QLabel;
class QWidget;

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

// Fits every single-line text label inside container (see fitLabelText).
void fitLabelTexts(QWidget* container);
