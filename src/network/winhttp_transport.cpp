// The link check's HTTP stack on Windows: the system's WinHTTP (its proxy settings and
// certificate store come with it), synchronous requests on a small pool of threads of its own,
// so that neither the caller's thread nor the window's ever waits on the network.
//
// WinHTTP's time limits are for each step (a connect, a receive), so a server that sends a byte
// every few seconds would hold a request for ever. Each request has a deadline for the whole of
// it: at the deadline its handle is closed, which ends a blocking call on Windows, and a worker
// that is still not back shortly after is answered for and left to end by itself. Wine's WinHTTP
// neither ends a blocking call when its handle is closed nor limits the size of the headers it
// reads; there the socket reads of WinHTTP keep the deadline and the limit themselves (see
// GuardWinHttpReceives).
#include "network/http_transport.h"

#include "network/http_head.h"

// The socket error numbers; before windows.h, which would bring the old winsock.h.
#include <winsock2.h>

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace {

std::wstring Wide(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0],
                          length, nullptr, nullptr);
    return narrow;
}

std::int64_t SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What a worker's socket reads keep to while it is inside WinHTTP for a request.
struct RequestGuard
{
    std::int64_t deadline = 0; // SteadyMs
    bool countHead = false;    // the answer's head is being read
    std::size_t headBytes = 0;
    bool expired = false;  // a read found the deadline passed
    bool tooLarge = false; // the head went past kMaxHeaderBytes
    // The head as it came off a plain connection, where WinHTTP's own view falls short: Wine's
    // cuts header lines at 1460 bytes, and takes a head that broke off for a whole one.
    CHttpHead* head = nullptr;
};

thread_local RequestGuard* currentGuard = nullptr;

using RecvFunction = int(WSAAPI*)(SOCKET, char*, int, int);
std::atomic<RecvFunction> systemRecv{nullptr};

// WinHTTP's socket reads on a worker's thread: each waits no longer than the request's deadline
// allows, and the head's reads stop past the limit. A read that fails here fails the WinHTTP
// call it is part of.
int WSAAPI GuardedRecv(SOCKET socket, char* buffer, int length, int flags)
{
    const RecvFunction recvFunction = systemRecv.load();
    RequestGuard* guard = currentGuard;
    // A look at whether a kept connection is still open must not wait.
    if (!guard || (flags & MSG_PEEK)) return recvFunction(socket, buffer, length, flags);
    const std::int64_t left = guard->deadline - SteadyMs();
    bool ready = left > 0;
    if (ready) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        timeval wait;
        wait.tv_sec = static_cast<long>(left / 1000);
        wait.tv_usec = static_cast<long>(left % 1000) * 1000;
        // An error here is left to the read to tell.
        ready = ::select(0, &readable, nullptr, nullptr, &wait) != 0;
    }
    if (!ready) {
        guard->expired = true;
        ::WSASetLastError(WSAETIMEDOUT);
        return SOCKET_ERROR;
    }
    const int got = recvFunction(socket, buffer, length, flags);
    if (got > 0 && guard->countHead) {
        guard->headBytes += static_cast<std::size_t>(got);
        if (guard->head)
            guard->head->AddBytes(std::string_view(buffer, static_cast<std::size_t>(got)));
        if (guard->headBytes > kMaxHeaderBytes) {
            guard->tooLarge = true;
            ::WSASetLastError(WSAECONNABORTED);
            return SOCKET_ERROR;
        }
    }
    return got;
}

