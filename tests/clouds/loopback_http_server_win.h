// A small HTTP server on a loopback address (127.0.0.2, 127.0.0.3, ... serve as separate hosts),
// run on a thread of the test process, so that the download's requests can be answered and
// looked at without anything outside the machine. It serves each connection on a thread of its
// own, as a real server answers several clients at once: it reads what the client sends until
// the end of the request head (or until the client falls silent), records it, and answers as
// the test's responder says: at once, byte by byte, falling silent
// with the connection held open, or breaking the connection off, as mirrors that misbehave do.
// It may also hold off new connections for a while, as a mirror that is slow to connect.
// Listening starts in the constructor and ends, with the thread, in the destructor.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How the server ends a connection once it has sent what it had to send.
enum class ReplyEnd {
    Close,       // an orderly end
    Reset,       // an abortive close, as a mirror that breaks down
    FallSilent,  // nothing more, with the connection held open until the client leaves
};

// The server's answer to one request: after a delay, bytes sent at once, then bytes sent a few
// at a time with a pause before each piece, then the end.
struct ServerReply {
    ServerReply() = default;
    // A whole answer sent at once and closed in order.
    ServerReply(std::string immediate) : Immediate(std::move(immediate)) {}  // NOLINT: implicit by design

    // Waited before anything is sent, as a mirror's script that takes its time.
    std::chrono::milliseconds Delay{0};
    std::string Immediate;
    std::string Trickled;
    std::size_t TricklePiece = 1;
    std::chrono::milliseconds TricklePause{1000};
    ReplyEnd End = ReplyEnd::Close;
};

class LoopbackHttpServer {
  public:
    // Called on a connection's thread with the request head.
    using Responder = std::function<ServerReply(const std::string& request)>;

    // With holdOff, no connection is taken for that long after the start: the listening queue is
    // kept full, so the system drops a client's connection request and the client sends it again
    // later (after 1, 3, 7, 15 and 31 s), and its connect waits until the first request after
    // the hold-off.
    LoopbackHttpServer(const char* address, std::uint16_t port, Responder responder,
                       std::chrono::milliseconds holdOff = std::chrono::milliseconds(0));
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // False when the address could not be bound (the reason is in the failure message).
    bool Listening() const { return listener_ != INVALID_SOCKET; }
    const std::string& Failure() const { return failure_; }

    // What each connection sent, in order: the request head, or for a client that does not speak
    // plain HTTP whatever it sent first.
    std::vector<std::string> Received() const;
    std::size_t RequestCount() const { return Received().size(); }
    // How many clients are waiting to be connected while new connections are held off.
    std::size_t WaitingClients() const;

  private:
    void Serve();
    // Fills the listening queue with a connection of the server's own; false, with the listener
    // closed, when it cannot.
    bool FillQueue();
    // Keeps the listening queue full until the hold-off is over; false when the server stops
    // first.
    bool HoldOffConnections();
    void ServeConnection(SOCKET connection);
    // Waits up to pause while the client stays and the server is not stopped; false when the
    // connection should end now.
    bool StayConnected(SOCKET connection, std::chrono::milliseconds pause);

    Responder responder_;
    sockaddr_in local_{};
    std::chrono::milliseconds holdOff_;
    SOCKET listener_ = INVALID_SOCKET;
    // The server's own connection that fills the queue during the hold-off, and its local port.
    SOCKET filler_ = INVALID_SOCKET;
    std::uint16_t fillerPort_ = 0;
    std::string failure_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex receivedMutex_;
    std::vector<std::string> received_;
    std::thread thread_;
    // One for each connection taken; only the server's thread adds to them.
    std::vector<std::thread> connections_;
};

// A response with the given status line ("200 OK") and body, closed after the body.
std::string HttpResponse(const std::string& status, const std::string& body);
// The head of a response with the given status line and extra header lines (each ending in
// "\r\n"), announcing contentLength bytes of body.
std::string HttpHead(const std::string& status, std::uint64_t contentLength, const std::string& headers = {});
