// The one way the project is changed while it is edited: every change goes through here, which
// changes the model, records the step in the history, marks the project modified and tells the
// observer (the main window) what to refresh. Undo and redo come back through here too.
#pragma once

#include "edit/change_observer.h"
#include "edit/history.h"
#include "edit/node_places.h"
#include "edit/site.h"
#include "import/html_import.h"
#include "model/item_form.h"
#include "model/item_link.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CProject;
class CStream;
class CCompoundStep;

class CProjectChanges
{
public:
    explicit CProjectChanges(CProject& project, std::size_t historyLimit = CHistory::kDefaultLimit);
    ~CProjectChanges();
    CProjectChanges(const CProjectChanges&) = delete;
    CProjectChanges& operator=(const CProjectChanges&) = delete;

    // The observer told of every change from now on; null for none. Not owned.
    void SetObserver(IChangeObserver* changeObserver) { observer = changeObserver; }
    CProject& Project() const { return *project; }
    CHistory& History() { return history; }

    // Writes the text a site names (a title, caption, main or further link text, divider,
    // popup, form name or address, field name or value, option text or value). Writes into the
    // same text follow one another as one "typing" step until something seals it. A write that
    // changes nothing records nothing, but still marks the project modified. An empty popup
    // text removes the popup; bringing the text back brings the same popup back.
    void SetText(const CSite& site, const std::wstring& text);
    // Sets a form's method, a field's type or a field's hidden flag (0 or 1).
    void SetNumber(const CSite& site, std::int32_t value);

    // Gives a link item's main link the icon, or takes its icon away (null) ("set icon",
    // "clear icon"). Setting the icon it has records nothing.
    void SetIcon(CItemLink& item, std::shared_ptr<const CLinkIcon> icon);

    // Fills the item's main link while its URL is empty (returning null), otherwise appends a
    // further link and returns it.
    CItemLink::CLink* AddLink(CItemLink& item, const std::wstring& caption,
                              const std::wstring& url);
    void RemoveLink(CItemLink& item, CItemLink::CLink* link);
    CItemForm::CField* AddField(CItemForm& form, std::int32_t type, const std::wstring& name,
                                const std::wstring& value, std::int32_t size);
    void RemoveField(CItemForm& form, CItemForm::CField* field);
    CItemForm::COption* AddOption(CItemForm& form, CItemForm::CField& field,
                                  const std::wstring& text, const std::wstring& value);
    void RemoveOption(CItemForm& form, CItemForm::CField& field, CItemForm::COption* option);

    // Puts a branch that is out of the project at `index` under `parent`; `name` names the step
    // ("add column").
    void InsertNode(CDetachedNode branch, CStreamable* parent, std::size_t index,
                    const std::wstring& name);
    // Takes a column, group or item with everything below it out of the project; `name` names
    // the step ("delete", "cut").
    void RemoveNode(std::int32_t kind, CStreamable* node, const std::wstring& name = L"delete");
    // Puts branches that are out of the project, all of one kind, at `index` under `parent` in
    // their order, as one step named `name` ("paste", "drop"); returns the nodes put in.
    std::vector<CStreamable*> InsertNodes(std::vector<CDetachedNode> branches, CStreamable* parent,
                                          std::size_t index, const std::wstring& name);
    // Moves a column, group or item to `index` among the children of `parent` (counted without
    // the node itself) ("move"). A move to where it is records nothing.
    void MoveNode(std::int32_t kind, CStreamable* node, CStreamable* parent, std::size_t index);
    // Reads an HTML file into the project as one step ("read HTML file"): a page with an <html>
    // tag takes the place of the columns, anything else adds its columns after them. The
    // project ends as the import alone would leave it, but the columns that were there are the
    // same objects, and undo brings them back.
    HtmlImportResult ReadHtml(CStream& stream);
    // Takes what a bookmark file brings instead of adding it: the columns it was read into, out
    // of the project, in their order. It puts what it wants of them into the project through
    // this change path, within the read's step; what it leaves in the vector is destroyed.
    using BookmarkColumns = std::function<void(std::vector<CDetachedNode>& columns)>;
    // The same, but a bookmark file's columns go to `bookmarks`; the project is marked modified
    // only by what it changes.
    HtmlImportResult ReadHtml(CStream& stream, const BookmarkColumns& bookmarks);
    // Puts everything `source` holds (columns, title, page style, unknown chunks) in place of
    // what the project holds, as one step named `name` ("reload from disk"); `source` is left
    // empty. Undo brings the project's own nodes back, the same objects.
    void ReplaceProject(CProject& source, const std::wstring& name);

    // Everything done between Begin and End is one step named `name`; they nest, the outermost
    // pair counts. A group in which nothing changed records nothing.
    void BeginStep(const std::wstring& name);
    void EndStep();

    // Ends the joining of typing: a command, a selection change.
    void Seal() { history.Seal(); }
    // Undoes or redoes one step and tells the observer where; false when there is none.
    bool Undo();
    bool Redo();
    // Undoes the newest step and forgets it, so that it can neither be undone nor redone: as if
    // it had never been done (Escape after F2 and typing). False when there is no step.
    bool Withdraw();
    // What an undo or redo would undo or redo ("typing", "delete"); empty when there is none.
    std::wstring UndoName() const;
    std::wstring RedoName() const;

    // For the steps: mark the project modified and tell the observer, nothing recorded.
    void TellChanged(const CSite& site);
    void TellRemoving(std::int32_t kind, CStreamable* node);
    void TellInserted(std::int32_t kind, CStreamable* node);
    void TellMoved(std::int32_t kind, CStreamable* node);

private:
    // Records a step just done: into the open group, or the history.
    void Record(std::unique_ptr<CStep> step, bool open = false);

    CProject* project; // not owned
    CHistory history;
    IChangeObserver* observer = nullptr;  // not owned
    std::unique_ptr<CCompoundStep> group; // the step being grouped
    int groupDepth = 0;
};

// Ends a step group with the scope.
class CStepScope
{
public:
    CStepScope(CProjectChanges& changes, const std::wstring& name) : changes(changes)
    {
        changes.BeginStep(name);
    }
    ~CStepScope() { changes.EndStep(); }
    CStepScope(const CStepScope&) = delete;
    CStepScope& operator=(const CStepScope&) = delete;

private:
    CProjectChanges& changes;
};
