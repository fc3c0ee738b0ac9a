// The node commands on every kind of node, in model and tree alike, the file commands and the
// quit prompt.
#include "editor/editor_fixture.h"

#include "homepage/page_writer.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "persist/project_file.h"
#include "platform/platform.h"
#include "services/paths.h"
#include "test_support.h"

using Panes = std::vector<std::string>;

TEST_F(EditorTest, AddColumnGoesAfterTheActedOnBranchOrAtTheEnd)
{
    Open();
    Command(IDM_ADD_COLUMN);
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki]],"
                           L"Play[News[Paper,Radio],Spare],Empty,New column]");
    EXPECT_EQ(Selected()->node, project.columns[3]);
    EXPECT_EQ(VisiblePanes(), Panes{"column"});
    EXPECT_TRUE(project.modified);
    ExpectTreeShowsModel();

    Select(kNodeItem, wiki);
    Command(IDM_ADD_COLUMN);
    EXPECT_EQ(project.columns[1]->caption, L"New column");
    EXPECT_EQ(Selected()->node, project.columns[1]);
    Select(kNodeGroup, news);
    Command(IDM_ADD_COLUMN);
    EXPECT_EQ(project.columns[2], play);
    EXPECT_EQ(project.columns[3]->caption, L"New column");
    Select(kNodeColumn, work);
    Command(IDM_ADD_COLUMN);
    EXPECT_EQ(project.columns[1]->caption, L"New column");
    EXPECT_EQ(project.columns.size(), 7u);
    ExpectTreeShowsModel();

    // The only column of an empty project.
    project.DeleteChildren();
    Command(IDM_REFRESH);
    Command(IDM_ADD_COLUMN);
    EXPECT_EQ(ModelText(), L"Home[New column]");
    ExpectTreeShowsModel();
}

TEST_F(EditorTest, AddGroupGoesAfterTheActedOnGroupOrAtTheColumnsEnd)
{
    Open();
    Select(kNodeColumn, empty);
    Command(IDM_ADD_GROUP);
    Select(kNodeGroup, mail);
    Command(IDM_ADD_GROUP);
    Select(kNodeItem, paper);
    Command(IDM_ADD_GROUP);
    Select(kNodeColumn, work);
    Command(IDM_ADD_GROUP);
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],New group,Docs[Wiki],"
                           L"New group],Play[News[Paper,Radio],New group,Spare],"
                           L"Empty[New group]]");
    EXPECT_EQ(Selected()->node, work->groups[3]);
    EXPECT_EQ(VisiblePanes(), Panes{"group"});
    ExpectTreeShowsModel();

    // The project takes no groups.
    project.modified = false;
    Select(kNodeProject, &project);
    std::wstring before = ModelText();
    Command(IDM_ADD_GROUP);
    EXPECT_EQ(ModelText(), before);
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(Selected()->node, &project);
}

TEST_F(EditorTest, AddLinkAndAddFormGoAfterTheActedOnItemOrAtTheGroupsEnd)
{
    Open();
    Select(kNodeGroup, spare);
    Command(IDM_ADD_LINK);
    auto* link = static_cast<CItemLink*>(spare->items[0]);
    EXPECT_EQ(link->mainLink.caption, L"New Link");
    EXPECT_EQ(link->mainLink.url, L"https://www.example.com/");
    EXPECT_EQ(Selected()->node, link);
    EXPECT_EQ(VisiblePanes(), Panes{"link"});
    EXPECT_TRUE(project.modified);

    Select(kNodeGroup, news);
    Command(IDM_ADD_FORM);
    EXPECT_EQ(VisiblePanes(), Panes{"form"});
    Select(kNodeItem, inbox);
    Command(IDM_ADD_FORM);
    Select(kNodeItem, inbox);
    Command(IDM_ADD_LINK);
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,New Link,New form,Search,Unnamed form],"
                           L"Docs[Wiki]],Play[News[Paper,Radio,New form],Spare[New Link]],Empty]");
    EXPECT_EQ(static_cast<CItemForm*>(news->items[2])->method, 0);
    EXPECT_TRUE(static_cast<CItemForm*>(news->items[2])->fields.empty());
    ExpectTreeShowsModel();

    // Not on the project or a column.
    project.modified = false;
    std::wstring before = ModelText();
    for (auto node : std::initializer_list<std::pair<std::int32_t, const CStreamable*>>{
             {kNodeProject, &project}, {kNodeColumn, work}}) {
        Select(node.first, node.second);
        Command(IDM_ADD_LINK);
        Command(IDM_ADD_FORM);
        EXPECT_EQ(Selected()->node, node.second);
    }
    EXPECT_EQ(ModelText(), before);
    EXPECT_FALSE(project.modified);
}

