#include "services/shell.h"

#include "winui/window_icon.h"

#include <atomic>

namespace {

class CSystemShell final : public IShell
{
public:
    // The boxes and dialogs show their owner's icon, the program's.
    int ShowMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override
    {
        winui::COwnerIconScope icons(owner);
        return ::MessageBoxW(owner, text, caption, type);
    }
    bool ChooseOpenFile(OPENFILENAMEW& dialog) override
    {
        winui::COwnerIconScope icons(dialog.hwndOwner);
        return ::GetOpenFileNameW(&dialog) != FALSE;
    }
    bool ChooseSaveFile(OPENFILENAMEW& dialog) override
    {
        winui::COwnerIconScope icons(dialog.hwndOwner);
        return ::GetSaveFileNameW(&dialog) != FALSE;
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
