#include "network/http_head.h"

#include "network/http_transport.h"

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// The value of a header line when its name is `name` (lower case; the line's in any case).
bool HeaderValue(std::string_view line, std::string_view name, std::string& value)
{
    if (line.size() <= name.size() || line[name.size()] != ':') return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (LowerAscii(line[i]) != name[i]) return false;
    }
    std::size_t first = name.size() + 1, last = line.size();
    while (first < last && (line[first] == ' ' || line[first] == '\t'))
        ++first;
    while (last > first && (line[last - 1] == '\r' || line[last - 1] == '\n' ||
                            line[last - 1] == ' ' || line[last - 1] == '\t'))
        --last;
    value.assign(line.data() + first, last - first);
    return true;
}

} // namespace

CHttpHead::CHttpHead(std::size_t limit) : limit(limit) {}

CHttpHead::CHttpHead() : limit(kMaxHeaderBytes) {}

bool CHttpHead::AddLine(std::string_view line)
{
    bytes += line.size();
    if (TooLarge()) return false;
    if (line.size() >= 5 && line.compare(0, 5, "HTTP/") == 0) {
        // A new status line (after a 100 Continue, say) starts a new set of headers.
        started = true;
        complete = false;
        location.clear();
        retryAfter.clear();
        return true;
    }
    if (line == "\r\n" || line == "\n") {
        complete = started;
        return true;
    }
    HeaderValue(line, "location", location) || HeaderValue(line, "retry-after", retryAfter);
    return true;
}

bool CHttpHead::AddBytes(std::string_view data)
{
    while (!data.empty() && !complete) {
        const std::size_t end = data.find('\n');
        if (end == std::string_view::npos) {
            // Held until its end comes; counted against the limit meanwhile.
            partial.append(data.data(), data.size());
            return !TooLarge();
        }
        partial.append(data.data(), end + 1);
        data.remove_prefix(end + 1);
        const bool within = AddLine(partial);
        partial.clear();
        if (!within) return false;
    }
    return true;
}
