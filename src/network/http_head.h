// The head of an HTTP answer as a stack hands it over line by line: the values the engines need,
// whether it came whole, and its size against kMaxHeaderBytes. Portable, so that any stack that
// gives lines can use it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CHttpHead
{
public:
    CHttpHead();
    // For tests: another limit than kMaxHeaderBytes.
    explicit CHttpHead(std::size_t limit);

    // Takes one line as received, line break included. False once the lines taken are more than
    // kMaxHeaderBytes: the request is to end there.
    bool AddLine(std::string_view line);
    // Takes bytes as they come off the connection, split into lines wherever they fall; what
    // follows the head (the body) is not looked at. False as AddLine.
    bool AddBytes(std::string_view bytes);

    // A status line has come.
    bool Started() const { return started; }
    // The blank line after the last status line's headers has come.
    bool Complete() const { return complete; }
    bool TooLarge() const { return bytes + partial.size() > limit; }
    // The last answer's Location and Retry-After, blanks at their ends dropped.
    const std::string& Location() const { return location; }
    const std::string& RetryAfter() const { return retryAfter; }

private:
    std::size_t limit;
    std::size_t bytes = 0;
    bool started = false; // a status line has come
    bool complete = false;
    std::string location, retryAfter;
    std::string partial; // AddBytes: a line not yet ended
};