// Points winhttp.dll's import of recv at GuardedRecv, where it has one (Wine's WinHTTP reads
// its sockets with recv on the calling thread; Windows' has no such import, and closing a handle
// ends its blocking calls). Once per process.
void GuardWinHttpReceives()
{
    static std::once_flag once;
    std::call_once(once, [] {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(L"winhttp.dll"));
        if (!base) return;
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
        const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        if (headers->Signature != IMAGE_NT_SIGNATURE) return;
        const IMAGE_DATA_DIRECTORY& imports =
            headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (imports.VirtualAddress == 0) return;
        for (auto* module =
                 reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             module->Name != 0; ++module) {
            if (::_stricmp(reinterpret_cast<const char*>(base + module->Name), "ws2_32.dll") != 0 ||
                module->OriginalFirstThunk == 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                // recv is ws2_32's ordinal 16.
                const bool isRecv = IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)
                                        ? IMAGE_ORDINAL(names->u1.Ordinal) == 16
                                        : std::strcmp(reinterpret_cast<const char*>(
                                                          reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(
                                                              base + names->u1.AddressOfData)
                                                              ->Name),
                                                      "recv") == 0;
                if (!isRecv) continue;
                DWORD protection = 0;
                if (!::VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function,
                                      PAGE_READWRITE, &protection))
                    return;
                systemRecv.store(reinterpret_cast<RecvFunction>(slots->u1.Function));
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(&GuardedRecv);
                ::VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection,
                                 &protection);
                return;
            }
        }
    });
}

// Sets the calling thread's guard for as long as it lives.
class CGuardScope
{
public:
    explicit CGuardScope(RequestGuard& guard) { currentGuard = &guard; }
    ~CGuardScope() { currentGuard = nullptr; }
    CGuardScope(const CGuardScope&) = delete;
    CGuardScope& operator=(const CGuardScope&) = delete;
};

// Closes a WinHTTP handle when it goes.
class CInternetHandle
{
public:
    explicit CInternetHandle(HINTERNET handle = nullptr) : handle(handle) {}
    ~CInternetHandle()
    {
        if (handle) ::WinHttpCloseHandle(handle);
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    HINTERNET Get() const { return handle; }

private:
    HINTERNET handle;
};

HttpFailure FailureOf(DWORD error)
{
    switch (error) {
    // Wine's WinHTTP passes some socket errors through as they are.
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:
        return HttpFailure::Timeout;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
    case WSAHOST_NOT_FOUND:
        return HttpFailure::HostUnknown;
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case WSAECONNREFUSED:
        return HttpFailure::Refused;
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case WSAECONNRESET:
    case WSAECONNABORTED:
        return HttpFailure::Reset;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        return HttpFailure::ClosedWithoutAnswer;
    case ERROR_WINHTTP_HEADER_SIZE_OVERFLOW:
        return HttpFailure::BadAnswer;
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
        return HttpFailure::Tls;
    default:
        return HttpFailure::Other;
    }
}

// The certificate problems that WinHTTP reports with ERROR_WINHTTP_SECURE_FAILURE, in words.
std::string SecureFailureText(DWORD flags)
{
    static const struct
    {
        DWORD flag;
        const char* text;
    } kFlags[] = {
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED, "revocation could not be checked"},
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT, "invalid certificate"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED, "certificate revoked"},
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA, "certificate not trusted (unknown issuer)"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID, "certificate name mismatch"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID, "certificate expired or not yet valid"},
        {WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR, "secure channel error"},
    };
    std::string text;
    for (const auto& entry : kFlags) {
        if (!(flags & entry.flag)) continue;
        if (!text.empty()) text += ", ";
        text += entry.text;
    }
    return text;
}

// Words for the errors a check meets, where the system has none (Wine's WinHTTP has no message
// table).
const char* KnownErrorText(DWORD error)
{
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:
        return "the operation timed out";
    case WSAECONNREFUSED:
        return "the connection was refused";
    case WSAECONNRESET:
    case WSAECONNABORTED:
        return "the connection was reset";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return "the host name could not be resolved";
    case ERROR_WINHTTP_CANNOT_CONNECT:
        return "could not connect to the server";
    case ERROR_WINHTTP_CONNECTION_ERROR:
        return "the connection was reset";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        return "the server closed the connection without a valid answer";
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        return "secure channel error (the certificate or the handshake was refused)";
    case ERROR_WINHTTP_SECURE_FAILURE:
        return "the server's certificate is not valid";
    case ERROR_WINHTTP_SECURE_INVALID_CA:
        return "the certificate's issuer is not trusted";
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        return "the certificate's name does not match";
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        return "the certificate has expired";
    default:
        return nullptr;
    }
}

