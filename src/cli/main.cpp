// The console entry point: wide arguments on Windows, UTF-8 arguments elsewhere.
#include "cli/cli.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "platform/platform.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

int Run(const std::vector<std::wstring>& arguments)
{
    // Buffered, binary: a page on standard output keeps its CR LF pairs and needs few writes.
    CFileStream out(platform::StandardOutput(), true);
    CFileStream err(platform::StandardError(), true);
    return RunCli(arguments, out, err);
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    return Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
#else
int main(int argc, char** argv)
{
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(FromUtf8(argv[i], std::strlen(argv[i])));
    return Run(arguments);
}
#endif
