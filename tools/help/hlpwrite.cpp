// hlpwrite <source.txt> <file.HLP>: turns the plain-text help source into a
// help file for the platform's help viewer.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "HelpFileWriter.h"
#include "HelpSource.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: hlpwrite <source.txt> <file.HLP>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "hlpwrite: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::stringstream source;
  source << in.rdbuf();
  try {
    const sombrevox::help::Bytes file = sombrevox::help::WriteHelpFile(sombrevox::help::ParseHelpSource(source.str()));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.Data().data()), static_cast<std::streamsize>(file.Size()));
    if (!out.flush()) {
      std::cerr << "hlpwrite: cannot write " << argv[2] << "\n";
      std::remove(argv[2]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}