std::string ErrorText(DWORD error, DWORD secureFlags)
{
    std::string text = "WinHTTP error " + std::to_string(error);
    wchar_t* message = nullptr;
    DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                         ::GetModuleHandleW(L"winhttp.dll"), error, 0,
                         reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length > 0 && message) {
        std::string words = Narrow(std::wstring(message, length));
        while (!words.empty() && (words.back() == '\n' || words.back() == '\r' ||
                                  words.back() == ' ' || words.back() == '.'))
            words.pop_back();
        if (!words.empty()) text += ": " + words;
    } else if (const char* known = KnownErrorText(error)) {
        text += std::string(": ") + known;
    }
    if (message) ::LocalFree(message);
    std::string flags = SecureFailureText(secureFlags);
    if (!flags.empty()) text += " (" + flags + ")";
    return text;
}

// Collects the certificate flags of a secure failure; called on the request's own thread.
void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length)
{
    if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && context && information &&
        length >= sizeof(DWORD))
        *reinterpret_cast<DWORD*>(context) |= *static_cast<DWORD*>(information);
}

std::string QueryHeader(HINTERNET request, DWORD query)
{
    DWORD size = 0;
    ::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                          &size, WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return std::string();
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (!::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, &value[0], &size,
                               WINHTTP_NO_HEADER_INDEX))
        return std::string();
    value.resize(size / sizeof(wchar_t));
    return Narrow(value);
}

// Reads at most `keep` bytes of the body into the answer, and notes whether it went on past them.
// A length the server announces ends the read at the body's end (Wine's WinHttpReadData could
// wait there on a kept-alive connection); a longer one than wanted ends it at `keep`. False when
// the deadline came first.
bool ReadBody(HINTERNET request, std::size_t keep, HttpResponse& answer, std::int64_t deadline)
{
    std::string announced = QueryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH);
    long long length = -1;
    if (!announced.empty() && announced.size() < 18 &&
        announced.find_first_not_of("0123456789") == std::string::npos)
        length = std::stoll(announced);
    const bool longer = length > static_cast<long long>(keep);
    // Without a length, one byte more than wanted tells a body that goes on.
    const std::size_t limit = longer        ? keep
                              : length >= 0 ? static_cast<std::size_t>(length)
                                            : keep + 1;
    std::string& body = answer.body;
    char piece[16384];
    while (body.size() < limit) {
        // A body sent a byte at a time comes a piece at a time: each is a chance to stop.
        if (SteadyMs() >= deadline) return false;
        DWORD available = 0, read = 0;
        if (!::WinHttpQueryDataAvailable(request, &available)) break;
        if (available == 0) break;
        DWORD want = static_cast<DWORD>(
            std::min<std::size_t>({available, sizeof piece, limit - body.size()}));
        if (!::WinHttpReadData(request, piece, want, &read)) break;
        if (read == 0) break;
        body.append(piece, read);
    }
    DWORD error = ::GetLastError();
    if (length >= 0 && !longer && body.size() == limit) {
        // The whole body: a last read finds its end at once and hands the connection back to
        // WinHTTP's pool there and then, as the HEAD answer's read does, rather than when the
        // request's handle is finally freed; the host's next request then finds it.
        char none;
        DWORD read = 0;
        ::WinHttpReadData(request, &none, 1, &read);
    }
    if (body.size() > keep || (longer && body.size() == keep)) {
        body.resize(keep);
        answer.bodyCut = true;
        return true;
    }
    if (length >= 0 && body.size() < limit) {
        // The body broke off: what came is not the whole of it.
        answer.failure = FailureOf(error);
        if (answer.failure == HttpFailure::None || answer.failure == HttpFailure::Other)
            answer.failure = HttpFailure::Reset;
        answer.reason = ErrorText(error, 0);
        answer.status = 0;
        body.clear();
    }
    return true;
}

