#include "network/link_checker.h"

#include "network/host_scheduler.h"
#include "network/link_url.h"
#include "quil_version.h"

#include <algorithm>
#include <unordered_map>

namespace {

// One address on its way through requests: the redirect chain so far and the retries used.
// Kept small: a check may hold a hundred thousand of them.
struct Task
{
    std::size_t host = 0; // of the next request
    int redirects = 0;
    bool permanent = false; // a 301 or 308 in the chain
    bool head = true;
    bool retriedFault = false; // a reset or timeout was retried
    bool retriedRate = false;  // a 429 or 503 was retried
    bool probing = false;      // asking the https twin of an http address that was OK
    bool keepAlive = false;    // its connection is promised to the host's next request
};

// Where a task's requests go once they leave its own address: after a redirect, or to the https
// twin. Only the tasks on such a way have one.
struct Detour
{
    HttpUrl url;                      // the address of the next request
    std::vector<std::string> visited; // the chain's addresses, for loop detection
};

std::string FailureReason(const HttpResponse& response, const char* fallback)
{
    return response.reason.empty() ? fallback : response.reason;
}

class CCheckRun
{
public:
    CCheckRun(IHttpTransport& transport, const LinkCheckSettings& settings,
              const std::vector<std::string>& addresses)
        : transport(transport), settings(settings), addresses(addresses), tasks(addresses.size()),
          outcomes(addresses.size()), done(addresses.size(), false),
          scheduler(settings.jobs, settings.perHost)
    {
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            std::string reason;
            HttpUrl url;
            UrlKind kind = ParseHttpUrl(addresses[i], url, reason);
            if (kind == UrlKind::Http) {
                tasks[i].host = HostOf(url);
                Queue(i);
            } else {
                LinkOutcome outcome;
                outcome.result = kind == UrlKind::Bad ? LinkResult::BadUrl : LinkResult::NotChecked;
                outcome.reason = kind == UrlKind::Bad ? reason : "not an http or https address";
                Finish(i, outcome);
            }
        }
    }

    std::vector<LinkOutcome> Run(const CLinkChecker::Progress& progress,
                                 const std::atomic<bool>* cancel)
    {
        this->progress = &progress;
        if (finished > 0 && progress) progress(finished, tasks.size());
        std::vector<HttpResponse> answers;
        while (finished < tasks.size()) {
            if (cancel && cancel->load()) break;
            // Short waits keep a cancel prompt; a due retry shortens the wait.
            int waitMs = scheduler.ReleaseDue(transport.NowMs(), 100);
            scheduler.Dispatch(
                [this](std::size_t task, bool keepAlive) { StartRequest(task, keepAlive); });
            answers.clear();
            transport.Wait(waitMs, answers);
            for (const HttpResponse& answer : answers)
                Answered(answer);
        }
        for (std::size_t i = 0; i < tasks.size(); ++i) {
            if (done[i]) continue;
            outcomes[i].result = LinkResult::NotChecked;
            outcomes[i].reason = "cancelled";
        }
        return std::move(outcomes);
    }

private:
    std::size_t HostOf(const HttpUrl& url) { return scheduler.HostOf(url.host); }

    // A chain under way goes first: it holds memory and its answer is nearly in.
    bool Urgent(std::size_t task) const { return tasks[task].redirects > 0 || tasks[task].probing; }

    void Queue(std::size_t task) { scheduler.Queue(task, tasks[task].host, Urgent(task)); }

    void StartRequest(std::size_t task, bool keepAlive)
    {
        tasks[task].keepAlive = keepAlive;
        HttpUrl url = UrlOf(task);
        HttpRequest request;
        request.id = task;
        request.head = tasks[task].head;
        request.keepAlive = keepAlive;
        request.https = url.https;
        request.host = url.host;
        request.port = url.port;
        request.target = url.target;
        request.url = url.ToString();
        transport.Start(request);
    }

    // The address of a task's next request: its own, parsed again (cheaper than keeping a
    // hundred thousand parsed), or its detour's.
    HttpUrl UrlOf(std::size_t task) const
    {
        auto at = detours.find(task);
        if (at != detours.end()) return at->second.url;
        HttpUrl url;
        std::string reason;
        ParseHttpUrl(addresses[task], url, reason);
        return url;
    }

    Detour& DetourOf(std::size_t task)
    {
        auto at = detours.find(task);
        if (at == detours.end()) at = detours.emplace(task, Detour{UrlOf(task), {}}).first;
        return at->second;
    }

    void Later(std::size_t task, std::int64_t delayMs)
    {
        if (delayMs <= 0)
            Queue(task);
        else
            scheduler.QueueAt(transport.NowMs() + delayMs, task, tasks[task].host, Urgent(task));
    }

