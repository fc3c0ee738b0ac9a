// The change path and its history: every kind of step done, undone and redone gives the project
// file bytes of before and after, the same objects come back, typing joins into one step, the
// memory bound holds, and random sequences of changes, undos and redos agree with snapshots.
#include "edit/project_changes.h"

#include "icons/test_images.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "random_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

CSite At(std::int32_t kind, CStreamable* node, SitePart part = SitePart::Node)
{
    CSite site;
    site.kind = kind;
    site.node = node;
    site.part = part;
    return site;
}

CSite LinkAt(CItemLink* item, CItemLink::CLink* link, SitePart part)
{
    CSite site = At(kNodeItem, item, part);
    site.link = link;
    return site;
}

CSite FieldAt(CItemForm* form, CItemForm::CField* field, SitePart part,
              CItemForm::COption* option = nullptr)
{
    CSite site = At(kNodeItem, form, part);
    site.field = field;
    site.option = option;
    return site;
}

// Remembers what the window would be told.
class CRecordingObserver : public IChangeObserver
{
public:
    void NodeChanged(const CSite& site) override
    {
        events.push_back(L"changed " + Kind(site.kind));
    }
    void NodeRemoving(std::int32_t kind, CStreamable*) override
    {
        events.push_back(L"removing " + Kind(kind));
    }
    void NodeInserted(std::int32_t kind, CStreamable*) override
    {
        events.push_back(L"inserted " + Kind(kind));
    }
    void NodeMoved(std::int32_t kind, CStreamable*) override
    {
        events.push_back(L"moved " + Kind(kind));
    }
    void StepShown(const CSite& site) override { shown.push_back(site); }

    static std::wstring Kind(std::int32_t kind)
    {
        static const wchar_t* names[] = {L"project", L"column", L"group", L"item"};
        return kind >= 0 && kind < 4 ? names[kind] : L"?";
    }

    std::vector<std::wstring> events;
    std::vector<CSite> shown;
};

// A small project of every kind of node and row.
class ChangesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        project.title = L"Home";
        work = new CColumn(project, L"Work");
        play = new CColumn(project, L"Play");
        mail = new CGroup(*work, L"Mail");
        news = new CGroup(*play, L"News");
        inbox = new CItemLink(*mail, L"Inbox", L"https://mail.example/");
        inbox->divider = L" | ";
        inbox->SetPopupContent(L"Your mail");
        firstLink = inbox->AddLink(L"Sent", L"https://mail.example/sent");
        inbox->AddLink(L"Spam", L"https://mail.example/spam");
        inbox->keptChunks.Append(0x78000001u, "kept", 4);
        search = new CItemForm(*mail);
        search->name = L"Search";
        search->action = L"https://find.example/";
        query = search->AddField(0, L"q", L"", 20);
        engine = search->AddField(1, L"engine", L"web", -1);
        images = engine->AddOption(L"Images", L"img");
        engine->AddOption(L"Web", L"web");
        radio = new CItemLink(*news, L"Radio", L"https://radio.example/");
        changes.SetObserver(&observer);
    }

    // Runs `change`, then checks that undo gives the bytes of before, redo those of after, and
    // a second undo those of before again.
    void ExpectUndoable(const std::function<void()>& change, const std::wstring& name)
    {
        const std::string before = SaveToBytes(project);
        const std::string pageBefore = GeneratedPage(project);
        change();
        const std::string after = SaveToBytes(project);
        const std::string pageAfter = GeneratedPage(project);
        EXPECT_NE(before, after) << "the change changed nothing";
        EXPECT_EQ(changes.UndoName(), name);
        ASSERT_TRUE(changes.Undo());
        EXPECT_TRUE(project.modified);
        EXPECT_EQ(SaveToBytes(project), before);
        EXPECT_EQ(GeneratedPage(project), pageBefore);
        EXPECT_EQ(changes.RedoName(), name);
        ASSERT_TRUE(changes.Redo());
        EXPECT_EQ(SaveToBytes(project), after);
        EXPECT_EQ(GeneratedPage(project), pageAfter);
        ASSERT_TRUE(changes.Undo());
        EXPECT_EQ(SaveToBytes(project), before);
        ASSERT_TRUE(changes.Redo());
        changes.Seal();
    }

    CProject project;
    CProjectChanges changes{project};
    CRecordingObserver observer;
    CColumn* work = nullptr;
    CColumn* play = nullptr;
    CGroup* mail = nullptr;
    CGroup* news = nullptr;
    CItemLink* inbox = nullptr;
    CItemLink::CLink* firstLink = nullptr;
    CItemForm* search = nullptr;
    CItemForm::CField* query = nullptr;
    CItemForm::CField* engine = nullptr;
    CItemForm::COption* images = nullptr;
    CItemLink* radio = nullptr;
};

