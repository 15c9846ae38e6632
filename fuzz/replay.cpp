// Feeds every file of the directories (or the files) named on the command
// line to a fuzz target once, as libFuzzer would, so that the committed seed
// corpus and the inputs of past crashes run with the normal test suite.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsOf(const fs::path& path, std::error_code& error) {
    std::vector<fs::path> inputs;
    if (fs::is_regular_file(path, error)) {
        inputs.push_back(path);
        return inputs;
    }
    for (const auto& entry : fs::directory_iterator(path, error)) {
        // .gitkeep and the like hold a directory in git; they are no input.
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s directory-or-file...\n", argv[0]);
        return 2;
    }
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        const std::vector<fs::path> inputs = inputsOf(argv[i], error);
        if (error) {
            std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
            return 2;
        }
        for (const fs::path& input : inputs) {
            std::ifstream in(input, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "%s: cannot be read\n", input.string().c_str());
                return 2;
            }
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
            // Say which input is running: a failure aborts the process.
            std::fprintf(stderr, "replaying %s (%zu bytes)\n", input.string().c_str(),
                         bytes.size());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed without a fault\n", replayed);
    return 0;
}
