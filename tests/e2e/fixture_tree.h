// A fixture folder tree with fixed sizes and times, built in a fresh temporary directory, and helpers to
// run quillary-cli on it and compare its output with expected files in tests/data/golden/.
//
// Set QUILLARY_UPDATE_GOLDEN=1 to write the expected files from the current output instead.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/canonical_path.h"
#include "support/run_program.h"
#include "support/scratch_dir.h"
#include "support/system.h"

namespace quillary::test {

namespace fs = std::filesystem;

// 2004-05-06 07:08:09 UTC, and a few other fixed moments.
inline constexpr long long kFixtureTime = 1083827289;

// The fixture tree under <temp>/Data:
//   Data/report.doc (1200000 bytes), notes.txt (34567), README (0, no extension), .hidden (10),
//   "a b & <c>.txt" (3), "semi;colon \"q\".csv" (5), Überblick.TXT (2048), archive.tar.gz (1536)
//   (on Windows, where names cannot hold < > or ", "a b & c.txt" and "semi;colon 'q'.csv")
//   Data/Old/ (empty), Data/Sub/deep/file.TXT (1023), Data/Sub/Zeta.md (1048576 + 512)
// Every file and folder has fixed modification and access times. On Windows the tree is made in
// C:\Users\Public, whose path has the same length for every user (the temporary folder's holds the
// user's name), so that the text listings cut long paths at the same place on every machine.
class FixtureTree {
public:
    FixtureTree() : m_temp(FixtureParent()) {
        m_data = m_temp.Path() / "Data";
        fs::create_directories(m_data / "Old");
        fs::create_directories(m_data / "Sub" / "deep");
        AddFile("report.doc", 1200000, 0);
        AddFile("notes.txt", 34567, 86400);
        AddFile("README", 0, 2 * 86400);
        AddFile(".hidden", 10, 3 * 86400);
        AddFile(kOnWindows ? "a b & c.txt" : "a b & <c>.txt", 3, 4 * 86400);
        AddFile(kOnWindows ? "semi;colon 'q'.csv" : "semi;colon \"q\".csv", 5, 5 * 86400);
        AddFile("\xC3\x9C"
                "berblick.TXT",
                2048, 6 * 86400);
        AddFile("archive.tar.gz", 1536, 7 * 86400);
        AddFile("Sub/deep/file.TXT", 1023, 8 * 86400);
        AddFile("Sub/Zeta.md", 1048576 + 512, 9 * 86400 + 3661);
        SetTimes(m_data / "Sub" / "deep", kFixtureTime - 10 * 86400, kFixtureTime);
        SetTimes(m_data / "Sub", kFixtureTime - 11 * 86400, kFixtureTime);
        SetTimes(m_data / "Old", kFixtureTime - 12 * 86400, kFixtureTime);
        SetTimes(m_data, kFixtureTime - 13 * 86400, kFixtureTime);
    }

    const fs::path& Root() const { return m_temp.Path(); }
    const fs::path& Data() const { return m_data; }

    // Replaces the temporary root in a listing by "<ROOT>", so that expected files do not depend on it:
    // as the tests name it, as the program names a folder given on its command line (canonical; on
    // Windows with the drive in lower case, "c:\users\Public\..."), and in a file:// link ("/" for "\").
    std::string Normalise(std::string text) const {
        std::string link = m_temp.Path().string();
        std::replace(link.begin(), link.end(), '\\', '/');
        for (const std::string& root :
             {m_temp.Path().string(), CanonicalPath(m_temp.Path().string()).path, link}) {
            for (std::size_t at = text.find(root); at != std::string::npos; at = text.find(root, at))
                text.replace(at, root.size(), "<ROOT>");
        }
        return text;
    }

private:
    static fs::path FixtureParent() {
        return kOnWindows ? fs::path("C:\\Users\\Public") : fs::temp_directory_path();
    }
    void AddFile(const std::string& relative, std::size_t size, long long age) {
        const fs::path path = m_data / Utf8Path(relative);
        WriteFile(path, std::string(size, 'x'));
        SetTimes(path, kFixtureTime - age, kFixtureTime);
    }

    ScratchDir m_temp;
    fs::path m_data;
};

using CliResult = ProgramResult;

inline constexpr char kSeparator = kOnWindows ? '\\' : '/';

// A folder, or an entry `name` in it, as quillary-cli names it: canonical, on Windows with the drive in
// lower case ("c:\users\Public\...").
inline std::string Shown(const fs::path& folder, const std::string& name = "") {
    const std::string path = CanonicalPath(Utf8Text(folder)).path;
    return name.empty() ? path : path + kSeparator + name;
}

// Runs quillary-cli with the arguments in `workingDir`, TZ=UTC and a fixed SOURCE_DATE_EPOCH, from
// the build directory or from a copy (pass `program`). A run that hangs is stopped after two minutes.
inline CliResult RunCli(const std::vector<std::string>& args, const fs::path& workingDir,
                        const std::string& program = QUILLARY_CLI_PATH, RunOptions options = {}) {
    options.environment.insert(options.environment.begin(),
                               {{"TZ", "UTC"}, {"SOURCE_DATE_EPOCH", std::to_string(kFixtureTime)}});
    return RunProgram(program, args, workingDir, options);
}

// How often `part` occurs in `text` (overlapping occurrences too).
inline std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The name of quillary-cli's file, for copies of it.
inline fs::path CliFileName() {
    return fs::path(QUILLARY_CLI_PATH).filename();
}

// Compares `actual` with tests/data/golden/<name>, or writes it there when QUILLARY_UPDATE_GOLDEN=1. On
// Windows the expected files are those of tests/data/golden/windows/: paths with "\\", the attribute
// letters Windows sets (archive on every new file, hidden on the dot-files Wine makes), CR LF line ends.
inline void ExpectGolden(const std::string& name, const std::string& actual) {
    const fs::path path = fs::path(QUILLARY_TEST_DATA_DIR) / "golden" / (kOnWindows ? "windows" : "") / name;
    const char* update = std::getenv("QUILLARY_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        fs::create_directories(path.parent_path());
        WriteFile(path, actual);
        return;
    }
    ASSERT_TRUE(fs::exists(path)) << "missing expected file " << path
                                  << " (run with QUILLARY_UPDATE_GOLDEN=1)";
    EXPECT_EQ(ReadFile(path), actual) << "listing differs from " << path;
}

} // namespace quillary::test