TEST_F(ChangesTest, EveryTextUndoesAndRedoesToTheSameBytes)
{
    const std::vector<CSite> sites = {
        At(kNodeProject, &project, SitePart::Title),
        At(kNodeColumn, work, SitePart::Caption),
        At(kNodeColumn, work, SitePart::Tab),
        At(kNodeGroup, news, SitePart::Caption),
        At(kNodeItem, inbox, SitePart::MainCaption),
        At(kNodeItem, inbox, SitePart::MainUrl),
        At(kNodeItem, inbox, SitePart::Divider),
        At(kNodeItem, inbox, SitePart::Popup),
        LinkAt(inbox, firstLink, SitePart::LinkCaption),
        LinkAt(inbox, firstLink, SitePart::LinkUrl),
        At(kNodeItem, search, SitePart::FormName),
        At(kNodeItem, search, SitePart::FormAction),
        FieldAt(search, query, SitePart::FieldName),
        FieldAt(search, query, SitePart::FieldValue),
        FieldAt(search, engine, SitePart::OptionText, images),
        FieldAt(search, engine, SitePart::OptionValue, images),
    };
    for (const CSite& site : sites) {
        SCOPED_TRACE(static_cast<int>(site.part));
        ExpectUndoable([&] { changes.SetText(site, L"ch\u00E4nged \u4E2D"); }, L"typing");
    }
}

TEST_F(ChangesTest, NumbersUndoAndRedo)
{
    ExpectUndoable([&] { changes.SetNumber(At(kNodeItem, search, SitePart::Method), 1); },
                   L"method change");
    ExpectUndoable([&] { changes.SetNumber(FieldAt(search, query, SitePart::FieldType), 1); },
                   L"type change");
    ExpectUndoable([&] { changes.SetNumber(FieldAt(search, engine, SitePart::FieldHidden), 1); },
                   L"hidden change");
}

TEST_F(ChangesTest, ThePageStyleUndoesAndRedoes)
{
    ExpectUndoable(
        [&] {
            changes.SetNumber(At(kNodeProject, &project, SitePart::PageStyle),
                              static_cast<std::int32_t>(PageStyle::Modern));
        },
        L"page style change");
}

TEST_F(ChangesTest, ReadingAModernPageReplacesTheColumnsAndTheStyleAsOneStep)
{
    CProject other;
    other.title = L"Modern page";
    other.pageStyle = PageStyle::Modern;
    new CItemLink(*new CGroup(*new CColumn(other, L"Imported"), L"Group"), L"Link",
                  L"https://link.example/");
    const std::string page = GeneratedPage(other);

    CProject expected;
    LoadFromBytes(expected, SaveToBytes(project));
    ImportBytes(expected, page);
    ASSERT_EQ(expected.pageStyle, PageStyle::Modern);
    ExpectUndoable(
        [&] {
            CRecordingStream stream(page);
            EXPECT_TRUE(changes.ReadHtml(stream).replacedColumns);
            EXPECT_EQ(SaveToBytes(project), SaveToBytes(expected));
        },
        L"read HTML file");
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(project.pageStyle, PageStyle::Classic);
    EXPECT_EQ(project.columns[0], work);
}

TEST_F(ChangesTest, AProjectLoadedAgainFromDiskTakesThePlaceOfAllAsOneStep)
{
    // What another program left in the file: other columns, title and style, and a chunk of the
    // project node that this version does not know.
    CProject disk;
    disk.title = L"From disk";
    disk.pageStyle = PageStyle::Modern;
    new CItemLink(*new CGroup(*new CColumn(disk, L"Fresh"), L"Group"), L"Link",
                  L"https://fresh.example/");
    new CColumn(disk, L"Second");
    disk.keptChunks.Append(0x7A7A7A7A, "later", 5);
    const std::string diskBytes = SaveToBytes(disk);

    ExpectUndoable(
        [&] {
            CProject loaded;
            ASSERT_GT(LoadFromBytes(loaded, diskBytes), 0);
            changes.ReplaceProject(loaded, L"reload from disk");
            EXPECT_EQ(SaveToBytes(project), diskBytes);
            EXPECT_TRUE(loaded.columns.empty());
            EXPECT_TRUE(loaded.keptChunks.empty());
        },
        L"reload from disk");
    // The project's own nodes come back, the same objects.
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(project.columns[0], work);
    EXPECT_EQ(project.columns[1], play);
    EXPECT_TRUE(project.keptChunks.empty());
    ASSERT_TRUE(changes.Redo());
    EXPECT_EQ(SaveToBytes(project), diskBytes);
    EXPECT_EQ(project.columns[0]->parent, &project);
}

