#include "network/icon_fetcher.h"

#include "icons/data_uri.h"
#include "icons/ico_file.h"
#include "network/host_scheduler.h"
#include "network/icon_links.h"
#include "network/link_checker.h"
#include "network/link_url.h"
#include "quil_version.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

namespace {

std::string Kilobytes(std::size_t bytes)
{
    return std::to_string(bytes / 1024) + " KiB";
}

// How telling a failure is for the page's report: an icon that was there but could not be
// kept says most, one that could not be reached less, an address that answered "not found"
// least.
int Weight(IconFetchResult result)
{
    switch (result) {
    case IconFetchResult::TooLarge:
    case IconFetchResult::NotAnImage:
        return 3;
    case IconFetchResult::NoIcon:
        return 1;
    default:
        return 2;
    }
}

IconFetchOutcome Failure(IconFetchResult result, std::string reason,
                         std::string url = std::string())
{
    IconFetchOutcome outcome;
    outcome.result = result;
    outcome.reason = std::move(reason);
    outcome.iconUrl = std::move(url);
    return outcome;
}

IconFetchOutcome TransportFailure(const HttpResponse& answer, int timeoutSeconds)
{
    switch (answer.failure) {
    case HttpFailure::Timeout:
        return Failure(IconFetchResult::Timeout,
                       "no complete answer within " + std::to_string(timeoutSeconds) + " s");
    case HttpFailure::Tls:
        return Failure(IconFetchResult::TlsError,
                       answer.reason.empty() ? "the secure connection failed" : answer.reason);
    default:
        return Failure(IconFetchResult::CannotConnect,
                       answer.reason.empty() ? "the request failed" : answer.reason);
    }
}

bool IsDataAddress(const std::string& address)
{
    static const char kData[] = "data:";
    if (address.size() < 5) return false;
    for (std::size_t i = 0; i < 5; ++i) {
        char c = address[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != kData[i]) return false;
    }
    return true;
}

// One request and the redirects that follow it: a page's, or an icon's download.
struct Chain
{
    HttpUrl url; // of the next request
    std::size_t host = 0;
    bool page = true;
    std::size_t owner = 0; // the page's or the download's index
    int redirects = 0;
    std::vector<std::string> visited; // the chain's addresses, for loop detection
    bool retriedRate = false;
    bool keepAlive = false;
};

struct PageState
{
    std::vector<std::string> candidates; // absolute or data: addresses, best first
    std::size_t next = 0;
    bool namedIcons = false; // the page named any
    bool done = false;
    IconFetchOutcome failure; // the most telling so far
    int failureWeight = 0;
};

struct Download
{
    std::string url;
    bool done = false;
    IconFetchOutcome outcome;
    std::vector<std::size_t> waiting; // pages
};

class CFetchRun
{
public:
    CFetchRun(IHttpTransport& transport, const IconFetchSettings& settings,
              const std::vector<std::string>& addresses)
        : transport(transport), settings(settings), outcomes(addresses.size()),
          pages(addresses.size()), scheduler(settings.jobs, settings.perHost)
    {
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            HttpUrl url;
            std::string reason;
            UrlKind kind = ParseHttpUrl(addresses[i], url, reason);
            if (kind != UrlKind::Http) {
                Finish(i, Failure(IconFetchResult::BadUrl,
                                  kind == UrlKind::Bad ? reason : "not an http or https address"));
                continue;
            }
            StartChain(true, i, url);
        }
    }

    std::vector<IconFetchOutcome> Run(const CIconFetcher::Progress& progress,
                                      const std::atomic<bool>* cancel)
    {
        this->progress = &progress;
        if (finished > 0 && progress) progress(finished, pages.size());
        std::vector<HttpResponse> answers;
        while (finished < pages.size()) {
            if (cancel && cancel->load()) break;
            int waitMs = scheduler.ReleaseDue(transport.NowMs(), 100);
            scheduler.Dispatch(
                [this](std::size_t chain, bool keepAlive) { StartRequest(chain, keepAlive); });
            // Every page waits on a request; none left would be a fault of this engine, and
            // ending beats waiting for ever.
            if (scheduler.Idle()) break;
            answers.clear();
            transport.Wait(waitMs, answers);
            for (HttpResponse& answer : answers)
                Answered(answer);
        }
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (!pages[i].done)
                outcomes[i] = Failure(IconFetchResult::Cancelled, "cancelled before it was done");
        }
        return std::move(outcomes);
    }

