#include "editor/job_news.h"

#include <commctrl.h>

#include <string>

void ShowJobCount(HWND progress, HWND status, std::size_t done, std::size_t total,
                  const wchar_t* what)
{
    ::SendMessageW(progress, PBM_SETRANGE32, 0,
                   static_cast<LPARAM>(std::max<std::size_t>(total, 1)));
    ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    const std::wstring text = std::to_wstring(done) + L" of " + std::to_wstring(total) + what;
    ::SetWindowTextW(status, text.c_str());
}
