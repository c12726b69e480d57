#pragma once

// The GL's own count of fragment-program runs (its pipeline statistics), for
// the frame report's split: how many pixels each pass shades, overdraw and
// blended layers included. Only where the context offers those statistics;
// nothing is counted, and nothing costs, until `next` is first called.
class FragmentCounter {
public:
    FragmentCounter() = default;
    ~FragmentCounter();
    FragmentCounter(const FragmentCounter&) = delete;
    FragmentCounter& operator=(const FragmentCounter&) = delete;

    // Whether the current context can count; asks the GL only once.
    bool available();
    // The fragments shaded since the last call (0 at the first), then counts
    // on only when `more`; -1 where the context cannot count.
    double next(bool more);
    // Before the context goes.
    void release();

private:
    int m_available = -1;  // -1: not asked yet
    unsigned int m_query = 0;
    bool m_running = false;
};

FragmentCounter& fragmentCounter();
