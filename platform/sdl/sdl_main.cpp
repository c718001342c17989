// The process entry on hosts without WinMain: hand over to the program's.
#include <string>

#include "win32.h"

int main(int argc, char** argv) {
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  return WinMain(GetModuleHandleA(NULL), NULL, &commandLine[0], SW_SHOW);
}
