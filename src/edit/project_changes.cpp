#include "edit/project_changes.h"

#include "edit/steps.h"
#include "model/project.h"

#include <utility>
#include <vector>

namespace {

const wchar_t kTyping[] = L"typing";

CSite NodeSite(std::int32_t kind, CStreamable* node)
{
    CSite site;
    site.kind = kind;
    site.node = node;
    return site;
}

CSite RowSite(std::int32_t kind, CStreamable* node, SitePart part)
{
    CSite site = NodeSite(kind, node);
    site.part = part;
    return site;
}

const wchar_t* NumberStepName(SitePart part)
{
    switch (part) {
    case SitePart::Method:
        return L"method change";
    case SitePart::FieldType:
        return L"type change";
    case SitePart::PageStyle:
        return L"page style change";
    default:
        return L"hidden change";
    }
}

} // namespace

CProjectChanges::CProjectChanges(CProject& project, std::size_t historyLimit)
    : project(&project), history(historyLimit)
{
}

CProjectChanges::~CProjectChanges() = default;

void CProjectChanges::SetText(const CSite& site, const std::wstring& text)
{
    project->modified = true;
    if (site.part == SitePart::Popup) {
        auto* item = static_cast<CItemLink*>(site.node);
        CPopupStep::State before{item->popup != nullptr,
                                 item->popup ? item->popup->content : std::wstring()};
        CPopupStep::State after{!text.empty(), text};
        if (before.present == after.present && before.text == after.text) return;
        std::unique_ptr<CPopup> spare;
        if (text.empty()) {
            spare = std::move(item->popup);
        } else {
            item->SetPopupContent(text);
        }
        TellChanged(site);
        Record(std::make_unique<CPopupStep>(kTyping, *item, std::move(before), std::move(after),
                                            std::move(spare)),
               true);
        return;
    }
    std::wstring* field = TextOf(site);
    if (!field || *field == text) return;
    std::wstring before = std::move(*field);
    *field = text;
    TellChanged(site);
    Record(std::make_unique<CTextStep>(kTyping, site, std::move(before), text), true);
}

void CProjectChanges::SetNumber(const CSite& site, std::int32_t value)
{
    project->modified = true;
    std::int32_t before = 0;
    if (!ReadNumber(site, before)) return;
    if (site.part == SitePart::FieldHidden) value = value != 0 ? 1 : 0;
    if (before == value) return;
    WriteNumber(site, value);
    TellChanged(site);
    Record(std::make_unique<CNumberStep>(NumberStepName(site.part), site, before, value));
}

void CProjectChanges::SetIcon(CItemLink& item, std::shared_ptr<const CLinkIcon> icon)
{
    if (item.icon == icon || (item.icon && icon && *item.icon == *icon)) return;
    std::shared_ptr<const CLinkIcon> before = std::move(item.icon);
    item.icon = icon;
    CSite site = RowSite(kNodeItem, &item, SitePart::Icon);
    TellChanged(site);
    Record(std::make_unique<CIconStep>(icon ? L"set icon" : L"clear icon", item, std::move(before),
                                       std::move(icon)));
}

CItemLink::CLink* CProjectChanges::AddLink(CItemLink& item, const std::wstring& caption,
                                           const std::wstring& url)
{
    if (item.mainLink.url.empty()) {
        // The item's own link takes the texts: one step of two text writes.
        CStepScope scope(*this, L"add link");
        SetText(RowSite(kNodeItem, &item, SitePart::MainCaption), caption);
        SetText(RowSite(kNodeItem, &item, SitePart::MainUrl), url);
        return nullptr;
    }
    CItemLink::CLink* link = item.AddLink(caption, url);
    CSite site = RowSite(kNodeItem, &item, SitePart::Links);
    site.link = link;
    TellChanged(site);
    Record(std::make_unique<CRowStep<CItemLink::CLink>>(L"add link", site, item.links.size() - 1,
                                                        true, nullptr));
    return link;
}

