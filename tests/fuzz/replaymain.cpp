// Runs the fuzz target once on every file named on the command line, or in a
// folder named there, as libFuzzer does when it replays a corpus; then on
// 8,000 mutations of them (random bytes, file-format tokens, splices and
// cuts), the same each run, so that compilers without libFuzzer explore
// beyond the corpus too. Any failed check aborts the program.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {
void run(const std::string &bytes)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
}

void mutate(const std::vector<std::string> &seeds)
{
    static const char *const tokens[] = {"#", "#Definitions", "\n", "\r\n", "\r", ",", "0", "101", "Lightmap",
                                         "-2147483649", "99999999999999999999", "..", "/", "\\", "nan", " ",
                                         "\xEF\xBB\xBF"};
    std::minstd_rand random(4);
    const auto below = [&random](size_t n) { return n == 0 ? 0 : size_t(random() % n); };
    for (int round = 0; round < 8000; ++round) {
        std::string text = seeds[below(seeds.size())];
        for (size_t edit = 1 + below(8); edit > 0; --edit) {
            const size_t at = below(text.size() + 1);
            const std::string &other = seeds[below(seeds.size())];
            switch (below(4)) {
            case 0: text.insert(at, 1, char(below(256))); break;
            case 1: text.insert(at, tokens[below(std::size(tokens))]); break;
            case 2: text.insert(at, other.substr(below(other.size()), below(64))); break;
            default: text.erase(at, below(16));
            }
        }
        run(text);
    }
}
} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> seeds;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto &entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.emplace_back(argv[i]);
        }
        for (const std::filesystem::path &file : files) {
            std::ifstream in(file, std::ios::binary);
            seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            run(seeds.back());
        }
    }
    // A replay of nothing checks nothing: a missing corpus is a failure.
    if (seeds.empty())
        return 1;
    mutate(seeds);
    std::printf("replayed %zu inputs and 8000 mutations of them\n", seeds.size());
    return 0;
}
