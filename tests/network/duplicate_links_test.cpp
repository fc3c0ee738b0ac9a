// Find duplicate links: addresses compared as a browser reads them, every place of each in page
// order with all but the first selected beforehand, and their deletion as one step.
#include "edit/project_changes.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "network/duplicate_links.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

struct Project
{
    CProject project;
    CItemLink *paper, *radio, *again, *mail, *blank, *otherBlank;

    Project()
    {
        project.title = L"T";
        auto* daily = new CColumn(project, L"Daily");
        auto* news = new CGroup(*daily, L"News");
        paper = new CItemLink(*news, L"Paper", L"https://paper.example/?a=1&amp;b=2");
        radio = new CItemLink(*news, L"Radio", L"https://radio.example/");
        radio->AddLink(L"Paper's", L"HTTPS://Paper.example:443/?a=1&b=2");
        mail = new CItemLink(*news, L"Mail", L"mailto:me@example.com");
        blank = new CItemLink(*news, L"Blank", L"");
        auto* form = new CItemForm(*news);
        form->name = L"Form";
        form->action = L"https://paper.example/?a=1&b=2";
        auto* spare = new CColumn(project, L"Spare");
        auto* more = new CGroup(*spare, L"More");
        otherBlank = new CItemLink(*more, L"Other blank", L"");
        again = new CItemLink(*more, L"Radio again", L"https://radio.example");
        new CItemLink(*more, L"Mail again", L"MAILTO:me@example.com");
        new CItemLink(*more, L"Paper third", L"https://paper.example/?a=1&#38;b=2");
    }
};

} // namespace

TEST(DuplicateLinksTest, EveryAddressOfSeveralPlacesWithItsPlacesInPageOrder)
{
    Project sample;
    const std::vector<DuplicateAddress> found = FindDuplicateLinks(sample.project);
    ASSERT_EQ(found.size(), 3u);

    EXPECT_EQ(found[0].key, "https://paper.example/?a=1&b=2");
    ASSERT_EQ(found[0].places.size(), 3u);
    const DuplicatePlace& first = found[0].places[0];
    EXPECT_EQ(first.item, sample.paper);
    EXPECT_EQ(first.link, nullptr);
    EXPECT_EQ(first.caption, L"Paper");
    EXPECT_EQ(first.url, L"https://paper.example/?a=1&amp;b=2");
    EXPECT_EQ(first.column + L" / " + first.group, L"Daily / News");
    EXPECT_FALSE(first.preselected);
    const DuplicatePlace& further = found[0].places[1];
    EXPECT_EQ(further.item, sample.radio);
    EXPECT_EQ(further.link, sample.radio->links[0]);
    EXPECT_EQ(further.caption, L"Paper's");
    EXPECT_EQ(further.itemIndex, 1u);
    EXPECT_EQ(further.linkIndex, 1u);
    EXPECT_TRUE(further.preselected);
    const DuplicatePlace& third = found[0].places[2];
    EXPECT_EQ(third.column + L" / " + third.group, L"Spare / More");
    EXPECT_EQ(third.columnIndex, 1u);
    EXPECT_EQ(third.itemIndex, 3u);
    EXPECT_TRUE(third.preselected);

    EXPECT_EQ(found[1].key, "https://radio.example/");
    ASSERT_EQ(found[1].places.size(), 2u);
    EXPECT_EQ(found[1].places[1].item, sample.again);
    EXPECT_EQ(found[2].key, "mailto:me@example.com");
    // Forms' addresses are not links, and empty addresses are none.
    for (const DuplicateAddress& address : found)
        for (const DuplicatePlace& place : address.places)
            EXPECT_NE(place.item, sample.blank);

    CProject alone;
    new CItemLink(*new CGroup(*new CColumn(alone, L"C"), L"G"), L"A", L"https://a.example/");
    EXPECT_TRUE(FindDuplicateLinks(alone).empty());
}

TEST(DuplicateLinksTest, DeletingThePreselectedPlacesIsOneStepThatLeavesEachAddressOnce)
{
    Project sample;
    CProjectChanges changes(sample.project);
    const std::string before = SaveToBytes(sample.project);
    const std::vector<DuplicateAddress> found = FindDuplicateLinks(sample.project);
    std::vector<const DuplicatePlace*> chosen;
    for (const DuplicateAddress& address : found)
        for (const DuplicatePlace& place : address.places)
            if (place.preselected) chosen.push_back(&place);
    ASSERT_EQ(chosen.size(), 4u);

    EXPECT_EQ(DeleteLinkPlaces(changes, chosen), 4u);
    EXPECT_TRUE(FindDuplicateLinks(sample.project).empty());
    EXPECT_EQ(ProjectOutline(sample.project),
              L"T[Daily[News[Paper,Radio,Mail,Blank,Form]],Spare[More[Other blank]]]");
    EXPECT_EQ(sample.radio->links.size(), 0u);
    ASSERT_TRUE(changes.Undo());
    EXPECT_EQ(SaveToBytes(sample.project), before);
    EXPECT_FALSE(changes.Undo());

    // Places whose link changed its address since, or went, are left alone; an item's own
    // further link goes with the item.
    ASSERT_TRUE(changes.Redo());
    ASSERT_TRUE(changes.Undo());
    sample.again->mainLink.url = L"https://elsewhere.example/";
    EXPECT_EQ(DeleteLinkPlaces(changes, {&found[1].places[0], &found[0].places[1],
                                         &found[1].places[1], nullptr}),
              1u);
    EXPECT_EQ(ProjectOutline(sample.project), L"T[Daily[News[Paper,Mail,Blank,Form]],"
                                              L"Spare[More[Other blank,Radio again,Mail again,"
                                              L"Paper third]]]");
    EXPECT_EQ(changes.UndoName(), L"delete");
}
