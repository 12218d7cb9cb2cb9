#include "DataNavigator.h"

#include "platform/Prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

DataNavigator::DataNavigator(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(1);
    const char* tips[] = {"First record", "Previous record", "Next record", "Last record"};
    const char* texts[] = {"|<", "<", ">", ">|"};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QToolButton(this);
        buttons_[i]->setText(QString::fromLatin1(texts[i]));
        buttons_[i]->setToolTip(QString::fromLatin1(tips[i]));
        buttons_[i]->setAutoRaise(true);
        buttons_[i]->setFocusPolicy(Qt::NoFocus);
        connect(buttons_[i], &QToolButton::clicked, this, [this, i] { go(i); });
    }
    caption_ = new QLabel(this);
    caption_->setAlignment(Qt::AlignCenter);
    layout->addWidget(buttons_[0]);
    layout->addWidget(buttons_[1]);
    layout->addWidget(caption_, 1);
    layout->addWidget(buttons_[2]);
    layout->addWidget(buttons_[3]);
    updateButtons();
}

void DataNavigator::setDataControl(DataControl* dc)
{
    if (dc_)
        disconnect(dc_, nullptr, this, nullptr);
    dc_ = dc;
    if (dc) {
        connect(dc, &DataControl::reposition, this, &DataNavigator::updateButtons);
        connect(dc, &DataControl::recordsetChanged, this, &DataNavigator::updateButtons);
    }
    updateButtons();
}

void DataNavigator::setCaption(const QString& caption)
{
    caption_->setText(caption);
}

QString DataNavigator::caption() const
{
    return caption_->text();
}

void DataNavigator::go(int which)
{
    Recordset* rs = dc_ ? dc_->recordset() : nullptr;
    if (!rs || rs->isClosed())
        return;
    try {
        switch (which) {
        case 0: rs->moveFirst(); break;
        case 1: rs->movePrevious(); if (rs->bof()) rs->moveFirst(); break;
        case 2: rs->moveNext(); if (rs->eof()) rs->moveLast(); break;
        default: rs->moveLast(); break;
        }
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    updateButtons();
    Q_EMIT clicked();
}

void DataNavigator::updateButtons()
{
    Recordset* rs = dc_ ? dc_->recordset() : nullptr;
    const bool any = rs && !rs->isClosed() && rs->recordCount() > 0;
    for (QToolButton* b : buttons_)
        b->setEnabled(any);
}
