#include "loopback_http_server_win.h"

#include <ws2tcpip.h>
// After the socket headers, which it needs.
#include <iphlpapi.h>

#include <algorithm>
#include <chrono>

namespace {

// Another test run on the same machine may hold the address for a moment; wait for it that long.
constexpr auto kBindPatience = std::chrono::seconds(60);
constexpr auto kBindRetryPause = std::chrono::milliseconds(100);
// How often the server looks whether it should stop, and how long it waits for a client that
// has gone quiet, or that does not read what it is sent.
constexpr long kPollMicroseconds = 50 * 1000;
constexpr DWORD kSilenceMilliseconds = 250;
constexpr DWORD kSendTimeoutMilliseconds = 5000;
constexpr std::size_t kLongestHead = 64 * 1024;
constexpr auto kPauseBeforeReset = std::chrono::milliseconds(100);

class WinsockScope {
  public:
    WinsockScope() {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockScope() {
        if (started_) {
            WSACleanup();
        }
    }
    WinsockScope(const WinsockScope&) = delete;
    WinsockScope& operator=(const WinsockScope&) = delete;

  private:
    bool started_ = false;
};

// Winsock stays started for the whole test run, so that sockets can be used from any thread.
void EnsureWinsock() {
    static WinsockScope winsock;
}

bool WaitReadable(SOCKET socket, long microseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval timeout{microseconds / 1000000, microseconds % 1000000};
    return select(0, &readable, nullptr, nullptr, &timeout) == 1;
}

bool SendAll(SOCKET socket, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 64 * 1024));
        const int result = send(socket, bytes.data() + sent, chunk, 0);
        if (result <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(result);
    }
    return true;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(const char* address, std::uint16_t port, Responder responder,
                                       std::chrono::milliseconds holdOff)
    : responder_(std::move(responder)), holdOff_(holdOff) {
    EnsureWinsock();
    sockaddr_in& local = local_;
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (inet_pton(AF_INET, address, &local.sin_addr) != 1) {
        failure_ = std::string("not an IPv4 address: ") + address;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kBindPatience;
    for (;;) {
        const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        // Lets the address be bound again while connections of an earlier server wait out their
        // close; a second listener on it is still refused.
        const BOOL reuse = TRUE;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
        // A queue of one place, while connections are held off: the server's own fills it.
        if (bind(listener, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 &&
            listen(listener, holdOff_.count() > 0 ? 0 : SOMAXCONN) == 0) {
            listener_ = listener;
            break;
        }
        const int error = WSAGetLastError();
        closesocket(listener);
        if ((error != WSAEADDRINUSE && error != WSAEACCES) || std::chrono::steady_clock::now() > deadline) {
            failure_ = std::string("cannot listen on ") + address + ":" + std::to_string(port) +
                       ", Winsock error " + std::to_string(error);
            return;
        }
        std::this_thread::sleep_for(kBindRetryPause);
    }
    if (holdOff_.count() > 0 && !FillQueue()) {
        return;
    }
    thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    for (std::thread& connection : connections_) {
        connection.join();
    }
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
    }
}

std::vector<std::string> LoopbackHttpServer::Received() const {
    const std::lock_guard lock(receivedMutex_);
    return received_;
}

std::size_t LoopbackHttpServer::WaitingClients() const {
    ULONG size = 0;
    std::vector<std::uint8_t> table;
    DWORD result = ERROR_INSUFFICIENT_BUFFER;
    while (result == ERROR_INSUFFICIENT_BUFFER) {
        table.resize(size + sizeof(MIB_TCPTABLE));
        size = static_cast<ULONG>(table.size());
        result = GetTcpTable(reinterpret_cast<MIB_TCPTABLE*>(table.data()), &size, FALSE);
    }
    if (result != NO_ERROR) {
        return 0;
    }
    const auto& connections = *reinterpret_cast<const MIB_TCPTABLE*>(table.data());
    std::size_t waiting = 0;
    for (DWORD i = 0; i < connections.dwNumEntries; ++i) {
        const MIB_TCPROW& row = connections.table[i];
        if (row.dwState == MIB_TCP_STATE_SYN_SENT && row.dwRemoteAddr == local_.sin_addr.s_addr &&
            static_cast<u_short>(row.dwRemotePort) == local_.sin_port) {
            ++waiting;
        }
    }
    return waiting;
}

// Before the constructor returns, so before any client can come: a client that connected first
// would take the queue's one place itself, and the filler would wait for it instead, its
// connection requests dropped until the system gave up on them two minutes later.
bool LoopbackHttpServer::FillQueue() {
    filler_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connect(filler_, reinterpret_cast<const sockaddr*>(&local_), sizeof local_) != 0) {
        failure_ = "cannot fill the listening queue, Winsock error " + std::to_string(WSAGetLastError());
        closesocket(filler_);
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return false;
    }
    sockaddr_in own{};
    int length = sizeof own;
    getsockname(filler_, reinterpret_cast<sockaddr*>(&own), &length);
    fillerPort_ = own.sin_port;
    return true;
}

bool LoopbackHttpServer::HoldOffConnections() {
    const auto until = std::chrono::steady_clock::now() + holdOff_;
    while (!stopping_ && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::microseconds(kPollMicroseconds));
    }
    closesocket(filler_);
    // Room for every client from now on; the filler is taken from the queue and dropped.
    listen(listener_, SOMAXCONN);
    return !stopping_;
}

