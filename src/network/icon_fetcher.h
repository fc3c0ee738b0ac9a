// The icon fetch's engine: for each page address, the page (its first 256 KiB), the icons it
// names, best first, and the host's /favicon.ico as the last resort, until one is an image that
// is kept. Redirects, time limits, politeness and the HTTP stacks are the link check's.
// Portable: the network is an IHttpTransport.
#pragma once

#include "model/link_icon.h"
#include "network/http_transport.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class IconFetchResult
{
    Kept,
    NoIcon,     // the page names none that could be had, and /favicon.ico is not there
    TooLarge,   // more than 64 KiB read, or more than 16 KiB kept
    NotAnImage, // not a PNG, ICO, GIF, JPEG, WebP or SVG (a page served as the icon, say)
    Timeout,    // of the page
    CannotConnect,
    TlsError,
    TooManyRedirects,
    RateLimited,
    BadUrl,
    Cancelled,
};

// The result's name as reports show it ("Not an image").
const char* IconFetchResultName(IconFetchResult result);

struct IconFetchOutcome
{
    IconFetchResult result = IconFetchResult::Cancelled;
    std::shared_ptr<const CLinkIcon> icon; // when Kept
    std::string iconUrl;                   // where the kept icon, or the telling failure, came from
    std::string reason;                    // in words, for everything but Kept
};

struct IconFetchSettings
{
    int jobs = 32;   // connections overall
    int perHost = 4; // connections to one host
    int timeoutSeconds = 15;
    int maxRedirects = 10;
    std::size_t pageBytes = 256 * 1024; // of a page, this much is scanned for icon links
    std::size_t iconBytes = 64 * 1024;  // an icon's download stops here; a longer one is not kept
    std::size_t candidates = 4;         // of a page's icon links, this many are tried at most
    int maxRetryAfterSeconds = 30;      // a 429 or 503 asking for longer is Rate limited
};

// The transport settings that go with the fetch's, with Quillomere's User-Agent.
TransportSettings TransportSettingsFor(const IconFetchSettings& settings);

// What a downloaded file gives: the icon kept from it, or why none. An ICO above the limit keeps
// its one image best for a 16-pixel place when that fits.
IconFetchOutcome JudgeIconFile(std::string bytes, bool cut, std::size_t readLimit);

class CIconFetcher
{
public:
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    CIconFetcher(IHttpTransport& transport, const IconFetchSettings& settings);

    // Fetches the icon of each decoded page address; the outcomes are in the same order. The
    // same icon address serving several pages is downloaded once. `progress` is called on this
    // thread after each page is done; a set `cancel` stops between waits, and the pages not done
    // then are Cancelled.
    std::vector<IconFetchOutcome> Fetch(const std::vector<std::string>& pages,
                                        const Progress& progress = Progress(),
                                        const std::atomic<bool>* cancel = nullptr);

private:
    IHttpTransport* transport; // not owned
    IconFetchSettings settings;
};
