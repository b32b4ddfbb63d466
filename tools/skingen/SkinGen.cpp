// skingen DESCRIPTION OUTPUT-DIR: draws the BMP images one of our skins describes (see
// SkinImages.h) into the output folder.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "tools/skingen/SkinImages.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: skingen DESCRIPTION OUTPUT-DIR\n";
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the description");
    std::stringstream text;
    text << in.rdbuf();
    const std::filesystem::path outDir = argv[2];
    std::filesystem::create_directories(outDir);
    for (const TSkinImageLayout& layout : ParseSkinImageLayouts(text.str())) {
      std::ofstream out(outDir / layout.File, std::ios::binary);
      out << EncodeBmp24(DrawSkinImage(layout));
      if (!out) throw std::runtime_error("cannot write " + layout.File);
    }
  } catch (const std::exception& e) {
    std::cerr << "skingen: " << argv[1] << ": " << e.what() << '\n';
    return 1;
  }
  return 0;
}