TEST_F(ChangesTest, IconsSetReplacedAndClearedUndoToTheSameBytes)
{
    auto red = CLinkIcon::FromBytes(MakePng(16, 0xff0000));
    auto blue = CLinkIcon::FromBytes(MakeGif(16, 0x0000ff));
    ExpectUndoable([&] { changes.SetIcon(*inbox, red); }, L"set icon");
    EXPECT_EQ(inbox->icon, red);
    ExpectUndoable([&] { changes.SetIcon(*inbox, blue); }, L"set icon");
    ExpectUndoable([&] { changes.SetIcon(*inbox, nullptr); }, L"clear icon");
    EXPECT_FALSE(inbox->icon);
    // What the fetch gives the window: several items' icons as one step.
    ExpectUndoable(
        [&] {
            CStepScope scope(changes, L"fetch icons");
            changes.SetIcon(*inbox, red);
            changes.SetIcon(*radio, blue);
        },
        L"fetch icons");
    EXPECT_EQ(radio->icon, blue);
    ASSERT_TRUE(changes.Undo());
    EXPECT_FALSE(inbox->icon);
    EXPECT_FALSE(radio->icon);
    EXPECT_EQ(observer.shown.back().part, SitePart::Icon);
    EXPECT_EQ(observer.shown.back().node, inbox);
    ASSERT_TRUE(changes.Redo());
    // The same icon again, or an equal one, records nothing; nor does clearing none.
    const std::wstring last = changes.UndoName();
    changes.SetIcon(*inbox, CLinkIcon::FromBytes(MakePng(16, 0xff0000)));
    changes.SetIcon(*inbox, red);
    CItemLink* without = new CItemLink(*news, L"No icon", L"https://none.example/");
    changes.SetIcon(*without, nullptr);
    EXPECT_EQ(changes.UndoName(), last);
    ASSERT_TRUE(changes.Undo());
    EXPECT_FALSE(radio->icon);
}

TEST_F(ChangesTest, ThePopupComesBackAsTheSameObject)
{
    CPopup* popup = inbox->popup.get();
    const std::int32_t id = popup->id;
    ExpectUndoable([&] { changes.SetText(At(kNodeItem, inbox, SitePart::Popup), L""); }, L"typing");
    EXPECT_EQ(inbox->popup, nullptr);
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(inbox->popup.get(), popup);
    EXPECT_EQ(inbox->popup->id, id);

    // Typing after the popup went makes a new one, as without the history; undoing both brings
    // the first back.
    ASSERT_TRUE(changes.Redo());
    changes.SetText(At(kNodeItem, inbox, SitePart::Popup), L"N");
    changes.SetText(At(kNodeItem, inbox, SitePart::Popup), L"New");
    ASSERT_NE(inbox->popup, nullptr);
    EXPECT_GT(inbox->popup->id, id);
    EXPECT_EQ(changes.History().UndoCount(), 2u);
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(inbox->popup, nullptr);
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(inbox->popup.get(), popup);
    EXPECT_EQ(popup->content, L"Your mail");

    // A popup typed into an item without one goes with the undo and comes back with the redo.
    ExpectUndoable([&] { changes.SetText(At(kNodeItem, radio, SitePart::Popup), L"On air"); },
                   L"typing");
}

TEST_F(ChangesTest, RowsAddedAndRemovedComeBackAtTheirPlace)
{
    ExpectUndoable([&] { changes.AddLink(*inbox, L"New link", L"http://"); }, L"add link");
    ExpectUndoable([&] { changes.AddOption(*search, *engine, L"New option", L"Value"); },
                   L"add option");
    ExpectUndoable([&] { changes.RemoveOption(*search, *engine, images); }, L"remove option");
    ExpectUndoable([&] { changes.AddField(*search, 0, L"New field", L"Value", -1); }, L"add field");
    ExpectUndoable([&] { changes.RemoveField(*search, engine); }, L"remove field");
    ExpectUndoable([&] { changes.RemoveLink(*inbox, firstLink); }, L"remove link");
    // The removed rows come back as the same objects.
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(inbox->links[0], firstLink);
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(search->fields[1], engine);
    ASSERT_TRUE(changes.Undo());
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(engine->options[0], images);
}

