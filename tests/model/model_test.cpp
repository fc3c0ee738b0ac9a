#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

// An item that logs its destruction, to see what destroys what and in which order.
std::vector<std::string> destroyed;

class CLoggedItem : public CItem
{
public:
    CLoggedItem(CGroup& parent, std::string name) : CItem(parent), name(std::move(name)) {}
    ~CLoggedItem() override { destroyed.push_back(name); }
    std::uint32_t GetTag() const override { return 0; }
    void WriteHtml(CStream&) const override {}
    std::wstring GetLabel() const override { return L""; }
    std::string name;
};

template <typename List> std::vector<std::wstring> Captions(const List& list)
{
    std::vector<std::wstring> captions;
    for (auto* node : list)
        captions.push_back(node->caption);
    return captions;
}

using Names = std::vector<std::wstring>;

} // namespace

TEST(Model, NewProjectIsEmpty)
{
    CProject project;
    EXPECT_TRUE(project.title.empty());
    EXPECT_TRUE(project.columns.empty());
    EXPECT_FALSE(project.modified);
}

TEST(Model, ConstructorsAppendToTheParentAndLinkBack)
{
    CProject project;
    CColumn* a = new CColumn(project, L"A");
    CColumn* b = new CColumn(project);
    EXPECT_EQ(Captions(project.columns), (Names{L"A", L""}));
    EXPECT_EQ(b->parent, &project);
    CGroup* group = new CGroup(*a, L"G");
    EXPECT_EQ(group->parent, a);
    EXPECT_EQ(a->groups.back(), group);
    CItemLink* link = new CItemLink(*group);
    CItemForm* form = new CItemForm(*group);
    EXPECT_EQ(link->parent, group);
    EXPECT_EQ(group->items[0], link);
    EXPECT_EQ(group->items[1], form);
}

TEST(Model, MoveChildAfterReordersLikeTheTreeEditorNeeds)
{
    CProject project;
    CColumn* a = new CColumn(project, L"A");
    CColumn* b = new CColumn(project, L"B");
    CColumn* c = new CColumn(project, L"C");
    project.MoveChildAfter(a, c);
    EXPECT_EQ(Captions(project.columns), (Names{L"B", L"C", L"A"}));
    project.MoveChildAfter(a, nullptr);
    EXPECT_EQ(Captions(project.columns), (Names{L"A", L"B", L"C"}));
    project.MoveChildAfter(a, b);
    EXPECT_EQ(Captions(project.columns), (Names{L"B", L"A", L"C"}));
    // A new node is appended by its constructor and then placed after a sibling.
    CColumn* d = new CColumn(project, L"D");
    project.MoveChildAfter(d, b);
    EXPECT_EQ(Captions(project.columns), (Names{L"B", L"D", L"A", L"C"}));
    (void)c;
}

TEST(Model, RemoveChildUnlinksWithoutDestroying)
{
    CProject project;
    CColumn* a = new CColumn(project, L"A");
    CProject other;
    CColumn* stranger = new CColumn(other, L"X");
    project.RemoveChild(stranger);
    EXPECT_EQ(project.columns.size(), 1u);
    EXPECT_EQ(other.columns.size(), 1u);

    CGroup* group = new CGroup(*a);
    CLoggedItem* item = new CLoggedItem(*group, "item");
    destroyed.clear();
    group->RemoveChild(item);
    EXPECT_TRUE(group->items.empty());
    EXPECT_TRUE(destroyed.empty());
    delete item;
    EXPECT_EQ(destroyed, std::vector<std::string>{"item"});
}

