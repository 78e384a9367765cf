// What naming a result the safe way costs on a disk, apart from everything else a run
// does: N small files written straight at their names (as the floor writes), against N
// made the way a run names a result (its own file made, opened again by the host's save,
// written, and renamed into place without replacing anything), and, for comparison, N
// made nameless (O_TMPFILE) and linked into place. Each way writes into a folder of its
// own under the working folder; nothing is deleted, so that no way pays for another's
// deletions. The rounds interleave the ways; the best of each is printed, in µs a file.
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kFileSize = 1400; // about a rotated sample of the benchmark

void Check(bool done, const std::string& what) {
    if (!done) {
        throw std::runtime_error(what + ": " + std::strerror(errno));
    }
}

void WriteAll(int file, const std::string& name) {
    static const std::array<char, kFileSize> content{};
    Check(write(file, content.data(), content.size()) == static_cast<ssize_t>(content.size()),
          "write " + name);
}

void WriteStraight(const std::string& folder, int index) {
    const std::string name = folder + "/sample-" + std::to_string(index) + ".pdf";
    const int file = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    Check(file >= 0, "open " + name);
    WriteAll(file, name);
    close(file);
}

void WriteAndRename(const std::string& folder, int index) {
    const std::string name = folder + "/sample-" + std::to_string(index) + ".pdf";
    const std::string own = folder + "/~sample-" + std::to_string(index) + ".pdf.1.saving";
    int file = open(own.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    Check(file >= 0, "open " + own);
    close(file);
    file = open(own.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    Check(file >= 0, "open " + own);
    WriteAll(file, own);
    close(file);
    Check(renameat2(AT_FDCWD, own.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0,
          "rename " + own);
}

void WriteNamelessAndLink(const std::string& folder, int index) {
    const std::string name = folder + "/sample-" + std::to_string(index) + ".pdf";
    const int file = open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    Check(file >= 0, "open a nameless file in " + folder);
    WriteAll(file, name);
    const std::string self = "/proc/self/fd/" + std::to_string(file);
    Check(linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0,
          "link " + name);
    close(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        static_cast<void>(std::fputs("usage: naming_cost WORK_FOLDER FILES ROUNDS\n", stderr));
        return 2;
    }
    const std::string work = argv[1];
    const int files = static_cast<int>(std::strtol(argv[2], nullptr, 10));
    const int rounds = static_cast<int>(std::strtol(argv[3], nullptr, 10));
    if (files <= 0 || rounds <= 0) {
        static_cast<void>(std::fputs("naming_cost: FILES and ROUNDS are counts\n", stderr));
        return 2;
    }
    struct CWay {
        const char* name;
        std::function<void(const std::string&, int)> write;
        double best = 0;
    };
    std::vector<CWay> ways = {{"straight at the name", WriteStraight},
                              {"own file, renamed", WriteAndRename},
                              {"nameless, linked", WriteNamelessAndLink}};
    try {
        for (int round = 1; round <= rounds; ++round) {
            for (std::size_t way = 0; way < ways.size(); ++way) {
                const std::string folder =
                    work + "/naming-" + std::to_string(round) + "-" + std::to_string(way);
                Check(mkdir(folder.c_str(), 0755) == 0, "mkdir " + folder);
                sync();
                const auto start = std::chrono::steady_clock::now();
                for (int index = 0; index < files; ++index) {
                    ways[way].write(folder, index);
                }
                const std::chrono::duration<double, std::micro> took =
                    std::chrono::steady_clock::now() - start;
                const double perFile = took.count() / files;
                ways[way].best = round == 1 ? perFile : std::min(ways[way].best, perFile);
            }
        }
    } catch (const std::exception& error) {
        static_cast<void>(std::fprintf(stderr, "naming_cost: %s\n", error.what()));
        return 1;
    }
    for (const auto& way : ways) {
        std::printf("%-22s %7.1f µs a file (%+.1f)\n", way.name, way.best,
                    way.best - ways.front().best);
    }
    return 0;
}