// One worker thread and the request it is on. Shared by the thread and the transport.
struct CWorker
{
    HINTERNET request = nullptr; // in flight; null once closed
    std::uint64_t id = 0;
    std::int64_t deadline = 0; // SteadyMs of the request's end
    bool busy = false;
    bool closed = false;    // its handle was closed at the deadline
    bool abandoned = false; // answered for at the deadline; the thread ends when WinHTTP lets it
    bool ended = false;
};

// What the transport shares with its threads. A thread still inside a WinHTTP call when the
// transport goes, or when its request was answered for, keeps this alive until it comes back, so
// the transport need not wait for it.
struct CTransportState
{
    ~CTransportState()
    {
        if (session) ::WinHttpCloseHandle(session);
    }

    HINTERNET session = nullptr;
    std::int64_t timeoutMs = 0;
    std::size_t maxWorkers = 1; // at work on requests at once
    std::mutex mutex;
    std::condition_variable wake;     // a request is queued, or the transport stops
    std::condition_variable answered; // an answer is ready
    std::condition_variable exited;   // a worker has ended
    std::deque<HttpRequest> queue;
    std::vector<HttpResponse> answers;
    std::vector<std::shared_ptr<CWorker>> workers; // every one started, abandoned ones too
    std::size_t idle = 0;
    bool stopping = false;
};

class CWinHttpTransport : public IHttpTransport
{
public:
    // How long the transport waits for its threads when it goes; one still in WinHTTP after
    // that is left to end by itself.
    static constexpr int kStopWaitMs = 1000;
    // How long after closing a request's handle at its deadline the transport waits for its
    // worker before answering for it.
    static constexpr int kCloseWaitMs = 500;

