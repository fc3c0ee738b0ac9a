// The form pane: the form's own values, its fields and a select field's options.
#include "pane_fixture.h"

#include "resources/resource.h"

namespace {

class FormPaneTest : public OnePaneTest<CdlgPropItemForm>
{
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        Bind(editor->formPane, form);
        fields = Item(IDC_FORM_FIELDS);
        options = Item(IDC_FORM_OPTIONS);
    }

    HWND fields = nullptr;
    HWND options = nullptr;
};

} // namespace

TEST_F(FormPaneTest, BindingShowsTheFormAndLeavesNothingCurrent)
{
    SetTreeLabel(kNodeItem, form, L"untouched");
    Show(*pane, form);
    EXPECT_EQ(TreeLabel(kNodeItem, form), L"untouched") << "binding relabels nothing";
    EXPECT_EQ(Text(Item(IDC_FORM_NAME)), L"Search the web");
    EXPECT_EQ(Text(Item(IDC_FORM_URL)), L"https://duckduckgo.com/html/");
    EXPECT_EQ(ComboText(Item(IDC_FORM_METHOD)), L"GET");
    ASSERT_EQ(listrows::Count(fields), 3);
    EXPECT_EQ(Row(fields, 0), (Cells{L"q", L"", L"Input", L""}));
    EXPECT_EQ(Row(fields, 1), (Cells{L"kl", L"de-de", L"Select", L""}));
    EXPECT_EQ(Row(fields, 2), (Cells{L"kp", L"-2", L"Input", L"Hidden"}));
    EXPECT_EQ(listrows::Selected(fields), -1);
    EXPECT_EQ(listrows::Count(options), 0);
    EXPECT_FALSE(project.modified);

    // After a field was loaded, binding again clears and disables every field and option editor.
    listrows::Select(fields, 1);
    listrows::Select(options, 0);
    pane->SetNode(form);
    EXPECT_EQ(pane->currentField, nullptr);
    EXPECT_EQ(pane->currentOption, nullptr);
    for (int id : {IDC_FIELD_NAME, IDC_FIELD_VALUE, IDC_OPTION_NAME, IDC_OPTION_VALUE}) {
        EXPECT_EQ(Text(Item(id)), L"") << id;
        EXPECT_FALSE(Enabled(Item(id))) << id;
    }
    EXPECT_FALSE(Enabled(Item(IDC_FIELD_TYPE)));
    EXPECT_FALSE(Enabled(Item(IDC_FIELD_HIDDEN)));
    EXPECT_EQ(::SendMessageW(Item(IDC_FIELD_HIDDEN), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(listrows::Count(options), 0);
    EXPECT_EQ(form->fields[1]->name, L"kl") << "clearing the editors wrote nothing back";
    EXPECT_EQ(form->fields[1]->options[0]->text, L"Germany");
}

TEST_F(FormPaneTest, MethodAndUnknownValuesAreShownAsTheyAre)
{
    form->method = 2; // any value but 0 means POST
    form->fields[0]->type = 7;
    pane->SetNode(form);
    EXPECT_EQ(ComboText(Item(IDC_FORM_METHOD)), L"POST");
    EXPECT_EQ(Cell(fields, 0, 2), L"7");
    listrows::Select(fields, 0);
    EXPECT_EQ(ComboText(Item(IDC_FIELD_TYPE)), L"(none)") << "no entry stands for type 7";
    EXPECT_FALSE(Enabled(Item(IDC_OPTION_ADD)));
    EXPECT_EQ(form->fields[0]->type, 7);

    Choose(Item(IDC_FORM_METHOD), 0);
    EXPECT_EQ(form->method, 0);
    EXPECT_TRUE(project.modified);
    Choose(Item(IDC_FORM_METHOD), 1);
    EXPECT_EQ(form->method, 1);
}

TEST_F(FormPaneTest, TypingWritesTheFormFieldsAndOptions)
{
    Type(Item(IDC_FORM_NAME), L"Web search");
    EXPECT_EQ(form->name, L"Web search");
    EXPECT_EQ(TreeLabel(kNodeItem, form), L"Web search");
    EXPECT_TRUE(project.modified);
    Type(Item(IDC_FORM_NAME), L"");
    EXPECT_EQ(TreeLabel(kNodeItem, form), L"Unnamed form");
    Type(Item(IDC_FORM_NAME), L"Web search");
    Type(Item(IDC_FORM_URL), L"https://example.org/search");
    EXPECT_EQ(form->action, L"https://example.org/search");

    // Field editors with no field current change nothing.
    project.modified = false;
    Type(Item(IDC_FIELD_NAME), L"stray");
    EXPECT_FALSE(project.modified);

    listrows::Select(fields, 1);
    CItemForm::CField* region = form->fields[1];
    EXPECT_EQ(pane->currentField, region);
    EXPECT_EQ(Text(Item(IDC_FIELD_NAME)), L"kl");
    EXPECT_EQ(Text(Item(IDC_FIELD_VALUE)), L"de-de");
    EXPECT_EQ(ComboText(Item(IDC_FIELD_TYPE)), L"Select");
    EXPECT_FALSE(project.modified) << "loading a field is no edit";
    ASSERT_EQ(listrows::Count(options), 2);
    EXPECT_EQ(Row(options, 1), (Cells{L"France", L"fr-fr"}));

    Type(Item(IDC_FIELD_NAME), L"region");
    Type(Item(IDC_FIELD_VALUE), L"fr-fr");
    EXPECT_EQ(region->name, L"region");
    EXPECT_EQ(region->value, L"fr-fr");
    EXPECT_EQ(Row(fields, 1), (Cells{L"region", L"fr-fr", L"Select", L""}));
    EXPECT_EQ(form->name, L"Web search");
    EXPECT_EQ(TreeLabel(kNodeItem, form), L"Web search") << "the label shows the form's name";
    EXPECT_TRUE(project.modified);

    project.modified = false;
    Type(Item(IDC_OPTION_NAME), L"stray");
    EXPECT_FALSE(project.modified) << "no option is current yet";
    listrows::Select(options, 1);
    EXPECT_FALSE(project.modified) << "loading an option is no edit";
    EXPECT_EQ(Text(Item(IDC_OPTION_NAME)), L"France");
    Type(Item(IDC_OPTION_NAME), L"La France");
    Type(Item(IDC_OPTION_VALUE), L"fr");
    EXPECT_EQ(region->options[1]->text, L"La France");
    EXPECT_EQ(region->options[1]->value, L"fr");
    EXPECT_EQ(Row(options, 1), (Cells{L"La France", L"fr"}));
    EXPECT_TRUE(project.modified);

    // Another field: the option editors no longer show the old field's option.
    listrows::Select(fields, 0);
    EXPECT_EQ(pane->currentOption, nullptr);
    EXPECT_EQ(Text(Item(IDC_OPTION_NAME)), L"");
    EXPECT_EQ(listrows::Count(options), 0);
    EXPECT_EQ(region->options[1]->text, L"La France");
}

TEST_F(FormPaneTest, TheTypeAndHiddenControlsWriteTheCurrentField)
{
    listrows::Select(fields, 0); // an input field
    CItemForm::CField* query = form->fields[0];
    HWND add = Item(IDC_OPTION_ADD);
    EXPECT_FALSE(Enabled(add));
    EXPECT_TRUE(Enabled(Item(IDC_FIELD_HIDDEN)));

    // The user is in the middle of typing the name when the type changes.
    HWND name = Item(IDC_FIELD_NAME);
    Type(name, L"query");
    ::SendMessageW(name, EM_SETSEL, 2, 4);
    project.modified = false;
    Choose(Item(IDC_FIELD_TYPE), 1);
    EXPECT_EQ(query->type, 1);
    EXPECT_EQ(Cell(fields, 0, 2), L"Select");
    EXPECT_TRUE(Enabled(add)) << "the option Add follows the new type at once";
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(Text(name), L"query");
    EXPECT_EQ(Selection(name), std::make_pair(2ul, 4ul));
    Choose(Item(IDC_FIELD_TYPE), 0);
    EXPECT_EQ(query->type, 0);
    EXPECT_FALSE(Enabled(add));

    HWND hidden = Item(IDC_FIELD_HIDDEN);
    Click(hidden);
    EXPECT_TRUE(query->hidden);
    EXPECT_EQ(Cell(fields, 0, 3), L"Hidden");
    Click(hidden);
    EXPECT_FALSE(query->hidden);
    EXPECT_EQ(Cell(fields, 0, 3), L"");

    listrows::Select(fields, 2);
    EXPECT_EQ(::SendMessageW(hidden, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(form->fields[2]->hidden);
}

TEST_F(FormPaneTest, AddAndRemoveFields)
{
    project.modified = false;
    Click(Item(IDC_FIELD_ADD));
    ASSERT_EQ(form->fields.size(), 4u);
    CItemForm::CField* added = form->fields[3];
    EXPECT_EQ(added->type, 0);
    EXPECT_EQ(added->name, L"New field");
    EXPECT_EQ(added->value, L"Value");
    EXPECT_EQ(added->size, -1);
    EXPECT_EQ(Row(fields, 3), (Cells{L"New field", L"Value", L"Input", L""}));
    EXPECT_EQ(listrows::Selected(fields), 3);
    EXPECT_EQ(pane->currentField, added);
    HWND name = Item(IDC_FIELD_NAME);
    EXPECT_EQ(Text(name), L"New field");
    EXPECT_TRUE(Enabled(name));
    EXPECT_EQ(::GetFocus(), name);
    EXPECT_EQ(Selection(name), std::make_pair(0ul, 9ul));
    EXPECT_TRUE(project.modified);

    HWND remove = Item(IDC_FIELD_REMOVE);
    listrows::Select(fields, 1); // the select field, with its options shown
    EXPECT_EQ(listrows::Count(options), 2);
    Click(remove);
    ASSERT_EQ(form->fields.size(), 3u);
    EXPECT_EQ(listrows::Selected(fields), 1);
    EXPECT_EQ(pane->currentField, form->fields[1]);
    EXPECT_EQ(Text(name), L"kp");
    EXPECT_EQ(listrows::Count(options), 0) << "the removed field's options went with it";

    listrows::Select(fields, 2);
    Click(remove); // the last row: the new last row is selected
    EXPECT_EQ(listrows::Selected(fields), 1);
    EXPECT_EQ(pane->currentField, form->fields[1]);

    Click(remove);
    Click(remove);
    EXPECT_TRUE(form->fields.empty());
    EXPECT_EQ(listrows::Count(fields), 0);
    EXPECT_EQ(listrows::Count(options), 0);
    EXPECT_EQ(pane->currentField, nullptr);
    EXPECT_EQ(pane->currentOption, nullptr);
    EXPECT_FALSE(Enabled(remove));
    EXPECT_NE(::GetFocus(), remove);
    project.modified = false;
    Click(remove);
    Type(name, L"nothing current");
    EXPECT_FALSE(project.modified);
}

TEST_F(FormPaneTest, AddAndRemoveOptions)
{
    HWND add = Item(IDC_OPTION_ADD);
    HWND remove = Item(IDC_OPTION_REMOVE);
    listrows::Select(fields, 0); // an input field: Add does nothing even when it is sent
    project.modified = false;
    Notify(add, BN_CLICKED);
    EXPECT_TRUE(form->fields[0]->options.empty());
    EXPECT_EQ(listrows::Count(options), 0);
    EXPECT_FALSE(project.modified);

    listrows::Select(fields, 1);
    CItemForm::CField* region = form->fields[1];
    EXPECT_TRUE(Enabled(add));
    EXPECT_FALSE(Enabled(remove)) << "no option is current yet";
    Click(add);
    ASSERT_EQ(region->options.size(), 3u);
    EXPECT_EQ(region->options[2]->text, L"New option");
    EXPECT_EQ(region->options[2]->value, L"Value");
    EXPECT_EQ(Row(options, 2), (Cells{L"New option", L"Value"}));
    EXPECT_EQ(listrows::Selected(options), 2);
    EXPECT_EQ(pane->currentOption, region->options[2]);
    EXPECT_EQ(::GetFocus(), Item(IDC_OPTION_NAME));
    EXPECT_EQ(Text(Item(IDC_OPTION_NAME)), L"New option");
    EXPECT_TRUE(project.modified);

    listrows::Select(options, 0);
    Click(remove);
    ASSERT_EQ(region->options.size(), 2u);
    EXPECT_EQ(region->options[0]->text, L"France");
    EXPECT_EQ(listrows::Selected(options), 0);
    EXPECT_EQ(pane->currentOption, region->options[0]);
    Click(remove);
    Click(remove);
    EXPECT_TRUE(region->options.empty());
    EXPECT_EQ(listrows::Count(options), 0);
    EXPECT_EQ(pane->currentOption, nullptr);
    EXPECT_EQ(pane->currentField, region) << "the field stays current";
    EXPECT_FALSE(Enabled(remove));
    EXPECT_FALSE(Enabled(Item(IDC_OPTION_NAME)));
    EXPECT_EQ(form->fields.size(), 3u);
}
