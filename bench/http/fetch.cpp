// fetch.exe [--reads-only] URL [COUNT]: times COUNT calls of HttpRequest on URL inside the
// process, so that Wine's start-up is not counted. One line per call: "bytes=N seconds=S".
// --reads-only runs the same WinINet exchange with the same 1024-byte reads but keeps none of
// the body: the difference to a plain run is what collecting the body costs.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "http/HttpRequest.h"
#include "http/Url.h"

namespace {

size_t ReadsOnly(const vd::Text& url) {
  HINTERNET session = InternetOpenA("fetch", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(session, vd::UrlHost(url).c_str(),
                                          static_cast<INTERNET_PORT>(vd::UrlPort(url)), nullptr,
                                          nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, "GET", vd::UrlObjectName(url).c_str(),
                                       "HTTP/1.1", nullptr, nullptr, 0x80004010, 0);
  HttpSendRequestA(request, nullptr, 0, nullptr, 0);
  char chunk[1024];
  size_t total = 0;
  for (DWORD count = 1; count != 0; total += count) {
    count = 0;
    InternetReadFile(request, chunk, sizeof chunk, &count);
  }
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(session);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const bool readsOnly = argc > 1 && std::strcmp(argv[1], "--reads-only") == 0;
  if (readsOnly) {
    --argc;
    ++argv;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: fetch.exe [--reads-only] URL [COUNT]\n");
    return 2;
  }
  const int count = argc > 2 ? std::atoi(argv[2]) : 1;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < count; ++i) {
    QueryPerformanceCounter(&start);
    const size_t size = readsOnly ? ReadsOnly(argv[1]) : vd::HttpRequest(argv[1]).size();
    QueryPerformanceCounter(&end);
    std::printf("bytes=%u seconds=%.6f\n", static_cast<unsigned>(size),
                double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    std::fflush(stdout);
  }
  return 0;
}
