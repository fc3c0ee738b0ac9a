// One undoable change of the project. A step refers to nodes, rows and popups by pointer: the
// history never destroys a node while a kept step names it. A step that took a branch, row or
// popup out of the project owns it while it is out; undo and redo move the same objects back.
#pragma once

#include "edit/site.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CProjectChanges;

class CStep
{
public:
    explicit CStep(std::wstring name) : name(std::move(name)) {}
    virtual ~CStep() = default;
    CStep(const CStep&) = delete;
    CStep& operator=(const CStep&) = delete;

    virtual void Undo(CProjectChanges& changes) = 0;
    virtual void Redo(CProjectChanges& changes) = 0;
    // The bytes the step holds, with what it may own (a deleted branch counts in full, also
    // while it is back in the project): an estimate for the history's bound.
    virtual std::size_t Cost() const = 0;
    // Where the step acted, after an undo (`undone`) or a redo: the node and row to show.
    virtual CSite Where(bool undone) const = 0;
    // Joins `next`, a step done right after this one, into this one (typing into one text);
    // false when it does not belong here and stays a step of its own.
    virtual bool Absorb(CStep& next);

    // What the menu names: "typing", "delete", ...
    const std::wstring& Name() const { return name; }

private:
    std::wstring name;
};

// Several steps done as one; undone in reverse order.
class CCompoundStep final : public CStep
{
public:
    explicit CCompoundStep(std::wstring name) : CStep(std::move(name)) {}

    void Add(std::unique_ptr<CStep> step);
    bool Empty() const { return steps.empty(); }
    // Shown after undo and redo in place of the first step's site.
    void SetSite(const CSite& shown)
    {
        site = shown;
        hasSite = true;
    }

    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;

private:
    std::vector<std::unique_ptr<CStep>> steps;
    CSite site;
    bool hasSite = false;
};
