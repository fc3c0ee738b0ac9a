// The link check's HTTP stack on Linux: libcurl's multi interface, all requests on the calling
// thread, connections kept alive and shared through the multi handle. libcurl is loaded on the
// first check: linked in, its thirty libraries cost every command of the program about 20 ms of
// start-up.
#include "network/http_transport.h"

#include "network/http_head.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <type_traits>
#include <unordered_map>

namespace {

// The libcurl functions the transport calls, from the loaded library.
struct CurlLibrary
{
    decltype(&::curl_global_init) global_init;
    decltype(&::curl_easy_strerror) easy_strerror;
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_reset) easy_reset;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_multi_init) multi_init;
    decltype(&::curl_multi_cleanup) multi_cleanup;
    decltype(&::curl_multi_setopt) multi_setopt;
    decltype(&::curl_multi_add_handle) multi_add_handle;
    decltype(&::curl_multi_remove_handle) multi_remove_handle;
    decltype(&::curl_multi_perform) multi_perform;
    decltype(&::curl_multi_poll) multi_poll;
    decltype(&::curl_multi_info_read) multi_info_read;
};

const CurlLibrary* lib = nullptr; // set once by LoadCurl, then never changed

// Loads libcurl and initialises it, once per process; false (with `error` set) when it cannot.
bool LoadCurl(std::string& error)
{
    static std::once_flag once;
    static CurlLibrary loaded;
    static std::string failure;
    std::call_once(once, [] {
        void* handle = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            failure = std::string("libcurl could not be loaded: ") + ::dlerror();
            return;
        }
        bool complete = true;
        auto resolve = [&](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                ::dlsym(handle, name));
            complete = complete && function;
        };
        resolve(loaded.global_init, "curl_global_init");
        resolve(loaded.easy_strerror, "curl_easy_strerror");
        resolve(loaded.easy_init, "curl_easy_init");
        resolve(loaded.easy_reset, "curl_easy_reset");
        resolve(loaded.easy_cleanup, "curl_easy_cleanup");
        resolve(loaded.easy_setopt, "curl_easy_setopt");
        resolve(loaded.easy_getinfo, "curl_easy_getinfo");
        resolve(loaded.multi_init, "curl_multi_init");
        resolve(loaded.multi_cleanup, "curl_multi_cleanup");
        resolve(loaded.multi_setopt, "curl_multi_setopt");
        resolve(loaded.multi_add_handle, "curl_multi_add_handle");
        resolve(loaded.multi_remove_handle, "curl_multi_remove_handle");
        resolve(loaded.multi_perform, "curl_multi_perform");
        resolve(loaded.multi_poll, "curl_multi_poll");
        resolve(loaded.multi_info_read, "curl_multi_info_read");
        if (!complete) {
            failure = "libcurl is too old (7.66 or later is needed)";
            return;
        }
        CURLcode result = loaded.global_init(CURL_GLOBAL_DEFAULT);
        if (result != CURLE_OK) {
            failure = std::string("libcurl could not be set up: ") + loaded.easy_strerror(result);
            return;
        }
        lib = &loaded;
    });
    error = failure;
    return lib != nullptr;
}

// One request in flight: its easy handle, reused for later requests, and what its callbacks
// gathered.
struct Exchange
{
    CURL* easy = nullptr;
    std::uint64_t id = 0;
    std::size_t maxBody = 0;
    std::size_t bodyBytes = 0;
    bool bodyCut = false; // stopped reading at maxBody
    std::size_t keepBody = 0;
    std::string body; // the first keepBody bytes, when asked for
    CHttpHead head;
    char error[CURL_ERROR_SIZE];

    ~Exchange()
    {
        if (easy) lib->easy_cleanup(easy);
    }
};

std::size_t OnHeader(char* line, std::size_t size, std::size_t count, void* data)
{
    auto* exchange = static_cast<Exchange*>(data);
    std::size_t length = size * count;
    // A head beyond the limit ends the transfer: a count other than the one given.
    return exchange->head.AddLine(std::string_view(line, length)) ? length : 0;
}

