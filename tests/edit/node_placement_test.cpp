// Where pasted and dropped nodes go, for every pasted kind onto every acting kind, and a paste
// and a cut as single steps of the change path.
#include "edit/node_placement.h"

#include "edit/project_changes.h"
#include "model/item_link.h"
#include "model/project.h"
#include "test_support.h"
#include "transfer/node_bytes.h"

#include <gtest/gtest.h>

namespace {

class PlacementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        project.title = L"Home";
        a = new CColumn(project, L"A");
        a1 = new CGroup(*a, L"a1");
        i1 = new CItemLink(*a1, L"i1", L"https://one.example/");
        i2 = new CItemLink(*a1, L"i2", L"https://two.example/");
        a2 = new CGroup(*a, L"a2");
        b = new CColumn(project, L"B"); // no groups
        c = new CColumn(project, L"C");
        c1 = new CGroup(*c, L"c1"); // no items
    }

    // "parent@index", or "none".
    std::wstring Paste(std::int32_t actingKind, CStreamable* acting, std::int32_t pastedKind)
    {
        CNodePlace place;
        if (!PastePlace(actingKind, acting, pastedKind, place)) return L"none";
        return Name(place);
    }
    std::wstring Drop(std::int32_t targetKind, CStreamable* target, std::int32_t kind, bool upper)
    {
        CNodePlace place;
        if (!DropPlace(targetKind, target, kind, upper, place)) return L"none";
        return Name(place);
    }
    std::wstring Name(const CNodePlace& place)
    {
        std::wstring name = place.parent == &project ? L"project"
                            : place.parent == a      ? L"A"
                            : place.parent == b      ? L"B"
                            : place.parent == c      ? L"C"
                            : place.parent == a1     ? L"a1"
                            : place.parent == a2     ? L"a2"
                            : place.parent == c1     ? L"c1"
                                                     : L"?";
        return name + L"@" + std::to_wstring(place.index);
    }

    CProject project;
    CColumn *a, *b, *c;
    CGroup *a1, *a2, *c1;
    CItemLink *i1, *i2;
};

TEST_F(PlacementTest, AColumnGoesAfterTheActingNodesColumnOrAtTheEnd)
{
    EXPECT_EQ(Paste(kNodeProject, &project, kNodeColumn), L"project@3");
    EXPECT_EQ(Paste(kNodeColumn, a, kNodeColumn), L"project@1");
    EXPECT_EQ(Paste(kNodeColumn, c, kNodeColumn), L"project@3");
    EXPECT_EQ(Paste(kNodeGroup, a2, kNodeColumn), L"project@1");
    EXPECT_EQ(Paste(kNodeItem, i1, kNodeColumn), L"project@1");
}

TEST_F(PlacementTest, AGroupGoesToTheColumnsEndOrAfterTheActingGroup)
{
    EXPECT_EQ(Paste(kNodeColumn, a, kNodeGroup), L"A@2");
    EXPECT_EQ(Paste(kNodeColumn, b, kNodeGroup), L"B@0");
    EXPECT_EQ(Paste(kNodeGroup, a1, kNodeGroup), L"A@1");
    EXPECT_EQ(Paste(kNodeItem, i2, kNodeGroup), L"A@1");
    // The project: the end of its last column, as for items.
    EXPECT_EQ(Paste(kNodeProject, &project, kNodeGroup), L"C@1");
    project.columns.DeleteAll();
    EXPECT_EQ(Paste(kNodeProject, &project, kNodeGroup), L"none");
}

TEST_F(PlacementTest, AnItemGoesToTheGroupsEndOrAfterTheActingItemOrToTheLastGroup)
{
    EXPECT_EQ(Paste(kNodeGroup, a1, kNodeItem), L"a1@2");
    EXPECT_EQ(Paste(kNodeGroup, a2, kNodeItem), L"a2@0");
    EXPECT_EQ(Paste(kNodeItem, i1, kNodeItem), L"a1@1");
    EXPECT_EQ(Paste(kNodeItem, i2, kNodeItem), L"a1@2");
    EXPECT_EQ(Paste(kNodeColumn, a, kNodeItem), L"a2@0");
    EXPECT_EQ(Paste(kNodeColumn, c, kNodeItem), L"c1@0");
    EXPECT_EQ(Paste(kNodeProject, &project, kNodeItem), L"c1@0");
    // Nowhere to go: a column without groups, a project whose last column has none.
    EXPECT_EQ(Paste(kNodeColumn, b, kNodeItem), L"none");
    project.columns.Destroy(c);
    EXPECT_EQ(Paste(kNodeProject, &project, kNodeItem), L"none");
}

TEST_F(PlacementTest, ADropOntoTheSameKindGoesBeforeOrAfterByTheHalf)
{
    EXPECT_EQ(Drop(kNodeItem, i2, kNodeItem, true), L"a1@1");
    EXPECT_EQ(Drop(kNodeItem, i2, kNodeItem, false), L"a1@2");
    EXPECT_EQ(Drop(kNodeGroup, a2, kNodeGroup, true), L"A@1");
    EXPECT_EQ(Drop(kNodeGroup, a2, kNodeGroup, false), L"A@2");
    EXPECT_EQ(Drop(kNodeColumn, a, kNodeColumn, true), L"project@0");
    EXPECT_EQ(Drop(kNodeColumn, c, kNodeColumn, false), L"project@3");
    // Onto another kind the half does not matter: as a paste.
    EXPECT_EQ(Drop(kNodeGroup, a1, kNodeItem, true), L"a1@2");
    EXPECT_EQ(Drop(kNodeItem, i1, kNodeGroup, true), L"A@1");
    EXPECT_EQ(Drop(kNodeColumn, b, kNodeItem, false), L"none");
}

TEST_F(PlacementTest, APasteOfSeveralNodesIsOneStepAndACutIsAnother)
{
    CProjectChanges changes(project);
    const std::string before = SaveToBytes(project);
    CNodeBundle copies = CopyNodes(kNodeItem, {i1, i2});
    ASSERT_EQ(copies.nodes.size(), 2u);
    std::vector<CStreamable*> pasted =
        changes.InsertNodes(std::move(copies.nodes), a2, 0, L"paste");
    ASSERT_EQ(pasted.size(), 2u);
    EXPECT_EQ(ProjectOutline(project), L"Home[A[a1[i1,i2],a2[i1,i2]],B,C[c1]]");
    EXPECT_EQ(changes.UndoName(), L"paste");
    EXPECT_TRUE(project.modified);
    const std::string after = SaveToBytes(project);

    changes.RemoveNode(kNodeGroup, a1, L"cut");
    EXPECT_EQ(changes.UndoName(), L"cut");
    EXPECT_EQ(ProjectOutline(project), L"Home[A[a2[i1,i2]],B,C[c1]]");
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(SaveToBytes(project), after);
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(SaveToBytes(project), before);
    ASSERT_TRUE(changes.Redo());
    EXPECT_EQ(SaveToBytes(project), after);
    // Past the end: appended in order.
    CNodeBundle more = CopyNodes(kNodeItem, {i2});
    changes.InsertNodes(std::move(more.nodes), c1, 99, L"paste");
    EXPECT_EQ(ProjectOutline(project), L"Home[A[a1[i1,i2],a2[i1,i2]],B,C[c1[i2]]]");
}

} // namespace
