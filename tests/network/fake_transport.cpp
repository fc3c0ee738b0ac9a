#include "fake_transport.h"

#include <algorithm>

void CFakeTransport::Start(const HttpRequest& request)
{
    std::string method = request.head ? "HEAD" : "GET";
    sent.push_back({method, request.url, now});
    Answer answer = script(request, previous[method + " " + request.url]++);
    HttpResponse response;
    response.id = request.id;
    response.failure = answer.failure;
    response.status = answer.failure == HttpFailure::None ? answer.status : 0;
    response.location = answer.location;
    response.retryAfter = answer.retryAfter;
    response.reason = answer.reason;
    if (!request.head && request.keepBody > 0 && answer.failure == HttpFailure::None &&
        answer.status >= 200 && answer.status < 300) {
        response.bodyCut = answer.body.size() > request.keepBody;
        response.body = answer.body.substr(0, request.keepBody);
    }
    inFlight.push_back({now + answer.latencyMs, request.host, request.keepAlive, response});
    int& waiting = idle[request.host];
    if (waiting > 0) {
        --waiting; // the kept-alive connection carries it
        return;
    }
    int& host = perHost[request.host];
    maxPerHost[request.host] = std::max(maxPerHost[request.host], ++host);
    maxTotal = std::max(maxTotal, ++open);
}

void CFakeTransport::Wait(int waitMs, std::vector<HttpResponse>& finished)
{
    std::int64_t next = now + waitMs;
    for (const InFlight& request : inFlight)
        next = std::min(next, request.due);
    now = std::max(now, next);
    // In the order they were started, for answers due at the same moment.
    auto due = std::stable_partition(inFlight.begin(), inFlight.end(),
                                     [this](const InFlight& request) { return request.due > now; });
    for (auto it = due; it != inFlight.end(); ++it) {
        if (it->keepAlive && it->response.failure == HttpFailure::None) {
            ++idle[it->host];
        } else {
            --perHost[it->host];
            --open;
        }
        finished.push_back(it->response);
    }
    inFlight.erase(due, inFlight.end());
}
