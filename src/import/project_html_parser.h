// Rebuilds a project from a homepage of the program's own layout: header cells become columns,
// the tables in the body cells groups, anchors link items, forms form items, and the hidden popup
// blocks after the table the popups of the link items whose spans name them.
#pragma once

#include "import/html_parser.h"
#include "import/text_buffer.h"
#include "model/item_form.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CColumn;
class CGroup;
class CItem;
class CItemLink;
class CProject;

// The context that holds inside an open element.
enum class ImportContext
{
    Outside = 0,    // the top level, or elements without meaning
    PageTable = 1,  // the page table (header cells, rows)
    ColumnCell = 2, // a page-table body cell: one column
    GroupTable = 3, // a group box table
    ItemCell = 4,   // an item cell of a group table
    Form = 6,
    Select = 8,
    Option = 9,
    PopupDiv = 10,   // a popup block's div
    PopupTable = 11, // the popup block's table
    PopupRow = 12,
    PopupCell = 13, // the cell whose inner HTML is the popup content
};

// The element names the import acts on, told apart once per tag.
enum class TagName : std::uint8_t
{
    Other,
    Html,
    Title,
    Table,
    Tr,
    Th,
    Td,
    P,
    Div,
    Form,
    Input,
    Select,
    Option,
    A,
    Span,
    Br,
    Img
};

class CProjectHTMLParser : public CHTMLParser
{
public:
    // Works on `project` in place, appending what it reads.
    explicit CProjectHTMLParser(CProject& project);
    ~CProjectHTMLParser();

    // What the open elements take in memory (for tests of very deep nesting).
    std::size_t ElementStackBytes() const
    {
        return stack.capacity() * sizeof(OpenElement) + stackNames.capacity();
    }
    // True once an <html> tag emptied the project's columns.
    bool ReplacedColumns() const { return replacedColumns; }

protected:
    void OnTag(const char* content, std::int32_t length) override;
    void OnText(const char* text, std::int32_t length) override;
    void OnEnd() override;

private:
    struct PopupRef
    {
        std::string id;
        CItemLink* item; // not owned
    };
    struct PopupDef
    {
        std::string id;
        std::string html;
    };
    // The element stack keeps its names in one byte string, so that deep nesting costs a few
    // bytes per element rather than a string each.
    struct OpenElement
    {
        std::uint32_t nameStart;
        std::uint32_t nameLength : 20; // a tag fits into the tokenizer's 512 KB buffer
        std::uint32_t context : 4;     // an ImportContext
        std::uint32_t tag : 8;         // a TagName
    };
    // A tag's name and what it is.
    struct Name
    {
        std::string_view text;
        TagName tag;
    };

    void StartTag(Name name, const TagAttributes& attributes);
    void EndTag(Name name);
    void Anchor(const TagAttributes& attributes);
    void Span(const TagAttributes& attributes);
    void Push(Name name, ImportContext context);
    void PopTo(Name name);
    ImportContext Context() const;
    // The context of the entry below the top, if there is one.
    bool BelowTopIs(ImportContext context) const;
    bool TopIs(Name name) const;
    bool Named(const OpenElement& element, Name name) const;
    CItemLink* CurrentLink() const;
    void ForgetNodes();

    CProject* project; // not owned

    std::vector<OpenElement> stack;
    std::string stackNames;

    // Views into the project, none at the start; not owned.
    CColumn* currentColumn = nullptr;
    CGroup* currentGroup = nullptr;
    CItem* currentItem = nullptr;
    CItemForm::CField* currentSelect = nullptr;
    CItemForm::COption* lastOption = nullptr;

    std::wstring pendingHref;
    bool iconPlace = false; // in the main link's anchor, where its icon may stand
    std::string popupName;
    std::string popupHtml; // collected since the popup block's div started
    std::vector<PopupRef> popupRefs;
    std::vector<PopupDef> popupDefs;
    // The definition of the current popup block, once one of its cells has closed.
    static constexpr std::size_t kNoDefinition = static_cast<std::size_t>(-1);
    std::size_t blockDefinition = kNoDefinition;
    CTextBuffer pendingText;
    CTextBuffer precedingText;
    std::size_t nextColumn = 0;
    bool replacedColumns = false;

    // Reused for every tag.
    TagAttributes attributes;
    std::string lowerName;
};
