// The link pane: the item's own texts, its popup and its list of further links.
#include "pane_fixture.h"

#include "resources/resource.h"

namespace {

class LinkPaneTest : public OnePaneTest<CdlgPropItemLink>
{
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        Bind(editor->linkPane, link);
        list = Item(IDC_LINK_LIST);
    }

    HWND list = nullptr;
};

} // namespace

TEST_F(LinkPaneTest, BindingShowsTheItemAndMarksNothing)
{
    SetTreeLabel(kNodeItem, link, L"untouched");
    Show(*pane, link);
    EXPECT_EQ(TreeLabel(kNodeItem, link), L"untouched") << "binding relabels nothing";
    EXPECT_EQ(Text(Item(IDC_LINK_CAPTION)), L"Wikipedia");
    EXPECT_EQ(Text(Item(IDC_LINK_URL)), L"https://en.wikipedia.org/");
    EXPECT_EQ(Text(Item(IDC_LINK_DIVIDER)), L" | ");
    EXPECT_EQ(Text(Item(IDC_LINK_POPUP)), L"The free encyclopedia");
    ASSERT_EQ(listrows::Count(list), 2);
    EXPECT_EQ(Cell(list, 0, 0), L"Deutsch");
    EXPECT_EQ(Cell(list, 1, 1), L"https://fr.wikipedia.org/");
    EXPECT_EQ(listrows::Selected(list), -1);
    EXPECT_EQ(pane->currentLink, nullptr);
    EXPECT_FALSE(Enabled(Item(IDC_LINK_ROW_CAPTION)));
    EXPECT_FALSE(Enabled(Item(IDC_LINK_ROW_URL)));
    EXPECT_FALSE(Enabled(Item(IDC_LINK_REMOVE)));
    EXPECT_FALSE(project.modified);

    // An item without popup or further links shows empty controls, not the previous item's.
    auto* bare = new CItemLink(*group, L"Bare", L""); // owned by the group
    pane->SetNode(bare);
    EXPECT_EQ(Text(Item(IDC_LINK_POPUP)), L"");
    EXPECT_EQ(listrows::Count(list), 0);
    EXPECT_FALSE(project.modified);
}

TEST_F(LinkPaneTest, TypingWritesTheMainLinkAndDivider)
{
    Type(Item(IDC_LINK_CAPTION), L"Wikipedia EN");
    EXPECT_EQ(link->mainLink.caption, L"Wikipedia EN");
    EXPECT_EQ(TreeLabel(kNodeItem, link), L"Wikipedia EN");
    EXPECT_TRUE(project.modified);
    Type(Item(IDC_LINK_URL), L"https://en.m.wikipedia.org/");
    EXPECT_EQ(link->mainLink.url, L"https://en.m.wikipedia.org/");
    Type(Item(IDC_LINK_DIVIDER), L"");
    EXPECT_EQ(link->divider, L"");
    Type(Item(IDC_LINK_CAPTION), L"");
    EXPECT_EQ(TreeLabel(kNodeItem, link), L"en.m.wikipedia.org")
        << "a link without a caption is called by its address, as a pasted one is captioned";
    EXPECT_EQ(link->links.size(), 2u) << "the further links are not touched";
}

TEST_F(LinkPaneTest, ThePopupEditCreatesKeepsAndDestroysThePopup)
{
    HWND popup = Item(IDC_LINK_POPUP);
    std::int32_t first = link->popup->id;
    Type(popup, L"Encyclopedia");
    ASSERT_TRUE(link->popup);
    EXPECT_EQ(link->popup->id, first) << "an existing popup keeps its number";
    EXPECT_EQ(link->popup->content, L"Encyclopedia");

    Type(popup, L"");
    EXPECT_FALSE(link->popup);
    Type(popup, L"");
    EXPECT_FALSE(link->popup);

    Type(popup, L"B");
    ASSERT_TRUE(link->popup);
    EXPECT_GT(link->popup->id, first) << "a new popup takes a new number";
    EXPECT_EQ(link->popup->parent, link);
    EXPECT_EQ(link->popup->content, L"B");
}

