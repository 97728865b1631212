// dwgframe OUT.dwg: writes the part-frame drawing.
#include <cstdio>
#include <fstream>

#include "dwg_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dwgframe OUT.dwg\n");
    return 2;
  }
  const std::vector<std::uint8_t> bytes = dwgframe::BuildPartFrameDwg();
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "dwgframe: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
