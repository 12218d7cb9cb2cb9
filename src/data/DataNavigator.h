#pragma once

#include "DataControl.h"

#include <QFrame>
#include <QPointer>

class QLabel;
class QToolButton;

// The record navigator bar: first, previous, next and last record of a data control, with a
// caption. Its moves save and validate like any other; a save that fails is shown to the
// user and the bar stays on the record.
class DataNavigator : public QFrame
{
    Q_OBJECT
public:
    explicit DataNavigator(QWidget* parent = nullptr);
    void setDataControl(DataControl* dc);
    void setCaption(const QString& caption);
    QString caption() const;

    QToolButton* firstButton() const { return buttons_[0]; }
    QToolButton* previousButton() const { return buttons_[1]; }
    QToolButton* nextButton() const { return buttons_[2]; }
    QToolButton* lastButton() const { return buttons_[3]; }

Q_SIGNALS:
    void clicked();   // after any of its moves

private:
    void go(int which);
    void updateButtons();
    QPointer<DataControl> dc_;
    QToolButton* buttons_[4];
    QLabel* caption_;
};