TEST_F(LinkPaneTest, ASelectedRowIsEditedThroughTheLinkEdits)
{
    listrows::Select(list, 1);
    CItemLink::CLink* french = link->links[1];
    EXPECT_EQ(pane->currentLink, french);
    EXPECT_EQ(Text(Item(IDC_LINK_ROW_CAPTION)), L"Français");
    EXPECT_EQ(Text(Item(IDC_LINK_ROW_URL)), L"https://fr.wikipedia.org/");
    EXPECT_TRUE(Enabled(Item(IDC_LINK_ROW_CAPTION)));
    EXPECT_TRUE(Enabled(Item(IDC_LINK_REMOVE)));
    // Loading writes the texts back through the edits' notifications: unchanged, but reported.
    EXPECT_EQ(french->caption, L"Français");
    EXPECT_TRUE(project.modified);

    Type(Item(IDC_LINK_ROW_CAPTION), L"French");
    Type(Item(IDC_LINK_ROW_URL), L"https://fr.m.wikipedia.org/");
    EXPECT_EQ(french->caption, L"French");
    EXPECT_EQ(french->url, L"https://fr.m.wikipedia.org/");
    EXPECT_EQ(Row(list, 1), (Cells{L"French", L"https://fr.m.wikipedia.org/"}));
    EXPECT_EQ(link->mainLink.caption, L"Wikipedia");
    EXPECT_EQ(TreeLabel(kNodeItem, link), L"Wikipedia");

    // Clearing the selection beside the rows keeps the link current; its row still follows.
    listrows::DeselectAll(list);
    EXPECT_EQ(listrows::Selected(list), -1);
    Type(Item(IDC_LINK_ROW_CAPTION), L"Fr");
    EXPECT_EQ(french->caption, L"Fr");
    EXPECT_EQ(Cell(list, 1, 0), L"Fr");
    EXPECT_EQ(Cell(list, 0, 0), L"Deutsch");

    // Binding another item leaves no link current.
    auto* other = new CItemLink(*group, L"Other", L"https://example.org/");
    other->AddLink(L"Sub", L"https://example.org/sub");
    pane->SetNode(other);
    EXPECT_EQ(pane->currentLink, nullptr);
    EXPECT_FALSE(Enabled(Item(IDC_LINK_ROW_CAPTION)));
    Type(Item(IDC_LINK_ROW_CAPTION), L"ignored");
    EXPECT_EQ(french->caption, L"Fr");
    EXPECT_EQ(other->links[0]->caption, L"Sub");
}

TEST_F(LinkPaneTest, AddAppendsASelectedRowAndFocusesItsCaption)
{
    listrows::Select(list, 0);
    project.modified = false;
    Click(Item(IDC_LINK_ADD));
    ASSERT_EQ(link->links.size(), 3u);
    CItemLink::CLink* added = link->links[2];
    EXPECT_EQ(added->caption, L"New link");
    EXPECT_EQ(added->url, L"http://");
    ASSERT_EQ(listrows::Count(list), 3);
    EXPECT_EQ(Row(list, 2), (Cells{L"New link", L"http://"}));
    EXPECT_EQ(listrows::Selected(list), 2);
    EXPECT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, 2, LVNI_SELECTED), -1) << "only one row";
    EXPECT_EQ(pane->currentLink, added);
    HWND caption = Item(IDC_LINK_ROW_CAPTION);
    EXPECT_EQ(Text(caption), L"New link");
    EXPECT_EQ(Text(Item(IDC_LINK_ROW_URL)), L"http://");
    EXPECT_EQ(::GetFocus(), caption);
    EXPECT_EQ(Selection(caption), std::make_pair(0ul, 8ul));
    EXPECT_TRUE(project.modified);
}

