// fetch.exe URL [COUNT]: times COUNT calls of HttpRequest on URL inside the process, so that
// Wine's start-up is not counted. One line per call: "bytes=N seconds=S".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "http/HttpRequest.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fetch.exe URL [COUNT]\n");
    return 2;
  }
  const int count = argc > 2 ? std::atoi(argv[2]) : 1;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < count; ++i) {
    QueryPerformanceCounter(&start);
    const vd::Bytes body = vd::HttpRequest(argv[1]);
    QueryPerformanceCounter(&end);
    std::printf("bytes=%u seconds=%.6f\n", static_cast<unsigned>(body.size()),
                double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    std::fflush(stdout);
  }
  return 0;
}
