#pragma once

#include <QFont>

// Arial, as the windows of this folder are drawn, is Liberation Sans (metric-compatible), set
// explicitly so that the twips layouts fit whatever the machine's default font is.
inline QFont queryFont(double pointSize, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
