// bench_selection: how long 200,000 selection lines take to restore into the folder tree around a
// folder with 50,000 subfolders on disk, for several shapes of selection file. Prints one line per
// shape: wall and CPU seconds, the entries collected afterwards and the lines not found.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "model/memory_tree.h"
#include "model/tri_state_tree.h"
#include "persistence/selection_file.h"
#include "temporary_folder.h"

namespace fs = std::filesystem;
using namespace quillary;

int main() {
    constexpr int kSubfolders = 50000;
    constexpr int kLines = 200000;
    const bench::TemporaryFolder scratch("quillary-bench-selection-");
    const std::string big = fs::canonical(scratch.Path()).string() + "/big";
    fs::create_directory(big);
    const auto name = [](int i) {
        char text[16];
        std::snprintf(text, sizeof text, "d%05d", i);
        return std::string(text);
    };
    for (int i = 0; i < kSubfolders; ++i)
        fs::create_directory(big + "/" + name(i));
    fs::create_directory(big + "/" + name(7) + "/inner");

    std::mt19937 random(1);
    struct Pattern {
        const char* name;
        std::function<std::string(int)> line;
        int lines = kLines;
    };
    const Pattern patterns[] = {
        {"saved selection (2|big, then every subfolder), four times over",
         [&](int i) {
             const int k = i % (kSubfolders + 1);
             return k == 0 ? "2|" + big : "3|" + big + "/" + name(k - 1);
         }},
        {"one subfolder, the same line every time", [&](int) { return "3|" + big + "/" + name(25000); }},
        {"random subfolders alone", [&](int) { return "2|" + big + "/" + name(random() % kSubfolders); }},
        {"random subfolders and the one below them",
         [&](int i) {
             return "3|" + big + "/" + name(i % 2 == 0 ? 7 : int(random() % kSubfolders)) + "/inner";
         }},
        // Each toggle hands the new state to the 50,000 loaded subfolders: this cost is per line.
        {"the big folder itself, 2,000 times", [&](int) { return "3|" + big; }, 2000},
    };
    for (const Pattern& p : patterns) {
        std::string text;
        for (int i = 0; i < p.lines; ++i)
            text += p.line(i) + "\n";
        const std::string file = scratch.File("sel.qls");
        std::ofstream(file, std::ios::binary) << text;
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        MemoryDirTree tree;
        RefreshTree(tree);
        const RestoreReport report = LoadSelection(tree, file);
        std::vector<std::string> out;
        CollectChecked(tree, out);
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        std::printf("%-64s %6.2f s (CPU %6.2f s), %zu entries, %zu not found\n", p.name, seconds.count(),
                    cpuSeconds, out.size(), report.issues.size());
    }
    return 0;
}