TEST(Model, DestroyingANodeDestroysItsSubtreeInListOrder)
{
    destroyed.clear();
    {
        CProject project;
        CColumn* column = new CColumn(project);
        CGroup* first = new CGroup(*column);
        new CLoggedItem(*first, "1");
        new CLoggedItem(*first, "2");
        CGroup* second = new CGroup(*column);
        new CLoggedItem(*second, "3");
        CColumn* empty = new CColumn(project);
        empty->DeleteChildren(); // nothing to do
        project.DeleteColumn(column);
        EXPECT_TRUE(project.modified);
        EXPECT_EQ(destroyed, (std::vector<std::string>{"1", "2", "3"}));
        EXPECT_EQ(project.columns.size(), 1u);
        CGroup* last = new CGroup(*empty);
        new CLoggedItem(*last, "4");
        new CLoggedItem(*last, "5");
    }
    EXPECT_EQ(destroyed, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
}

TEST(Model, DeleteColumnRefusesAColumnThatIsNotInTheList)
{
    CProject project;
    CColumn* own = new CColumn(project, L"A");
    CProject other;
    CColumn* stranger = new CColumn(other, L"X");
    EXPECT_FALSE(project.DeleteColumn(stranger));
    EXPECT_FALSE(project.DeleteColumn(nullptr));
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(other.columns.size(), 1u);
    EXPECT_EQ(stranger->caption, L"X"); // untouched, still the other project's

    // Unlinked before: the caller owns it again and is told so.
    project.RemoveChild(own);
    EXPECT_FALSE(project.DeleteColumn(own));
    delete own;

    CColumn* second = new CColumn(project, L"B");
    EXPECT_TRUE(project.DeleteColumn(second));
    EXPECT_TRUE(project.modified);
    EXPECT_TRUE(project.columns.empty());
}

TEST(Model, ItemKindsAndLabels)
{
    CProject project;
    CGroup* group = new CGroup(*new CColumn(project));
    CItemLink* link = new CItemLink(*group, L"Caption", L"http://x");
    CItemForm* form = new CItemForm(*group);
    EXPECT_EQ(link->GetTag(), 0x696C6E6Bu);
    EXPECT_EQ(form->GetTag(), 0x6966726Du);
    EXPECT_EQ(link->GetLabel(), L"Caption");
    link->mainLink.caption.clear();
    EXPECT_EQ(link->GetLabel(), L"");
    EXPECT_EQ(link->GetTag(), tags::kItemLink);
    EXPECT_EQ(form->GetLabel(), L"Unnamed form");
    form->name = L"Search";
    EXPECT_EQ(form->GetLabel(), L"Search");
    EXPECT_EQ(form->method, 0);
}

TEST(LinkItem, AddLinkFillsTheMainLinkFirst)
{
    CProject project;
    CGroup* group = new CGroup(*new CColumn(project));
    CItemLink* item = new CItemLink(*group);
    item->mainLink.caption = L"old";
    EXPECT_EQ(item->AddLink(L"Main", L"u1"), nullptr);
    EXPECT_EQ(item->mainLink.caption, L"Main");
    EXPECT_EQ(item->mainLink.url, L"u1");
    CItemLink::CLink* second = item->AddLink(L"Second", L"u2");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(item->links.size(), 1u);
    EXPECT_EQ(item->links[0]->caption, L"Second");

    CItemLink* other = new CItemLink(*group, L"o", L"uo");
    CItemLink::CLink* foreign = other->AddLink(L"f", L"uf");
    item->RemoveLink(foreign);
    EXPECT_EQ(other->links.size(), 1u);
    EXPECT_EQ(item->links.size(), 1u);
    item->RemoveLink(second);
    EXPECT_TRUE(item->links.empty());
}

TEST(LinkItem, PopupKeepsItsNumberWhenItsContentChanges)
{
    CProject project;
    CGroup* group = new CGroup(*new CColumn(project));
    CItemLink* item = new CItemLink(*group);
    item->SetPopupContent(L"first");
    ASSERT_TRUE(item->popup);
    std::int32_t id = item->popup->id;
    EXPECT_EQ(item->popup->parent, item);
    item->SetPopupContent(L"second");
    EXPECT_EQ(item->popup->id, id);
    EXPECT_EQ(item->popup->content, L"second");
}

TEST(LinkItem, PopupNumbersAreConsecutiveAndNeverReused)
{
    CProject project;
    CGroup* group = new CGroup(*new CColumn(project));
    std::vector<std::int32_t> ids;
    std::vector<CItemLink*> items;
    for (int i = 0; i < 3; ++i) {
        items.push_back(new CItemLink(*group));
        items.back()->SetPopupContent(L"p");
        ids.push_back(items.back()->popup->id);
    }
    EXPECT_GT(ids[0], 0);
    EXPECT_EQ(ids[1], ids[0] + 1);
    EXPECT_EQ(ids[2], ids[0] + 2);
    items[0]->popup.reset();
    items[0]->SetPopupContent(L"again");
    EXPECT_EQ(items[0]->popup->id, ids[0] + 3);
}

TEST(LinkItem, PopupCounterIsSafeAcrossThreads)
{
    CProject project;
    CGroup* group = new CGroup(*new CColumn(project));
    CItemLink* item = new CItemLink(*group);
    std::vector<std::vector<std::int32_t>> seen(4);
    std::vector<std::thread> threads;
    for (auto& ids : seen) {
        threads.emplace_back([&ids, item] {
            for (int i = 0; i < 2000; ++i)
                ids.push_back(CPopup(*item, L"").id);
        });
    }
    for (auto& thread : threads)
        thread.join();
    std::set<std::int32_t> unique;
    for (auto& ids : seen)
        unique.insert(ids.begin(), ids.end());
    EXPECT_EQ(unique.size(), 8000u);
}

TEST(FormItem, FieldsAndOptionsAreAppendedAndRemovedOnlyFromTheirOwner)
{
    CProject project;
    CGroup* group = new CGroup(*new CColumn(project));
    CItemForm* form = new CItemForm(*group);
    CItemForm* other = new CItemForm(*group);
    CItemForm::CField* q = form->AddField(0, L"q", L"x", -1);
    CItemForm::CField* list = form->AddField(1, L"l", L"", 20);
    EXPECT_EQ(q->parent, form);
    EXPECT_FALSE(q->hidden);
    EXPECT_EQ(form->fields.size(), 2u);
    EXPECT_EQ(form->fields[1], list);
    CItemForm::CField* foreign = other->AddField(0, L"f", L"", -1);
    form->RemoveField(foreign);
    EXPECT_EQ(other->fields.size(), 1u);
    EXPECT_EQ(form->fields.size(), 2u);

    CItemForm::COption* one = list->AddOption(L"One", L"1");
    list->AddOption(L"Two", L"2");
    q->AddOption(L"kept on an input", L"");
    EXPECT_EQ(list->options.size(), 2u);
    EXPECT_EQ(q->options.size(), 1u);
    q->RemoveOption(one);
    EXPECT_EQ(list->options.size(), 2u);
    list->RemoveOption(one);
    EXPECT_EQ(list->options.size(), 1u);
    EXPECT_EQ(list->options[0]->text, L"Two");
    form->RemoveField(q);
    EXPECT_EQ(form->fields.size(), 1u);
    EXPECT_EQ(form->fields[0], list);
}
