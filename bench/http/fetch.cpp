// fetch.exe [--reads-only] [--memory EVERY [--pause MS]] URL [COUNT]: times COUNT calls of
// HttpRequest on URL inside the process, so that Wine's start-up is not counted. One line per call:
// "bytes=N seconds=S". --reads-only runs the same WinINet exchange with the same 1024-byte reads
// but keeps none of the body: the difference to a plain run is what collecting the body costs.
// --memory prints instead, every EVERY calls, "calls=N private_kib=K": a long watch makes one
// such call per check period, so growth here is what an unattended week would add.
#include <windows.h>
// after windows.h, which they need
#include <psapi.h>
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

// Wine leaves PrivateUsage at 0, but its process is a Linux one whose /proc shows through Z:.
size_t PrivateKib() {
  if (FILE* rollup = std::fopen("Z:\\proc\\self\\smaps_rollup", "r")) {
    size_t kib = 0;
    char line[256];
    while (std::fgets(line, sizeof line, rollup)) {
      if (std::strncmp(line, "Private_", 8) == 0)
        kib += std::strtoul(std::strchr(line, ':') + 1, nullptr, 10);
    }
    std::fclose(rollup);
    return kib;
  }
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  return counters.PrivateUsage / 1024;
}

int main(int argc, char** argv) {
  bool readsOnly = false;
  int memoryEvery = 0;
  int pauseMs = 0;  // between memory-mode calls, as the check period spaces the probes
  while (argc > 1 && std::strncmp(argv[1], "--", 2) == 0) {
    if (std::strcmp(argv[1], "--reads-only") == 0) {
      readsOnly = true;
    } else if (std::strcmp(argv[1], "--memory") == 0 && argc > 2) {
      memoryEvery = std::atoi(argv[2]);
      --argc;
      ++argv;
    } else if (std::strcmp(argv[1], "--pause") == 0 && argc > 2) {
      pauseMs = std::atoi(argv[2]);
      --argc;
      ++argv;
    } else {
      break;
    }
    --argc;
    ++argv;
  }
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: fetch.exe [--reads-only] [--memory EVERY [--pause MS]] URL [COUNT]\n");
    return 2;
  }
  const int count = argc > 2 ? std::atoi(argv[2]) : 1;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  if (memoryEvery > 0) {
    std::printf("calls=0 private_kib=%u\n", static_cast<unsigned>(PrivateKib()));
    for (int i = 1; i <= count; ++i) {
      if (readsOnly) {
        ReadsOnly(argv[1]);
      } else {
        vd::HttpRequest(argv[1]);
      }
      if (pauseMs > 0) Sleep(static_cast<DWORD>(pauseMs));
      if (i % memoryEvery == 0) {
        std::printf("calls=%d private_kib=%u\n", i, static_cast<unsigned>(PrivateKib()));
        std::fflush(stdout);
      }
    }
    return 0;
  }
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
