#include "cli/cli.h"

#include "homepage/page_writer.h"
#include "persist/streams.h"
#include "persist/text.h"

namespace {

const char kUsage[] =
    "Usage: quillomere-cli COMMAND [ARGUMENTS]\n"
    "Generates, imports and shows Quillomere projects without the window.\n"
    "\n"
    "Commands:\n"
    "  generate [PROJECT.quil | PAGE.html] [-o PAGE.html]\n"
    "      Writes the homepage of a project file, of a homepage read back, or of the sample\n"
    "      project when no file is given; to standard output unless -o is given.\n"
    "  import PAGE.html [-o PROJECT.quil]\n"
    "      Reads a homepage into a new project; saves it with -o, else prints it as dump does.\n"
    "  dump PROJECT.quil\n"
    "      Prints the project tree as indented text.\n"
    "  --help      Shows this text.\n"
    "  --version   Shows the version.\n"
    "\n"
    "Exit status: 0 success, 1 a file cannot be read, loaded or imported, 2 wrong usage.\n";

void Print(CStream& stream, const std::string& text)
{
    stream.Write(text.data(), static_cast<std::int32_t>(text.size()));
}

int UsageError(CStream& err, const std::string& reason)
{
    Print(err, "quillomere-cli: " + reason + "\nTry 'quillomere-cli --help'.\n");
    return kCliUsage;
}

} // namespace

int RunCli(const std::vector<std::wstring>& arguments, CStream& out, CStream& err)
{
    if (arguments.empty()) return UsageError(err, "no command given");
    const std::wstring& command = arguments[0];
    if (command == L"--help" || command == L"-h") {
        Print(out, kUsage);
        return kCliSuccess;
    }
    if (command == L"--version") {
        Print(out, std::string("quillomere-cli ") + QUIL_VERSION + "\n");
        return kCliSuccess;
    }
    return UsageError(err, "unknown command '" + ToUtf8(command) + "'");
}
