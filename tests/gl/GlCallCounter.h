#pragma once

// Counts the calls made into GL through every entry point the renderer uses,
// by swapping libepoxy's dispatch pointers for counting ones while it lives.
// Only one may live at a time.
class GlCallCounter {
public:
    GlCallCounter();
    ~GlCallCounter();
    GlCallCounter(const GlCallCounter&) = delete;
    GlCallCounter& operator=(const GlCallCounter&) = delete;

    long calls() const;
};