TEST_F(EditorTest, MovesSwapNeighboursInModelTreeAndPage)
{
    Open();
    Select(kNodeColumn, play);
    PressKey(VK_UP, true);
    EXPECT_EQ(project.columns[0], play);
    EXPECT_EQ(Selected()->node, play);
    EXPECT_TRUE(project.modified);
    ExpectTreeShowsModel();
    PressKey(VK_F5);
    std::string page = ReadFileBytes(HomepageFilePath);
    EXPECT_EQ(page, GeneratedPage(project));
    EXPECT_LT(page.find(">Play<"), page.find(">Work<"));

    Select(kNodeGroup, mail);
    PressKey(VK_DOWN, true);
    Select(kNodeItem, unnamed);
    PressKey(VK_UP, true);
    PressKey(VK_UP, true);
    Select(kNodeItem, paper);
    Command(IDM_MOVE_DOWN);
    Select(kNodeColumn, work);
    Command(IDM_MOVE_DOWN);
    EXPECT_EQ(ModelText(), L"Home[Play[News[Radio,Paper],Spare],Empty,"
                           L"Work[Docs[Wiki],Mail[Unnamed form,Inbox,Search]]]");
    EXPECT_EQ(Selected()->node, work);
    ExpectTreeShowsModel();

    // At either end, and on the project, nothing happens.
    project.modified = false;
    std::wstring before = ModelText();
    const std::pair<std::pair<std::int32_t, const CStreamable*>, int> noMoves[] = {
        {{kNodeColumn, play}, IDM_MOVE_UP},       {{kNodeColumn, work}, IDM_MOVE_DOWN},
        {{kNodeGroup, docs}, IDM_MOVE_UP},        {{kNodeGroup, mail}, IDM_MOVE_DOWN},
        {{kNodeItem, unnamed}, IDM_MOVE_UP},      {{kNodeItem, search}, IDM_MOVE_DOWN},
        {{kNodeItem, wiki}, IDM_MOVE_DOWN},       {{kNodeProject, &project}, IDM_MOVE_UP},
        {{kNodeProject, &project}, IDM_MOVE_DOWN}};
    for (const auto& c : noMoves) {
        Select(c.first.first, c.first.second);
        Command(c.second);
        EXPECT_EQ(Selected()->node, c.first.second);
    }
    EXPECT_EQ(ModelText(), before);
    EXPECT_FALSE(project.modified);
    ExpectTreeShowsModel();
}

TEST_F(EditorTest, MovesInALongGroupSwapOnlyTheTwoNeighbours)
{
    for (int i = 0; i < 300; ++i)
        new CItemLink(*static_cast<CGroup*>(project.columns[1]->groups[1]), std::to_wstring(i),
                      L"https://example.com/");
    Open();
    Select(kNodeItem, spare->items[150]);
    PressKey(VK_DOWN, true);
    PressKey(VK_DOWN, true);
    Select(kNodeItem, spare->items[7]);
    PressKey(VK_UP, true);
    EXPECT_EQ(static_cast<CItemLink*>(spare->items[6])->mainLink.caption, L"7");
    EXPECT_EQ(static_cast<CItemLink*>(spare->items[152])->mainLink.caption, L"150");
    ExpectTreeShowsModel();
}

