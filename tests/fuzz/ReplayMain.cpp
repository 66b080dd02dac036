// Runs a fuzz target once over given files and folders, for the builds
// without libFuzzer (g++): the committed corpus, crash inputs kept as
// regression cases included, is then checked by every ordinary test run.
//
// Usage: fuzz_<target> FILE|FOLDER...

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int k = 1; k < argc; ++k) {
        const fs::path arg = argv[k];
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::recursive_directory_iterator(arg))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.push_back(arg);
        }
    }
    std::sort(files.begin(), files.end());

    // Every input is read before the first run: a target may change the
    // working directory, and the paths may be relative.
    std::vector<std::string> inputs;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 2;
        }
        inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs given\n");
        return 2;
    }
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        std::fprintf(stderr, "%s\n", files[k].c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(inputs[k].data()), inputs[k].size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
