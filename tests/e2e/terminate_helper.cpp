// Ends a process from outside, as the task manager or a crash ends it: TerminateProcess, no
// message, no chance to save. Usage: quil_terminate_helper PID
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 2;
    const DWORD id = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10));
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) return 1;
    const bool ended =
        ::TerminateProcess(process, 1) && ::WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended ? 0 : 1;
}
