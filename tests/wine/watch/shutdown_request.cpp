// shutdown_request.exe forced|plain: makes the real shutdown request once, for a relay trace.
// Run only by shutdown_trace.py, in a Wine prefix of its own.
#include <cstdio>
#include <cstring>

#include "watch/Shutdown.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  if (std::strcmp(argv[1], "forced") == 0) {
    vd::ForcedShutdown();
  } else if (std::strcmp(argv[1], "plain") == 0) {
    vd::PlainShutdown();
  } else {
    return 2;
  }
  std::puts("requested");
  return 0;
}
