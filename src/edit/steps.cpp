#include "edit/steps.h"

#include "edit/project_changes.h"
#include "model/project.h"

namespace {

std::size_t TextBytes(const std::wstring& text)
{
    return text.capacity() * sizeof(wchar_t);
}

// The list a row step works on, and its row.
COwnedList<CItemLink::CLink>& ListOf(const CSite& site, CItemLink::CLink*)
{
    return static_cast<CItemLink*>(site.node)->links;
}
COwnedList<CItemForm::CField>& ListOf(const CSite& site, CItemForm::CField*)
{
    return static_cast<CItemForm*>(site.node)->fields;
}
COwnedList<CItemForm::COption>& ListOf(const CSite& site, CItemForm::COption*)
{
    return site.field->options;
}
CItemLink::CLink* RowOf(const CSite& site, CItemLink::CLink*)
{
    return site.link;
}
CItemForm::CField* RowOf(const CSite& site, CItemForm::CField*)
{
    return site.field;
}
CItemForm::COption* RowOf(const CSite& site, CItemForm::COption*)
{
    return site.option;
}

std::size_t RowBytes(const CItemLink::CLink& link)
{
    return sizeof link + TextBytes(link.caption) + TextBytes(link.url);
}
std::size_t RowBytes(const CItemForm::COption& option)
{
    return sizeof option + TextBytes(option.text) + TextBytes(option.value);
}
std::size_t RowBytes(const CItemForm::CField& field)
{
    std::size_t bytes = sizeof field + TextBytes(field.name) + TextBytes(field.value);
    for (const CItemForm::COption* option : field.options)
        bytes += RowBytes(*option);
    return bytes;
}

CSite NodeSite(std::int32_t kind, CStreamable* node)
{
    CSite site;
    site.kind = kind;
    site.node = node;
    return site;
}

} // namespace

bool CStep::Absorb(CStep&)
{
    return false;
}

// ---- CCompoundStep ----

void CCompoundStep::Add(std::unique_ptr<CStep> step)
{
    steps.push_back(std::move(step));
}

void CCompoundStep::Undo(CProjectChanges& changes)
{
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        (*it)->Undo(changes);
}

void CCompoundStep::Redo(CProjectChanges& changes)
{
    for (auto& step : steps)
        step->Redo(changes);
}

std::size_t CCompoundStep::Cost() const
{
    std::size_t bytes = sizeof *this + TextBytes(Name());
    for (const auto& step : steps)
        bytes += step->Cost();
    return bytes;
}

CSite CCompoundStep::Where(bool undone) const
{
    if (hasSite || steps.empty()) return site;
    return steps.front()->Where(undone);
}

// ---- CTextStep ----

CTextStep::CTextStep(std::wstring name, const CSite& site, std::wstring before, std::wstring after)
    : CStep(std::move(name)), site(site), before(std::move(before)), after(std::move(after))
{
}

void CTextStep::Undo(CProjectChanges& changes)
{
    if (std::wstring* text = TextOf(site)) *text = before;
    changes.TellChanged(site);
}

void CTextStep::Redo(CProjectChanges& changes)
{
    if (std::wstring* text = TextOf(site)) *text = after;
    changes.TellChanged(site);
}

std::size_t CTextStep::Cost() const
{
    return sizeof *this + TextBytes(Name()) + TextBytes(before) + TextBytes(after);
}

CSite CTextStep::Where(bool) const
{
    return site;
}

bool CTextStep::Absorb(CStep& next)
{
    auto* text = dynamic_cast<CTextStep*>(&next);
    if (!text || !text->site.SameTarget(site) || text->Name() != Name()) return false;
    after = std::move(text->after);
    return true;
}

// ---- CPopupStep ----

CPopupStep::CPopupStep(std::wstring name, CItemLink& item, State before, State after,
                       std::unique_ptr<CPopup> spare)
    : CStep(std::move(name)), item(&item), before(std::move(before)), after(std::move(after)),
      spare(std::move(spare))
{
}

