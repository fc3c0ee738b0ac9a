// Writes the help page as the program fills it in, from the page in the resources, for the
// browser check: make_help_page HELP_TEMPLATE.html OUT.html
#include "persist/streams.h"
#include "persist/text.h"
#include "quil_version.h"
#include "services/help_page.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_help_page HELP_TEMPLATE.html OUT.html\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (page.empty()) return 1;
    // A Documents folder with characters that must be escaped.
    const std::wstring documents = L"C:\\Users\\Zo\u00EB & Bo\\Documents";
    std::string filled =
        FillHelpPage(page, {FromUtf8(QUIL_VERSION), documents, documents + L"\\Quillomere.quil",
                            documents + L"\\Quillomere.html"});
    std::ofstream out(argv[2], std::ios::binary);
    out << filled;
    return out ? 0 : 1;
}
