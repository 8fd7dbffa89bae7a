// Runs every file in the folders (or the files) named on the command line through the fuzz
// target once, as libFuzzer would run one input. A missing folder counts as empty.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
                if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
                RunFile(entry.path());
                ++runs;
            }
        } else if (std::filesystem::is_regular_file(arg)) {
            RunFile(arg);
            ++runs;
        }
    }
    std::printf("%d inputs ran\n", runs);
    return 0;
}