TEST_F(EditorTest, DeleteAsksThenRemovesTheSubtreeAndReleasesItsRecords)
{
    Open();
    // Cancel changes nothing.
    Select(kNodeItem, inbox);
    shell.answers = {IDCANCEL};
    PressKey(VK_DELETE, true);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].owner, main);
    EXPECT_EQ(shell.shown[0].text, L"Are you sure you want to delete the selected node?");
    EXPECT_EQ(shell.shown[0].caption, L"Quillomere: Node deletion");
    EXPECT_EQ(shell.shown[0].type, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_EQ(mail->items.size(), 3u);
    EXPECT_FALSE(project.modified);

    // The project is asked about and kept.
    Select(kNodeProject, &project);
    shell.answers = {IDOK};
    Command(IDM_DELETE);
    EXPECT_EQ(shell.shown.size(), 2u);
    EXPECT_EQ(project.columns.size(), 3u);
    EXPECT_FALSE(project.modified);
    ExpectTreeShowsModel();

    const std::size_t all = editor->RecordCount();
    Select(kNodeItem, search);
    Command(IDM_DELETE);
    EXPECT_EQ(editor->RecordCount(), all - 1);
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(Selected()->node, unnamed) << "the next sibling takes the selection";
    EXPECT_EQ(VisiblePanes(), Panes{"form"});

    project.modified = false;
    Select(kNodeGroup, news);
    Command(IDM_DELETE);
    EXPECT_EQ(editor->RecordCount(), all - 4);
    EXPECT_TRUE(project.modified);

    // A column with the selection inside it.
    project.modified = false;
    Select(kNodeItem, wiki);
    Command(IDM_DELETE);
    Select(kNodeItem, inbox);
    shell.answers = {IDOK};
    RightClick(ItemOf(kNodeColumn, work), IDM_DELETE);
    EXPECT_EQ(editor->RecordCount(), all - 4 - 1 - 5);
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(ModelText(), L"Home[Play[Spare],Empty]");
    ASSERT_NE(Selected(), nullptr);
    EXPECT_EQ(Selected()->node, play);
    EXPECT_EQ(VisiblePanes(), Panes{"column"});
    ExpectTreeShowsModel();
}

TEST_F(EditorTest, DeleteLeavesNoPaneBoundToADestroyedNode)
{
    Open();
    // Each pane keeps the node it showed last, hidden or not.
    Select(kNodeItem, paper);
    Select(kNodeGroup, news);
    Select(kNodeColumn, empty);
    shell.answers = {IDOK};
    RightClick(ItemOf(kNodeColumn, play), IDM_DELETE);
    ASSERT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki]],Empty]");
    EXPECT_EQ(editor->linkPane.node, nullptr);
    EXPECT_EQ(editor->groupPane.node, nullptr);
    EXPECT_EQ(editor->columnPane.node, empty) << "the shown pane keeps its node";
    EXPECT_EQ(VisiblePanes(), Panes{"column"});

    // The hidden pane's edit boxes still take text; it reaches no node.
    project.modified = false;
    ::SetWindowTextW(::GetDlgItem(editor->linkPane.Window(), IDC_LINK_CAPTION), L"Gone");
    ::SetWindowTextW(::GetDlgItem(editor->groupPane.Window(), IDC_GROUP_CAPTION), L"Gone");
    EXPECT_FALSE(project.modified);
}

