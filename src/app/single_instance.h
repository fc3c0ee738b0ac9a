// One window per project file: the first start holds the project's mutex for its whole run; a
// second start of the same user session finds that run's window, hands it its command line and
// ends.
#pragma once

#include <windows.h>

#include <string>

class CProjectInstance
{
public:
    enum class Claim
    {
        First,      // this start runs the project: it holds the mutex now
        HandedOver, // a run of the project took the command line: this start ends
        NoAnswer,   // a run of the project holds the mutex but showed no window that answered
    };

    CProjectInstance() = default;
    // Lets go of the mutex.
    ~CProjectInstance();
    CProjectInstance(const CProjectInstance&) = delete;
    CProjectInstance& operator=(const CProjectInstance&) = delete;

    // Takes the mutex of `projectPath`, or hands `arguments` to the run that holds it. A run
    // that is still starting gets `waitMs` to show its window; one that ends meanwhile leaves
    // the project to this start. Without a mutex at all (the system refused it), this start
    // runs.
    Claim ClaimProject(const std::wstring& projectPath, const std::wstring& arguments,
                       DWORD waitMs = 20000);

private:
    HANDLE mutex = nullptr;
};

// The command line after the program's name, as Windows splits it off (a quoted name ends at
// the closing quote, an unquoted one at white space), without the white space after the name.
std::wstring ArgumentsOf(const std::wstring& commandLine);