TEST_F(ChangesTest, AddOnAnItemWithoutAddressFillsTheMainLinkAsOneStep)
{
    radio->mainLink.url.clear();
    radio->mainLink.caption = L"Old caption";
    ExpectUndoable([&] { EXPECT_EQ(changes.AddLink(*radio, L"New link", L"http://"), nullptr); },
                   L"add link");
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(radio->mainLink.caption, L"Old caption");
    EXPECT_TRUE(radio->mainLink.url.empty());
    EXPECT_EQ(changes.History().UndoCount(), 0u);
}

TEST_F(ChangesTest, NodesInsertedRemovedAndMovedComeBackWithEverythingBelow)
{
    ExpectUndoable(
        [&] {
            CColumn* column = new CColumn(project, L"New column");
            changes.InsertNode(CDetachedNode::Take(kNodeColumn, column), &project, 1,
                               L"add column");
        },
        L"add column");
    ExpectUndoable(
        [&] {
            CItem* item = new CItemLink(*news, L"New Link", L"https://www.example.com/");
            changes.InsertNode(CDetachedNode::Take(kNodeItem, item), news, 0, L"add link");
        },
        L"add link");
    ExpectUndoable([&] { changes.MoveNode(kNodeColumn, play, &project, 0); }, L"move");
    ExpectUndoable([&] { changes.MoveNode(kNodeItem, search, mail, 0); }, L"move");
    // Across parents: an item into another column's group.
    ExpectUndoable([&] { changes.MoveNode(kNodeItem, inbox, news, 1); }, L"move");
    ExpectUndoable([&] { changes.MoveNode(kNodeGroup, news, work, 0); }, L"move");
    ExpectUndoable([&] { changes.RemoveNode(kNodeItem, search); }, L"delete");
    ExpectUndoable([&] { changes.RemoveNode(kNodeGroup, news); }, L"delete");
    ExpectUndoable([&] { changes.RemoveNode(kNodeColumn, work); }, L"delete");
}

TEST_F(ChangesTest, ADeletedBranchComesBackAsTheSameObjects)
{
    changes.RemoveNode(kNodeColumn, work);
    EXPECT_EQ(project.columns.size(), 1u);
    ASSERT_TRUE(changes.Undo());
    ASSERT_EQ(project.columns[0], work);
    EXPECT_EQ(work->groups[0], mail);
    EXPECT_EQ(inbox->parent, mail);
    EXPECT_EQ(inbox->keptChunks.size(), 1u);
    EXPECT_EQ(inbox->links[0], firstLink);
    EXPECT_EQ(search->fields[1]->options[0], images);
}

TEST_F(ChangesTest, AMoveToWhereTheNodeIsRecordsNothing)
{
    changes.MoveNode(kNodeColumn, work, &project, 0);
    changes.MoveNode(kNodeColumn, play, &project, 7);
    EXPECT_EQ(changes.History().Count(), 0u);
}

TEST_F(ChangesTest, ReadingAPageReplacesTheColumnsAsOneStepAndUndoBringsTheSameBack)
{
    CProject other;
    other.title = L"Other page";
    CColumn* column = new CColumn(other, L"Imported");
    new CItemLink(*new CGroup(*column, L"Group"), L"Link", L"https://link.example/");
    const std::string page = GeneratedPage(other);

    CProject expected;
    LoadFromBytes(expected, SaveToBytes(project));
    ASSERT_EQ(SaveToBytes(expected), SaveToBytes(project));
    ImportBytes(expected, page);
    const std::string expectedBytes = SaveToBytes(expected);

    ExpectUndoable(
        [&] {
            CRecordingStream stream(page);
            EXPECT_TRUE(changes.ReadHtml(stream).replacedColumns);
            EXPECT_EQ(SaveToBytes(project), expectedBytes);
        },
        L"read HTML file");
    ASSERT_TRUE(changes.Undo());
    ASSERT_EQ(project.columns.size(), 2u);
    EXPECT_EQ(project.columns[0], work);
    EXPECT_EQ(project.columns[1], play);
    EXPECT_EQ(project.title, L"Home");
}

