#pragma once

#include <QString>
#include <stdexcept>

// Why a report could not be produced: a missing or invalid definition file, a selection
// formula that does not parse, a database failure. The text is a sentence for the user.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};
