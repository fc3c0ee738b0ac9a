// The one interface of the link check's HTTP stacks: libcurl natively, WinHTTP on Windows, and
// the tests' fake. A transport runs many requests at once; the check's engine starts them and
// collects them as they finish, on one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct HttpRequest
{
    std::uint64_t id = 0;
    bool head = true;      // HEAD, else GET, whose body is read to at most maxBodyBytes if at all
    bool keepAlive = true; // keep the connection for a next request to the host, else close it
    // A GET whose body is wanted: its first keepBody bytes come back with a 2xx answer (none
    // are kept when 0, as for the link check), and reading stops there.
    std::size_t keepBody = 0;
    bool https = false;
    std::string host; // as in HttpUrl: lower case, IPv6 in brackets
    int port = 0;
    std::string target; // path and query
    std::string url;    // the whole address, for the transports that take one string
};

enum class HttpFailure
{
    None,                // an answer came: status and headers are set
    Timeout,             // no complete answer within the time limit
    HostUnknown,         // the name did not resolve
    Refused,             // nothing listens there, or the connection could not be made
    Reset,               // the connection broke during the exchange
    ClosedWithoutAnswer, // the server closed the connection before any answer
    Tls,                 // certificate not trusted, wrong name, expired, handshake failed
    BadAnswer, // not sound HTTP: headers beyond kMaxHeaderBytes, or broken off before their end
    Other,
};

// The most header bytes an answer may have; more end the request as a BadAnswer. Far beyond any
// real answer's, and small enough that a server sending header lines without end costs little.
constexpr std::size_t kMaxHeaderBytes = 256 * 1024;
// The longest Location the engines follow or keep: a longer one is the server's fault, and the
// final addresses a check keeps stay small.
constexpr std::size_t kMaxLocationBytes = 8 * 1024;

struct HttpResponse
{
    std::uint64_t id = 0;
    HttpFailure failure = HttpFailure::None;
    int status = 0;
    std::string location;   // the Location header, as sent
    std::string retryAfter; // the Retry-After header, as sent
    std::string reason;     // the stack's words for a failure
    std::string body;       // a 2xx answer's first keepBody bytes, when they were asked for
    bool bodyCut = false;   // the body went on past them
};

struct TransportSettings
{
    // A deadline for each request as a whole: connecting, the headers, and the body as far as it
    // is read.
    int timeoutSeconds = 15;
    int maxConnections = 32; // overall
    int maxPerHost = 4;
    std::size_t maxBodyBytes = 65536; // a GET stops reading here
    std::string userAgent;
};

class IHttpTransport
{
public:
    virtual ~IHttpTransport() = default;
    // Starts a request; its answer comes out of Wait with the same id.
    virtual void Start(const HttpRequest& request) = 0;
    // Waits at most `waitMs` for requests to finish and appends those that have.
    virtual void Wait(int waitMs, std::vector<HttpResponse>& finished) = 0;
    // Milliseconds on a clock that only moves forward (the fake's is virtual).
    virtual std::int64_t NowMs() = 0;
};

// The system's stack: WinHTTP on Windows, libcurl elsewhere. Null (with `error` set) when it
// cannot be set up.
std::unique_ptr<IHttpTransport> CreateSystemTransport(const TransportSettings& settings,
                                                      std::string& error);
