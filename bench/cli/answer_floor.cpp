// The least any program can do with a SAT library's log answer: read the
// answer file whole, copy it once into fresh memory, and write three quarters
// of it (the size of the decoded log) to a file and to standard output.
//
//     answer_floor ANSWER_FILE OUTPUT_FILE

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: answer_floor ANSWER_FILE OUTPUT_FILE\n", stderr);
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary | std::ios::ate);
    if (!input) {
        return 1;
    }
    std::string answer(static_cast<std::size_t>(input.tellg()), '\0');
    input.seekg(0);
    input.read(answer.data(), static_cast<std::streamsize>(answer.size()));

    const std::unique_ptr<char[]> copy(new char[answer.size()]);
    std::memcpy(copy.get(), answer.data(), answer.size());

    const std::size_t decoded = answer.size() / 4 * 3;
    std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
    output.write(copy.get(), static_cast<std::streamsize>(decoded));
    std::fwrite(copy.get(), 1, decoded, stdout);
    return output && std::fflush(stdout) == 0 ? 0 : 1;
}
