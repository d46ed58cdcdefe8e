// The HTTP side of the cloud download: one GET of a mirror's address per attempt, and the body
// that answers it. The download's own rules (which mirror, how many attempts, how much of a body
// is kept) sit on top of this interface, so that they hold for any client; the program's client
// is WinINet's (wininet_client_win.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

// The body of a response, as it arrives. Destroying it ends the request and its connection.
class CloudMapBody {
  public:
    CloudMapBody() = default;
    virtual ~CloudMapBody() = default;
    CloudMapBody(const CloudMapBody&) = delete;
    CloudMapBody& operator=(const CloudMapBody&) = delete;

    // Reads the next piece of the body into buffer and returns its length, at most
    // buffer.size(); 0 at the end of the body. Nothing when the read failed (the connection
    // broke, a time-out).
    virtual std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) = 0;
};

class CloudMapClient {
  public:
    CloudMapClient() = default;
    virtual ~CloudMapClient() = default;
    CloudMapClient(const CloudMapClient&) = delete;
    CloudMapClient& operator=(const CloudMapClient&) = delete;

    // Sends a GET request for address and returns the body of the answer, whatever its status.
    // nullptr for a network error: a malformed address or one without a host, a host name that
    // does not resolve, a refused or timed-out connection, a failed send.
    virtual std::unique_ptr<CloudMapBody> Get(const std::string& address) = 0;
};