void CProjectChanges::RemoveLink(CItemLink& item, CItemLink::CLink* link)
{
    const std::size_t index = item.links.IndexOf(link);
    if (index == item.links.size()) return;
    item.links.Remove(link);
    CSite site = RowSite(kNodeItem, &item, SitePart::Links);
    site.link = link;
    TellChanged(site);
    Record(std::make_unique<CRowStep<CItemLink::CLink>>(L"remove link", site, index, false,
                                                        std::unique_ptr<CItemLink::CLink>(link)));
}

CItemForm::CField* CProjectChanges::AddField(CItemForm& form, std::int32_t type,
                                             const std::wstring& name, const std::wstring& value,
                                             std::int32_t size)
{
    CItemForm::CField* field = form.AddField(type, name, value, size);
    CSite site = RowSite(kNodeItem, &form, SitePart::Fields);
    site.field = field;
    TellChanged(site);
    Record(std::make_unique<CRowStep<CItemForm::CField>>(L"add field", site, form.fields.size() - 1,
                                                         true, nullptr));
    return field;
}

void CProjectChanges::RemoveField(CItemForm& form, CItemForm::CField* field)
{
    const std::size_t index = form.fields.IndexOf(field);
    if (index == form.fields.size()) return;
    form.fields.Remove(field);
    CSite site = RowSite(kNodeItem, &form, SitePart::Fields);
    site.field = field;
    TellChanged(site);
    Record(std::make_unique<CRowStep<CItemForm::CField>>(
        L"remove field", site, index, false, std::unique_ptr<CItemForm::CField>(field)));
}

CItemForm::COption* CProjectChanges::AddOption(CItemForm& form, CItemForm::CField& field,
                                               const std::wstring& text, const std::wstring& value)
{
    CItemForm::COption* option = field.AddOption(text, value);
    CSite site = RowSite(kNodeItem, &form, SitePart::Options);
    site.field = &field;
    site.option = option;
    TellChanged(site);
    Record(std::make_unique<CRowStep<CItemForm::COption>>(L"add option", site,
                                                          field.options.size() - 1, true, nullptr));
    return option;
}

void CProjectChanges::RemoveOption(CItemForm& form, CItemForm::CField& field,
                                   CItemForm::COption* option)
{
    const std::size_t index = field.options.IndexOf(option);
    if (index == field.options.size()) return;
    field.options.Remove(option);
    CSite site = RowSite(kNodeItem, &form, SitePart::Options);
    site.field = &field;
    site.option = option;
    TellChanged(site);
    Record(std::make_unique<CRowStep<CItemForm::COption>>(
        L"remove option", site, index, false, std::unique_ptr<CItemForm::COption>(option)));
}

void CProjectChanges::InsertNode(CDetachedNode branch, CStreamable* parent, std::size_t index,
                                 const std::wstring& name)
{
    CStreamable* node = branch.Get();
    if (!node || !parent) return;
    const std::int32_t kind = branch.Kind();
    branch.PutBack(parent, index);
    TellInserted(kind, node);
    Record(std::make_unique<CNodeStep>(name, kind, node, parent, IndexOf(kind, node), true,
                                       CDetachedNode()));
}

std::vector<CStreamable*> CProjectChanges::InsertNodes(std::vector<CDetachedNode> branches,
                                                       CStreamable* parent, std::size_t index,
                                                       const std::wstring& name)
{
    std::vector<CStreamable*> inserted;
    if (!parent) return inserted;
    inserted.reserve(branches.size());
    CStepScope scope(*this, name);
    for (CDetachedNode& branch : branches) {
        CStreamable* node = branch.Get();
        if (!node) continue;
        const std::int32_t kind = branch.Kind();
        InsertNode(std::move(branch), parent, index, name);
        // At the end when `index` lay beyond it.
        index = IndexOf(kind, node) + 1;
        inserted.push_back(node);
    }
    return inserted;
}

