#pragma once

class DataControl;
class QWidget;

// What the filter window needs of the screen it filters (the maintenance screen implements it):
// that screen's parts data source, and its filter indicators ("Filter is ON" shown, the Print
// menu enabled, the Sort menu and "&Retrieve" disabled while a filter is applied), switched
// always together. filterOn() is the shown state of "Filter is ON", the one record of whether a
// filter is in effect.
class FilterHost {
public:
    virtual ~FilterHost() = default;

    virtual DataControl* filterDataControl() = 0;
    virtual QWidget* filterHostWindow() = 0;
    virtual void SetFilterIndicators(bool filterOn) = 0;
    virtual bool filterOn() const = 0;
};