TEST_F(ChangesTest, ReadingABookmarkFileAddsColumnsAsOneStep)
{
    const std::string bookmarks = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<H1>Bookmarks</H1>\n"
                                  "<DL><p><DT><H3>Tools</H3><DL><p>"
                                  "<DT><A HREF=\"https://a.example/\">A</A>"
                                  "<DT><A HREF=\"https://b.example/\">B</A></DL><p></DL><p>\n";
    CProject expected;
    LoadFromBytes(expected, SaveToBytes(project));
    ASSERT_EQ(SaveToBytes(expected), SaveToBytes(project));
    ImportBytes(expected, bookmarks);
    ExpectUndoable(
        [&] {
            CRecordingStream stream(bookmarks);
            EXPECT_FALSE(changes.ReadHtml(stream).replacedColumns);
            EXPECT_EQ(SaveToBytes(project), SaveToBytes(expected));
        },
        L"read HTML file");
    EXPECT_EQ(project.columns[0], work);
}

TEST_F(ChangesTest, TypingIntoOneTextIsOneStepUntilSomethingElseActs)
{
    const CSite caption = At(kNodeColumn, work, SitePart::Caption);
    const CSite other = At(kNodeColumn, play, SitePart::Caption);
    changes.SetText(caption, L"W");
    changes.SetText(caption, L"Wo");
    changes.SetText(caption, L"Wor");
    EXPECT_EQ(changes.History().Count(), 1u);
    changes.SetText(other, L"P");
    changes.SetText(caption, L"Word");
    EXPECT_EQ(changes.History().Count(), 3u);
    changes.Seal();
    changes.SetText(caption, L"Words");
    EXPECT_EQ(changes.History().Count(), 4u);

    // Undo ends the typing too: what is typed after it is a new step.
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(work->caption, L"Word");
    changes.SetText(caption, L"Wordy");
    changes.SetText(caption, L"Wordys");
    EXPECT_EQ(changes.History().Count(), 4u);
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(work->caption, L"Word");
    ASSERT_TRUE(changes.Undo());
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(play->caption, L"Play");
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(work->caption, L"Work");
    EXPECT_FALSE(changes.Undo());
}

TEST_F(ChangesTest, AWriteThatChangesNothingRecordsNothingButMarksTheProject)
{
    project.modified = false;
    changes.SetText(LinkAt(inbox, firstLink, SitePart::LinkCaption), L"Sent");
    changes.SetNumber(FieldAt(search, engine, SitePart::FieldType), 1);
    changes.SetText(At(kNodeItem, radio, SitePart::Popup), L"");
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(changes.History().Count(), 0u);
    EXPECT_TRUE(changes.UndoName().empty());
    EXPECT_FALSE(changes.Undo());
    EXPECT_FALSE(changes.Redo());
}

TEST_F(ChangesTest, ANewChangeAfterAnUndoDropsWhatCouldBeRedone)
{
    changes.RemoveNode(kNodeColumn, play); // the step owns the column now
    changes.SetText(At(kNodeColumn, work, SitePart::Caption), L"Job");
    ASSERT_TRUE(changes.Undo());
    ASSERT_TRUE(changes.Undo());
    changes.SetText(At(kNodeGroup, mail, SitePart::Caption), L"Post");
    EXPECT_EQ(changes.History().Count(), 1u);
    EXPECT_TRUE(changes.RedoName().empty());
    EXPECT_EQ(project.columns.size(), 2u);
}

TEST_F(ChangesTest, AWithdrawnStepLeavesNeitherUndoNorRedoBehind)
{
    changes.RemoveNode(kNodeColumn, play);
    changes.Seal();
    const CSite caption = At(kNodeColumn, work, SitePart::Caption);
    changes.SetText(caption, L"J");
    changes.SetText(caption, L"Job");
    ASSERT_TRUE(changes.Withdraw());
    EXPECT_EQ(work->caption, L"Work");
    EXPECT_EQ(changes.UndoName(), L"delete");
    EXPECT_TRUE(changes.RedoName().empty());
    EXPECT_EQ(changes.History().Count(), 1u);
    ASSERT_TRUE(changes.Withdraw());
    EXPECT_EQ(project.columns.size(), 2u);
    EXPECT_EQ(changes.History().Count(), 0u);
    EXPECT_EQ(changes.History().Bytes(), 0u);
    EXPECT_FALSE(changes.Withdraw());
}

