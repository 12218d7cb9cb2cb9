#pragma once

#include <QString>

class DataControl;

// A field of the part a data source stands on, as the box bound to it shows it when the part is
// read: what the part stores, whatever the box shows now. Empty when there is no such part.
QString storedText(const DataControl& data, const QString& field);
