// XXH3-64 and SHA-256: the hashers against reference vectors, fed whole and in pieces; every chosen
// checksum from one read of a file; the columns in a listing, kept between runs only for what was
// computed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/file_checksum.h"
#include "engine/listing_engine.h"
#include "engine/read_ahead.h"
#include "platform/hashes.h"
#include "support/scratch_dir.h"
#include "support/system.h"

namespace quillary {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

// Bytes from a xorshift generator, as the published XXH3 length vectors use.
std::vector<unsigned char> XorshiftBytes(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    std::uint64_t x = 1;
    for (auto& byte : bytes) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        byte = static_cast<unsigned char>(x);
    }
    return bytes;
}

std::string Hex(const Sha256Digest& digest) {
    std::string text;
    char pair[3];
    for (unsigned char byte : digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

// Feeds `data` in pieces of 1, 2, 3, ... bytes, so that every internal block boundary is crossed.
template <typename Hasher> void FeedInPieces(Hasher& hasher, const unsigned char* data, std::size_t size) {
    for (std::size_t done = 0, piece = 1; done < size; done += piece, ++piece)
        hasher.Update(data + done, std::min(piece, size - done));
}

TEST(HasherTest, Xxh3MatchesTheReferenceVectorsWholeAndInPieces) {
    const std::vector<unsigned char> data = XorshiftBytes(2243);
    const struct {
        std::size_t length;
        std::uint64_t expected;
    } vectors[] = {
        {0, 0x2d06800538d394c2},    {1, 0xd0d496e05c553485},    {3, 0x6ea2d59aca5c3778},
        {8, 0xabc1413da6cd0209},    {16, 0x7e46916754d7c9b8},   {17, 0xed4be912ba5f836d},
        {128, 0x06a146ee9a2da378},  {129, 0xbc7138129bf065da},  {240 + 163, 0xcefeb3ffa532ad8c},
        {512, 0xcdfa6b6268e3650f},  {2048, 0x330ce110cbb79eae}, {2240, 0xd61d4d2a94e926a8},
        {2243, 0x0979f786a24edde7},
    };
    Xxh3Hasher hasher;
    for (const auto& v : vectors) {
        hasher.Reset();
        hasher.Update(data.data(), v.length);
        EXPECT_EQ(hasher.Digest(), v.expected) << v.length;
        hasher.Reset();
        FeedInPieces(hasher, data.data(), v.length);
        EXPECT_EQ(hasher.Digest(), v.expected) << v.length << " in pieces";
    }
}

TEST(HasherTest, Sha256MatchesHashlibWholeAndInPieces) {
    const std::vector<unsigned char> data = XorshiftBytes(2243);
    const struct {
        std::size_t length;
        const char* expected;
    } vectors[] = {
        {0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {3, "4ac042aca998e8592216516d135888c35a9969a13cfabf210c054eefb6b42189"},
        {55, "174b8e9cf80fad874ec794c1e4c720a911262c0e7c0fde5bfda13df4986210ed"}, // padding in one block
        {56, "21f286abf9f17be6cdef84338c5565a0441720bdd20d0318a8237fd1e1fcdad1"}, // padding needs two
        {64, "7f60b44e3ac1c07b8377836837062147bc59d9f48a3efa82b5b9a841926935f4"},
        {2243, "d907dab31e21b26e12d31e605a4facbed68e958305329f3511d6030275feff39"},
    };
    Sha256Hasher hasher;
    for (const auto& v : vectors) {
        hasher.Reset();
        hasher.Update(data.data(), v.length);
        EXPECT_EQ(Hex(hasher.Digest()), v.expected) << v.length;
        hasher.Reset();
        FeedInPieces(hasher, data.data(), v.length);
        EXPECT_EQ(Hex(hasher.Digest()), v.expected) << v.length << " in pieces";
        EXPECT_FALSE(hasher.Failed());
    }
    hasher.Reset();
    hasher.Update("abc", 3);
    EXPECT_EQ(Hex(hasher.Digest()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(HasherTest, EveryChosenChecksumComesFromOneReadOfAFileOfSeveralChunks) {
    ScratchDir scratch;
    const std::vector<unsigned char> data = XorshiftBytes(FileChecksummer::kChunkSize + 12345);
    const fs::path path = scratch.Path() / "big.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    test::SetTimes(path, 1000, 1000);
    const std::atomic<bool> cancel{false};

    FileChecksummer all(kHashCrc32 | kHashXxh3 | kHashSha256);
    const auto result = all.Compute(path.string(), data.size(), 1000, cancel, {});
    ASSERT_EQ(result.outcome, FileChecksummer::Outcome::Complete);
    EXPECT_EQ(result.crc, Crc32Update(0, data.data(), data.size()));
    EXPECT_EQ(result.xxh3, 0xa5e200a65a4602fcu);
    EXPECT_EQ(Hex(result.sha256), "91a0b3ed4e678278ed6d8a35edf39c1b395deb42bb7a441c7e97243645088813");

    // A checksummer reused for the next file starts each hash afresh.
    WriteFile(scratch.Path() / "abc", "abc");
    test::SetTimes(scratch.Path() / "abc", 1000, 1000);
    FileChecksummer strongOnly(kHashSha256);
    strongOnly.Compute(path.string(), data.size(), 1000, cancel, {});
    EXPECT_EQ(Hex(strongOnly.Compute((scratch.Path() / "abc").string(), 3, 1000, cancel, {}).sha256),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

// A big file is read ahead on a thread of its own while the hashes are computed: the checksums are
// those of one sequential read, and a change or a cancel while it is read is still seen.
TEST(HasherTest, AFileReadAheadGivesTheSameChecksumsAndStillSeesChangesAndCancel) {
    ScratchDir scratch;
    const std::vector<unsigned char> data = XorshiftBytes(FileChecksummer::kReadAheadFrom + 12345);
    const fs::path path = scratch.Path() / "big.bin";
    const auto write = [&] {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        test::SetTimes(path, 1000, 1000);
    };
    write();
    Xxh3Hasher xxh3;
    xxh3.Update(data.data(), data.size());
    Sha256Hasher sha256;
    sha256.Update(data.data(), data.size());
    std::atomic<bool> cancel{false};
    FileChecksummer all(kHashCrc32 | kHashXxh3 | kHashSha256);
    const auto result = all.Compute(path.string(), data.size(), 1000, cancel, {});
    ASSERT_EQ(result.outcome, FileChecksummer::Outcome::Complete);
    EXPECT_EQ(result.crc, Crc32Update(0, data.data(), data.size()));
    EXPECT_EQ(result.xxh3, xxh3.Digest());
    EXPECT_EQ(result.sha256, sha256.Digest());

    // Grown or cut short after the first chunk, while pieces beyond it are already read ahead.
    const std::function<void()> changes[] = {
        [&] { std::ofstream(path, std::ios::app) << "more"; },
        [&] { fs::resize_file(path, FileChecksummer::kChunkSize); },
    };
    for (const auto& change : changes) {
        write();
        bool changed = false;
        const auto outcome = all.Compute(path.string(), data.size(), 1000, cancel,
                                         [&](std::uint64_t) {
                                             if (!std::exchange(changed, true))
                                                 change();
                                         })
                                 .outcome;
        EXPECT_EQ(outcome, FileChecksummer::Outcome::Changed);
    }

    // Cancelled mid-way: no checksum, and the reading thread is stopped and joined.
    write();
    const auto cancelled =
        all.Compute(path.string(), data.size(), 1000, cancel, [&](std::uint64_t) { cancel = true; }).outcome;
    EXPECT_EQ(cancelled, FileChecksummer::Outcome::Cancelled);
}

// Pieces come in order, whole, up to the end, whatever the ring's size; the end is told again to a
// consumer that asks once more, and one that stops early leaves nothing running.
TEST(ReadAheadTest, GivesTheFileInOrderAndStopsAtTheEndOrWhenDropped) {
    ScratchDir scratch;
    const fs::path path = scratch.Path() / "file.bin";
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{999}, std::size_t{1000},
                                   std::size_t{1001}, std::size_t{123457}}) {
        const std::vector<unsigned char> data = XorshiftBytes(size);
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(size));
        for (const unsigned pieces : {1u, 3u}) {
            RegularFile file;
            FileStamp stamp;
            ASSERT_EQ(file.Open(path.string(), stamp), RegularFile::OpenResult::Opened);
            std::vector<unsigned char> read;
            {
                ReadAhead ahead(file, 1000, pieces);
                const unsigned char* piece = nullptr;
                for (long long got; (got = ahead.Next(piece)) > 0;)
                    read.insert(read.end(), piece, piece + got);
                EXPECT_EQ(ahead.Next(piece), 0);
            }
            EXPECT_EQ(read, data) << size << " bytes, " << pieces << " pieces";
        }
    }
    RegularFile file;
    FileStamp stamp;
    ASSERT_EQ(file.Open(path.string(), stamp), RegularFile::OpenResult::Opened);
    ReadAhead ahead(file, 100, 2);
    const unsigned char* piece = nullptr;
    EXPECT_EQ(ahead.Next(piece), 100);
}

// The CSV cell of `column` in `name`'s row.
std::string Cell(const std::string& listing, const std::string& column, const std::string& name) {
    std::istringstream lines(listing);
    std::string line;
    std::size_t index = std::string::npos;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ';');)
            cells.push_back(cell);
        if (index == std::string::npos)
            index = std::find(cells.begin(), cells.end(), column) - cells.begin();
        else if (!cells.empty() && cells[0] == name && index < cells.size())
            return cells[index];
    }
    return "(no cell)";
}

TEST(HashColumnsTest, ListedAndKeptForTheNextRunOnlyForWhatWasComputed) {
    ScratchDir scratch;
    const fs::path tree = scratch.Path() / "tree";
    fs::create_directory(tree);
    WriteFile(tree / "a.txt", "123456789");
    WriteFile(tree / "b.txt", "second");
    fs::create_directory(tree / "sub");

    ListingEngine engine;
    RunTarget target;
    target.options.m_bFileExtension = false;
    target.options.m_bFileCrc32 = true;
    target.options.m_outputType = OutputType::Csv;
    target.checkedDirs = {"2|" + tree.string()};
    target.outputPath = (scratch.Path() / "out.csv").string();
    target.headerTime = 0;
    engine.SetRunTarget(target);
    EXPECT_EQ(engine.Run().statistics.checksumsComputed, 2u);

    // Asking for more than the cache holds reads the files again, for every chosen checksum.
    target.options.m_bFileXxh3 = target.options.m_bFileSha256 = true;
    engine.SetRunTarget(target);
    EXPECT_EQ(engine.Run().statistics.checksumsComputed, 2u);
    std::string listing = ReadFile(target.outputPath);
    EXPECT_NE(listing.find("CRC32;XXH3;SHA256;ATTR"), std::string::npos);
    EXPECT_EQ(Cell(listing, "CRC32", "a.txt"), "cbf43926");
    EXPECT_EQ(Cell(listing, "XXH3", "a.txt"), "72dcb18b67a17dff");
    EXPECT_EQ(Cell(listing, "SHA256", "a.txt"),
              "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225");
    EXPECT_EQ(Cell(listing, "XXH3", "b.txt"), "30584211054b083a");
    EXPECT_EQ(Cell(listing, "SHA256", "b.txt"),
              "16367aacb67a4a017c8da8ab95682ccb390863780f7114dda0a0e0c55644c7c4");
    EXPECT_EQ(Cell(listing, "SHA256", "<sub>"), std::string(64, ' ')); // folders have none

    // Fewer than the cache holds: nothing is read.
    target.options.m_bFileCrc32 = target.options.m_bFileSha256 = false;
    engine.SetRunTarget(target);
    EXPECT_EQ(engine.Run().statistics.checksumsComputed, 0u);
    listing = ReadFile(target.outputPath);
    EXPECT_EQ(Cell(listing, "XXH3", "a.txt"), "72dcb18b67a17dff");
    EXPECT_EQ(Cell(listing, "CRC32", "a.txt"), "(no cell)");
}

} // namespace
} // namespace quillary
