// bench_listing: runs the listing engine several times in one process over the same folders, with the
// CRC-32 column on (or off, or other checksum columns), and prints per run the wall time, the checksums
// computed, the bytes the process read from files and the checksum rate. The first run reads every
// file; later runs must take the checksums over from the first run's records and read no file contents
// at all.
//
//   bench_listing [--runs N] [--no-crc | --hash crc32,xxh3,sha256] OUTPUT_PREFIX DIR...
//
// Run i writes OUTPUT_PREFIX-i.txt; the header time is fixed, so unchanged folders give identical files.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/listing_engine.h"
#include "platform/canonical_path.h"

namespace {

// Bytes this process has passed through read() so far (page-cache hits included), or -1 where the
// kernel does not report it.
long long BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:")
            return value;
    }
    return -1;
}

// Sum of the sizes of the files whose checksum a run could need: every file entry listed.
std::uint64_t ListedFileBytes(const quillary::FolderTree& dirs) {
    std::uint64_t bytes = 0;
    for (const quillary::DirRecord& record : dirs) {
        for (const quillary::FileRecord& entry : record.entries) {
            if (!entry.isDirectory)
                bytes += entry.size;
        }
    }
    return bytes;
}

int Usage() {
    std::fprintf(stderr, "Usage: bench_listing [--runs N] [--no-crc | --hash LIST] OUTPUT_PREFIX DIR...\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 2;
    bool crc = true, xxh3 = false, sha256 = false;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (arg == "--no-crc")
            crc = false;
        else if (arg == "--hash" && i + 1 < argc) {
            const std::string list = std::string(",") + argv[++i] + ",";
            crc = list.find(",crc32,") != std::string::npos;
            xxh3 = list.find(",xxh3,") != std::string::npos;
            sha256 = list.find(",sha256,") != std::string::npos;
        } else if (arg.rfind("--", 0) == 0)
            return Usage();
        else
            positional.push_back(arg);
    }
    if (positional.size() < 2 || runs < 1)
        return Usage();

    quillary::RunTarget target;
    target.options.m_bFileCrc32 = crc;
    target.options.m_bFileXxh3 = xxh3;
    target.options.m_bFileSha256 = sha256;
    target.options.m_bKeepChecksums =
        false; // every run reads the files (bench/run.sh cache measures the cache)
    target.headerTime = 0;
    for (std::size_t i = 1; i < positional.size(); ++i) {
        // Checked-folder entries name the root by the empty key.
        const quillary::CanonicalPathResult folder = quillary::CanonicalPath(positional[i]);
        target.checkedDirs.push_back(folder.path == "/" ? "3|" : "3|" + folder.path);
    }

    quillary::ListingEngine engine;
    int failures = 0;
    for (int run = 1; run <= runs; ++run) {
        quillary::RunTarget thisRun = target;
        thisRun.outputPath = positional[0] + "-" + std::to_string(run) + ".txt";
        engine.SetRunTarget(std::move(thisRun));

        const long long readBefore = BytesReadSoFar();
        const auto start = std::chrono::steady_clock::now();
        const quillary::RunResult result = engine.Run();
        const quillary::RunStatus status = result.status;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long long readAfter = BytesReadSoFar();

        const quillary::RunStatistics& stats = result.statistics;
        const std::uint64_t fileBytes = ListedFileBytes(engine.Folders());
        const double gbPerSecond =
            stats.checksumsComputed > 0 ? static_cast<double>(fileBytes) / seconds / 1e9 : 0;
        std::printf("run %d: status=%s seconds=%.6f entries=%d checksumsComputed=%llu reusedEntries=%llu "
                    "fileBytes=%llu bytesRead=%lld GBps=%.3f\n",
                    run, status == quillary::RunStatus::Written ? "written" : "FAILED", seconds,
                    stats.entryCount, static_cast<unsigned long long>(stats.checksumsComputed),
                    static_cast<unsigned long long>(stats.reusedEntries),
                    static_cast<unsigned long long>(fileBytes),
                    readBefore < 0 ? -1LL : readAfter - readBefore, gbPerSecond);
        if (status != quillary::RunStatus::Written)
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