    explicit CWinHttpTransport(const TransportSettings& settings)
        : state(std::make_shared<CTransportState>())
    {
        GuardWinHttpReceives();
        state->session =
            ::WinHttpOpen(Wide(settings.userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                          WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        if (!state->session) return;
        DWORD timeoutMs = static_cast<DWORD>(settings.timeoutSeconds) * 1000;
        state->timeoutMs = timeoutMs;
        ::WinHttpSetTimeouts(state->session, timeoutMs, timeoutMs, timeoutMs, timeoutMs);
        // The wait for the answer's headers has a limit of its own (90 s unless set).
        ::WinHttpSetOption(state->session, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &timeoutMs,
                           sizeof timeoutMs);
        DWORD headerBytes = static_cast<DWORD>(kMaxHeaderBytes);
        ::WinHttpSetOption(state->session, WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE, &headerBytes,
                           sizeof headerBytes);
        state->maxWorkers = static_cast<std::size_t>(std::max(1, settings.maxConnections));
    }

    ~CWinHttpTransport() override
    {
        std::unique_lock<std::mutex> lock(state->mutex);
        state->stopping = true;
        // Requests still running are cut short where the stack allows it: closing a handle ends
        // its blocking call on Windows.
        for (const auto& worker : state->workers) {
            if (worker->request) ::WinHttpCloseHandle(worker->request);
            worker->request = nullptr;
        }
        state->wake.notify_all();
        // Bounded: quitting while a check runs must not hang on a server that does not answer.
        CTransportState& shared = *state;
        shared.exited.wait_for(lock, std::chrono::milliseconds(kStopWaitMs), [&shared] {
            return std::all_of(
                shared.workers.begin(), shared.workers.end(),
                [](const auto& worker) { return worker->ended || worker->abandoned; });
        });
        for (std::size_t i = 0; i < threads.size(); ++i) {
            if (shared.workers[i]->ended) {
                lock.unlock();
                threads[i].join();
                lock.lock();
            } else {
                threads[i].detach();
            }
        }
    }

    bool Ready() const { return state->session != nullptr; }

    void Start(const HttpRequest& request) override
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->queue.push_back(request);
        // One thread per request in flight, up to the connection limit; idle ones are reused.
        // Abandoned ones do not count: their requests have been answered.
        const std::size_t working = static_cast<std::size_t>(
            std::count_if(state->workers.begin(), state->workers.end(),
                          [](const auto& worker) { return !worker->abandoned && !worker->ended; }));
        if (state->idle == 0 && working < state->maxWorkers) {
            auto worker = std::make_shared<CWorker>();
            state->workers.push_back(worker);
            threads.emplace_back(Work, state, worker);
            ++state->idle;
        }
        state->wake.notify_one();
    }

    void Wait(int waitMs, std::vector<HttpResponse>& finished) override
    {
        std::unique_lock<std::mutex> lock(state->mutex);
        CTransportState& shared = *state;
        KeepDeadlines(shared);
        if (shared.answers.empty() && waitMs > 0) {
            shared.answered.wait_for(lock, std::chrono::milliseconds(waitMs),
                                     [&shared] { return !shared.answers.empty(); });
            KeepDeadlines(shared);
        }
        for (HttpResponse& answer : shared.answers)
            finished.push_back(std::move(answer));
        shared.answers.clear();
    }

    std::int64_t NowMs() override { return SteadyMs(); }

private:
    static HttpResponse TimedOut(std::uint64_t id)
    {
        HttpResponse answer;
        answer.id = id;
        answer.failure = HttpFailure::Timeout;
        return answer;
    }

    // Closes the handles of requests past their deadline, and answers for the workers that are
    // still not back a while after. Called with the mutex held.
    static void KeepDeadlines(CTransportState& shared)
    {
        const std::int64_t now = SteadyMs();
        for (const auto& worker : shared.workers) {
            if (!worker->busy || worker->abandoned) continue;
            if (!worker->closed && now >= worker->deadline) {
                if (worker->request) ::WinHttpCloseHandle(worker->request);
                worker->request = nullptr;
                worker->closed = true;
            }
            if (worker->closed && now >= worker->deadline + kCloseWaitMs) {
                worker->abandoned = true;
                shared.answers.push_back(TimedOut(worker->id));
                shared.answered.notify_one();
            }
        }
    }

    // A worker: takes requests until the transport stops, or until a request of its own was
    // answered for. It holds the shared state, not the transport, which may be gone before it
    // comes back from WinHTTP.
    static void Work(std::shared_ptr<CTransportState> state, std::shared_ptr<CWorker> worker)
    {
        std::unique_lock<std::mutex> lock(state->mutex);
        for (;;) {
            state->wake.wait(lock, [&state] { return state->stopping || !state->queue.empty(); });
            if (state->stopping) break;
            HttpRequest request = std::move(state->queue.front());
            state->queue.pop_front();
            --state->idle;
            worker->busy = true;
            worker->closed = false;
            worker->id = request.id;
            // The deadline counts from here: the request has its thread, nothing waits before it.
            worker->deadline = SteadyMs() + state->timeoutMs;
            lock.unlock();
            HttpResponse answer = Perform(*state, *worker, request);
            lock.lock();
            worker->busy = false;
            if (worker->abandoned) break; // answered for already; another took its place
            ++state->idle;
            if (state->stopping) break;
            state->answers.push_back(std::move(answer));
            state->answered.notify_one();
        }
        worker->ended = true;
        state->exited.notify_all();
    }

    static HttpResponse Perform(CTransportState& state, CWorker& worker, const HttpRequest& request)
    {
        HttpResponse answer;
        answer.id = request.id;
        RequestGuard guard;
        guard.deadline = worker.deadline;
        CHttpHead rawHead;
        if (!request.https) guard.head = &rawHead;
        CGuardScope guarded(guard);
        std::string host = request.host;
        if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
        CInternetHandle connection(::WinHttpConnect(state.session, Wide(host).c_str(),
                                                    static_cast<INTERNET_PORT>(request.port), 0));
        DWORD secureFlags = 0;
        HINTERNET handle = nullptr;
        if (connection.Get()) {
            handle = ::WinHttpOpenRequest(
                connection.Get(), request.head ? L"HEAD" : L"GET", Wide(request.target).c_str(),
                nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                (request.https ? WINHTTP_FLAG_SECURE : 0) | WINHTTP_FLAG_ESCAPE_DISABLE |
                    WINHTTP_FLAG_ESCAPE_DISABLE_QUERY);
        }
        if (!handle) {
            answer.failure = HttpFailure::Other;
            answer.reason = ErrorText(::GetLastError(), 0);
            return answer;
        }
        {
            std::lock_guard<std::mutex> lock(state.mutex);
            if (state.stopping || worker.closed) {
                ::WinHttpCloseHandle(handle);
                return state.stopping ? answer : TimedOut(request.id);
            }
            worker.request = handle;
        }
        DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        ::WinHttpSetOption(handle, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
        if (!request.keepAlive) {
            DWORD feature = WINHTTP_DISABLE_KEEP_ALIVE;
            ::WinHttpSetOption(handle, WINHTTP_OPTION_DISABLE_FEATURE, &feature, sizeof feature);
        }
        DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&secureFlags);
        ::WinHttpSetOption(handle, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context);
        ::WinHttpSetStatusCallback(handle, OnStatus, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);

        // Wine's WinHTTP reads the answer's head while it sends the request.
        guard.countHead = true;
        bool sent = ::WinHttpSendRequest(handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                         WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
                    ::WinHttpReceiveResponse(handle, nullptr);
        guard.countHead = false;
        bool inTime = true;
        if (guard.tooLarge) {
            // Wine's WinHTTP takes the head read so far for the whole of it.
            answer.failure = HttpFailure::BadAnswer;
        } else if (!sent) {
            DWORD error = ::GetLastError();
            answer.failure = FailureOf(error);
            answer.reason = ErrorText(error, secureFlags);
        } else {
            DWORD status = 0, size = sizeof status;
            ::WinHttpQueryHeaders(handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                  WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                                  WINHTTP_NO_HEADER_INDEX);
            answer.status = static_cast<int>(status);
            answer.location = QueryHeader(handle, WINHTTP_QUERY_LOCATION);
            answer.retryAfter = QueryHeader(handle, WINHTTP_QUERY_RETRY_AFTER);
            // Where the head was seen as it came (Wine), it tells what WinHTTP's view leaves out.
            if (rawHead.Started() && !rawHead.Complete()) {
                answer.failure = HttpFailure::BadAnswer;
                answer.reason = "the answer's headers did not come whole";
            } else if (rawHead.Complete() && rawHead.Location().size() > answer.location.size()) {
                answer.location = rawHead.Location();
            }
        }
        if (sent && answer.failure == HttpFailure::None) {
            const int status = answer.status;
            // A HEAD answer is complete with its headers; reading its empty body tells WinHTTP
            // so, and it keeps the connection for the next request to the host (Wine's closes it
            // otherwise).
            if (request.head) {
                char none;
                DWORD read = 0;
                ::WinHttpReadData(handle, &none, 1, &read);
            }
            // A GET's body is not read at all unless it is wanted: the status and headers are
            // the answer, and closing the request drops the rest.
            if (!request.head && request.keepBody > 0 && status >= 200 && status < 300)
                inTime = ReadBody(handle, request.keepBody, answer, worker.deadline);
        }
        if (answer.failure == HttpFailure::BadAnswer) {
            answer.status = 0;
            answer.location.clear();
            if (answer.reason.empty())
                answer.reason = "the answer's headers are longer than " +
                                std::to_string(kMaxHeaderBytes / 1024) + " KiB";
        }
        std::lock_guard<std::mutex> lock(state.mutex);
        // Closed here unless it was closed already, at the deadline or by the destructor.
        if (worker.request == handle) {
            ::WinHttpCloseHandle(handle);
            worker.request = nullptr;
        }
        // Whatever the stack made of a request cut short at its deadline, it is a timeout.
        if (guard.expired || worker.closed || !inTime) return TimedOut(request.id);
        return answer;
    }

    std::shared_ptr<CTransportState> state;
    std::vector<std::thread> threads; // by worker, as state->workers
};

} // namespace

std::unique_ptr<IHttpTransport> CreateSystemTransport(const TransportSettings& settings,
                                                      std::string& error)
{
    auto transport = std::make_unique<CWinHttpTransport>(settings);
    if (!transport->Ready()) {
        error = "WinHTTP could not be set up (error " + std::to_string(::GetLastError()) + ")";
        return nullptr;
    }
    return transport;
}
