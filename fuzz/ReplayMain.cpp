// Runs a fuzz target over files and folders of inputs without libFuzzer, so
// the targets build and run with any compiler: each input as it is, then in
// copies damaged the ways files and transfers are (bytes changed, cut short),
// drawn from a fixed seed so that a failure comes back the same.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  int failures = 0, inputs = 0;
  const auto replay = [&](const std::filesystem::path& path) {
    ++inputs;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", path.c_str());
      ++failures;
      return;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const auto run = [](const std::string& input) {
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    };
    run(bytes);
    std::mt19937 random(static_cast<unsigned>(bytes.size()));
    const auto pick = [&](std::size_t high) {
      return std::uniform_int_distribution<std::size_t>(0, high)(random);
    };
    for (int n = 0; n < 256 && !bytes.empty(); ++n, ++inputs) {
      std::string damaged = bytes;
      for (std::size_t k = 1 + pick(3); k > 0; --k)
        damaged[pick(damaged.size() - 1)] = static_cast<char>(pick(255));
      if (n % 4 == 3) damaged.resize(pick(damaged.size() - 1));
      run(damaged);
    }
  };
  for (int i = 1; i < argc; ++i) {
    if (!std::filesystem::is_directory(argv[i])) {
      replay(argv[i]);
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      if (entry.is_regular_file()) replay(entry.path());
    }
  }
  std::printf("%d inputs replayed\n", inputs);
  return failures == 0 && inputs > 0 ? 0 : 1;
}
