// Rebuilds a project from a Modern homepage of ours: the header's h1 is the title, each section
// of class "col" a column with its heading as caption, each section of class "grp" inside it a
// group with its heading, each list item a link item (anchors, the text between them as divider,
// the "tip" block as popup) or a form item (inputs and selects in labels, a submit button). A
// section of class "tab" holds the columns of the tab its h2 names. Captions, dividers, option
// texts and popups are taken as the markup source they stand in, so that a page gives back
// exactly the project that wrote it; what the page adds for sight and screen readers (a stand-in
// title, an address after a caption that shows no text) is left out again. Foreign markup is
// passed over.
#pragma once

#include "import/html_parser.h"
#include "model/item_form.h"
#include "model/link_icon.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CColumn;
class CGroup;
class CItem;
class CItemLink;
class CProject;

class CModernPageParser : public CHTMLParser
{
public:
    // Works on `project` in place, appending what it reads. The html element, as on a Classic
    // page, drops the columns read so far; it also clears the title and makes the project Modern.
    explicit CModernPageParser(CProject& project);
    ~CModernPageParser();

    // What the open sections take in memory (for tests of very deep nesting).
    std::size_t SectionStackBytes() const { return sections.capacity(); }
    // True once an <html> tag emptied the project's columns.
    bool ReplacedColumns() const { return replacedColumns; }

protected:
    void OnTag(const char* content, std::int32_t length) override;
    void OnText(const char* text, std::int32_t length) override;
    void OnEnd() override;

private:
    enum class Section : std::uint8_t
    {
        Other,
        Tab,
        Column,
        Group,
    };
    // What the markup source being collected becomes once its element closes.
    enum class Capture
    {
        None,
        Title,
        ColumnCaption,
        GroupCaption,
        TabName,
        Anchor,
        Popup,
        Option,
    };

    void StartTag(std::string_view name, const TagAttributes& attributes);
    void EndTag(std::string_view name);
    void StartCapture(Capture what, std::string_view element);
    // Takes one tag while collecting; false when it closed the collected element.
    bool CaptureTag(const char* content, std::int32_t length);
    bool TakeIcon(std::string_view tag);
    void EndCapture();
    void StartItem();
    void EndItem();
    Section InnerSection() const;
    CItemLink* CurrentLink() const;

    CProject* project; // not owned

    // Views into the project, none at the start; not owned.
    CColumn* currentColumn = nullptr;
    CGroup* currentGroup = nullptr;
    CItem* currentItem = nullptr;
    CItemForm::CField* currentSelect = nullptr;
    CItemForm::COption* currentOption = nullptr;

    std::vector<Section> sections; // the open section elements, innermost last
    bool inHead = false;
    bool inItem = false; // inside a list item of a group
    bool inForm = false;
    std::size_t anchors = 0; // anchors read in the current item

    Capture capture = Capture::None;
    std::string captureElement;     // the collected element's lower-case name
    std::size_t captureNesting = 0; // elements of that name opened inside it
    std::string captured;
    // The markup after an item's anchor, which is the divider once another anchor follows.
    bool collectingDivider = false;
    std::string divider;
    std::wstring pendingHref;
    bool pendingAddress = false; // the anchor's caption is followed by its host and path
    std::wstring currentTab;     // the name of the tab section the columns are in
    std::shared_ptr<const CLinkIcon> pendingIcon; // opened the main link's anchor

    // Reused for every tag.
    TagAttributes attributes;
    std::string lowerName;
    bool replacedColumns = false;
};
