#include "cli/progress_line.h"

CProgressLine::CProgressLine(std::string done) : done(std::move(done))
{
    handle = platform::StandardError();
    if (!platform::IsTerminal(handle)) {
        platform::CloseFile(handle);
        handle = platform::kInvalidHandle;
    }
}

CProgressLine::~CProgressLine()
{
    if (handle == platform::kInvalidHandle) return;
    if (shown) Put("\r" + std::string(72, ' ') + "\r");
    platform::CloseFile(handle);
}

void CProgressLine::Show(std::size_t count, std::size_t total)
{
    if (handle == platform::kInvalidHandle || total == 0) return;
    auto now = std::chrono::steady_clock::now();
    if (shown && count < total && now - last < std::chrono::milliseconds(100)) return;
    last = now;
    shown = true;
    const std::size_t width = 30;
    std::size_t filled = count * width / total;
    Put("\r[" + std::string(filled, '#') + std::string(width - filled, '.') + "] " +
        std::to_string(count) + " of " + std::to_string(total) + " " + done);
}

void CProgressLine::Put(const std::string& text)
{
    platform::WriteFile(handle, text.data(), static_cast<std::int32_t>(text.size()));
}
