// A transport for the link check's engine without sockets: scripted answers in virtual time,
// and the concurrency the politeness limits allow, measured.
#pragma once

#include "network/http_transport.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class CFakeTransport : public IHttpTransport
{
public:
    struct Answer
    {
        HttpFailure failure = HttpFailure::None;
        int status = 200;
        std::string location;
        std::string retryAfter;
        std::string reason;
        std::string body; // whole: the fake cuts it at the request's keepBody
        int latencyMs = 10;
    };
    // The answer to a request; `previous` counts the earlier requests with the same method and
    // address.
    using Script = std::function<Answer(const HttpRequest& request, int previous)>;

    struct Sent
    {
        std::string method, url;
        std::int64_t at; // virtual milliseconds
    };

    explicit CFakeTransport(Script script) : script(std::move(script)) {}

    void Start(const HttpRequest& request) override;
    // Moves virtual time to the next answer, or by `waitMs` when none is due before then.
    void Wait(int waitMs, std::vector<HttpResponse>& finished) override;
    std::int64_t NowMs() override { return now; }

    std::vector<Sent> sent;
    // Open connections, as a server counts them: a request's own, and a kept-alive one from its
    // answer until the host's next request takes it over.
    std::map<std::string, int> maxPerHost;
    int maxTotal = 0;

private:
    struct InFlight
    {
        std::int64_t due;
        std::string host;
        bool keepAlive;
        HttpResponse response;
    };

    Script script;
    std::int64_t now = 0;
    std::vector<InFlight> inFlight;
    std::map<std::string, int> perHost; // open connections
    std::map<std::string, int> idle;    // of them, kept alive and waiting
    int open = 0;
    std::map<std::string, int> previous;
};
