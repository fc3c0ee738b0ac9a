// The stand-in browser of the tests (test_browser.cpp) made the system's browser for a test: the
// prefix's browser command names it, and its logs go to a folder of the test's own.
#pragma once

#include "registry_override.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Sets an environment variable of this process (and so of the programs it starts) and puts the
// old value back.
class CEnvironmentOverride
{
public:
    CEnvironmentOverride(const wchar_t* name, const std::wstring& value);
    ~CEnvironmentOverride();
    CEnvironmentOverride(const CEnvironmentOverride&) = delete;
    CEnvironmentOverride& operator=(const CEnvironmentOverride&) = delete;

private:
    const wchar_t* name;
    std::wstring old;
    bool existed = false;
};

// What one run of the stand-in browser logged.
struct BrowserRun
{
    std::wstring commandLine;
    std::string page; // the file's bytes as the browser read them (empty in hand-over mode)
};

class CBrowserStandIn
{
public:
    // `mode`: empty, "handover" or "stay" (see test_browser.cpp).
    explicit CBrowserStandIn(const std::wstring& mode = std::wstring());
    ~CBrowserStandIn();
    CBrowserStandIn(const CBrowserStandIn&) = delete;
    CBrowserStandIn& operator=(const CBrowserStandIn&) = delete;

    // The browser command in the registry, changed for the test's lifetime.
    CRegistryKeyOverride command;
    // Makes the stand-in the browser: `options` follow its quoted path as a browser's would.
    void Register(const std::wstring& options = L" -osint -url \"%1\"");

    // The runs logged so far, each log read once and removed.
    std::vector<BrowserRun> TakeRuns();
    // True once a run has logged.
    bool HasRun() const;
    // Ends the browsers of the "stay" mode.
    static void EndStayingBrowsers();

private:
    std::vector<std::wstring> Logs() const;

    std::wstring logFolder;
    std::unique_ptr<CEnvironmentOverride> logVariable;
    std::unique_ptr<CEnvironmentOverride> modeVariable;
};

// The arguments of a command line, as a program of that line gets them.
std::vector<std::wstring> Arguments(const std::wstring& commandLine);
