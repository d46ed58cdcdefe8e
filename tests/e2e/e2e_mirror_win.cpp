// orbiscape-e2e-mirror: a cloud mirror that misbehaves, for the end-to-end scenarios. It serves
// port 80 of a loopback address for a bounded time with the test server of the cloud tests,
// and prints one line for each request it receives ("request N: " and the request line), so
// that a scenario can count them and see when the program has asked.
//
//   orbiscape-e2e-mirror ADDRESS BEHAVIOUR SECONDS [FILE]
//     redirect-to-itself      every answer a redirect to the path asked for
//     silent-mid-body         the head and a first part of a body, then silence
//     slow-map FILE           FILE as the body, 4 KiB every tenth of a second
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/clouds/loopback_http_server_win.h"

namespace {

constexpr int kUsage = 64;
constexpr std::uint16_t kHttpPort = 80;
constexpr std::size_t kSilentAfterBytes = 1000;
constexpr std::size_t kSlowPiece = 4096;
constexpr std::chrono::milliseconds kSlowPause{100};

std::string RequestLine(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
}

// The path of a request line "GET /path HTTP/1.0".
std::string RequestPath(const std::string& request) {
    const std::string line = RequestLine(request);
    const std::size_t start = line.find(' ') + 1;
    return line.substr(start, line.find(' ', start) - start);
}

std::string FileBytes(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// What the server answers for the behaviour; an empty responder for one it does not know.
LoopbackHttpServer::Responder BehaviourResponder(const std::string& behaviour, const std::string& map,
                                                 const std::string& address) {
    if (behaviour == "redirect-to-itself") {
        return [address](const std::string& request) {
            return ServerReply(
                HttpHead("302 Found", 0, "Location: http://" + address + RequestPath(request) + "\r\n"));
        };
    }
    if (behaviour == "silent-mid-body") {
        return [](const std::string&) {
            ServerReply reply(HttpHead("200 OK", 10 * kSilentAfterBytes) +
                              std::string(kSilentAfterBytes, 'x'));
            reply.End = ReplyEnd::FallSilent;
            return reply;
        };
    }
    if (behaviour == "slow-map" && !map.empty()) {
        return [map](const std::string&) {
            ServerReply reply(HttpHead("200 OK", map.size()));
            reply.Trickled = map;
            reply.TricklePiece = kSlowPiece;
            reply.TricklePause = kSlowPause;
            return reply;
        };
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr,
                     "usage: orbiscape-e2e-mirror ADDRESS redirect-to-itself | silent-mid-body | "
                     "slow-map SECONDS [FILE]\n");
        return kUsage;
    }
    const std::string address = argv[1];
    const std::string map = argc == 5 ? FileBytes(argv[4]) : std::string();
    const LoopbackHttpServer::Responder answer = BehaviourResponder(argv[2], map, address);
    const int seconds = std::atoi(argv[3]);
    if (!answer || seconds <= 0) {
        std::fprintf(stderr, "unknown behaviour, missing map or no time to serve\n");
        return kUsage;
    }
    int requests = 0;
    LoopbackHttpServer server(address.c_str(), kHttpPort, [&](const std::string& request) {
        std::printf("request %d: %s\n", ++requests, RequestLine(request).c_str());
        std::fflush(stdout);
        return answer(request);
    });
    if (!server.Listening()) {
        std::fprintf(stderr, "%s\n", server.Failure().c_str());
        return 2;
    }
    std::printf("listening on %s port 80\n", address.c_str());
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    return 0;
}