    void Answered(const HttpResponse& answer)
    {
        std::size_t index = static_cast<std::size_t>(answer.id);
        if (index >= tasks.size() || done[index]) return;
        Task& task = tasks[index];
        scheduler.Ended(task.host, task.keepAlive);

        if (answer.failure != HttpFailure::None) {
            Failed(index, answer);
            return;
        }
        int status = answer.status;
        if (task.head && (status == 405 || status == 501 || status == 403)) {
            task.head = false;
            Queue(index);
            return;
        }
        if (IsRedirectStatus(status) && answer.location.size() > kMaxLocationBytes) {
            LinkOutcome outcome = ChainOutcome(index, LinkResult::ServerError, status);
            outcome.reason = "a redirect to an address longer than " +
                             std::to_string(kMaxLocationBytes / 1024) + " KiB";
            Finish(index, outcome);
            return;
        }
        if (IsRedirectStatus(status) && !answer.location.empty()) {
            Redirect(index, answer);
            return;
        }
        if (status == 429 || (status == 503 && !answer.retryAfter.empty())) {
            long seconds = RetryAfterSeconds(answer.retryAfter);
            if (!task.retriedRate && !task.probing && seconds <= settings.maxRetryAfterSeconds) {
                task.retriedRate = true;
                Later(index, seconds < 0 ? settings.retryPauseMs : seconds * 1000);
                return;
            }
            LinkOutcome outcome = ChainOutcome(index, LinkResult::RateLimited, status);
            outcome.reason = task.retriedRate ? "still rate limited after one retry"
                                              : "asked to wait " + std::to_string(seconds) + " s";
            Finish(index, outcome);
            return;
        }
        LinkResult result = LinkResult::ServerError;
        std::string reason;
        if (status >= 200 && status < 300)
            result = task.permanent       ? LinkResult::Moved
                     : task.redirects > 0 ? LinkResult::Redirected
                                          : LinkResult::Ok;
        else if (status == 404 || status == 410)
            result = LinkResult::NotFound;
        else if (status >= 400 && status < 500)
            result = LinkResult::ClientError;
        else if (IsRedirectStatus(status))
            reason = "a redirect without a Location";
        else if (status < 500)
            reason = "an unexpected status";
        Finish(index, ChainOutcome(index, result, status), reason);
    }

    LinkOutcome ChainOutcome(std::size_t index, LinkResult result, int status) const
    {
        LinkOutcome outcome;
        outcome.result = result;
        outcome.status = status;
        if (tasks[index].redirects > 0) outcome.finalUrl = detours.at(index).visited.back();
        return outcome;
    }

    void Failed(std::size_t index, const HttpResponse& answer)
    {
        Task& task = tasks[index];
        bool passing =
            answer.failure == HttpFailure::Timeout || answer.failure == HttpFailure::Reset;
        if (passing && !task.retriedFault && !task.probing) {
            task.retriedFault = true;
            Later(index, settings.retryPauseMs);
            return;
        }
        if (answer.failure == HttpFailure::ClosedWithoutAnswer && task.head) {
            task.head = false;
            Queue(index);
            return;
        }
        LinkOutcome outcome = ChainOutcome(index, LinkResult::CannotConnect, 0);
        outcome.failure = answer.failure;
        switch (answer.failure) {
        case HttpFailure::Timeout:
            outcome.result = LinkResult::Timeout;
            outcome.reason =
                "no complete answer within " + std::to_string(settings.timeoutSeconds) + " s";
            break;
        case HttpFailure::Tls:
            outcome.result = LinkResult::TlsError;
            outcome.reason = FailureReason(answer, "the secure connection failed");
            break;
        case HttpFailure::HostUnknown:
            outcome.reason = FailureReason(answer, "host unknown");
            break;
        case HttpFailure::Refused:
            outcome.reason = FailureReason(answer, "connection refused");
            break;
        case HttpFailure::Reset:
            outcome.reason = FailureReason(answer, "connection reset");
            break;
        case HttpFailure::ClosedWithoutAnswer:
            outcome.reason = FailureReason(answer, "closed without an answer");
            break;
        case HttpFailure::BadAnswer:
            // The server answered, but not with sound HTTP.
            outcome.result = LinkResult::ServerError;
            outcome.reason = FailureReason(answer, "an answer that is not sound HTTP");
            break;
        default:
            outcome.reason = FailureReason(answer, "the request failed");
            break;
        }
        Finish(index, outcome);
    }

    void Redirect(std::size_t index, const HttpResponse& answer)
    {
        Task& task = tasks[index];
        Detour& detour = DetourOf(index);
        if (detour.visited.empty()) detour.visited.push_back(detour.url.ToString());
        ++task.redirects;
        if (answer.status == 301 || answer.status == 308) task.permanent = true;
        HttpUrl next;
        std::string absolute;
        bool usable = ResolveLocation(detour.url, answer.location, next, absolute);
        bool loop = usable && std::find(detour.visited.begin(), detour.visited.end(), absolute) !=
                                  detour.visited.end();
        detour.visited.push_back(absolute);
        if (task.redirects > settings.maxRedirects || loop) {
            LinkOutcome outcome = ChainOutcome(index, LinkResult::TooManyRedirects, answer.status);
            outcome.reason =
                loop ? "a redirect loop"
                     : "more than " + std::to_string(settings.maxRedirects) + " redirects";
            Finish(index, outcome);
            return;
        }
        if (!usable) {
            // Out of the web: a page must never be given such an address for a link (a
            // javascript: one would run the server's script under the user's caption).
            HttpUrl bad;
            std::string reason;
            const bool web = ParseHttpUrl(absolute, bad, reason) == UrlKind::Bad;
            LinkOutcome outcome = ChainOutcome(
                index, web ? LinkResult::BadUrl : LinkResult::NonWebRedirect, answer.status);
            outcome.reason = web ? "redirected to an address that does not parse: " + reason
                                 : "only http and https addresses are followed";
            Finish(index, outcome);
            return;
        }
        task.host = HostOf(next);
        detour.url = std::move(next);
        task.head = true;
        Queue(index);
    }