void CProjectChanges::RemoveNode(std::int32_t kind, CStreamable* node, const std::wstring& name)
{
    CStreamable* parent = node ? ParentOf(kind, node) : nullptr;
    if (!parent) return;
    const std::size_t index = IndexOf(kind, node);
    if (index == ChildCount(kind, parent)) return;
    TellRemoving(kind, node);
    CDetachedNode taken = CDetachedNode::Take(kind, node);
    Record(std::make_unique<CNodeStep>(name, kind, node, parent, index, false, std::move(taken)));
}

void CProjectChanges::MoveNode(std::int32_t kind, CStreamable* node, CStreamable* parent,
                               std::size_t index)
{
    CStreamable* from = node ? ParentOf(kind, node) : nullptr;
    if (!from || !parent) return;
    const std::size_t fromIndex = IndexOf(kind, node);
    if (fromIndex == ChildCount(kind, from)) return;
    if (from == parent && index >= ChildCount(kind, parent) - 1)
        index = ChildCount(kind, parent) - 1;
    if (from == parent && fromIndex == index) return;
    MoveNodeTo(*this, kind, node, parent, index);
    Record(std::make_unique<CMoveStep>(L"move", kind, node, from, fromIndex, parent,
                                       IndexOf(kind, node)));
}

HtmlImportResult CProjectChanges::ReadHtml(CStream& stream)
{
    return ReadHtml(stream, BookmarkColumns());
}

HtmlImportResult CProjectChanges::ReadHtml(CStream& stream, const BookmarkColumns& bookmarks)
{
    CStepScope scope(*this, L"read HTML file");
    // The columns leave the project for the import, which then only adds: a page that replaces
    // them would destroy them, and steps may still refer to them. The window is told once the
    // import has shown whether they come back.
    std::vector<CColumn*> before;
    before.reserve(project->columns.size());
    for (CColumn* column : project->columns)
        before.push_back(column);
    std::vector<CDetachedNode> taken;
    taken.reserve(before.size());
    for (CColumn* column : before)
        taken.push_back(CDetachedNode::Take(kNodeColumn, column));
    const std::wstring title = project->title;
    const PageStyle style = project->pageStyle;
    HtmlImportResult result = ImportPageOrBookmarks(*project, stream);
    std::vector<CDetachedNode> added;
    added.reserve(project->columns.size());
    while (!project->columns.empty())
        added.push_back(CDetachedNode::Take(kNodeColumn, project->columns.front()));

    if (result.replacedColumns) {
        // The old columns go, one removal each, owned by the step from now on. Recorded last
        // column first, so that undoing puts each back at its index in order.
        for (std::size_t i = taken.size(); i-- > 0;) {
            TellRemoving(kNodeColumn, before[i]);
            Record(std::make_unique<CNodeStep>(L"delete", kNodeColumn, before[i], project, i, false,
                                               std::move(taken[i])));
        }
    } else {
        for (std::size_t i = 0; i < taken.size(); ++i)
            taken[i].PutBack(project, i);
    }
    const bool handOver = bookmarks && result.kind == HtmlFileKind::Bookmarks;
    if (handOver) {
        bookmarks(added);
        added.clear();
    }
    const std::size_t first = project->columns.size();
    for (std::size_t i = 0; i < added.size(); ++i)
        InsertNode(std::move(added[i]), project, first + i, L"add column");
    if (project->title != title) {
        std::wstring after = project->title;
        project->title = title;
        SetText(RowSite(kNodeProject, project, SitePart::Title), after);
    }
    if (project->pageStyle != style) {
        // A Modern page makes the project Modern.
        const PageStyle after = project->pageStyle;
        project->pageStyle = style;
        SetNumber(RowSite(kNodeProject, project, SitePart::PageStyle),
                  static_cast<std::int32_t>(after));
    }
    // The import may have changed the project even where it stopped early; what a bookmark file
    // handed over changed only what its steps did.
    if (!handOver) project->modified = true;
    if (group) group->SetSite(NodeSite(kNodeProject, project));
    return result;
}

