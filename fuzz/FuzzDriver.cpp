// Stand-in for libFuzzer where it is not available: feeds every file of a
// corpus folder, then the given number of deterministic mutations of them,
// to the target. Usage: target CORPUS_DIR [COUNT]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::string mutate(std::string s, std::mt19937& rng, const std::vector<std::string>& corpus) {
    const int steps = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < steps; ++i) {
        const size_t pos = s.empty() ? 0 : rng() % (s.size() + 1);
        switch (rng() % 6) {
        case 0: // flip a byte
            if (!s.empty()) s[pos % s.size()] = static_cast<char>(rng());
            break;
        case 1: // insert bytes
            s.insert(pos, std::string(1 + rng() % 4, static_cast<char>(rng())));
            break;
        case 2: // erase a run
            if (!s.empty()) s.erase(pos % s.size(), 1 + rng() % 16);
            break;
        case 3: // truncate
            s.resize(pos);
            break;
        case 4: { // splice from another input
            const std::string& other = corpus[rng() % corpus.size()];
            if (!other.empty()) {
                const size_t from = rng() % other.size();
                s.insert(pos, other.substr(from, 1 + rng() % 64));
            }
            break;
        }
        case 5: { // copy a run within the input
            if (!s.empty()) {
                const size_t from = rng() % s.size();
                s.insert(pos, s.substr(from, 1 + rng() % 32));
            }
            break;
        }
        }
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [COUNT]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> corpus;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        std::ifstream in(entry.path(), std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (corpus.empty()) corpus.emplace_back();
    const long count = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 10000;

    for (const std::string& input : corpus)
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    std::mt19937 rng(20261207);
    for (long i = 0; i < count; ++i) {
        const std::string input = mutate(corpus[rng() % corpus.size()], rng, corpus);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    }
    std::printf("%zu corpus inputs and %ld mutations ran clean\n", corpus.size(), count);
    return 0;
}