TEST_F(EditorTest, CtrlDeleteAsksEvenWithTheFocusInAPaneEditBox)
{
    Open();
    Select(kNodeGroup, spare);
    HWND edit = ::FindWindowExW(editor->groupPane.Window(), nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    ::SetFocus(edit);
    ASSERT_EQ(::GetFocus(), edit);
    shell.answers = {IDOK};
    PressKey(VK_DELETE, true);
    EXPECT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(play->groups.size(), 1u);
}

TEST_F(EditorTest, SaveWritesTheProjectFileAndClearsTheFlag)
{
    Open();
    Command(IDM_ADD_COLUMN);
    ASSERT_TRUE(project.modified);
    PressKey('S', true);
    EXPECT_FALSE(project.modified);
    EXPECT_TRUE(shell.shown.empty());
    CProject saved;
    ASSERT_GT(LoadProjectFile(saved, ProjectFilePath), 0);
    EXPECT_EQ(GeneratedPage(saved), GeneratedPage(project));
}

TEST_F(EditorTest, AFailedSaveSaysSoAndKeepsTheFlag)
{
    Open();
    BuildFilePaths(folder + L"\\missing");
    Command(IDM_ADD_COLUMN);
    Command(IDM_SAVE);
    EXPECT_TRUE(project.modified);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].owner, main);
    EXPECT_EQ(shell.shown[0].text, L"The project could not be saved to\r\n" + ProjectFilePath);
    EXPECT_EQ(shell.shown[0].caption, L"Quillomere");
    EXPECT_EQ(shell.shown[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(platform::FileExists(ProjectFilePath));
}

TEST_F(EditorTest, QuittingUnchangedAsksNothing)
{
    Open();
    const std::size_t records = editor->RecordCount();
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(shell.shown.empty());
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_TRUE(quitPosted);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(platform::FileExists(ProjectFilePath));
    // The records go with the window object, not one by one with the tree.
    EXPECT_TRUE(editor->IsRebuilding());
    EXPECT_EQ(editor->RecordCount(), records);
}

TEST_F(EditorTest, TheQuitPromptCancelKeepsTheProgramRunning)
{
    Open();
    Command(IDM_ADD_COLUMN);
    shell.answers = {IDCANCEL};
    PressKey('X', false, true);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].owner, main);
    EXPECT_EQ(shell.shown[0].text, L"Project is changed.\r\n\r\nSave changes before quitting?");
    EXPECT_EQ(shell.shown[0].caption, L"Quillomere");
    EXPECT_EQ(shell.shown[0].type, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_TRUE(::IsWindow(main));
    EXPECT_FALSE(quitPosted);
    EXPECT_TRUE(project.modified);
    EXPECT_FALSE(editor->IsRebuilding());
    // Still fully working.
    Command(IDM_ADD_COLUMN);
    ExpectTreeShowsModel();
}

TEST_F(EditorTest, TheQuitPromptNoQuitsWithoutSaving)
{
    Open();
    Select(kNodeItem, inbox);
    shell.answers = {IDOK, IDNO};
    Command(IDM_DELETE);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(shell.shown.size(), 2u);
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_TRUE(quitPosted);
    EXPECT_FALSE(platform::FileExists(ProjectFilePath));
}

TEST_F(EditorTest, TheQuitPromptYesSavesThenQuits)
{
    Open();
    Select(kNodeGroup, news);
    PressKey(VK_DOWN, true);
    shell.answers = {IDYES};
    Command(IDM_EXIT);
    EXPECT_EQ(shell.shown.size(), 1u);
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_TRUE(quitPosted);
    EXPECT_FALSE(project.modified);
    CProject saved;
    ASSERT_GT(LoadProjectFile(saved, ProjectFilePath), 0);
    EXPECT_EQ(saved.columns[1]->groups[0]->caption, L"Spare");
}

