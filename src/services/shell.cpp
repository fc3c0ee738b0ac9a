#include "services/shell.h"

#include <atomic>

namespace {

class CSystemShell final : public IShell
{
public:
    int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        return ::MessageBoxW(owner, text, caption, type);
    }
    bool ChooseOpenFile(OPENFILENAMEW& dialog) override
    {
        return ::GetOpenFileNameW(&dialog) != FALSE;
    }
    bool Execute(SHELLEXECUTEINFOW& info) override { return ::ShellExecuteExW(&info) != FALSE; }
};

CSystemShell systemShell;
// Read by the preview's wait threads too.
std::atomic<IShell*> current{&systemShell};

} // namespace

IShell& Shell()
{
    return *current.load();
}

void SetShellForTesting(IShell* shell)
{
    current = shell ? shell : &systemShell;
}