    void Finish(std::size_t index, LinkOutcome outcome, const std::string& reason = std::string())
    {
        Task& task = tasks[index];
        if (!reason.empty()) outcome.reason = reason;
        if (task.probing) {
            auto own = probed.find(index);
            own->second.httpsAvailable = outcome.result == LinkResult::Ok;
            Done(index, std::move(own->second));
            probed.erase(own);
            return;
        }
        // The same address over https, where the address leaves the port to the scheme: on a
        // port of its own, https would be another protocol on the same port.
        if (settings.probeHttps && outcome.result == LinkResult::Ok && task.redirects == 0) {
            HttpUrl url = UrlOf(index);
            if (url.https || url.port != 80) {
                Done(index, std::move(outcome));
                return;
            }
            task.probing = true;
            Detour& detour = DetourOf(index);
            detour.url.https = true;
            detour.url.port = 443;
            detour.visited.clear();
            probed.emplace(index, std::move(outcome));
            task.head = true;
            Queue(index);
            return;
        }
        Done(index, std::move(outcome));
    }

    void Done(std::size_t index, LinkOutcome outcome)
    {
        outcomes[index] = std::move(outcome);
        done[index] = true;
        detours.erase(index);
        ++finished;
        if (progress && *progress) (*progress)(finished, tasks.size());
    }

    IHttpTransport& transport;
    const LinkCheckSettings& settings;
    const std::vector<std::string>& addresses;
    std::vector<Task> tasks;
    std::unordered_map<std::size_t, Detour> detours;
    std::vector<LinkOutcome> outcomes;
    std::vector<bool> done;
    std::size_t finished = 0;
    const CLinkChecker::Progress* progress = nullptr; // not owned

    CHostScheduler scheduler;
    std::unordered_map<std::size_t, LinkOutcome> probed; // own outcomes while https is asked
};

} // namespace

bool IsRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

long RetryAfterSeconds(const std::string& value)
{
    std::size_t first = value.find_first_not_of(" \t");
    std::size_t last = value.find_last_not_of(" \t");
    if (first == std::string::npos) return -1;
    long seconds = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (value[i] < '0' || value[i] > '9') return -1;
        seconds = std::min(seconds * 10 + (value[i] - '0'), 1000000L);
    }
    return seconds;
}

const char* LinkResultName(LinkResult result)
{
    switch (result) {
    case LinkResult::Ok:
        return "OK";
    case LinkResult::Moved:
        return "Moved";
    case LinkResult::Redirected:
        return "Redirected";
    case LinkResult::NonWebRedirect:
        return "Redirect to a non-web address";
    case LinkResult::NotFound:
        return "Not found";
    case LinkResult::ClientError:
        return "Client error";
    case LinkResult::ServerError:
        return "Server error";
    case LinkResult::Timeout:
        return "Timeout";
    case LinkResult::CannotConnect:
        return "Cannot connect";
    case LinkResult::TlsError:
        return "TLS error";
    case LinkResult::BadUrl:
        return "Bad URL";
    case LinkResult::TooManyRedirects:
        return "Too many redirects";
    case LinkResult::RateLimited:
        return "Rate limited";
    case LinkResult::NotChecked:
        return "Not checked";
    }
    return "";
}

bool IsLinkProblem(LinkResult result)
{
    return result != LinkResult::Ok && result != LinkResult::Redirected &&
           result != LinkResult::NotChecked;
}

TransportSettings TransportSettingsFor(const LinkCheckSettings& settings)
{
    TransportSettings transport;
    transport.timeoutSeconds = settings.timeoutSeconds;
    transport.maxConnections = settings.jobs;
    transport.maxPerHost = settings.perHost;
    transport.maxBodyBytes = settings.maxBodyBytes;
    transport.userAgent = std::string("Quillomere/") + QUIL_VERSION;
    return transport;
}

CLinkChecker::CLinkChecker(IHttpTransport& transport, const LinkCheckSettings& settings)
    : transport(&transport), settings(settings)
{
    this->settings.jobs = std::max(1, settings.jobs);
    this->settings.perHost = std::max(1, settings.perHost);
}

std::vector<LinkOutcome> CLinkChecker::Check(const std::vector<std::string>& addresses,
                                             const Progress& progress,
                                             const std::atomic<bool>* cancel)
{
    CCheckRun run(*transport, settings, addresses);
    return run.Run(progress, cancel);
}