TEST_F(ChangesTest, GroupedChangesAreOneStepAndAnEmptyGroupRecordsNothing)
{
    {
        CStepScope scope(changes, L"replace moved links");
        changes.SetText(At(kNodeItem, inbox, SitePart::MainUrl), L"https://new.example/");
        changes.SetText(LinkAt(inbox, firstLink, SitePart::LinkUrl), L"https://new.example/s");
        changes.SetText(At(kNodeItem, radio, SitePart::MainUrl), L"https://radio.example/new");
    }
    {
        CStepScope empty(changes, L"nothing");
    }
    EXPECT_EQ(changes.History().Count(), 1u);
    EXPECT_EQ(changes.UndoName(), L"replace moved links");
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(inbox->mainLink.url, L"https://mail.example/");
    EXPECT_EQ(firstLink->url, L"https://mail.example/sent");
    EXPECT_EQ(radio->mainLink.url, L"https://radio.example/");
}

TEST_F(ChangesTest, TheWindowIsToldWhatChangedAndWhereAnUndoActed)
{
    changes.RemoveNode(kNodeGroup, mail);
    changes.MoveNode(kNodeColumn, play, &project, 0);
    EXPECT_EQ(observer.events, (std::vector<std::wstring>{L"removing group", L"moved column"}));
    observer.events.clear();
    ASSERT_TRUE(changes.Undo());
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(observer.events, (std::vector<std::wstring>{L"moved column", L"inserted group"}));
    ASSERT_EQ(observer.shown.size(), 2u);
    EXPECT_EQ(observer.shown[1].node, mail); // the restored node
    ASSERT_TRUE(changes.Redo());
    EXPECT_EQ(observer.shown[2].node, work); // its parent once it is gone again
}

TEST(HistoryBoundTest, KeepsAtMost64MiBDroppingTheOldestAndAlwaysTheNewest)
{
    CProject project;
    CColumn* column = new CColumn(project, L"");
    CProjectChanges changes(project);
    const std::wstring big(1 << 20, L'x'); // 1 M characters: 2 or 4 MiB a text
    for (int i = 0; i < 100; ++i) {
        changes.Seal();
        changes.SetText(At(kNodeColumn, column, SitePart::Caption), big + std::to_wstring(i));
    }
    EXPECT_LE(changes.History().Bytes(), CHistory::kDefaultLimit);
    EXPECT_GT(changes.History().Bytes(), CHistory::kDefaultLimit / 2);
    const std::size_t kept = changes.History().Count();
    EXPECT_LT(kept, 100u);
    for (std::size_t i = 0; i < kept; ++i)
        ASSERT_TRUE(changes.Undo());
    EXPECT_FALSE(changes.Undo());
    EXPECT_EQ(column->caption, big + std::to_wstring(99 - kept));

    // A single step larger than the bound still stays.
    CProjectChanges small(project, 1024);
    small.SetText(At(kNodeColumn, column, SitePart::Caption), big);
    EXPECT_EQ(small.History().Count(), 1u);
    small.RemoveNode(kNodeColumn, column);
    EXPECT_EQ(small.History().Count(), 1u);
    EXPECT_EQ(small.UndoName(), L"delete");
}

TEST(HistoryBoundTest, AKeystrokeCostsBytesNotACopyOfTheProject)
{
    CProject project;
    std::mt19937 random(7);
    for (int i = 0; i < 20; ++i)
        BuildRandomProject(project, random);
    CProjectChanges changes(project);
    CColumn* column = new CColumn(project, L"Caption");
    changes.SetText(At(kNodeColumn, column, SitePart::Caption), L"Caption!");
    EXPECT_LT(changes.History().Bytes(), 512u);
}

// ---- Random sequences against snapshots ----

class CRandomChanges
{
public:
    CRandomChanges(CProject& project, CProjectChanges& changes, std::mt19937& random)
        : project(project), changes(changes), random(random)
    {
    }

    int Below(std::size_t n) { return n == 0 ? 0 : static_cast<int>(random() % n); }

    std::wstring Text()
    {
        static const wchar_t* texts[] = {L"", L"a", L"Z\u00E9", L"\u4E2D\u6587", L"x y", L"1"};
        return texts[Below(6)];
    }

