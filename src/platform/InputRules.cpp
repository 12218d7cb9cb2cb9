#include "platform/InputRules.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QValidator>

namespace {

// Validates only what the user does. setText() resets the box's modified flag before validation,
// so an unmodified box is holding text put there by code, which is accepted exactly as it is.
class TypingValidator : public QValidator {
public:
    explicit TypingValidator(QLineEdit* edit)
        : QValidator(edit)
        , m_edit(edit)
        , m_previous(edit->text())
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_previous = text; });
        // Rewriting the text (upper-casing) clears the modified flag; the user did change it.
        connect(edit, &QLineEdit::textEdited, this, [this] { m_edit->setModified(true); });
    }

    int maxChars = 0;
    bool upperCase = false;

    State validate(QString& input, int& pos) const override
    {
        if (!m_edit->isModified())
            return Acceptable;
        // Over the limit only by growing: a longer value set by code may still be shortened.
        if (maxChars > 0 && input.size() > maxChars && input.size() > m_previous.size())
            return Invalid;
        if (upperCase)
            upperCaseNewText(input, pos);
        return Acceptable;
    }

private:
    // The new characters end at the cursor; what follows the cursor is the old text's tail.
    void upperCaseNewText(QString& input, int pos) const
    {
        pos = qBound(0, pos, int(input.size()));
        qsizetype tail = input.size() - pos;
        if (tail > m_previous.size() || !m_previous.endsWith(QStringView(input).mid(pos)))
            tail = 0;
        const qsizetype oldHead = m_previous.size() - tail;
        const qsizetype newEnd = input.size() - tail;
        qsizetype start = 0;
        while (start < oldHead && start < newEnd && input.at(start) == m_previous.at(start))
            ++start;
        for (qsizetype i = start; i < newEnd; ++i)
            input[i] = input.at(i).toUpper();
    }

    QLineEdit* m_edit;
    QString m_previous;
};

TypingValidator* typingValidator(QLineEdit* edit)
{
    if (auto* existing = dynamic_cast<TypingValidator*>(const_cast<QValidator*>(edit->validator())))
        return existing;
    auto* validator = new TypingValidator(edit);
    edit->setValidator(validator);
    return validator;
}

class SelectAllOnFocus : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            // Queued: a mouse press that gives the focus places the cursor after this event.
            QPointer<QObject> box(watched);
            QTimer::singleShot(0, this, [box] {
                if (auto* edit = qobject_cast<QLineEdit*>(box.data()))
                    edit->selectAll();
                else if (auto* spin = qobject_cast<QAbstractSpinBox*>(box.data()))
                    spin->selectAll();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

bool pressable(const QAbstractButton* button, const QWidget* window)
{
    return button && button->isEnabled() && button->isVisibleTo(window);
}

class WindowKeys : public QObject {
    Q_OBJECT
public:
    explicit WindowKeys(QWidget* window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

    static WindowKeys* of(QWidget* window)
    {
        if (auto* keys = window->findChild<WindowKeys*>(QString(), Qt::FindDirectChildrenOnly))
            return keys;
        return new WindowKeys(window);
    }

    QPointer<QAbstractButton> defaultButton;
    QPointer<QAbstractButton> cancelButton;

protected:
    // Key presses that no control took travel up to the window and pass through here.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_window || event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QWidget* focus = QApplication::focusWidget();
            if (qobject_cast<QTextEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus))
                return false;
            auto* focusedButton = qobject_cast<QPushButton*>(focus);
            if (focusedButton && focusedButton->window() == m_window && pressable(focusedButton, m_window)) {
                focusedButton->click();
                return true;
            }
            if (pressable(defaultButton, m_window)) {
                defaultButton->click();
                return true;
            }
        } else if (key->key() == Qt::Key_Escape && pressable(cancelButton, m_window)) {
            cancelButton->click();
            return true;
        }
        return false;
    }

private:
    QWidget* m_window;
};

}  // namespace

void limitTyping(QLineEdit* edit, int maxChars)
{
    typingValidator(edit)->maxChars = maxChars;
}

void upperCaseTyping(QLineEdit* edit, int maxChars)
{
    TypingValidator* validator = typingValidator(edit);
    validator->upperCase = true;
    if (maxChars > 0)
        validator->maxChars = maxChars;
}

void selectAllOnFocus(QWidget* box)
{
    if (!box->findChild<SelectAllOnFocus*>(QString(), Qt::FindDirectChildrenOnly))
        box->installEventFilter(new SelectAllOnFocus(box));
}

DateMaskBox::DateMaskBox(const QString& mask, QWidget* parent)
    : QLineEdit(parent)
    , m_fourDigitYear(mask.size() > 8)
{
    setInputMask(mask + QStringLiteral(";_"));
    m_blankDisplay = displayText();
}

bool DateMaskBox::isBlank() const
{
    // text() of a masked box leaves out the blanks, so the display is what tells.
    return displayText() == m_blankDisplay;
}

std::optional<QDate> DateMaskBox::date() const
{
    const QString shown = displayText();
    if (shown.contains(QLatin1Char('_')))
        return std::nullopt;
    const QStringList parts = shown.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return std::nullopt;
    bool okMonth = false, okDay = false, okYear = false;
    const int month = parts.at(0).toInt(&okMonth);
    const int day = parts.at(1).toInt(&okDay);
    int year = parts.at(2).toInt(&okYear);
    if (!okMonth || !okDay || !okYear)
        return std::nullopt;
    if (parts.at(2).size() == 2)
        year += year < 30 ? 2000 : 1900;
    const QDate result(year, month, day);
    if (!result.isValid())
        return std::nullopt;
    return result;
}

void DateMaskBox::setDate(const QDate& date)
{
    if (!date.isValid()) {
        clearDate();
        return;
    }
    setText(date.toString(m_fourDigitYear ? QStringLiteral("MM/dd/yyyy") : QStringLiteral("MM/dd/yy")));
}

void DateMaskBox::clearDate()
{
    setText(QString());   // leaves the caret after the mask
    caretToFirstBlank();
}

void DateMaskBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Coming back from a message box or a menu, the caret stays where the user left it.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        caretToFirstBlank();
}

void DateMaskBox::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);   // places the caret where the click landed
    caretToFirstBlank();
}

void DateMaskBox::caretToFirstBlank()
{
    if (hasSelectedText())
        return;
    const qsizetype blank = displayText().indexOf(u'_');
    if (blank >= 0 && cursorPosition() > blank)
        setCursorPosition(int(blank));
}

void setDefaultButton(QWidget* window, QAbstractButton* button)
{
    WindowKeys* keys = WindowKeys::of(window);
    if (auto* previous = qobject_cast<QPushButton*>(keys->defaultButton.data()))
        previous->setDefault(false);
    keys->defaultButton = button;
    if (auto* push = qobject_cast<QPushButton*>(button))
        push->setDefault(true);  // drawn as the default; in a dialog Qt also acts on it
}

void setCancelButton(QWidget* window, QAbstractButton* button)
{
    WindowKeys::of(window)->cancelButton = button;
}

bool isBackgroundClick(QWidget* window, const QPoint& pos)
{
    QWidget* child = window->childAt(pos);
    if (!child)
        return true;
    // A main window's controls sit on its central widget, which is its background.
    if (auto* main = qobject_cast<QMainWindow*>(window))
        return child == main->centralWidget();
    return false;
}

#include "InputRules.moc"