TEST_F(EditorTest, AFailedSaveAtTheQuitPromptKeepsTheProgramRunning)
{
    Open();
    BuildFilePaths(folder + L"\\missing");
    Command(IDM_ADD_COLUMN);
    shell.answers = {IDYES};
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    ASSERT_EQ(shell.shown.size(), 2u);
    EXPECT_EQ(shell.shown[1].text, L"The project could not be saved to\r\n" + ProjectFilePath);
    EXPECT_EQ(shell.shown[1].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(::IsWindow(main));
    EXPECT_FALSE(quitPosted);
    EXPECT_TRUE(project.modified);
    EXPECT_FALSE(editor->IsRebuilding());
}

TEST_F(EditorTest, ReadHtmlFileCancelledChangesNothing)
{
    Open();
    Command(IDM_READ_HTML);
    ASSERT_EQ(shell.openDialogs.size(), 1u);
    const OPENFILENAMEW& dialog = shell.openDialogs[0];
    EXPECT_EQ(dialog.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(dialog.hwndOwner, main);
    EXPECT_EQ(shell.filter, L"Homepages and bookmark files (*.html;*.htm)|*.html;*.htm|"
                            L"All files (*.*)|*.*|");
    EXPECT_EQ(shell.bufferSize, 260u);
    EXPECT_EQ(dialog.Flags,
              static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR));
    EXPECT_EQ(shell.title, L"Read HTML file");
    EXPECT_EQ(shell.initialFolder, DocumentsFolder);
    EXPECT_EQ(editor->StatusBar().PartText(CStatusBar::kOutcome), L"");
    EXPECT_FALSE(project.modified);
    ExpectTreeShowsModel();
}

TEST_F(EditorTest, ReadHtmlFileImportsAndShowsTheNodesAtOnce)
{
    CProject other;
    other.title = L"Elsewhere";
    auto* column = new CColumn(other, L"Imported");
    new CItemLink(*new CGroup(*column, L"Links"), L"Example", L"https://example.com/");
    CTempFile page(L".html");
    WriteFileBytes(page.Path(), GeneratedPage(other));

    Open();
    Select(kNodeItem, inbox);
    shell.chosenFile = page.Path();
    Command(IDM_READ_HTML);
    // A whole page replaces the columns; no tree item or pane may keep the old nodes.
    EXPECT_EQ(ModelText(), L"Elsewhere[Imported[Links[Example]]]");
    ExpectTreeShowsModel();
    EXPECT_EQ(Selected()->kind, kNodeProject);
    EXPECT_EQ(VisiblePanes(), Panes{"project"});
    EXPECT_EQ(editor->linkPane.node, nullptr);
    EXPECT_TRUE(project.modified);

    // An unreadable file changes nothing, but was chosen: the flag is set all the same.
    project.modified = false;
    shell.chosenFile = folder + L"\\no such file.html";
    Command(IDM_READ_HTML);
    EXPECT_EQ(ModelText(), L"Elsewhere[Imported[Links[Example]]]");
    EXPECT_TRUE(project.modified);
    ExpectTreeShowsModel();
}

TEST_F(EditorTest, ReadHtmlFileAddsTheColumnsOfABookmarkFile)
{
    CTempFile bookmarks(L".html");
    WriteFileBytes(bookmarks.Path(), "\xEF\xBB\xBF<!doctype netscape-bookmark-file-1>\n"
                                     "<DL><p>\n<DT><H3 ADD_DATE=\"1\">Toolbar</H3>\n<DL><p>\n"
                                     "<DT><A HREF=\"https://a.example.com/\">A &amp; B</A>\n"
                                     "<DD>First line\nsecond\n"
                                     "<DT><H3>Deep</H3>\n<DL><p>\n"
                                     "<DT><A HREF=\"javascript:void(0)\">Script</A>\n"
                                     "<DT><A HREF=\"https://c.example.com/\"></A>\n"
                                     "</DL><p>\n</DL><p>\n<HR>\n"
                                     "<DT><A HREF=\"https://loose.example.com/\">Loose</A>\n"
                                     "</DL><p>\n");
    Open();
    Select(kNodeItem, inbox);
    shell.chosenFile = bookmarks.Path();
    Command(IDM_READ_HTML);
    // Added after the project's own columns, which stay as they were.
    EXPECT_EQ(ModelText(), L"Home[Work[Mail[Inbox,Search,Unnamed form],Docs[Wiki]],"
                           L"Play[News[Paper,Radio],Spare],Empty,"
                           L"Toolbar[Toolbar[A &amp; B],Deep[https://c.example.com/]],"
                           L"Bookmarks[Bookmarks[Loose]]]");
    ExpectTreeShowsModel();
    auto* first = static_cast<CItemLink*>(project.columns[3]->groups[0]->items[0]);
    EXPECT_EQ(first->mainLink.url, L"https://a.example.com/");
    ASSERT_TRUE(first->popup);
    EXPECT_EQ(first->popup->content, L"First line<br />second");
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(Selected()->kind, kNodeProject);
    EXPECT_EQ(VisiblePanes(), Panes{"project"});
    EXPECT_EQ(editor->linkPane.node, nullptr);

    // Quitting asks whether to save what was read.
    shell.answers = {IDNO};
    ::SendMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].text, L"Project is changed.\r\n\r\nSave changes before quitting?");
    EXPECT_TRUE(quitPosted);
}

TEST_F(EditorTest, GenerateWritesTheHomepageAndLeavesTheFlag)
{
    Open();
    PressKey(VK_F5);
    EXPECT_EQ(ReadFileBytes(HomepageFilePath), GeneratedPage(project));
    EXPECT_FALSE(project.modified);
    Command(IDM_ADD_COLUMN);
    Command(IDM_GENERATE);
    EXPECT_EQ(ReadFileBytes(HomepageFilePath), GeneratedPage(project));
    EXPECT_TRUE(project.modified);
}
