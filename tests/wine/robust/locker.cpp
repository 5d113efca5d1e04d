// Holds a file open with no sharing, as another program that has it locked would, until a line
// (or the end) arrives on standard input. Prints "locked" once it holds it, or "failed <error>".
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("failed %lu\n", GetLastError());
    return 1;
  }
  std::printf("locked\n");
  std::fflush(stdout);
  char line[64];
  std::fgets(line, sizeof line, stdin);
  CloseHandle(file);
  return 0;
}
