#include "services/default_project.h"

#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"

void BuildDefaultProject(CProject& project)
{
    project.title = L"New project";
    CColumn* column = new CColumn(project, L"New Column");

    CGroup* search = new CGroup(*column, L"Search");
    CItemForm* form = new CItemForm(*search);
    form->name = L"Google";
    form->action = L"https://www.google.com/search";
    form->method = 0;
    form->AddField(0, L"q", L"google search", -1);

    CGroup* examples = new CGroup(*column, L"Example group");
    new CItemLink(*examples, L"The author's web site", L"https://www.example.com/");
    new CItemLink(*examples, L"Quillomere", L"https://www.example.org/quillomere/");

    new CColumn(project, L"Another column");
}
