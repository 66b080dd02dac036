// Runs a fuzz target once on each file of the folders given, for the builds without libFuzzer, so that every
// test run replays the committed corpus. Usage: fuzz_<target> FOLDER...
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int replayed = 0;  // a folder that is not there throws, failing the run
    for (int k = 1; k < argc; ++k)
        for (const auto& entry : std::filesystem::directory_iterator(argv[k])) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string input{std::istreambuf_iterator<char>(in), {}};
            std::fprintf(stderr, "%s\n", entry.path().c_str());  // names the input that breaks a property
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()), ++replayed;
        }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 2;  // and so does a folder with nothing in it
}