std::size_t OnBody(char* bytes, std::size_t size, std::size_t count, void* data)
{
    auto* exchange = static_cast<Exchange*>(data);
    if (exchange->keepBody > 0) {
        std::size_t room = exchange->keepBody - exchange->body.size();
        if (size * count > room) {
            exchange->body.append(bytes, room);
            exchange->bodyCut = true;
            return 0;
        }
        exchange->body.append(bytes, size * count);
        return size * count;
    }
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
        multi = lib->multi_init();
        if (!multi) return;
        lib->multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, long(settings.maxPerHost));
        lib->multi_setopt(multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, long(settings.maxConnections));
        lib->multi_setopt(multi, CURLMOPT_MAXCONNECTS, long(settings.maxConnections));
    }

    ~CCurlTransport() override
    {
        for (auto& entry : running)
            lib->multi_remove_handle(multi, entry.first);
        running.clear();
        spare.clear();
        if (multi) lib->multi_cleanup(multi);
    }

    bool Ready() const { return multi != nullptr; }

    void Start(const HttpRequest& request) override
    {
        std::unique_ptr<Exchange> exchange;
        if (!spare.empty()) {
            exchange = std::move(spare.back());
            spare.pop_back();
            lib->easy_reset(exchange->easy);
        } else {
            exchange = std::make_unique<Exchange>();
            exchange->easy = lib->easy_init();
        }
        exchange->id = request.id;
        exchange->maxBody = settings.maxBodyBytes;
        exchange->bodyBytes = 0;
        exchange->bodyCut = false;
        exchange->keepBody = request.head ? 0 : request.keepBody;
        exchange->body.clear();
        exchange->head = CHttpHead();
        exchange->error[0] = 0;
        CURL* easy = exchange->easy;
        long timeoutMs = long(settings.timeoutSeconds) * 1000;
        lib->easy_setopt(easy, CURLOPT_URL, request.url.c_str());
        lib->easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
        if (request.head)
            lib->easy_setopt(easy, CURLOPT_NOBODY, 1L);
        else
            lib->easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        lib->easy_setopt(easy, CURLOPT_USERAGENT, settings.userAgent.c_str());
        lib->easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs);
        lib->easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
        lib->easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        lib->easy_setopt(easy, CURLOPT_ERRORBUFFER, exchange->error);
        lib->easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
        lib->easy_setopt(easy, CURLOPT_HEADERDATA, exchange.get());
        lib->easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
        lib->easy_setopt(easy, CURLOPT_WRITEDATA, exchange.get());
        lib->easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        lib->easy_setopt(easy, CURLOPT_FORBID_REUSE, request.keepAlive ? 0L : 1L);
        if (lib->multi_add_handle(multi, easy) != CURLM_OK) {
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
        lib->multi_perform(multi, &still);
        Collect(finished);
        if (finished.size() > before || waitMs <= 0) return;
        lib->multi_poll(multi, nullptr, 0, waitMs, nullptr);
        lib->multi_perform(multi, &still);
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
        while (CURLMsg* message = lib->multi_info_read(multi, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            CURL* easy = message->easy_handle;
            CURLcode code = message->data.result;
            lib->multi_remove_handle(multi, easy);
            auto at = running.find(easy);
            if (at == running.end()) continue;
            std::unique_ptr<Exchange> exchange = std::move(at->second);
            running.erase(at);

            HttpResponse response;
            response.id = exchange->id;
            long status = 0;
            lib->easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
            response.status = static_cast<int>(status);
            response.failure = FailureOf(code);
            const CHttpHead& head = exchange->head;
            // A body cut short on purpose, or one that broke off or was still coming at the
            // deadline after the whole head, still brought its answer; unless the body itself
            // was wanted.
            if ((code == CURLE_WRITE_ERROR && exchange->bodyCut) ||
                (status > 0 && head.Complete() && exchange->keepBody == 0 &&
                 (code == CURLE_PARTIAL_FILE || code == CURLE_RECV_ERROR ||
                  code == CURLE_OPERATION_TIMEDOUT)))
                response.failure = HttpFailure::None;
            std::string reason;
            if (head.TooLarge()) {
                response.failure = HttpFailure::BadAnswer;
                reason = "the answer's headers are longer than " +
                         std::to_string(kMaxHeaderBytes / 1024) + " KiB";
            } else if (status > 0 && !head.Complete() && response.failure != HttpFailure::Timeout) {
                // A status line, and then no end to the headers: no answer at all.
                response.failure = HttpFailure::BadAnswer;
                reason = std::string("the answer's headers did not come whole (") +
                         (exchange->error[0] ? exchange->error : lib->easy_strerror(code)) + ")";
            }
            if (response.failure == HttpFailure::None) {
                response.location = head.Location();
                response.retryAfter = head.RetryAfter();
                if (status >= 200 && status < 300) {
                    response.body = std::move(exchange->body);
                    response.bodyCut = exchange->keepBody > 0 && exchange->bodyCut;
                }
            } else {
                response.status = 0;
                response.reason = !reason.empty()      ? reason
                                  : exchange->error[0] ? exchange->error
                                                       : lib->easy_strerror(code);
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
    if (!LoadCurl(error)) return nullptr;
    auto transport = std::make_unique<CCurlTransport>(settings);
    if (!transport->Ready()) {
        error = "libcurl could not be set up";
        return nullptr;
    }
    return transport;
}
