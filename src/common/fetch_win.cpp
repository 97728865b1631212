// FetchUrl over WinINet: HTTP/1.0 GET, no cache, no proxy, the whole body whatever the status.
// Time-outs are bounded so that an unreachable or silent host cannot hang the GUI thread.
#include <windows.h>
#include <wininet.h>

#include "common/gbk.h"
#include "common/platform.h"

namespace {
constexpr DWORD kConnectTimeoutMs = 5000;
constexpr DWORD kReceiveTimeoutMs = 8000;
constexpr DWORD kTotalTimeoutMs = 15000;

struct InetHandle {
  HINTERNET h = nullptr;
  ~InetHandle() {
    if (h) InternetCloseHandle(h);
  }
};
}  // namespace

namespace real {

std::string FetchUrl(const Text& url) {
  std::string body;
  std::wstring wurl = GbkToWide(url);
  wchar_t host[256] = {}, path[4096] = {}, extra[4096] = {};
  URL_COMPONENTSW uc{};
  uc.dwStructSize = sizeof uc;
  uc.lpszHostName = host;
  uc.dwHostNameLength = 256;
  uc.lpszUrlPath = path;
  uc.dwUrlPathLength = 4096;
  uc.lpszExtraInfo = extra;
  uc.dwExtraInfoLength = 4096;
  if (!InternetCrackUrlW(wurl.c_str(), 0, 0, &uc)) return body;
  if (uc.nScheme != INTERNET_SCHEME_HTTP && uc.nScheme != INTERNET_SCHEME_HTTPS) return body;

  InetHandle session, connection, request;
  session.h = InternetOpenW(L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
                            INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!session.h) return body;
  DWORD t = kConnectTimeoutMs;
  InternetSetOptionW(session.h, INTERNET_OPTION_CONNECT_TIMEOUT, &t, sizeof t);
  t = kReceiveTimeoutMs;
  InternetSetOptionW(session.h, INTERNET_OPTION_RECEIVE_TIMEOUT, &t, sizeof t);
  InternetSetOptionW(session.h, INTERNET_OPTION_SEND_TIMEOUT, &t, sizeof t);
  t = 1;
  InternetSetOptionW(session.h, INTERNET_OPTION_CONNECT_RETRIES, &t, sizeof t);

  connection.h = InternetConnectW(session.h, host, uc.nPort, nullptr, nullptr,
                                  INTERNET_SERVICE_HTTP, 0, 0);
  if (!connection.h) return body;
  std::wstring object = std::wstring(path) + extra;
  if (object.empty()) object = L"/";
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
  if (uc.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  request.h = HttpOpenRequestW(connection.h, L"GET", object.c_str(), L"HTTP/1.0", nullptr, nullptr,
                               flags, 0);
  if (!request.h) return body;
  static const wchar_t kHeaders[] = L"Accept: */*\r\n";
  if (!HttpSendRequestW(request.h, kHeaders, static_cast<DWORD>(-1), nullptr, 0)) return body;

  const DWORD start = GetTickCount();
  char buf[16384];
  DWORD got = 0;
  while (InternetReadFile(request.h, buf, sizeof buf, &got) && got > 0) {
    body.append(buf, got);
    if (GetTickCount() - start > kTotalTimeoutMs) break;
  }
  return body;
}

}  // namespace real
