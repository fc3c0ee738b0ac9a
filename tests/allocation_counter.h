// Counts what the program allocates through operator new, for tests that bound the memory an
// operation takes. Linked only into the test program that needs it: it replaces the global
// operator new and delete.
#pragma once

#include <cstddef>

struct AllocationFigures
{
    std::size_t allocations = 0; // operator new calls
    std::size_t peakBytes = 0;   // the most bytes live at once, above those live at the start
};

// Measures from construction on; Figures() reads what happened so far. One at a time.
class CAllocationCounter
{
public:
    CAllocationCounter();
    AllocationFigures Figures() const;

private:
    std::size_t startAllocations;
    std::size_t startBytes;
};
