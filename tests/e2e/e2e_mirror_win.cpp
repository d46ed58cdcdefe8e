// orbiscape-e2e-mirror: a cloud mirror that misbehaves or is slow, for the end-to-end scenarios.
// It serves port 80 of a loopback address for a bounded time with the test server of the cloud
// tests, and prints one line for each request it receives ("request N: " and the request line),
// and one each time the number of clients waiting to be connected changes ("waiting clients N"),
// so that a scenario can count them and see when the program has asked.
//
//   orbiscape-e2e-mirror ADDRESS BEHAVIOUR SECONDS [FILE]
//     redirect-to-itself      every answer a redirect to the path asked for
//     never-connecting        no connection taken: a client's connect waits
//     silent                  the request taken, and nothing sent
//     silent-mid-body         the head and a first part of a body, then silence
//     slow-map FILE           FILE as the body, after 3 s of silence, at 32 KiB a second
//     cut-map FILE            nine tenths of FILE as the body, without a length, then the end
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
constexpr std::chrono::milliseconds kSlowStart{3000};
constexpr std::size_t kSlowPiece = 4096;
constexpr std::chrono::milliseconds kSlowPause{125};
constexpr DWORD kWatchMilliseconds = 100;

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
    if (behaviour == "silent" || behaviour == "never-connecting") {
        return [](const std::string&) {
            ServerReply reply;
            reply.End = ReplyEnd::FallSilent;
            return reply;
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
            reply.Delay = kSlowStart;
            reply.Trickled = map;
            reply.TricklePiece = kSlowPiece;
            reply.TricklePause = kSlowPause;
            return reply;
        };
    }
    if (behaviour == "cut-map" && !map.empty()) {
        // Without a length announced, the end of the connection looks like the end of the body.
        return [map](const std::string&) {
            return ServerReply("HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n\r\n" +
                               map.substr(0, map.size() * 9 / 10));
        };
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr,
                     "usage: orbiscape-e2e-mirror ADDRESS redirect-to-itself | never-connecting | silent | "
                     "silent-mid-body | slow-map | cut-map SECONDS [FILE]\n");
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
    const auto holdOff = std::chrono::seconds(std::string(argv[2]) == "never-connecting" ? seconds : 0);
    LoopbackHttpServer server(
        address.c_str(), kHttpPort,
        [&](const std::string& request) {
            std::printf("request %d: %s\n", ++requests, RequestLine(request).c_str());
            std::fflush(stdout);
            return answer(request);
        },
        holdOff);
    if (!server.Listening()) {
        std::fprintf(stderr, "%s\n", server.Failure().c_str());
        return 2;
    }
    std::printf("listening on %s port 80\n", address.c_str());
    std::fflush(stdout);
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    std::size_t waiting = 0;
    while (GetTickCount64() < end) {
        if (const std::size_t now = server.WaitingClients(); now != waiting) {
            waiting = now;
            std::printf("waiting clients %zu\n", waiting);
            std::fflush(stdout);
        }
        Sleep(kWatchMilliseconds);
    }
    return 0;
}
