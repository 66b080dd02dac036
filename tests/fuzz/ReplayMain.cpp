// Runs a fuzz target once over each file given or found in a folder given,
// for the builds without libFuzzer: every ordinary test run checks the
// committed corpus. Usage: fuzz_<target> FILE|FOLDER...

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
        if (!fs::is_directory(argv[k])) files.emplace_back(argv[k]);
        else for (const auto& entry : fs::recursive_directory_iterator(argv[k]))
            if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string input{std::istreambuf_iterator<char>(in), {}};
        if (!in) return std::fprintf(stderr, "cannot read %s\n", file.c_str()), 2;
        std::fprintf(stderr, "%s\n", file.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    std::printf("%zu inputs replayed\n", files.size());
    return files.empty() ? 2 : 0;
}