namespace {

// Gives the item the popup state: none, or a popup with the text (the spare one when it has
// none).
void ApplyPopup(CItemLink& item, const CPopupStep::State& state, std::unique_ptr<CPopup>& spare)
{
    if (!state.present) {
        if (item.popup) spare = std::move(item.popup);
        return;
    }
    if (!item.popup) {
        if (spare) {
            item.popup = std::move(spare);
        } else {
            item.SetPopupContent(state.text);
        }
    }
    item.popup->content = state.text;
}

} // namespace

void CPopupStep::Undo(CProjectChanges& changes)
{
    ApplyPopup(*item, before, spare);
    changes.TellChanged(Where(true));
}

void CPopupStep::Redo(CProjectChanges& changes)
{
    ApplyPopup(*item, after, spare);
    changes.TellChanged(Where(false));
}

std::size_t CPopupStep::Cost() const
{
    return sizeof *this + TextBytes(Name()) + TextBytes(before.text) + TextBytes(after.text) +
           (spare ? sizeof(CPopup) + TextBytes(spare->content) : 0);
}

CSite CPopupStep::Where(bool) const
{
    CSite site = NodeSite(kNodeItem, item);
    site.part = SitePart::Popup;
    return site;
}

bool CPopupStep::Absorb(CStep& next)
{
    auto* popup = dynamic_cast<CPopupStep*>(&next);
    // A write that takes the popup away stands alone, and so does the one after it: a popup
    // brought back by typing is a new one, as without the history.
    if (!popup || popup->item != item || popup->Name() != Name() || !after.present ||
        !popup->after.present)
        return false;
    after = std::move(popup->after);
    return true;
}

// ---- CIconStep ----

CIconStep::CIconStep(std::wstring name, CItemLink& item, std::shared_ptr<const CLinkIcon> before,
                     std::shared_ptr<const CLinkIcon> after)
    : CStep(std::move(name)), item(&item), before(std::move(before)), after(std::move(after))
{
}

void CIconStep::Undo(CProjectChanges& changes)
{
    item->icon = before;
    changes.TellChanged(Where(true));
}

void CIconStep::Redo(CProjectChanges& changes)
{
    item->icon = after;
    changes.TellChanged(Where(false));
}

std::size_t CIconStep::Cost() const
{
    // The icons count in full: the step may be all that keeps one.
    return sizeof *this + TextBytes(Name()) + (before ? before->Bytes().capacity() : 0) +
           (after ? after->Bytes().capacity() : 0);
}

CSite CIconStep::Where(bool) const
{
    CSite site = NodeSite(kNodeItem, item);
    site.part = SitePart::Icon;
    return site;
}

// ---- CKeptChunksStep ----

CKeptChunksStep::CKeptChunksStep(std::wstring name, CProject& project, CKeptChunks other)
    : CStep(std::move(name)), project(&project), other(std::move(other))
{
}

void CKeptChunksStep::Exchange(CProjectChanges& changes)
{
    std::swap(project->keptChunks, other);
    changes.TellChanged(Where(false));
}

void CKeptChunksStep::Undo(CProjectChanges& changes)
{
    Exchange(changes);
}

void CKeptChunksStep::Redo(CProjectChanges& changes)
{
    Exchange(changes);
}

std::size_t CKeptChunksStep::Cost() const
{
    std::size_t bytes = 0;
    for (const CKeptChunks::Chunk& chunk : other)
        bytes += 8 + static_cast<std::size_t>(chunk.length);
    return sizeof *this + TextBytes(Name()) + bytes;
}

CSite CKeptChunksStep::Where(bool) const
{
    return NodeSite(kNodeProject, project);
}

// ---- CNumberStep ----

CNumberStep::CNumberStep(std::wstring name, const CSite& site, std::int32_t before,
                         std::int32_t after)
    : CStep(std::move(name)), site(site), before(before), after(after)
{
}

void CNumberStep::Undo(CProjectChanges& changes)
{
    WriteNumber(site, before);
    changes.TellChanged(site);
}

void CNumberStep::Redo(CProjectChanges& changes)
{
    WriteNumber(site, after);
    changes.TellChanged(site);
}

std::size_t CNumberStep::Cost() const
{
    return sizeof *this + TextBytes(Name());
}

CSite CNumberStep::Where(bool) const
{
    return site;
}

// ---- CRowStep ----