    // One random change through the change path.
    void Change()
    {
        Collect();
        switch (Below(12)) {
        case 0:
            changes.SetText(At(kNodeProject, &project, SitePart::Title), Text());
            break;
        case 1:
            if (!columns.empty())
                changes.SetText(At(kNodeColumn, Pick(columns), SitePart::Caption), Text());
            break;
        case 2:
        case 3:
            if (!links.empty()) {
                CItemLink* item = Pick(links);
                static const SitePart parts[] = {SitePart::MainCaption, SitePart::MainUrl,
                                                 SitePart::Divider, SitePart::Popup};
                CSite site = At(kNodeItem, item, parts[Below(4)]);
                if (!item->links.empty() && Below(2) == 0) {
                    site = LinkAt(item, item->links[Below(item->links.size())],
                                  Below(2) ? SitePart::LinkCaption : SitePart::LinkUrl);
                }
                // Typing twice into the same text: one step.
                changes.SetText(site, Text());
                if (site.part != SitePart::Popup && Below(2) == 0)
                    changes.SetText(site, Text() + L"!");
            }
            break;
        case 4:
            if (!links.empty()) {
                CItemLink* item = Pick(links);
                if (!item->links.empty() && Below(2) == 0) {
                    changes.RemoveLink(*item, item->links[Below(item->links.size())]);
                } else {
                    changes.AddLink(*item, Text(), Below(3) ? L"http://" : L"");
                }
            }
            break;
        case 5:
            if (!forms.empty()) FormChange(*Pick(forms));
            break;
        case 6: {
            CColumn* column = new CColumn(project, Text());
            if (Below(2)) new CGroup(*column, Text());
            changes.InsertNode(CDetachedNode::Take(kNodeColumn, column), &project,
                               Below(project.columns.size() + 1), L"add column");
            break;
        }
        case 7:
            if (!groups.empty()) {
                CGroup* group = Pick(groups);
                CItem* item = nullptr;
                if (Below(2)) {
                    item = new CItemLink(*group, Text(), L"https://www.example.com/");
                } else {
                    item = new CItemForm(*group);
                }
                changes.InsertNode(CDetachedNode::Take(kNodeItem, item), group,
                                   Below(group->items.size() + 1), L"add link");
            }
            break;
        case 8: {
            std::size_t nodes = columns.size() + groups.size() + items.size();
            if (nodes == 0) break;
            std::size_t at = static_cast<std::size_t>(Below(nodes));
            if (at < columns.size()) {
                changes.RemoveNode(kNodeColumn, columns[at]);
            } else if (at < columns.size() + groups.size()) {
                changes.RemoveNode(kNodeGroup, groups[at - columns.size()]);
            } else {
                changes.RemoveNode(kNodeItem, items[at - columns.size() - groups.size()]);
            }
            break;
        }
        case 9:
            if (!items.empty() && !groups.empty()) {
                CGroup* to = Pick(groups);
                changes.MoveNode(kNodeItem, Pick(items), to, Below(to->items.size() + 1));
            } else if (!columns.empty()) {
                changes.MoveNode(kNodeColumn, Pick(columns), &project,
                                 Below(project.columns.size()));
            }
            break;
        case 10:
            if (!groups.empty() && !columns.empty()) {
                CColumn* to = Pick(columns);
                changes.MoveNode(kNodeGroup, Pick(groups), to, Below(to->groups.size() + 1));
            }
            break;
        default:
            ReadPage();
            break;
        }
    }

private:
    template <typename T> T* Pick(const std::vector<T*>& from) { return from[Below(from.size())]; }

    void Collect()
    {
        columns.clear();
        groups.clear();
        items.clear();
        links.clear();
        forms.clear();
        for (CColumn* column : project.columns) {
            columns.push_back(column);
            for (CGroup* group : column->groups) {
                groups.push_back(group);
                for (CItem* item : group->items) {
                    items.push_back(item);
                    if (auto* link = dynamic_cast<CItemLink*>(item)) links.push_back(link);
                    if (auto* form = dynamic_cast<CItemForm*>(item)) forms.push_back(form);
                }
            }
        }
    }

