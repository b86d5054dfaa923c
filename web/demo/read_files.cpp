// Demo for the packer's test: reads every file in the working folder the way the program reads its
// pictures and data files (std::ifstream by bare name) and leaves each one's bytes, base64, in
// window.embeddedFiles, and the fonts the page has loaded in window.loadedFonts.
#include <emscripten.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// clang-format off
EM_JS(void, PublishFile, (const char* name, const unsigned char* data, int size), {
  const bytes = HEAPU8.subarray(data, data + size);
  let text = "";
  for (let i = 0; i < bytes.length; ++i) text += String.fromCharCode(bytes[i]);
  window.embeddedFiles = window.embeddedFiles || {};
  window.embeddedFiles[UTF8ToString(name)] = btoa(text);
});

EM_JS(void, PublishDone, (), {
  window.loadedFonts = [];
  document.fonts.forEach(face => window.loadedFonts.push(face.family + " " + face.status));
  window.embeddedFiles = window.embeddedFiles || {};
  window.demoDone = true;
});
// clang-format on

}  // namespace

int main() {
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().filename().string();
    std::ifstream in(name, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    PublishFile(name.c_str(), bytes.data(), static_cast<int>(bytes.size()));
  }
  PublishDone();
  return 0;
}
