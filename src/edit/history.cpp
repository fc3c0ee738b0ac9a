#include "edit/history.h"

void CHistory::Push(std::unique_ptr<CStep> step, bool open)
{
    if (!step) return;
    ++revision;
    DropRedoable();
    if (openNewest && !steps.empty() && steps.back().step->Absorb(*step)) {
        Entry& newest = steps.back();
        total -= newest.cost;
        newest.cost = newest.step->Cost();
        total += newest.cost;
    } else {
        const std::size_t cost = step->Cost();
        steps.push_back(Entry{std::move(step), cost});
        total += cost;
        ++cursor;
    }
    openNewest = open;
    Trim();
}

CStep* CHistory::NextUndo() const
{
    return cursor > 0 ? steps[cursor - 1].step.get() : nullptr;
}

CStep* CHistory::NextRedo() const
{
    return cursor < steps.size() ? steps[cursor].step.get() : nullptr;
}

void CHistory::StepBack()
{
    openNewest = false;
    if (cursor > 0) --cursor;
}

void CHistory::StepForward()
{
    openNewest = false;
    if (cursor < steps.size()) ++cursor;
}

void CHistory::Clear()
{
    // Newest first: a step may own what an older one refers to, never the other way round.
    while (!steps.empty()) {
        total -= steps.back().cost;
        steps.pop_back();
    }
    cursor = 0;
    openNewest = false;
}

void CHistory::DropRedoable()
{
    while (steps.size() > cursor) {
        total -= steps.back().cost;
        steps.pop_back();
    }
}

void CHistory::Trim()
{
    while (total > limit && steps.size() > 1) {
        total -= steps.front().cost;
        steps.pop_front();
        if (cursor > 0) --cursor;
    }
}
