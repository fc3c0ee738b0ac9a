// The undo history: the steps done, the cursor between the undoable and the redoable ones, the
// memory bound, and the joining of typing into one step.
#pragma once

#include "edit/step.h"

#include <cstddef>
#include <deque>
#include <memory>

class CHistory
{
public:
    static constexpr std::size_t kDefaultLimit = 64u * 1024u * 1024u;

    explicit CHistory(std::size_t limitBytes = kDefaultLimit) : limit(limitBytes) {}

    // Adds a step just done: the redoable steps go, then the oldest while the total cost is over
    // the bound (the newest always stays). While the newest step is open, `step` is first
    // offered to it to join; `open` leaves the result open for the next step.
    void Push(std::unique_ptr<CStep> step, bool open);
    // Ends the joining: the next step stands on its own.
    void Seal() { openNewest = false; }

    // The step an undo or redo would take, or null.
    CStep* NextUndo() const;
    CStep* NextRedo() const;
    // Moves the cursor over the step that NextUndo / NextRedo named (after it was undone or
    // redone).
    void StepBack();
    void StepForward();

    std::size_t Count() const { return steps.size(); }
    std::size_t UndoCount() const { return cursor; }
    std::size_t Bytes() const { return total; }
    std::size_t Limit() const { return limit; }
    // Counts the steps pushed, joined ones included: tells whether a change recorded anything.
    std::size_t Revision() const { return revision; }
    // Drops every step.
    void Clear();
    // Drops the steps that could be redone.
    void DropRedoable();

private:
    struct Entry
    {
        std::unique_ptr<CStep> step;
        std::size_t cost;
    };
    void Trim();

    std::deque<Entry> steps;
    std::size_t cursor = 0; // steps before it are done, from it on undone
    std::size_t total = 0;
    std::size_t limit;
    std::size_t revision = 0;
    bool openNewest = false;
};
