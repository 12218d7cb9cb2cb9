#pragma once

// The main window's paper-size choice ("Letter (USA)" or "A4 (Europe)"), Letter at start and
// kept until the program ends. Every window that prints a report with an A4 twin reads it.
class PaperSize
{
public:
    static bool isA4() { return a4_; }
    static void setA4(bool a4) { a4_ = a4; }

private:
    static inline bool a4_ = false;
};