TEST_F(LinkPaneTest, AddOnAnItemWithoutURLFillsItsOwnLinkVisibly)
{
    auto* fresh = new CItemLink(*group, L"Mine", L"");
    editor->Populate();
    Show(*pane, fresh);
    project.modified = false;
    Click(Item(IDC_LINK_ADD));
    EXPECT_TRUE(fresh->links.empty());
    EXPECT_EQ(listrows::Count(list), 0);
    EXPECT_EQ(fresh->mainLink.caption, L"New link");
    EXPECT_EQ(fresh->mainLink.url, L"http://");
    // The replaced caption shows, and counts as an edit, so it cannot reach the page unseen.
    EXPECT_EQ(Text(Item(IDC_LINK_CAPTION)), L"New link");
    EXPECT_EQ(Text(Item(IDC_LINK_URL)), L"http://");
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(TreeLabel(kNodeItem, fresh), L"New link");
    EXPECT_EQ(pane->currentLink, nullptr);

    // With a URL now, the next Add appends.
    Click(Item(IDC_LINK_ADD));
    EXPECT_EQ(fresh->links.size(), 1u);
    EXPECT_EQ(listrows::Count(list), 1);
}

TEST_F(LinkPaneTest, RemoveSelectsTheRowAtTheSamePlaceOrTheLast)
{
    Click(Item(IDC_LINK_ADD)); // three rows: Deutsch, Français, New link
    HWND remove = Item(IDC_LINK_REMOVE);
    project.modified = false;
    Click(remove); // the last row goes: the new last row is selected
    ASSERT_EQ(link->links.size(), 2u);
    EXPECT_EQ(listrows::Count(list), 2);
    EXPECT_EQ(listrows::Selected(list), 1);
    EXPECT_EQ(pane->currentLink, link->links[1]);
    EXPECT_EQ(Text(Item(IDC_LINK_ROW_CAPTION)), L"Français");
    EXPECT_TRUE(project.modified);

    listrows::Select(list, 0);
    Click(remove); // the first row goes: the row now first is selected
    ASSERT_EQ(link->links.size(), 1u);
    EXPECT_EQ(link->links[0]->caption, L"Français");
    EXPECT_EQ(listrows::Selected(list), 0);
    EXPECT_EQ(pane->currentLink, link->links[0]);

    Click(remove); // the only row goes
    EXPECT_TRUE(link->links.empty());
    EXPECT_EQ(listrows::Count(list), 0);
    EXPECT_EQ(pane->currentLink, nullptr);
    EXPECT_FALSE(Enabled(Item(IDC_LINK_ROW_CAPTION)));
    EXPECT_FALSE(Enabled(remove));
    EXPECT_NE(::GetFocus(), remove) << "the focus does not stay on a disabled button";
    EXPECT_EQ(Text(Item(IDC_LINK_ROW_CAPTION)), L"") << "no link is current: nothing is shown";
    EXPECT_EQ(Text(Item(IDC_LINK_ROW_URL)), L"");

    project.modified = false;
    Type(Item(IDC_LINK_ROW_CAPTION), L"nothing to edit");
    EXPECT_FALSE(project.modified);
    Notify(remove, BN_CLICKED);
    EXPECT_FALSE(project.modified) << "Remove with nothing current does nothing";
    EXPECT_EQ(link->mainLink.caption, L"Wikipedia");
}

TEST_F(LinkPaneTest, SelectingARowNeverChangesItsLink)
{
    // Texts a single-line edit box may not hold as they are: a line break, a very long text.
    std::wstring caption = L"Line one\r\nLine two\ttab";
    std::wstring url = L"https://example.org/?q=" + std::wstring(40000, L'a');
    link->links[0]->caption = caption;
    link->links[0]->url = url;
    link->mainLink.caption = caption;
    Show(*pane, link);
    EXPECT_EQ(link->mainLink.caption, caption);
    listrows::Select(list, 0);
    EXPECT_EQ(pane->currentLink, link->links[0]);
    EXPECT_EQ(link->links[0]->caption, caption);
    EXPECT_EQ(link->links[0]->url.size(), url.size());
    EXPECT_EQ(link->links[0]->url, url);
}
