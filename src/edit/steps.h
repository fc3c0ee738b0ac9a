// The kinds of step: a text, a popup text, a number, a row added or removed, a node inserted or
// removed, a node moved. Each keeps only what it changed (texts as old and new bytes, a branch
// out of the project by ownership), never a copy of the project.
#pragma once

#include "edit/node_places.h"
#include "edit/step.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"

#include <cstdint>
#include <memory>
#include <string>

// A text of a node or row: typing, or a write from a command.
class CTextStep final : public CStep
{
public:
    CTextStep(std::wstring name, const CSite& site, std::wstring before, std::wstring after);
    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;
    bool Absorb(CStep& next) override;

private:
    CSite site;
    std::wstring before;
    std::wstring after;
};

// A link item's popup: whether it has one, and its text. The popup object that a write took
// away is kept here and comes back, with its number, when the undo or redo brings it back.
class CPopupStep final : public CStep
{
public:
    struct State
    {
        bool present;
        std::wstring text;
    };
    // `spare` is the popup the write took away.
    CPopupStep(std::wstring name, CItemLink& item, State before, State after,
               std::unique_ptr<CPopup> spare);
    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;
    bool Absorb(CStep& next) override;

private:
    CItemLink* item; // not owned
    State before;
    State after;
    std::unique_ptr<CPopup> spare; // the popup while the project has none
};

// A link item's site icon, set, replaced or cleared. Icons never change, so both are shared.
class CIconStep final : public CStep
{
public:
    CIconStep(std::wstring name, CItemLink& item, std::shared_ptr<const CLinkIcon> before,
              std::shared_ptr<const CLinkIcon> after);
    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;

private:
    CItemLink* item; // not owned
    std::shared_ptr<const CLinkIcon> before;
    std::shared_ptr<const CLinkIcon> after;
};

// The chunks of the project node that this version does not know, exchanged whole (a project
// file loaded again in place of the project brings its own).
class CKeptChunksStep final : public CStep
{
public:
    CKeptChunksStep(std::wstring name, CProject& project, CKeptChunks other);
    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;

private:
    // Both ways the same: the project's chunks and the kept ones change places.
    void Exchange(CProjectChanges& changes);

    CProject* project; // not owned
    CKeptChunks other; // what the project does not hold now
};

// A number: a form's method, a field's type, a field's hidden flag (0 or 1).
class CNumberStep final : public CStep
{
public:
    CNumberStep(std::wstring name, const CSite& site, std::int32_t before, std::int32_t after);
    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;

private:
    CSite site;
    std::int32_t before;
    std::int32_t after;
};

// A further link, field or option added (`added`) or removed at `index` of its list.
template <typename Row> class CRowStep final : public CStep
{
public:
    CRowStep(std::wstring name, const CSite& site, std::size_t index, bool added,
             std::unique_ptr<Row> removed);
    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;

private:
    // Puts the row in (true) or takes it out (false).
    void Place(CProjectChanges& changes, bool in);

    CSite site; // the list and its row
    std::size_t index;
    bool added;
    std::unique_ptr<Row> owned; // the row while it is out of its list
};

// A column, group or item with everything below it: inserted (`inserted`) or removed.
class CNodeStep final : public CStep
{
public:
    // For a removal, `taken` is the branch that was taken out; for an insertion it is empty.
    CNodeStep(std::wstring name, std::int32_t kind, CStreamable* node, CStreamable* parent,
              std::size_t index, bool inserted, CDetachedNode taken);
    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;

private:
    void Place(CProjectChanges& changes, bool in);

    std::int32_t kind;
    CStreamable* node;   // not owned while in the project; `owned` holds it while out
    CStreamable* parent; // not owned
    std::size_t index;
    bool inserted;
    CDetachedNode owned;
    std::size_t cost;
};

// A column, group or item moved, with everything below it, to another place.
class CMoveStep final : public CStep
{
public:
    CMoveStep(std::wstring name, std::int32_t kind, CStreamable* node, CStreamable* fromParent,
              std::size_t fromIndex, CStreamable* toParent, std::size_t toIndex);
    void Undo(CProjectChanges& changes) override;
    void Redo(CProjectChanges& changes) override;
    std::size_t Cost() const override;
    CSite Where(bool undone) const override;

private:
    std::int32_t kind;
    CStreamable* node; // not owned
    CStreamable* fromParent;
    std::size_t fromIndex;
    CStreamable* toParent;
    std::size_t toIndex;
};

// Moves a node (already in the project) to `index` under `parent` and tells the observer.
void MoveNodeTo(CProjectChanges& changes, std::int32_t kind, CStreamable* node, CStreamable* parent,
                std::size_t index);
