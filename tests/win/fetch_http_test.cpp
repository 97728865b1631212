// real::FetchUrl (WinINet) against an HTTP server on 127.0.0.1 run by the test itself: what is
// sent, what comes back for whole, failed, broken-off and silent transfers.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "common/platform.h"

namespace {

// One-connection-at-a-time server on a port of the system's choosing. Each accepted connection
// has its request read, then gets the scripted behaviour.
class TestServer {
 public:
  enum class Mode {
    Answer,  // send the response, then close
    Silent,  // read the request, then say nothing until the test ends
    Drip,    // send the response, then one byte every 500 ms until the test ends
  };

  TestServer(std::string response, Mode mode) : response_(std::move(response)), mode_(mode) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listener_, 4);
    int len = sizeof a;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Run(); });
  }

  ~TestServer() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
    WSACleanup();
  }

  int port() const { return port_; }
  std::string Url(const char* scheme, const char* path) const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_) + path;
  }
  // The first request received (up to its blank line).
  std::string Request() {
    std::lock_guard<std::mutex> lock(mutex_);
    return request_;
  }
  int connections() const { return connections_; }

 private:
  bool Readable(SOCKET s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &tv) == 1;
  }

  void Run() {
    while (!stop_) {
      if (!Readable(listener_, 50)) continue;
      SOCKET c = accept(listener_, nullptr, nullptr);
      if (c == INVALID_SOCKET) continue;
      ++connections_;
      Serve(c);
      closesocket(c);
    }
  }

  void Serve(SOCKET c) {
    std::string got;
    char buf[4096];
    while (!stop_ && got.find("\r\n\r\n") == std::string::npos) {
      if (!Readable(c, 50)) continue;
      int n = recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      got.append(buf, n);
      if (got.size() > 1 && static_cast<unsigned char>(got[0]) == 0x16) break;  // a TLS hello
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (request_.empty()) request_ = got;
    }
    if (mode_ == Mode::Silent) {
      while (!stop_) Sleep(20);
      return;
    }
    SendAll(c, response_);
    if (mode_ == Mode::Drip) {
      for (char ch = 'a'; !stop_; ch = ch == 'z' ? 'a' : ch + 1) {
        if (send(c, &ch, 1, 0) != 1) break;
        for (int i = 0; i < 25 && !stop_; ++i) Sleep(20);
      }
      return;
    }
    shutdown(c, SD_SEND);
  }

  static void SendAll(SOCKET c, const std::string& s) {
    std::size_t done = 0;
    while (done < s.size()) {
      int n = send(c, s.data() + done, static_cast<int>(s.size() - done), 0);
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
  }

  std::string response_;
  Mode mode_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::string request_;
  std::thread thread_;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Header(const std::string& request, const std::string& name) {
  const std::string key = "\r\n" + name + ":";
  std::size_t at = request.find(key);
  if (at == std::string::npos) return "(missing)";
  at += key.size();
  while (at < request.size() && request[at] == ' ') ++at;
  return request.substr(at, request.find("\r\n", at) - at);
}

TEST(FetchUrl, SendsHttp10GetWithAcceptAndUserAgent) {
  TestServer server("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", TestServer::Mode::Answer);
  EXPECT_EQ(real::FetchUrl(server.Url("http", "/cad.txt?x=1")), "ok");
  const std::string req = server.Request();
  EXPECT_EQ(req.substr(0, req.find("\r\n")), "GET /cad.txt?x=1 HTTP/1.0") << req;
  EXPECT_EQ(Header(req, "Accept"), "*/*") << req;
  EXPECT_EQ(Header(req, "User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)") << req;
  EXPECT_EQ(Header(req, "Host"), "127.0.0.1:" + std::to_string(server.port())) << req;
  // Nothing may come from a cache on the way.
  EXPECT_EQ(Header(req, "Pragma"), "no-cache") << req;
  EXPECT_EQ(req.find("Accept", req.find("Accept:") + 1), std::string::npos) << "one Accept only\n" << req;
  std::printf("request as sent:\n%s", req.c_str());
}

TEST(FetchUrl, WholeBodyWhateverTheStatus) {
  std::string gbkWithZero = std::string("v3.3#下载#@工具#http://a#http://b\0tail", 38);
  std::string big;
  for (int i = 0; i < 300000; ++i) big.push_back(static_cast<char>(i * 7 + i / 251));
  struct {
    const char* name;
    std::string response, want;
  } cases[] = {
      {"200 with length", "HTTP/1.0 200 OK\r\nContent-Length: 38\r\n\r\n" + gbkWithZero, gbkWithZero},
      {"404 page", "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<html>404 Not Found</html>",
       "<html>404 Not Found</html>"},
      {"500 page", "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 5\r\n\r\noops!", "oops!"},
      {"body to the end of the connection, 300000 bytes", "HTTP/1.0 200 OK\r\n\r\n" + big, big},
      {"empty body", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", ""},
      {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n",
       "abcde"},
  };
  for (const auto& c : cases) {
    TestServer server(c.response, TestServer::Mode::Answer);
    const std::string got = real::FetchUrl(server.Url("http", "/cad.txt"));
    EXPECT_EQ(got.size(), c.want.size()) << c.name;
    EXPECT_TRUE(got == c.want) << c.name;
  }
}

TEST(FetchUrl, BrokenOffTransferGivesTheBytesReceived) {
  const std::string part = "0123456789abcdefghijklmnopqrstuvwxyzABCD";  // 40 of the 100 announced
  TestServer server("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n" + part, TestServer::Mode::Answer);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(real::FetchUrl(server.Url("http", "/cad.txt")), part);
  std::printf("broken-off transfer returned after %.2f s\n", SecondsSince(start));
}

TEST(FetchUrl, SilentServerGivesEmptyBytesWithinTheTimeOut) {
  TestServer server("", TestServer::Mode::Silent);
  const auto start = std::chrono::steady_clock::now();
  const std::string got = real::FetchUrl(server.Url("http", "/cad.txt"));
  const double s = SecondsSince(start);
  EXPECT_EQ(got, "");
  EXPECT_LT(s, 60.0) << "it must not hang";
  std::printf("silent server: empty after %.2f s, %d connection(s)\n", s, server.connections());
}

// A server that keeps sending, slowly, never ends the body: the total time-out ends the transfer
// and what arrived is kept.
TEST(FetchUrl, EndlessTransferStopsAtTheTotalTimeOut) {
  TestServer server("HTTP/1.0 200 OK\r\n\r\nstart:", TestServer::Mode::Drip);
  const auto start = std::chrono::steady_clock::now();
  const std::string got = real::FetchUrl(server.Url("http", "/cad.txt"));
  const double s = SecondsSince(start);
  EXPECT_LT(s, 60.0) << "it must not hang";
  EXPECT_EQ(got.substr(0, 7), "start:a");
  std::printf("endless transfer: %zu bytes after %.2f s\n", got.size(), s);
}

TEST(FetchUrl, NoBodyToBeHad) {
  // A port with nobody listening: bind one, note it, close it.
  SOCKET s = INVALID_SOCKET;
  int freePort = 0;
  {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    freePort = ntohs(a.sin_port);
    closesocket(s);
    WSACleanup();
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(real::FetchUrl("http://127.0.0.1:" + std::to_string(freePort) + "/cad.txt"), "");
  std::printf("refused connection: empty after %.2f s\n", SecondsSince(start));
  for (const char* url : {"", "cad.txt", "ftp://127.0.0.1/cad.txt", "file:///C:/windows/win.ini",
                          "http://", "C:\\windows\\win.ini"})
    EXPECT_EQ(real::FetchUrl(url), "") << url;
}

// https goes over TLS: a server answering in plain HTTP is a TLS failure, hence empty bytes.
TEST(FetchUrl, HttpsSpeaksTlsAndAFailedHandshakeGivesNothing) {
  TestServer server("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", TestServer::Mode::Answer);
  EXPECT_EQ(real::FetchUrl(server.Url("https", "/cad.txt")), "");
  const std::string req = server.Request();
  ASSERT_FALSE(req.empty());
  EXPECT_EQ(static_cast<unsigned char>(req[0]), 0x16) << "a TLS handshake record";
}

}  // namespace