void LoopbackHttpServer::Serve() {
    if (holdOff_.count() > 0 && !HoldOffConnections()) {
        return;
    }
    while (!stopping_) {
        if (!WaitReadable(listener_, kPollMicroseconds)) {
            continue;
        }
        sockaddr_in peer{};
        int length = sizeof peer;
        const SOCKET connection = accept(listener_, reinterpret_cast<sockaddr*>(&peer), &length);
        if (connection == INVALID_SOCKET) {
            continue;
        }
        if (fillerPort_ != 0 && peer.sin_port == fillerPort_) {
            closesocket(connection);
            continue;
        }
        connections_.emplace_back([this, connection] {
            ServeConnection(connection);
            closesocket(connection);
        });
    }
}

void LoopbackHttpServer::ServeConnection(SOCKET connection) {
    const DWORD sendTimeout = kSendTimeoutMilliseconds;
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
               sizeof sendTimeout);
    std::string head;
    char piece[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < kLongestHead &&
           WaitReadable(connection, kSilenceMilliseconds * 1000)) {
        const int length = recv(connection, piece, sizeof piece, 0);
        if (length <= 0) {
            break;
        }
        head.append(piece, static_cast<std::size_t>(length));
    }
    {
        const std::lock_guard lock(receivedMutex_);
        received_.push_back(head);
    }
    const ServerReply reply = responder_(head);
    // A client that stops reading part-way (the download's size limit) makes a send fail; that
    // is the end of the connection.
    if (!StayConnected(connection, reply.Delay) || !SendAll(connection, reply.Immediate)) {
        return;
    }
    for (std::size_t at = 0; at < reply.Trickled.size(); at += reply.TricklePiece) {
        if (!StayConnected(connection, reply.TricklePause) ||
            !SendAll(connection, reply.Trickled.substr(at, reply.TricklePiece))) {
            return;
        }
    }
    switch (reply.End) {
        case ReplyEnd::Close:
            break;
        case ReplyEnd::Reset: {
            // Closing with a zero linger time resets the connection instead of ending it in
            // order. Wine reports a reset that arrives before the client waits for the answer as
            // an orderly end of the connection, so the client is given a moment to start reading
            // first.
            std::this_thread::sleep_for(kPauseBeforeReset);
            const linger abort{1, 0};
            setsockopt(connection, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                       sizeof abort);
            break;
        }
        case ReplyEnd::FallSilent:
            while (StayConnected(connection, std::chrono::hours(1))) {
            }
            break;
    }
}

bool LoopbackHttpServer::StayConnected(SOCKET connection, std::chrono::milliseconds pause) {
    using std::chrono::microseconds;
    const auto until = std::chrono::steady_clock::now() + pause;
    for (auto now = std::chrono::steady_clock::now(); !stopping_ && now < until;
         now = std::chrono::steady_clock::now()) {
        // No longer than the pause, so that a trickle keeps its pace.
        const auto left = std::chrono::duration_cast<microseconds>(until - now).count();
        if (WaitReadable(connection, static_cast<long>(std::min<long long>(left, kPollMicroseconds)))) {
            // The client has nothing more to say: what arrives now is its leaving.
            char ignored[256];
            if (recv(connection, ignored, sizeof ignored, 0) <= 0) {
                return false;
            }
        }
    }
    return !stopping_;
}

std::string HttpHead(const std::string& status, std::uint64_t contentLength, const std::string& headers) {
    return "HTTP/1.0 " + status + "\r\n" + headers + "Content-Length: " + std::to_string(contentLength) +
           "\r\nConnection: close\r\n\r\n";
}

std::string HttpResponse(const std::string& status, const std::string& body) {
    return HttpHead(status, body.size()) + body;
}
