// The HTTP side of the cloud download: one GET of a mirror's address per attempt (with the
// redirects it leads to), and the body that answers it. The download's own rules (which mirror,
// how many attempts, how long one may take, how much of a body is kept) sit on top of this
// interface, so that they hold for any client; the program's client is WinINet's
// (wininet_client_win.h).
//
// No call here may block for long: each returns within about a second (kCloudStallLimit), so
// that the download can see its deadline pass, or a request to stop, between the calls.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

// The longest a client waits in one call for the network: to connect, to send, for the head of
// an answer or for the next piece of a body.
inline constexpr std::chrono::milliseconds kCloudStallLimit{1000};

// True once the attempt must end: its deadline has passed, or the run has been asked to stop.
using GiveUpCheck = std::function<bool()>;

// What one read of a body gives.
struct BodyRead {
    enum class Kind {
        Piece,    // Length bytes have arrived
        End,      // the body is over
        Waiting,  // nothing arrived within the stall limit; the body may still go on
        Failed,   // the connection broke
    };
    Kind Outcome = Kind::Failed;
    std::size_t Length = 0;
};

// The body of a 200 answer, as it arrives. Destroying it ends the request and its connection.
class CloudMapBody {
  public:
    CloudMapBody() = default;
    virtual ~CloudMapBody() = default;
    CloudMapBody(const CloudMapBody&) = delete;
    CloudMapBody& operator=(const CloudMapBody&) = delete;

    // The length the answer's head announced ("Content-Length"); nothing when it announced none.
    virtual std::optional<std::uint64_t> AnnouncedLength() const = 0;

    // Reads what has arrived of the body into buffer, at most buffer.size() bytes, waiting at
    // most kCloudStallLimit for something to arrive.
    virtual BodyRead Read(std::span<std::uint8_t> buffer) = 0;
};

class CloudMapClient {
  public:
    CloudMapClient() = default;
    virtual ~CloudMapClient() = default;
    CloudMapClient(const CloudMapClient&) = delete;
    CloudMapClient& operator=(const CloudMapClient&) = delete;

    // Sends a GET request for address, follows up to kMaxCloudRedirects redirects, and returns
    // the body of the 200 answer at the end. nullptr for a failed attempt: a malformed address or
    // one without a host, a host name that does not resolve, a refused or timed-out connection,
    // a failed send, an answer whose head did not come within the stall limit, a status other
    // than 200 (after the redirects), a redirect too many or one that leads nowhere, a malformed
    // "Content-Length"; and as soon as giveUp() is true between the requests.
    virtual std::unique_ptr<CloudMapBody> Get(const std::string& address, const GiveUpCheck& giveUp) = 0;
};
