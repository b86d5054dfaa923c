// kepler-data: writes the heliocentric positions of a planet as the program's planet files hold
// them. See UsageText() for the options; the build runs it to make the two demonstration files.

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "data_table.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Writes next to the target and renames, so a failed run never leaves half a file behind.
int WriteFile(const kepler::data::TableOptions& options) {
  const std::filesystem::path target(options.outputPath);
  std::filesystem::path temporary = target;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      std::cerr << "kepler-data: cannot write " << temporary.string() << "\n";
      return kExitFailure;
    }
    kepler::data::WriteTable(options, out);
    out.close();
    if (!out) {
      std::cerr << "kepler-data: writing " << temporary.string() << " failed\n";
      return kExitFailure;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, target, ec);
  if (ec) {
    std::cerr << "kepler-data: cannot rename to " << target.string() << ": " << ec.message()
              << "\n";
    std::filesystem::remove(temporary, ec);
    return kExitFailure;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const kepler::data::ParsedCommandLine parsed = kepler::data::ParseCommandLine(args);
    if (parsed.help) {
      std::cout << kepler::data::UsageText();
      return 0;
    }
    if (!parsed.options) {
      std::cerr << "kepler-data: " << parsed.error << "\n" << kepler::data::UsageText();
      return kExitUsage;
    }
    if (parsed.options->outputPath.empty()) {
      kepler::data::WriteTable(*parsed.options, std::cout);
      std::cout.flush();
      return std::cout ? 0 : kExitFailure;
    }
    return WriteFile(*parsed.options);
  } catch (const std::exception& e) {
    std::cerr << "kepler-data: " << e.what() << "\n";
    return kExitFailure;
  }
}
