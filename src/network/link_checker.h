// The link check's engine: which requests an address needs and what its result is, with the
// redirects, retries and politeness limits. Portable: the network is an IHttpTransport.
#pragma once

#include "network/http_transport.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

enum class LinkResult
{
    Ok,
    Moved,      // a permanent redirect (301, 308) in the chain; the final address is given
    Redirected, // temporary redirects only (302, 303, 307)
    // A redirect to an address that is not http or https (javascript:, data:, file:, ...): never
    // followed, and never offered as a replacement.
    NonWebRedirect,
    NotFound, // 404, 410
    ClientError,
    ServerError,
    Timeout,
    CannotConnect, // refused, reset, host unknown, closed without an answer
    TlsError,
    BadUrl,
    TooManyRedirects, // more than the redirect limit, or a loop
    RateLimited,
    NotChecked, // not an http or https address, or the check was cancelled first
};

// The result's name as reports show it ("Not found").
const char* LinkResultName(LinkResult result);
// Everything but OK, Redirected and Not checked.
bool IsLinkProblem(LinkResult result);

struct LinkOutcome
{
    LinkResult result = LinkResult::NotChecked;
    int status = 0;              // the last HTTP status; 0 when none came
    std::string finalUrl;        // where the redirects ended; empty without redirects
    std::string reason;          // why, in words, for failures
    bool httpsAvailable = false; // an http address whose https twin answered OK too
    // How the request failed, for Cannot connect, Timeout and TLS error; None otherwise.
    HttpFailure failure = HttpFailure::None;
};

struct LinkCheckSettings
{
    int jobs = 32;   // connections overall
    int perHost = 4; // connections to one host
    int timeoutSeconds = 15;
    int maxRedirects = 10;
    std::size_t maxBodyBytes = 65536;
    int retryPauseMs = 1000;       // before retrying a reset or a timeout
    int maxRetryAfterSeconds = 30; // a longer Retry-After makes the address Rate limited
    bool probeHttps = true; // try http addresses on the default port that answered OK over https
};

// 301, 302, 303, 307 and 308.
bool IsRedirectStatus(int status);
// Retry-After as delta seconds (held at 1,000,000); -1 when absent or a date.
long RetryAfterSeconds(const std::string& value);

// The transport settings that go with the check's settings, with Quillomere's User-Agent.
TransportSettings TransportSettingsFor(const LinkCheckSettings& settings);

class CLinkChecker
{
public:
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    CLinkChecker(IHttpTransport& transport, const LinkCheckSettings& settings);

    // Checks decoded addresses; the outcomes are in the same order. `progress` is called on this
    // thread after each address is done. A set `cancel` stops the check between waits: the
    // addresses not done then are Not checked ("cancelled").
    std::vector<LinkOutcome> Check(const std::vector<std::string>& addresses,
                                   const Progress& progress = Progress(),
                                   const std::atomic<bool>* cancel = nullptr);

private:
    IHttpTransport* transport; // not owned
    LinkCheckSettings settings;
};
