// The console entry point: wide arguments on Windows, UTF-8 arguments elsewhere.
#include "cli/cli.h"
#include "model/project.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "platform/platform.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// Counts what is handed on to standard output, so that an output that was never open counts as
// failed only when the command had something to say on it.
class CCountingForwarder : public CStream
{
public:
    explicit CCountingForwarder(CStream& inner) : inner(&inner) {}
    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Write(const void* source, std::int32_t count) override
    {
        if (count > 0) offered += count;
        return inner->Write(source, count);
    }
    std::int32_t Skip(std::int32_t) override { return 0; }
    std::int64_t offered = 0;

private:
    CStream* inner; // not owned
};

// The command's project. A large tree is hundreds of thousands of small blocks, and freeing them
// one by one took a quarter of a command's time just before the process hands all its memory
// back anyway. Kept reachable here, so that the leak checker does not count it.
CProject* leftToExit = nullptr;

int Run(const std::vector<std::wstring>& arguments)
{
    // With the tree left to the operating system, faulting a large project's fresh memory in
    // page by page is the largest cost of a command. Not for the link check and the icon fetch,
    // which wait on the network and should hold no more memory than they use.
    if (arguments.empty() || (arguments[0] != L"check-links" && arguments[0] != L"fetch-icons"))
        platform::GrowHeapInLargeSteps();
    // Buffered, binary: a page on standard output keeps its CR LF pairs and needs few writes.
    CFileStream out(platform::StandardOutput(), true);
    CFileStream err(platform::StandardError(), true);
    CCountingForwarder counted(out);
    leftToExit = new CProject;
    int status = RunCli(arguments, *leftToExit, counted, err);
    // A page or dump that did not reach standard output (a full disk, a closed pipe) is a
    // failure, not a success.
    bool outWritten = out.Close() || counted.offered == 0;
    if (!outWritten && status == kCliSuccess) {
        WriteBytes(err, "quillomere-cli: cannot write standard output\n");
        status = kCliFileError;
    }
    err.Close();
    return status;
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