template <typename Row>
CRowStep<Row>::CRowStep(std::wstring name, const CSite& site, std::size_t index, bool added,
                        std::unique_ptr<Row> removed)
    : CStep(std::move(name)), site(site), index(index), added(added), owned(std::move(removed))
{
}

template <typename Row> void CRowStep<Row>::Place(CProjectChanges& changes, bool in)
{
    auto& list = ListOf(site, static_cast<Row*>(nullptr));
    Row* row = RowOf(site, static_cast<Row*>(nullptr));
    if (in) {
        if (owned) list.Insert(owned.release(), index);
    } else if (!owned && list.Remove(row)) {
        owned.reset(row);
    }
    changes.TellChanged(site);
}

template <typename Row> void CRowStep<Row>::Undo(CProjectChanges& changes)
{
    Place(changes, !added);
}

template <typename Row> void CRowStep<Row>::Redo(CProjectChanges& changes)
{
    Place(changes, added);
}

template <typename Row> std::size_t CRowStep<Row>::Cost() const
{
    return sizeof *this + TextBytes(Name()) + RowBytes(*RowOf(site, static_cast<Row*>(nullptr)));
}

template <typename Row> CSite CRowStep<Row>::Where(bool undone) const
{
    // The row where it is in the project; the list alone where it is out.
    if (undone == added) {
        CSite list = site;
        if (site.part == SitePart::Options) {
            list.option = nullptr;
        } else {
            list.link = nullptr;
            list.field = nullptr;
        }
        return list;
    }
    return site;
}

template class CRowStep<CItemLink::CLink>;
template class CRowStep<CItemForm::CField>;
template class CRowStep<CItemForm::COption>;

// ---- CNodeStep ----

CNodeStep::CNodeStep(std::wstring name, std::int32_t kind, CStreamable* node, CStreamable* parent,
                     std::size_t index, bool inserted, CDetachedNode taken)
    : CStep(std::move(name)), kind(kind), node(node), parent(parent), index(index),
      inserted(inserted), owned(std::move(taken)), cost(sizeof *this + BranchBytes(kind, node))
{
}

void CNodeStep::Place(CProjectChanges& changes, bool in)
{
    if (in) {
        if (!owned.Get()) return;
        owned.PutBack(parent, index);
        changes.TellInserted(kind, node);
    } else {
        if (owned.Get()) return;
        changes.TellRemoving(kind, node);
        owned = CDetachedNode::Take(kind, node);
    }
}

void CNodeStep::Undo(CProjectChanges& changes)
{
    Place(changes, !inserted);
}

void CNodeStep::Redo(CProjectChanges& changes)
{
    Place(changes, inserted);
}

std::size_t CNodeStep::Cost() const
{
    return cost + TextBytes(Name());
}

CSite CNodeStep::Where(bool undone) const
{
    // The node where it is in the project, else its parent.
    if (undone == inserted) return NodeSite(kind - 1, parent);
    return NodeSite(kind, node);
}

// ---- CMoveStep ----

CMoveStep::CMoveStep(std::wstring name, std::int32_t kind, CStreamable* node,
                     CStreamable* fromParent, std::size_t fromIndex, CStreamable* toParent,
                     std::size_t toIndex)
    : CStep(std::move(name)), kind(kind), node(node), fromParent(fromParent), fromIndex(fromIndex),
      toParent(toParent), toIndex(toIndex)
{
}

void MoveNodeTo(CProjectChanges& changes, std::int32_t kind, CStreamable* node, CStreamable* parent,
                std::size_t index)
{
    CDetachedNode taken = CDetachedNode::Take(kind, node);
    if (!taken.Get()) return;
    taken.PutBack(parent, index);
    changes.TellMoved(kind, node);
}

void CMoveStep::Undo(CProjectChanges& changes)
{
    MoveNodeTo(changes, kind, node, fromParent, fromIndex);
}

void CMoveStep::Redo(CProjectChanges& changes)
{
    MoveNodeTo(changes, kind, node, toParent, toIndex);
}

std::size_t CMoveStep::Cost() const
{
    return sizeof *this + TextBytes(Name());
}

CSite CMoveStep::Where(bool) const
{
    return NodeSite(kind, node);
}
