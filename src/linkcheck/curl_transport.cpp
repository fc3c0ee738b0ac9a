// The link check's HTTP stack on Linux: libcurl's multi interface, all requests on the calling
// thread, connections kept alive and shared through the multi handle.
#include "linkcheck/http_transport.h"

#include <curl/curl.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

// One request in flight: its easy handle, reused for later requests, and what its callbacks
// gathered.
struct Exchange
{
    CURL* easy = nullptr;
    std::uint64_t id = 0;
    std::size_t maxBody = 0;
    std::size_t bodyBytes = 0;
    bool bodyCut = false; // stopped reading at maxBody
    std::string location, retryAfter;
    char error[CURL_ERROR_SIZE];

    ~Exchange()
    {
        if (easy) curl_easy_cleanup(easy);
    }
};

// The value of a header line when its name is `name` (any case).
bool HeaderValue(const char* line, std::size_t length, const char* name, std::string& value)
{
    std::size_t nameLength = std::strlen(name);
    if (length <= nameLength || line[nameLength] != ':' || strncasecmp(line, name, nameLength) != 0)
        return false;
    std::size_t first = nameLength + 1, last = length;
    while (first < last && (line[first] == ' ' || line[first] == '\t'))
        ++first;
    while (last > first && (line[last - 1] == '\r' || line[last - 1] == '\n' ||
                            line[last - 1] == ' ' || line[last - 1] == '\t'))
        --last;
    value.assign(line + first, last - first);
    return true;
}

std::size_t OnHeader(char* line, std::size_t size, std::size_t count, void* data)
{
    auto* exchange = static_cast<Exchange*>(data);
    std::size_t length = size * count;
    // A new status line (after a 100 Continue, say) starts a new set of headers.
    if (length >= 5 && std::strncmp(line, "HTTP/", 5) == 0) {
        exchange->location.clear();
        exchange->retryAfter.clear();
    }
    HeaderValue(line, length, "location", exchange->location) ||
        HeaderValue(line, length, "retry-after", exchange->retryAfter);
    return length;
}

std::size_t OnBody(char*, std::size_t size, std::size_t count, void* data)
{
    auto* exchange = static_cast<Exchange*>(data);
    exchange->bodyBytes += size * count;
    if (exchange->bodyBytes >= exchange->maxBody) {
        // Enough: a failing write callback ends the transfer.
        exchange->bodyCut = true;
        return 0;
    }
    return size * count;
}

HttpFailure FailureOf(CURLcode code)
{
    switch (code) {
    case CURLE_OK:
        return HttpFailure::None;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpFailure::Timeout;
    case CURLE_COULDNT_RESOLVE_HOST:
        return HttpFailure::HostUnknown;
    case CURLE_COULDNT_CONNECT:
        return HttpFailure::Refused;
    case CURLE_GOT_NOTHING:
        return HttpFailure::ClosedWithoutAnswer;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return HttpFailure::Reset;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
        return HttpFailure::Tls;
    default:
        return HttpFailure::Other;
    }
}

class CCurlTransport : public IHttpTransport
{
public:
    explicit CCurlTransport(const TransportSettings& settings) : settings(settings)
    {
        multi = curl_multi_init();
        if (!multi) return;
        curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, long(settings.maxPerHost));
        curl_multi_setopt(multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, long(settings.maxConnections));
        curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, long(settings.maxConnections));
    }

    ~CCurlTransport() override
    {
        for (auto& entry : running)
            curl_multi_remove_handle(multi, entry.first);
        running.clear();
        spare.clear();
        if (multi) curl_multi_cleanup(multi);
    }

    bool Ready() const { return multi != nullptr; }

    void Start(const HttpRequest& request) override
    {
        std::unique_ptr<Exchange> exchange;
        if (!spare.empty()) {
            exchange = std::move(spare.back());
            spare.pop_back();
            curl_easy_reset(exchange->easy);
        } else {
            exchange = std::make_unique<Exchange>();
            exchange->easy = curl_easy_init();
        }
        exchange->id = request.id;
        exchange->maxBody = settings.maxBodyBytes;
        exchange->bodyBytes = 0;
        exchange->bodyCut = false;
        exchange->location.clear();
        exchange->retryAfter.clear();
        exchange->error[0] = 0;
        CURL* easy = exchange->easy;
        long timeoutMs = long(settings.timeoutSeconds) * 1000;
        curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
        if (request.head)
            curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
        else
            curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(easy, CURLOPT_USERAGENT, settings.userAgent.c_str());
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs);
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, exchange->error);
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, exchange.get());
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, exchange.get());
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, request.keepAlive ? 0L : 1L);
        if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
            // Answered at once as a failure rather than lost.
            HttpResponse failed;
            failed.id = request.id;
            failed.failure = HttpFailure::Other;
            failed.reason = "the request could not be started";
            startFailures.push_back(failed);
            spare.push_back(std::move(exchange));
            return;
        }
        running.emplace(easy, std::move(exchange));
    }

    void Wait(int waitMs, std::vector<HttpResponse>& finished) override
    {
        std::size_t before = finished.size();
        finished.insert(finished.end(), startFailures.begin(), startFailures.end());
        startFailures.clear();
        int still = 0;
        curl_multi_perform(multi, &still);
        Collect(finished);
        if (finished.size() > before || waitMs <= 0) return;
        curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
        curl_multi_perform(multi, &still);
        Collect(finished);
    }

    std::int64_t NowMs() override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

private:
    void Collect(std::vector<HttpResponse>& finished)
    {
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            CURL* easy = message->easy_handle;
            CURLcode code = message->data.result;
            curl_multi_remove_handle(multi, easy);
            auto at = running.find(easy);
            if (at == running.end()) continue;
            std::unique_ptr<Exchange> exchange = std::move(at->second);
            running.erase(at);

            HttpResponse response;
            response.id = exchange->id;
            long status = 0;
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
            response.status = static_cast<int>(status);
            response.failure = FailureOf(code);
            // A body cut short on purpose, or one that broke off after the headers, still
            // brought its answer.
            if ((code == CURLE_WRITE_ERROR && exchange->bodyCut) ||
                (status > 0 && (code == CURLE_PARTIAL_FILE || code == CURLE_RECV_ERROR)))
                response.failure = HttpFailure::None;
            if (response.failure == HttpFailure::None) {
                response.location = std::move(exchange->location);
                response.retryAfter = std::move(exchange->retryAfter);
            } else {
                response.status = 0;
                response.reason = exchange->error[0] ? exchange->error : curl_easy_strerror(code);
            }
            finished.push_back(std::move(response));
            spare.push_back(std::move(exchange));
        }
    }

    TransportSettings settings;
    CURLM* multi = nullptr;
    std::unordered_map<CURL*, std::unique_ptr<Exchange>> running;
    std::vector<std::unique_ptr<Exchange>> spare;
    std::vector<HttpResponse> startFailures;
};

} // namespace

std::unique_ptr<IHttpTransport> CreateSystemTransport(const TransportSettings& settings,
                                                      std::string& error)
{
    static std::once_flag initialised;
    static CURLcode initResult = CURLE_OK;
    std::call_once(initialised, [] { initResult = curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (initResult != CURLE_OK) {
        error = std::string("libcurl could not be set up: ") + curl_easy_strerror(initResult);
        return nullptr;
    }
    auto transport = std::make_unique<CCurlTransport>(settings);
    if (!transport->Ready()) {
        error = "libcurl could not be set up";
        return nullptr;
    }
    return transport;
}
