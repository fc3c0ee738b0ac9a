// The tree as a person reads and works it with the keyboard: labels and Find with the text the
// page shows, F2 and Escape, Shift+F10 and the Menu key. Real input through the message loop.
#include "editor/editor_fixture.h"
#include "gui_desktop.h"
#include "model/item_link.h"
#include "persist/text.h"
#include "services/paths.h"
#include "test_support.h"
#include "winui/controls.h"

#include <cstring>
#include <fstream>

namespace {

class TreeKeysTest : public InputTest
{
protected:
    // Typed as the keyboard types it, one character after another.
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text) {
            INPUT input[2] = {};
            input[0].type = input[1].type = INPUT_KEYBOARD;
            input[0].ki.wScan = input[1].ki.wScan = c;
            input[0].ki.dwFlags = KEYEVENTF_UNICODE;
            input[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
            ::SendInput(2, input, sizeof(INPUT));
        }
        PumpFor(150);
    }

    // Ctrl+F, the text typed over what the bar held.
    void FindByKeys(const std::wstring& text)
    {
        Key('F', false, true);
        Type(text);
    }

    std::wstring FindStatus() { return winui::ReadWindowText(editor->findBar.status); }
};

} // namespace

TEST_F(TreeKeysTest, LabelsAndFindShowTheTextThePageShowsWhilePanesKeepTheMarkup)
{
    auto* weather = new CGroup(*project.columns[1], L"News &amp; Weather");
    auto* att = new CItemLink(*weather, L"AT&amp;T  Business", L"https://att.example/?a=1&amp;b=2");
    auto* escaped = new CItemLink(*weather, L"&lt;b&gt;escaped", L"https://escaped.example/");
    auto* bold = new CItemLink(*weather, L"<b>bold</b> ", L"https://bold.example/");
    auto* blank = new CItemLink(*weather, L"", L"https://user@blank.example/path/?q=1#top");
    Open();
    project.modified = false;
    EXPECT_EQ(TreeLabel(kNodeGroup, weather), L"News & Weather");
    EXPECT_EQ(TreeLabel(kNodeItem, att), L"AT&T Business");
    EXPECT_EQ(TreeLabel(kNodeItem, escaped), L"<b>escaped");
    EXPECT_EQ(TreeLabel(kNodeItem, bold), L"bold");
    EXPECT_EQ(TreeLabel(kNodeItem, blank), L"blank.example/path");
    // The pane shows and stores the markup.
    Select(kNodeItem, att);
    EXPECT_EQ(winui::ReadWindowText(editor->linkPane.captionEdit), L"AT&amp;T  Business");
    EXPECT_EQ(winui::ReadWindowText(editor->linkPane.urlEdit), L"https://att.example/?a=1&amp;b=2");

    // Find, typed into the bar: the shown text and the decoded address match, the markup not.
    Select(kNodeProject, &project);
    ::SetFocus(tree);
    FindByKeys(L"AT&T");
    EXPECT_EQ(Selected()->node, att);
    EXPECT_EQ(FindStatus(), L"");
    FindByKeys(L"&amp;");
    EXPECT_EQ(FindStatus(), L"Not found");
    FindByKeys(L"<b>");
    EXPECT_EQ(Selected()->node, escaped);
    FindByKeys(L"bold");
    EXPECT_EQ(Selected()->node, bold);
    FindByKeys(L"a=1&b");
    EXPECT_EQ(Selected()->node, att);
    FindByKeys(L"blank.example/path");
    EXPECT_EQ(Selected()->node, blank);
    Key(VK_ESCAPE);
    EXPECT_FALSE(project.modified) << "nothing stored changed";

    // Typing markup into the caption shows its text in the tree at once.
    Select(kNodeItem, blank);
    ::SetFocus(editor->linkPane.captionEdit);
    Type(L"Q&amp;A <i>now</i>");
    EXPECT_EQ(static_cast<CItemLink*>(blank)->mainLink.caption, L"Q&amp;A <i>now</i>");
    EXPECT_EQ(TreeLabel(kNodeItem, blank), L"Q&A now");
}

TEST_F(TreeKeysTest, ABookmarkFileWithReferencesInItsTitlesReadsAsTheBrowserShowedIt)
{
    const std::wstring file = folder + L"\\bookmarks.html";
    {
        std::ofstream out(ToUtf8(file).c_str(), std::ios::binary);
        out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n"
               "<DL><p>\n<DT><H3>News &amp; Weather</H3>\n<DL><p>\n"
               "<DT><A HREF=\"https://www.att.example/?a=1&amp;b=2\">AT&amp;T Business</A>\n"
               "<DT><A HREF=\"https://forum.example/\">Q&amp;A &lt;forum&gt; &#8211; daily</A>\n"
               "<DT><A HREF=\"https://rain.example/today/\">&#32;</A>\n"
               "</DL><p>\n<DT><H3>Tools &amp; Toys</H3>\n<DL><p>\n"
               "<DT><A HREF=\"https://search.example/\">Search &amp; Find</A>\n"
               "</DL><p>\n</DL><p>\n";
    }
    project.DeleteChildren();
    OpenWindow({900, 600});
    ::SetForegroundWindow(main);
    ::SetFocus(tree);
    Pump();
    shell.chosenFile = file;
    // File > Read HTML file... by its access key.
    MenuKeys('F', 'R');
    ASSERT_EQ(project.columns.size(), 2u);
    const CGroup* group = project.columns[0]->groups[0];
    ASSERT_EQ(group->items.size(), 3u);
    // Stored as the file had it, shown as the browser showed it.
    EXPECT_EQ(static_cast<const CItemLink*>(group->items[0])->mainLink.caption,
              L"AT&amp;T Business");
    EXPECT_EQ(TreeLabel(kNodeColumn, project.columns[0]), L"News & Weather");
    EXPECT_EQ(TreeLabel(kNodeItem, group->items[0]), L"AT&T Business");
    EXPECT_EQ(TreeLabel(kNodeItem, group->items[1]), L"Q&A <forum> \u2013 daily");
    EXPECT_EQ(TreeLabel(kNodeItem, group->items[2]), L"rain.example/today");
    EXPECT_EQ(TreeLabel(kNodeColumn, project.columns[1]), L"Tools & Toys");
    Shot(L"screenshot-tree-text.png");
    ::DeleteFileW(file.c_str());
}

