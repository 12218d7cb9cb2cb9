#pragma once

#include <QDate>
#include <QLineEdit>
#include <QPoint>
#include <QString>

#include <optional>

class QAbstractButton;
class QWidget;

// What the user may type or paste into a box is at most maxChars characters. Text set by code is
// kept whole (QLineEdit::setMaxLength would cut it, and the cut value would then be saved).
void limitTyping(QLineEdit* edit, int maxChars);

// Typed and pasted characters become upper case; text set by code is shown as stored. A maxChars
// above 0 also limits typing as limitTyping does. Watch textEdited() for user changes: upper-casing
// rewrites the box's text, which clears its undo history.
void upperCaseTyping(QLineEdit* edit, int maxChars = 0);

// The whole text is selected whenever the box gains focus, by keyboard or by mouse.
void selectAllOnFocus(QWidget* box);

// Masked date entry: "99/99/99" or "99/99/9999", month first, '_' where nothing is typed yet.
// Typing goes in from the first blank however the box is reached (a click anywhere in it, Tab, or
// the focus given by code): a caret beyond the first blank, where typed digits would be refused or
// land out of order, is brought back to it.
class DateMaskBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateMaskBox(const QString& mask = QStringLiteral("99/99/9999"), QWidget* parent = nullptr);

    bool isBlank() const;                // nothing typed at all
    std::optional<QDate> date() const;   // only for a complete, real date; yy 00-29 is 20yy, 30-99 19yy
    void setDate(const QDate& date);     // an invalid date clears the box
    void clearDate();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void caretToFirstBlank();

    QString m_blankDisplay;
    bool m_fourDigitYear;
};

// For windows that are not dialogs. Enter or Return anywhere in the window presses the default
// button (a push button that has the focus takes it itself), except in a multi-line text box;
// Esc presses the cancel button. Disabled or hidden buttons are not pressed. nullptr removes.
void setDefaultButton(QWidget* window, QAbstractButton* button);
void setCancelButton(QWidget* window, QAbstractButton* button);

// True when no control is under pos (in window coordinates): a click on the window's own
// background. Buttons pass right-clicks up to their window, so a mouse handler alone cannot tell.
bool isBackgroundClick(QWidget* window, const QPoint& pos);
