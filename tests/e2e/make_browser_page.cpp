// Writes the page that the browser check opens: the sample project plus a link item with a
// popup, a form with a select field, and non-ASCII captions.
#include "app/default_project.h"
#include "homepage/page_writer.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "persist/text.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_browser_page PAGE.html\n");
        return 2;
    }
    CProject project;
    BuildDefaultProject(project);
    CColumn* first = project.columns[0];
    CGroup* examples = first->groups[1];
    CItemLink* hover = new CItemLink(*examples, L"Hover me", L"https://www.example.net/");
    hover->SetPopupContent(L"Popup text with <b>markup</b>");

    CColumn* second = project.columns[1];
    CGroup* czech =
        new CGroup(*second, L"P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148");
    new CItemLink(*czech, L"\u00DAp\u011Bl \u010F\u00E1belsk\u00E9 \u00F3dy",
                  L"https://www.example.net/");
    CItemForm* form = new CItemForm(*czech);
    form->name = L"Choose";
    form->action = L"https://www.example.net/choose";
    CItemForm::CField* select = form->AddField(1, L"n", L"2", -1);
    select->AddOption(L"One", L"1");
    select->AddOption(L"Two", L"2");
    select->AddOption(L"Three", L"3");

    CFileStream page(FromUtf8(argv[1], std::strlen(argv[1])), true);
    WritePage(project, page);
    return page.Close() ? 0 : 1;
}
