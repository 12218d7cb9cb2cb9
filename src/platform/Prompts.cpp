#include "platform/Prompts.h"

#include "platform/AppInfo.h"
#include "platform/Cursor.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHash>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

Prompts* installedPrompts = nullptr;

// Texts written for the legacy platform break lines with a bare carriage return.
QString forDisplay(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString titleOrDefault(const QString& title)
{
    return title.isEmpty() ? AppInfo::title : title;
}

QMessageBox::StandardButton standardButton(int answer)
{
    switch (answer) {
    case Prompts::Cancel: return QMessageBox::Cancel;
    case Prompts::Abort: return QMessageBox::Abort;
    case Prompts::Retry: return QMessageBox::Retry;
    case Prompts::Ignore: return QMessageBox::Ignore;
    case Prompts::Yes: return QMessageBox::Yes;
    case Prompts::No: return QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// Esc answers Cancel where there is one, OK on a box with nothing else, and does nothing on
// Yes/No and Abort/Retry/Ignore boxes (nor does the close button): those need a real answer.
class AnswerBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool escapeAllowed = true;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!escapeAllowed && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent* event) override
    {
        if (!escapeAllowed) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

// The window a box opened over takes the keyboard back when the box closes, so that the key
// after it (Tab out of the box typed in) reaches that window even where no window manager hands
// the focus back.
class GiveBackKeyboard {
public:
    GiveBackKeyboard() : m_window(QApplication::activeWindow()) {}
    ~GiveBackKeyboard()
    {
        if (m_window && m_window->isVisible())
            m_window->activateWindow();
    }
    GiveBackKeyboard(const GiveBackKeyboard&) = delete;
    GiveBackKeyboard& operator=(const GiveBackKeyboard&) = delete;

private:
    QPointer<QWidget> m_window;
};

class QtPrompts : public Prompts {
public:
    int message(const QString& text, int style, const QString& title) override
    {
        const QList<int> answers = answersOffered(style);
        AnswerBox box(QApplication::activeWindow());
        box.setWindowTitle(titleOrDefault(title));
        box.setTextFormat(Qt::PlainText);
        box.setText(forDisplay(text));
        box.setIcon(iconFor(style));

        QList<QPushButton*> buttons;
        QHash<QAbstractButton*, int> answerOf;
        for (int answer : answers) {
            QPushButton* button = box.addButton(standardButton(answer));
            buttons.append(button);
            answerOf.insert(button, answer);
        }
        box.setDefaultButton(buttons.at(answers.indexOf(defaultAnswer(style))));

        QPushButton* escape = nullptr;
        if (answers.contains(Cancel))
            escape = buttons.at(answers.indexOf(Cancel));
        else if (answers.size() == 1)
            escape = buttons.first();
        box.escapeAllowed = escape != nullptr;
        if (escape)
            box.setEscapeButton(escape);

        ArrowCursor arrow;
        {
            const GiveBackKeyboard giveBack;
            box.exec();
        }
        if (QAbstractButton* clicked = box.clickedButton(); answerOf.contains(clicked))
            return answerOf.value(clicked);
        // Closed without a button (only possible from code): take the most cautious answer.
        if (answers.contains(Cancel))
            return Cancel;
        if (answers.contains(No))
            return No;
        return answers.first();
    }

    QString input(const QString& prompt, const QString& title, const QString& defaultText,
                  int xTwips, int yTwips) override
    {
        QInputDialog dialog(QApplication::activeWindow());
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setWindowTitle(titleOrDefault(title));
        dialog.setLabelText(forDisplay(prompt));
        dialog.setTextValue(defaultText);
        if (xTwips >= 0 || yTwips >= 0) {
            dialog.adjustSize();
            const QScreen* screen = QGuiApplication::primaryScreen();
            const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
            const int x = xTwips >= 0 ? twipsToPx(xTwips) : (area.width() - dialog.width()) / 2;
            const int y = yTwips >= 0 ? twipsToPx(yTwips) : (area.height() - dialog.height()) / 2;
            dialog.move(area.topLeft() + QPoint(x, y));
        }
        ArrowCursor arrow;
        const GiveBackKeyboard giveBack;
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.textValue();
    }

    void beep() override { QApplication::beep(); }
};

}  // namespace

Prompts& Prompts::get()
{
    static QtPrompts real;
    return installedPrompts ? *installedPrompts : real;
}

void Prompts::install(Prompts* p)
{
    installedPrompts = p;
}

QList<int> Prompts::answersOffered(int style)
{
    switch (style & 0xF) {
    case 1: return {Ok, Cancel};
    case 2: return {Abort, Retry, Ignore};
    case 3: return {Yes, No, Cancel};
    case 4: return {Yes, No};
    case 5: return {Retry, Cancel};
    default: return {Ok};
    }
}

int Prompts::defaultAnswer(int style)
{
    const QList<int> answers = answersOffered(style);
    return answers.value((style & 0x300) >> 8, answers.first());
}

int MsgBox(const QString& text, int style, const QString& title)
{
    return Prompts::get().message(text, style, title);
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText,
                 int xTwips, int yTwips)
{
    return Prompts::get().input(prompt, title, defaultText, xTwips, yTwips);
}

void Beep()
{
    Prompts::get().beep();
}
