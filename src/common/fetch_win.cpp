// FetchUrl over WinINet: HTTP/1.0 GET, no cache, no proxy, the whole body whatever the status.
// An unreachable, silent or endless host must not hang the GUI thread: connect and receive
// time-outs are set on every handle, and the transfer runs on a worker thread that the caller
// waits for no longer than the total time-out. A worker left behind stops at its next read.
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "common/gbk.h"
#include "common/platform.h"

namespace {
constexpr DWORD kConnectTimeoutMs = 5000;
constexpr DWORD kReceiveTimeoutMs = 8000;
constexpr DWORD kTotalTimeoutMs = 15000;

const wchar_t kUserAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

struct InetHandle {
  HINTERNET h = nullptr;
  ~InetHandle() {
    if (h) InternetCloseHandle(h);
  }
};

struct Target {
  std::wstring host, object;
  INTERNET_PORT port = 0;
  bool secure = false;
};

// What the worker has received; shared with the caller, which may stop waiting first.
struct Transfer {
  std::mutex mutex;
  std::condition_variable changed;
  std::string body;
  bool over = false;
  bool abandoned = false;
};

bool CrackUrl(const Text& url, Target& t) {
  const std::wstring wurl = GbkToWide(url);
  wchar_t host[256] = {}, path[4096] = {}, extra[4096] = {};
  URL_COMPONENTSW uc{};
  uc.dwStructSize = sizeof uc;
  uc.lpszHostName = host;
  uc.dwHostNameLength = 256;
  uc.lpszUrlPath = path;
  uc.dwUrlPathLength = 4096;
  uc.lpszExtraInfo = extra;
  uc.dwExtraInfoLength = 4096;
  if (wurl.empty() || !InternetCrackUrlW(wurl.c_str(), 0, 0, &uc)) return false;
  if (uc.nScheme != INTERNET_SCHEME_HTTP && uc.nScheme != INTERNET_SCHEME_HTTPS) return false;
  if (host[0] == L'\0') return false;
  t.host = host;
  t.object = std::wstring(path) + extra;
  if (t.object.empty()) t.object = L"/";
  t.port = uc.nPort;
  t.secure = uc.nScheme == INTERNET_SCHEME_HTTPS;
  return true;
}

void SetTimeouts(HINTERNET h) {
  DWORD t = kConnectTimeoutMs;
  InternetSetOptionW(h, INTERNET_OPTION_CONNECT_TIMEOUT, &t, sizeof t);
  t = kReceiveTimeoutMs;
  InternetSetOptionW(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &t, sizeof t);
  InternetSetOptionW(h, INTERNET_OPTION_SEND_TIMEOUT, &t, sizeof t);
  InternetSetOptionW(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &t, sizeof t);
  InternetSetOptionW(h, INTERNET_OPTION_DATA_SEND_TIMEOUT, &t, sizeof t);
}

void Receive(const Target& target, Transfer& transfer) {
  InetHandle session, connection, request;
  session.h = InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!session.h) return;
  SetTimeouts(session.h);
  DWORD retries = 1;
  InternetSetOptionW(session.h, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);
  connection.h = InternetConnectW(session.h, target.host.c_str(), target.port, nullptr, nullptr,
                                  INTERNET_SERVICE_HTTP, 0, 0);
  if (!connection.h) return;
  SetTimeouts(connection.h);
  // Certificates are checked as usual: no INTERNET_FLAG_IGNORE_CERT_* flags.
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
  if (target.secure) flags |= INTERNET_FLAG_SECURE;
  request.h = HttpOpenRequestW(connection.h, L"GET", target.object.c_str(), L"HTTP/1.0", nullptr,
                               nullptr, flags, 0);
  if (!request.h) return;
  SetTimeouts(request.h);
  static const wchar_t kHeaders[] = L"Accept: */*\r\n";
  if (!HttpSendRequestW(request.h, kHeaders, static_cast<DWORD>(-1), nullptr, 0)) return;
  // Only what has arrived is asked for: a read of a whole buffer would wait for it to fill. A
  // failure ends the transfer like the end of the body; what came so far is kept.
  char buf[16384];
  DWORD available = 0, got = 0;
  while (InternetQueryDataAvailable(request.h, &available, 0, 0) && available > 0) {
    const DWORD want = available < sizeof buf ? available : static_cast<DWORD>(sizeof buf);
    if (!InternetReadFile(request.h, buf, want, &got) || got == 0) return;
    std::lock_guard<std::mutex> lock(transfer.mutex);
    if (transfer.abandoned) return;
    transfer.body.append(buf, got);
  }
}

}  // namespace

namespace real {

std::string FetchUrl(const Text& url) {
  Target target;
  if (!CrackUrl(url, target)) return {};
  auto transfer = std::make_shared<Transfer>();
  try {
    std::thread([transfer, target] {
      Receive(target, *transfer);
      {
        std::lock_guard<std::mutex> lock(transfer->mutex);
        transfer->over = true;
      }
      transfer->changed.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return {};
  }
  std::unique_lock<std::mutex> lock(transfer->mutex);
  transfer->changed.wait_for(lock, std::chrono::milliseconds(kTotalTimeoutMs),
                             [&] { return transfer->over; });
  transfer->abandoned = true;
  return std::move(transfer->body);
}

}  // namespace real
