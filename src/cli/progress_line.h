// A bar with counts on standard error while a long command runs ("[####....] 12 of 40 checked"),
// redrawn at most ten times a second and only when standard error is a terminal.
#pragma once

#include "platform/platform.h"

#include <chrono>
#include <cstddef>
#include <string>

class CProgressLine
{
public:
    // `done` names what the count counts ("checked").
    explicit CProgressLine(std::string done);
    // Clears the line it drew.
    ~CProgressLine();
    CProgressLine(const CProgressLine&) = delete;
    CProgressLine& operator=(const CProgressLine&) = delete;

    void Show(std::size_t count, std::size_t total);

private:
    void Put(const std::string& text);

    std::string done;
    platform::FileHandle handle;
    bool shown = false;
    std::chrono::steady_clock::time_point last;
};
