#include "platform/Help.h"

#include "platform/AppFolder.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

HelpService* installedHelp = nullptr;
qintptr helpOwner = 0;
QString helpFile;
bool helpSetUp = false;

const char* const helpContextProperty = "helpContext";
const QString helpFileName = QStringLiteral("INVENT~2.HLP");

// The help window of the program: one, shown without blocking, closed by QuitHelp.
class ViewerHelp : public HelpService {
public:
    void showTopic(const QString& file, int contextNumber) override
    {
        HelpViewer* v = viewer(file);
        v->showTopic(contextNumber);
        ShowBesideModal(v);   // from a modal window (the about box, a prompt) too
    }

    void showContents(const QString& file) override
    {
        HelpViewer* v = viewer(file);
        v->showContents();
        ShowBesideModal(v);
    }

    void search(const QString& file, const QString& keyword) override
    {
        HelpViewer* v = viewer(file);
        v->showSearch(keyword);
        ShowBesideModal(v);
    }

    void quit() override
    {
        if (m_viewer)
            m_viewer->close();
    }

private:
    HelpViewer* viewer(const QString& file)
    {
        if (!m_viewer) {
            m_viewer = new HelpViewer;
            m_viewer->setAttribute(Qt::WA_DeleteOnClose);
            m_viewer->setAttribute(Qt::WA_QuitOnClose, false);   // help never keeps the program running
        }
        m_viewer->setHelpFile(file);
        return m_viewer;
    }

    QPointer<HelpViewer> m_viewer;
};

// F1 anywhere in the program: the number of the open menu, else of the focused window.
class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        auto* target = qobject_cast<QWidget*>(watched);
        if (!target)
            return false;
        QWidget* popup = QApplication::activePopupWidget();
        const int topic = helpContext(popup ? popup : target);
        if (topic <= 0)
            return false;
        while (QWidget* open = QApplication::activePopupWidget()) {
            if (!open->close())
                break;
        }
        ShowHelpTopic(topic);
        return true;
    }
};

}  // namespace

HelpService& HelpService::get()
{
    static ViewerHelp viewer;
    return installedHelp ? *installedHelp : viewer;
}

void HelpService::install(HelpService* service)
{
    installedHelp = service;
}

void SetUpHelp(qintptr owner)
{
    helpOwner = owner;
    helpFile = HelpFilePathFor(AppFolder::path());
    helpSetUp = true;
}

void QuitHelp()
{
    HelpService::get().quit();
}

void ShowHelpTopic(int topic)
{
    HelpService::get().showTopic(HelpFilePath(), topic);
}

void ShowHelpContents()
{
    HelpService::get().showContents(HelpFilePath());
}

void SearchHelp()
{
    HelpService::get().search(HelpFilePath(), QString());
}

QString HelpFilePath()
{
    return helpSetUp ? helpFile : HelpFilePathFor(AppFolder::path());
}

QString HelpFilePathFor(const QString& folder)
{
    const QString trimmed = folder.trimmed();
    return trimmed.endsWith(QLatin1Char('/')) ? trimmed + helpFileName
                                              : trimmed + QLatin1Char('/') + helpFileName;
}

qintptr HelpOwner()
{
    return helpOwner;
}

void setHelpContext(QWidget* windowOrMenu, int topic)
{
    if (!windowOrMenu)
        return;
    windowOrMenu->setProperty(helpContextProperty, topic);
    static HelpKeyFilter* filter = nullptr;
    if (!filter && qApp) {
        filter = new HelpKeyFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

int helpContext(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property(helpContextProperty);
        if (v.isValid() && v.toInt() > 0)
            return v.toInt();
    }
    return 0;
}