private:
    void StartChain(bool page, std::size_t owner, const HttpUrl& url)
    {
        Chain chain;
        chain.url = url;
        chain.host = scheduler.HostOf(url.host);
        chain.page = page;
        chain.owner = owner;
        chains.push_back(std::move(chain));
        // A download finishes a page already under way, which holds memory: it goes first.
        scheduler.Queue(chains.size() - 1, chains.back().host, !page);
    }

    void StartRequest(std::size_t index, bool keepAlive)
    {
        Chain& chain = chains[index];
        chain.keepAlive = keepAlive;
        HttpRequest request;
        request.id = index;
        request.head = false;
        request.keepAlive = keepAlive;
        request.keepBody = chain.page ? settings.pageBytes : settings.iconBytes;
        request.https = chain.url.https;
        request.host = chain.url.host;
        request.port = chain.url.port;
        request.target = chain.url.target;
        request.url = chain.url.ToString();
        transport.Start(request);
    }

    void Answered(HttpResponse& answer)
    {
        const std::size_t index = static_cast<std::size_t>(answer.id);
        if (index >= chains.size()) return;
        Chain& chain = chains[index];
        scheduler.Ended(chain.host, chain.keepAlive);
        if (answer.failure != HttpFailure::None) {
            ChainFailed(index, TransportFailure(answer, settings.timeoutSeconds));
            return;
        }
        const int status = answer.status;
        if (IsRedirectStatus(status) && answer.location.size() > kMaxLocationBytes) {
            ChainFailed(index,
                        Failure(IconFetchResult::NoIcon, "a redirect to an address longer than " +
                                                             Kilobytes(kMaxLocationBytes)));
            return;
        }
        if (IsRedirectStatus(status) && !answer.location.empty()) {
            Redirect(index, answer.location);
            return;
        }
        if (status == 429 || (status == 503 && !answer.retryAfter.empty())) {
            long seconds = RetryAfterSeconds(answer.retryAfter);
            if (!chain.retriedRate && seconds <= settings.maxRetryAfterSeconds) {
                chain.retriedRate = true;
                scheduler.QueueAt(transport.NowMs() + (seconds < 0 ? 1000 : seconds * 1000), index,
                                  chain.host, true);
                return;
            }
            ChainFailed(index, Failure(IconFetchResult::RateLimited,
                                       "answered " + std::to_string(status) + " (rate limited)"));
            return;
        }
        if (chain.page) {
            PageAnswered(chain.owner, chain.url, status, answer.body);
        } else if (status >= 200 && status < 300) {
            DownloadDone(chain.owner,
                         JudgeIconFile(std::move(answer.body), answer.bodyCut, settings.iconBytes));
        } else {
            DownloadDone(chain.owner,
                         Failure(IconFetchResult::NoIcon, "answered " + std::to_string(status)));
        }
        std::vector<std::string>().swap(chain.visited);
    }

    void Redirect(std::size_t index, const std::string& location)
    {
        Chain& chain = chains[index];
        if (chain.visited.empty()) chain.visited.push_back(chain.url.ToString());
        ++chain.redirects;
        HttpUrl next;
        std::string absolute;
        bool usable = ResolveLocation(chain.url, location, next, absolute);
        bool loop = usable && std::find(chain.visited.begin(), chain.visited.end(), absolute) !=
                                  chain.visited.end();
        chain.visited.push_back(absolute);
        if (chain.redirects > settings.maxRedirects || loop) {
            ChainFailed(index, Failure(IconFetchResult::TooManyRedirects,
                                       loop ? "a redirect loop"
                                            : "more than " + std::to_string(settings.maxRedirects) +
                                                  " redirects"));
            return;
        }
        if (!usable) {
            ChainFailed(index, Failure(IconFetchResult::NoIcon,
                                       "redirected to an address that is not fetched"));
            return;
        }
        chain.url = std::move(next);
        chain.host = scheduler.HostOf(chain.url.host);
        scheduler.Queue(index, chain.host, true);
    }

    void ChainFailed(std::size_t index, IconFetchOutcome failure)
    {
        Chain& chain = chains[index];
        std::vector<std::string>().swap(chain.visited);
        if (chain.page) {
            failure.reason = "the page: " + failure.reason;
            Finish(chain.owner, std::move(failure));
        } else {
            DownloadDone(chain.owner, std::move(failure));
        }
    }

    // The page's icon links, resolved against where the page ended up, and the host's
    // /favicon.ico last. A page that did not answer 2xx still has its host's.
    void PageAnswered(std::size_t page, const HttpUrl& final, int status, const std::string& body)
    {
        PageState& state = pages[page];
        if (status >= 200 && status < 300) {
            for (const std::string& href : FindIconLinks(body)) {
                if (state.candidates.size() >= settings.candidates) break;
                if (IsDataAddress(href)) {
                    state.candidates.push_back(href);
                    continue;
                }
                HttpUrl resolved;
                std::string absolute;
                if (ResolveLocation(final, href, resolved, absolute) &&
                    std::find(state.candidates.begin(), state.candidates.end(), absolute) ==
                        state.candidates.end())
                    state.candidates.push_back(absolute);
            }
        }
        state.namedIcons = !state.candidates.empty();
        HttpUrl favicon = final;
        favicon.target = "/favicon.ico";
        std::string fallback = favicon.ToString();
        if (std::find(state.candidates.begin(), state.candidates.end(), fallback) ==
            state.candidates.end())
            state.candidates.push_back(fallback);
        TryNext(page);
    }

    // Tries the page's candidates in turn until one is kept, one is still downloading, or none
    // is left.
    void TryNext(std::size_t page)
    {
        PageState& state = pages[page];
        while (!state.done) {
            if (state.next == state.candidates.size()) {
                FinishFailed(page);
                return;
            }
            const std::string address = state.candidates[state.next++];
            if (IsDataAddress(address)) {
                std::string bytes;
                if (Consider(page,
                             DecodeBase64DataUri(address, settings.iconBytes, bytes)
                                 ? JudgeIconFile(std::move(bytes), false, settings.iconBytes)
                                 : Failure(IconFetchResult::NotAnImage,
                                           "a data address that holds no image"),
                             "(a data address in the page)"))
                    return;
                continue;
            }
            Download& download = downloads[DownloadOf(address)];
            if (!download.done) {
                download.waiting.push_back(page);
                return;
            }
            if (Consider(page, download.outcome, address)) return;
        }
    }

    std::size_t DownloadOf(const std::string& address)
    {
        auto [at, added] = downloadIndex.emplace(address, downloads.size());
        if (!added) return at->second;
        downloads.emplace_back();
        downloads.back().url = address;
        HttpUrl url;
        std::string reason;
        if (ParseHttpUrl(address, url, reason) == UrlKind::Http) {
            StartChain(false, at->second, url);
        } else {
            downloads.back().done = true;
            downloads.back().outcome = Failure(IconFetchResult::BadUrl, reason);
        }
        return at->second;
    }

    void DownloadDone(std::size_t index, IconFetchOutcome outcome)
    {
        Download& download = downloads[index];
        download.done = true;
        download.outcome = std::move(outcome);
        std::vector<std::size_t> waiting;
        waiting.swap(download.waiting);
        for (std::size_t page : waiting) {
            if (!Consider(page, downloads[index].outcome, downloads[index].url)) TryNext(page);
        }
    }

    // Takes a candidate's outcome into the page's; true when the page is done with it.
    bool Consider(std::size_t page, const IconFetchOutcome& outcome, const std::string& url)
    {
        PageState& state = pages[page];
        if (outcome.result == IconFetchResult::Kept) {
            IconFetchOutcome kept = outcome;
            kept.iconUrl = url;
            Finish(page, std::move(kept));
            return true;
        }
        int weight = Weight(outcome.result);
        if (weight > state.failureWeight) {
            state.failureWeight = weight;
            state.failure = outcome;
            state.failure.iconUrl = url;
        }
        return false;
    }

    void FinishFailed(std::size_t page)
    {
        PageState& state = pages[page];
        IconFetchOutcome failure = std::move(state.failure);
        if (failure.result == IconFetchResult::NoIcon) {
            failure.reason = (state.namedIcons ? "none of the page's icons could be had, and "
                                               : "the page names no icon, and ") +
                             failure.iconUrl + " " + failure.reason;
        } else {
            failure.reason = failure.iconUrl + ": " + failure.reason;
        }
        Finish(page, std::move(failure));
    }

    void Finish(std::size_t page, IconFetchOutcome outcome)
    {
        PageState& state = pages[page];
        state.done = true;
        std::vector<std::string>().swap(state.candidates);
        outcomes[page] = std::move(outcome);
        ++finished;
        if (progress && *progress) (*progress)(finished, pages.size());
    }

    IHttpTransport& transport;
    const IconFetchSettings& settings;
    std::vector<IconFetchOutcome> outcomes;
    std::vector<PageState> pages;
    // Deques: a chain or download is referred to while new ones are added.
    std::deque<Chain> chains;
    std::deque<Download> downloads;
    std::unordered_map<std::string, std::size_t> downloadIndex;
    std::size_t finished = 0;
    const CIconFetcher::Progress* progress = nullptr; // not owned
    CHostScheduler scheduler;
};

} // namespace

