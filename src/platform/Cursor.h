#pragma once

// Hourglass for the length of a scope: nestable, and restored on every way out of it,
// exceptions included.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    static int depth();  // how many are alive

private:
    bool m_pushed;
};

// The normal arrow for the length of a scope, but only when an hourglass (or any other
// override cursor) is up: a box asking a question must not look busy.
class ArrowCursor {
public:
    ArrowCursor();
    ~ArrowCursor();
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;

private:
    bool m_pushed;
};