void CProjectChanges::ReplaceProject(CProject& source, const std::wstring& name)
{
    CStepScope scope(*this, name);
    // Last column first, as ReadHtml records its removals, so that undoing puts each back at its
    // index in order.
    for (std::size_t i = project->columns.size(); i-- > 0;)
        RemoveNode(kNodeColumn, project->columns[i], L"delete");
    for (std::size_t i = 0; !source.columns.empty(); ++i)
        InsertNode(CDetachedNode::Take(kNodeColumn, source.columns.front()), project, i,
                   L"add column");
    SetText(RowSite(kNodeProject, project, SitePart::Title), source.title);
    if (project->pageStyle != source.pageStyle)
        SetNumber(RowSite(kNodeProject, project, SitePart::PageStyle),
                  static_cast<std::int32_t>(source.pageStyle));
    if (!project->keptChunks.empty() || !source.keptChunks.empty()) {
        CKeptChunks own = std::move(project->keptChunks);
        project->keptChunks = std::move(source.keptChunks);
        TellChanged(NodeSite(kNodeProject, project));
        Record(std::make_unique<CKeptChunksStep>(name, *project, std::move(own)));
    }
    source.title.clear();
    source.keptChunks = CKeptChunks();
    if (group) group->SetSite(NodeSite(kNodeProject, project));
}

void CProjectChanges::BeginStep(const std::wstring& name)
{
    if (groupDepth++ == 0) {
        history.Seal();
        group = std::make_unique<CCompoundStep>(name);
    }
}

void CProjectChanges::EndStep()
{
    if (groupDepth == 0 || --groupDepth > 0) return;
    std::unique_ptr<CCompoundStep> done = std::move(group);
    if (!done->Empty()) history.Push(std::move(done), false);
    history.Seal();
}

bool CProjectChanges::Undo()
{
    CStep* step = history.NextUndo();
    if (!step || groupDepth > 0) return false;
    step->Undo(*this);
    history.StepBack();
    project->modified = true;
    if (observer) observer->StepShown(step->Where(true));
    return true;
}

bool CProjectChanges::Redo()
{
    CStep* step = history.NextRedo();
    if (!step || groupDepth > 0) return false;
    step->Redo(*this);
    history.StepForward();
    project->modified = true;
    if (observer) observer->StepShown(step->Where(false));
    return true;
}

bool CProjectChanges::Withdraw()
{
    if (!Undo()) return false;
    history.DropRedoable();
    return true;
}

std::wstring CProjectChanges::UndoName() const
{
    const CStep* step = history.NextUndo();
    return step ? step->Name() : std::wstring();
}

std::wstring CProjectChanges::RedoName() const
{
    const CStep* step = history.NextRedo();
    return step ? step->Name() : std::wstring();
}

void CProjectChanges::TellChanged(const CSite& site)
{
    project->modified = true;
    if (observer) observer->NodeChanged(site);
}

void CProjectChanges::TellRemoving(std::int32_t kind, CStreamable* node)
{
    project->modified = true;
    if (observer) observer->NodeRemoving(kind, node);
}

void CProjectChanges::TellInserted(std::int32_t kind, CStreamable* node)
{
    project->modified = true;
    if (observer) observer->NodeInserted(kind, node);
}

void CProjectChanges::TellMoved(std::int32_t kind, CStreamable* node)
{
    project->modified = true;
    if (observer) observer->NodeMoved(kind, node);
}

void CProjectChanges::Record(std::unique_ptr<CStep> step, bool open)
{
    if (group) {
        group->Add(std::move(step));
        return;
    }
    history.Push(std::move(step), open);
}
