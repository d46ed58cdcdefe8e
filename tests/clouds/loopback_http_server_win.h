// A small HTTP server on a loopback address (127.0.0.2, 127.0.0.3, ... serve as separate hosts),
// run on a thread of the test process, so that the download's requests can be answered and
// looked at without anything outside the machine. It serves one connection at a time: it reads
// what the client sends until the end of the request head (or until the client falls silent),
// records it, and answers with what the test's responder makes of it, or breaks the connection
// off. Listening starts in the constructor and ends, with the thread, in the destructor.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttpServer {
  public:
    // The whole answer to one request: status line, headers and body; or nothing, to reset the
    // connection without an answer, as a mirror that breaks down does. Called on the server's
    // thread.
    using Responder = std::function<std::optional<std::string>(const std::string& request)>;

    LoopbackHttpServer(const char* address, std::uint16_t port, Responder responder);
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

  private:
    void Serve();
    void ServeConnection(SOCKET connection);

    Responder responder_;
    SOCKET listener_ = INVALID_SOCKET;
    std::string failure_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex receivedMutex_;
    std::vector<std::string> received_;
    std::thread thread_;
};

// A response with the given status line ("200 OK") and body, closed after the body.
std::string HttpResponse(const std::string& status, const std::string& body);