TEST_F(TreeKeysTest, F2TypingAndEscapePutTheNameBackLeavingNoStep)
{
    Open();
    project.modified = false;
    // A step before F2 stays as it was.
    Select(kNodeGroup, mail);
    ::SetFocus(editor->groupPane.edit);
    ::SendMessageW(editor->groupPane.edit, EM_SETSEL, 4, 4);
    Type(L"!");
    EXPECT_EQ(mail->caption, L"Mail!");
    project.modified = false;

    Select(kNodeColumn, work);
    ::SetFocus(tree);
    Key(VK_F2);
    EXPECT_EQ(::GetFocus(), editor->columnPane.edit);
    Type(L"Games");
    EXPECT_EQ(work->caption, L"Games");
    EXPECT_EQ(TreeLabel(kNodeColumn, work), L"Games");
    EXPECT_TRUE(project.modified);
    Key(VK_ESCAPE);
    EXPECT_EQ(work->caption, L"Work");
    EXPECT_EQ(winui::ReadWindowText(editor->columnPane.edit), L"Work");
    EXPECT_EQ(TreeLabel(kNodeColumn, work), L"Work");
    EXPECT_EQ(::GetFocus(), tree);
    EXPECT_EQ(Selected()->node, work);
    EXPECT_FALSE(project.modified) << "the project is as it was before F2";
    EXPECT_EQ(editor->changes.UndoName(), L"typing") << "the group's step is still there";
    EXPECT_EQ(editor->changes.RedoName(), L"");
    Key('Z', false, true);
    EXPECT_EQ(mail->caption, L"Mail");
    EXPECT_EQ(work->caption, L"Work");

    // F2 and Escape without typing change nothing; typing and leaving the edit keeps the text.
    Select(kNodeItem, inbox);
    ::SetFocus(tree);
    Key(VK_F2);
    Key(VK_ESCAPE);
    EXPECT_EQ(::GetFocus(), tree);
    EXPECT_EQ(editor->changes.RedoName(), L"typing");
    Key(VK_F2);
    Type(L"Post");
    Key(VK_TAB);
    Key(VK_ESCAPE);
    EXPECT_EQ(inbox->GetLabel(), L"Post");
    EXPECT_EQ(editor->changes.UndoName(), L"typing");
}

TEST_F(TreeKeysTest, ShiftF10AndTheMenuKeyOpenTheContextMenuAtTheSelectedItem)
{
    Open();
    Resize(800, 600);
    auto textCorner = [this](const CStreamable* node, std::int32_t kind) {
        HTREEITEM item = ItemOf(kind, node);
        RECT text = {};
        std::memcpy(&text, &item, sizeof item);
        ::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
        POINT corner = {text.left, text.bottom};
        ::ClientToScreen(tree, &corner);
        return corner;
    };
    Select(kNodeItem, wiki);
    ::SetFocus(tree);
    MenuSeen seen = InMenu([this] { Key(VK_F10, true); }, IDM_ADD_LINK);
    ASSERT_TRUE(seen.shown);
    POINT corner = textCorner(wiki, kNodeItem);
    EXPECT_NEAR(seen.where.left, corner.x, 3);
    EXPECT_NEAR(seen.where.top, corner.y, 3);
    EXPECT_TRUE(seen.grayed.empty());
    ASSERT_EQ(docs->items.size(), 2u);
    EXPECT_EQ(docs->items[1]->GetLabel(), L"New Link");
    EXPECT_EQ(Selected()->node, docs->items[1]);

    Select(kNodeColumn, empty);
    ::SetFocus(tree);
    seen = InMenu([this] { Key(VK_APPS); }, IDM_MOVE_UP);
    ASSERT_TRUE(seen.shown);
    corner = textCorner(empty, kNodeColumn);
    EXPECT_NEAR(seen.where.left, corner.x, 3);
    EXPECT_EQ(seen.grayed, (std::vector<int>{IDM_ADD_LINK, IDM_ADD_FORM}));
    EXPECT_EQ(project.columns[1], empty);
    EXPECT_EQ(Selected()->node, empty);
    EXPECT_EQ(editor->ContextRecord(), nullptr);
    ExpectTreeShowsModel();
}
