// Runs a fuzz target once on each file given or found in a folder given, for the builds without libFuzzer, so
// that every test run replays the committed corpus. Usage: fuzz_<target> FILE|FOLDER...
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int replayed = 0;
    const auto replay = [&](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        const std::string input{std::istreambuf_iterator<char>(in), {}};
        if (!in) std::fprintf(stderr, "cannot read %s\n", file.c_str()), std::exit(2);
        std::fprintf(stderr, "%s\n", file.c_str());  // names the input that breaks a property
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), ++replayed;
    };
    for (int k = 1; k < argc; ++k) {
        if (!std::filesystem::is_directory(argv[k])) replay(argv[k]);
        else for (const auto& entry : std::filesystem::directory_iterator(argv[k])) replay(entry.path());
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 2;  // a corpus not found fails rather than passes
}
