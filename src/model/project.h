// The container levels of the project tree: the project, its columns and their groups.
// Nodes below the project are created on the heap with their parent's reference; the constructor
// hands the node to the parent, which owns it from then on.
#pragma once

#include "model/owned_list.h"
#include "model/streamable.h"

#include <string>
#include <vector>

class CColumn;
class CGroup;
class CItem;

// How the homepage looks. Classic is the bordered table every project had before; a project file
// says nothing of the style while it is Classic. Values that a later version may add are kept as
// read, so that a save gives them back, and are written as Classic pages.
enum class PageStyle : std::int32_t
{
    Classic = 0,
    Modern = 1,
};

class CProject : public CStreamable
{
public:
    bool modified = false; // changed since loaded or saved
    std::wstring title;
    PageStyle pageStyle = PageStyle::Classic;
    COwnedList<CColumn> columns;

    CProject();

    std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
    void WriteChunks(CStructStream& writer) override;
    // Writes the file header, then the chunks; clears `modified`.
    void Save(CStructStream& writer) override;
    // Discards the columns and the page style, checks the header, reads the chunks.
    std::int32_t Load(CStream& source, std::int32_t size) override;
    virtual ~CProject();

    void RemoveChild(CColumn* child) { columns.Remove(child); }
    void DeleteChildren() { columns.DeleteAll(); }
    void MoveChildAfter(CColumn* child, CColumn* after) { columns.MoveAfter(child, after); }
    // Unlinks and destroys one of this project's columns, and marks the project modified. A
    // column that is not in the list (another project's, or one unlinked before) is refused:
    // false, and nothing is destroyed or marked.
    bool DeleteColumn(CColumn* column);
};

class CColumn : public CStreamable
{
public:
    CProject* parent; // not owned
    std::wstring caption;
    // The tab of the Modern page the column shows on; empty for every tab. Plain text, not
    // markup. The Classic page has no tabs.
    std::wstring tab;
    COwnedList<CGroup> groups;

    // Appends the new column to the parent's columns.
    explicit CColumn(CProject& parent);
    CColumn(CProject& parent, const std::wstring& caption);

    std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
    void WriteChunks(CStructStream& writer) override;
    virtual ~CColumn();

    void RemoveChild(CGroup* child) { groups.Remove(child); }
    void DeleteChildren() { groups.DeleteAll(); }
    void MoveChildAfter(CGroup* child, CGroup* after) { groups.MoveAfter(child, after); }
};

class CGroup : public CStreamable
{
public:
    CColumn* parent; // not owned
    std::wstring caption;
    COwnedList<CItem> items; // link and form items mixed, in page order

    // Appends the new group to the parent's groups.
    explicit CGroup(CColumn& parent);
    CGroup(CColumn& parent, const std::wstring& caption);

    std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
    void WriteChunks(CStructStream& writer) override;
    virtual ~CGroup();

    void RemoveChild(CItem* child);
    void DeleteChildren();
    void MoveChildAfter(CItem* child, CItem* after);
};

// The tab a column shows on, as the page and the column pane name it: its tab without white
// space at either end; empty when the column shows on every tab.
std::wstring ShownTab(const CColumn& column);
// The tabs the project's columns name, each once, in the order of their first column.
std::vector<std::wstring> TabsInUse(const CProject& project);
