// make_icon OUT.ico: writes Tamsik's program icon.

#include <cstdio>
#include <fstream>

#include "program_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUT.ico\n");
    return 2;
  }
  const std::vector<std::uint8_t> icon = makeProgramIcon();
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
