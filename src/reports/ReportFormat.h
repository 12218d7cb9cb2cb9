#pragma once

#include "ReportValue.h"

// A value as a field prints it, by the field's format (FORMAT.md, "Formats"):
//   ""           the value in words (money "$1,234.50", dates 1/5/2004 or 05/01/2004)
//   currency     "$#,##0.00;($#,##0.00)"
//   integer      "#,##0"
//   number       "#,##0.##"
//   longdate     "Monday, January 5, 2004" or "Monday, 5 January 2004"
//   shortdate    "1/5/2004" or "05/01/2004"
//   yesno        "Yes" / "No"
//   a picture    for numbers: sections positive;negative;zero of # 0 , . and literal text
//                ("$#,##0.00;($#,##0.00)", "0.0", "#,##0 pcs"); for dates: a date pattern
//                ("MM/dd/yyyy", "MMMM d, yyyy"), written as it stands whatever the date order
// Money prints exactly, rounded once to the places shown, halves away from zero; money out of
// range and numbers that are not finite print as OutOfRangeMark. Dates in words and the two named
// date formats follow the report's date order.
QString formatReportValue(const ReportValue& value, const QString& format, DateOrder dates = DateOrder::MonthFirst);

// A number by a picture of # 0 , . and literal text, in up to three sections separated by ";"
// (at most 18 decimals).
QString formatNumberPicture(const ReportValue& value, const QString& picture);