    void FormChange(CItemForm& form)
    {
        CItemForm::CField* field =
            form.fields.empty() ? nullptr : form.fields[Below(form.fields.size())];
        switch (Below(6)) {
        case 0:
            changes.SetText(
                At(kNodeItem, &form, Below(2) ? SitePart::FormName : SitePart::FormAction), Text());
            break;
        case 1:
            changes.SetNumber(At(kNodeItem, &form, SitePart::Method), Below(2));
            break;
        case 2:
            if (field && Below(2)) {
                changes.RemoveField(form, field);
            } else {
                changes.AddField(form, Below(2), Text(), Text(), -1);
            }
            break;
        case 3:
            if (field) {
                changes.SetText(
                    FieldAt(&form, field, Below(2) ? SitePart::FieldName : SitePart::FieldValue),
                    Text());
            }
            break;
        case 4:
            if (field) {
                changes.SetNumber(
                    FieldAt(&form, field, Below(2) ? SitePart::FieldType : SitePart::FieldHidden),
                    Below(2));
            }
            break;
        default:
            if (!field) break;
            if (!field->options.empty() && Below(3) == 0) {
                changes.RemoveOption(form, *field, field->options[Below(field->options.size())]);
            } else if (!field->options.empty() && Below(2)) {
                CItemForm::COption* option = field->options[Below(field->options.size())];
                changes.SetText(FieldAt(&form, field, SitePart::OptionText, option), Text());
            } else {
                changes.AddOption(form, *field, Text(), Text());
            }
            break;
        }
    }

    void ReadPage()
    {
        CProject source;
        RandomProjectOptions options;
        options.pageSafe = true;
        options.keptChunks = false;
        BuildRandomProject(source, random, options);
        std::string page = GeneratedPage(source);
        // Without its <html> tag the page's columns are added after the project's.
        if (Below(2)) {
            std::size_t at = page.find("<html");
            if (at != std::string::npos) page.replace(at, 5, "<xhtml");
        }
        CRecordingStream stream(page);
        changes.ReadHtml(stream);
    }

    CProject& project;
    CProjectChanges& changes;
    std::mt19937& random;
    std::vector<CColumn*> columns;
    std::vector<CGroup*> groups;
    std::vector<CItem*> items;
    std::vector<CItemLink*> links;
    std::vector<CItemForm*> forms;
};

TEST(HistoryPropertyTest, RandomChangesUndosAndRedosMatchTheSnapshots)
{
    std::mt19937 random(20261208);
    for (int sequence = 0; sequence < 2000; ++sequence) {
        SCOPED_TRACE(sequence);
        CProject project;
        BuildRandomProject(project, random);
        // Now and then a bound small enough that old steps are dropped.
        const std::size_t limit = sequence % 4 == 0 ? 4096 : CHistory::kDefaultLimit;
        CProjectChanges changes(project, limit);
        CRandomChanges make(project, changes, random);
        // snapshots[k]: the project file when k steps are done.
        std::deque<std::string> snapshots{SaveToBytes(project)};
        const int steps = 5 + make.Below(25);
        for (int i = 0; i < steps; ++i) {
            const CHistory& history = changes.History();
            const std::size_t cursor = history.UndoCount();
            const int what = make.Below(6);
            if (what == 0 && cursor > 0) {
                ASSERT_TRUE(changes.Undo());
                ASSERT_EQ(SaveToBytes(project), snapshots[cursor - 1]) << "undo " << i;
                continue;
            }
            if (what == 1 && history.UndoCount() < history.Count()) {
                ASSERT_TRUE(changes.Redo());
                ASSERT_EQ(SaveToBytes(project), snapshots[cursor + 1]) << "redo " << i;
                continue;
            }
            const std::size_t revision = history.Revision();
            changes.Seal();
            make.Change();
            const std::string now = SaveToBytes(project);
            if (history.Revision() == revision) {
                ASSERT_EQ(now, snapshots[cursor]) << "a change that recorded nothing changed " << i;
                continue;
            }
            snapshots.resize(cursor + 1);
            snapshots.push_back(now);
            while (snapshots.size() > history.Count() + 1)
                snapshots.pop_front();
            ASSERT_EQ(history.UndoCount(), history.Count());
        }
        // All the way back and forth.
        while (changes.History().UndoCount() > 0) {
            const std::size_t cursor = changes.History().UndoCount();
            ASSERT_TRUE(changes.Undo());
            ASSERT_EQ(SaveToBytes(project), snapshots[cursor - 1]);
        }
        while (changes.Redo())
            ASSERT_EQ(SaveToBytes(project), snapshots[changes.History().UndoCount()]);
    }
}

} // namespace
