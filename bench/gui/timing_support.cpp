#include "timing_support.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    ::QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double ThreadTime()
{
    FILETIME creation, exit, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &creation, &exit, &kernel, &user);
    auto ms = [](FILETIME t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

void Pump()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Mean(const std::vector<double>& values)
{
    double sum = 0;
    for (double value : values)
        sum += value;
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

void Report(const char* what, int count, const std::function<void(int)>& step)
{
    std::vector<double> walls, cpus;
    for (int i = 0; i < count; ++i) {
        Pump();
        double startCpu = ThreadTime();
        double start = Now();
        step(i);
        walls.push_back(Now() - start);
        cpus.push_back(ThreadTime() - startCpu);
    }
    Pump();
    std::sort(walls.begin(), walls.end());
    std::printf("%-66s wall min %7.3f median %7.3f max %7.3f  thread cpu mean %7.3f ms (%d runs)\n",
                what, walls.front(), walls[walls.size() / 2], walls.back(), Mean(cpus), count);
    std::fflush(stdout);
}

HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW item = {};
    item.hParent = parent;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT | TVIF_PARAM;
    item.item.pszText = const_cast<wchar_t*>(text);
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetTreeItemText(HWND tree, HTREEITEM item, const wchar_t* text)
{
    TVITEMW data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = const_cast<wchar_t*>(text);
    ::SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data));
}

std::wstring UserDocumentsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PERSONAL, FALSE);
    return folder;
}