const char* IconFetchResultName(IconFetchResult result)
{
    switch (result) {
    case IconFetchResult::Kept:
        return "Kept";
    case IconFetchResult::NoIcon:
        return "No icon";
    case IconFetchResult::TooLarge:
        return "Too large";
    case IconFetchResult::NotAnImage:
        return "Not an image";
    case IconFetchResult::Timeout:
        return "Timeout";
    case IconFetchResult::CannotConnect:
        return "Cannot connect";
    case IconFetchResult::TlsError:
        return "TLS error";
    case IconFetchResult::TooManyRedirects:
        return "Too many redirects";
    case IconFetchResult::RateLimited:
        return "Rate limited";
    case IconFetchResult::BadUrl:
        return "Bad URL";
    case IconFetchResult::Cancelled:
        return "Cancelled";
    }
    return "";
}

TransportSettings TransportSettingsFor(const IconFetchSettings& settings)
{
    TransportSettings transport;
    transport.timeoutSeconds = settings.timeoutSeconds;
    transport.maxConnections = settings.jobs;
    transport.maxPerHost = settings.perHost;
    transport.maxBodyBytes = settings.iconBytes;
    transport.userAgent = std::string("Quillomere/") + QUIL_VERSION;
    return transport;
}

IconFetchOutcome JudgeIconFile(std::string bytes, bool cut, std::size_t readLimit)
{
    if (cut) return Failure(IconFetchResult::TooLarge, "larger than " + Kilobytes(readLimit));
    IconType type;
    if (!SniffIconType(bytes, type))
        return Failure(IconFetchResult::NotAnImage, "not a PNG, ICO, GIF, JPEG, WebP or SVG image");
    if (type == IconType::Ico && bytes.size() > CLinkIcon::kMaxBytes) {
        std::string reduced = ReduceIco(bytes, CLinkIcon::kMaxBytes);
        if (!reduced.empty()) bytes = std::move(reduced);
    }
    if (bytes.size() > CLinkIcon::kMaxBytes)
        return Failure(IconFetchResult::TooLarge, std::to_string(bytes.size()) +
                                                      " bytes, more than " +
                                                      Kilobytes(CLinkIcon::kMaxBytes));
    IconFetchOutcome kept;
    kept.result = IconFetchResult::Kept;
    kept.icon = CLinkIcon::FromBytes(std::move(bytes));
    return kept;
}

CIconFetcher::CIconFetcher(IHttpTransport& transport, const IconFetchSettings& settings)
    : transport(&transport), settings(settings)
{
}

std::vector<IconFetchOutcome> CIconFetcher::Fetch(const std::vector<std::string>& pages,
                                                  const Progress& progress,
                                                  const std::atomic<bool>* cancel)
{
    CFetchRun run(*transport, settings, pages);
    return run.Run(progress, cancel);
}
