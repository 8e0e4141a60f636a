// File versions of PE images: the fixture executables, hand-built images, and damaged images that must
// give an empty text without reading outside the buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/pe_version.h"

namespace quillary {
namespace {

using Bytes = std::vector<unsigned char>;

const std::string kDataDir = std::string(QUILLARY_TEST_DATA_DIR) + "/pe/";

Bytes ReadFixture(const std::string& name) {
    std::ifstream in(kDataDir + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(PeVersionTest, FixturesFromFileAndFromBytes) {
    const struct {
        const char* file;
        const char* expected;
    } rows[] = {
        {"ver_basic.exe", "1.2.3.4"},
        {"ver_basic32.dll", "1.2.3.4"},                              // PE32
        {"ver_two_trans.dll", "2.0.0.1 (en-US)"},                    // the first translation's table
        {"ver_de1252.exe", "3.10.200.4000"},                         // table 040704e4
        {"ver_mismatch.dll", "4.0 (only a 0407/04B0 string table)"}, // translation names no table
        {"ver_nostrings.dll", ""},                                   // translation but no string tables
        {"strings_only.dll", ""},                                    // resources, but no version resource
        {"nover.exe", ""},                                           // no resource section
        {"not_a_pe.txt", ""},
    };
    for (const auto& row : rows) {
        const Bytes image = ReadFixture(row.file);
        ASSERT_FALSE(image.empty()) << row.file;
        EXPECT_EQ(ReadFileVersionFromImage(image), row.expected) << row.file;
        EXPECT_EQ(GetFileVersionText(kDataDir + row.file), row.expected) << row.file;
    }
}

TEST(PeVersionTest, UnreadablePathsGiveEmptyText) {
    EXPECT_EQ(GetFileVersionText(kDataDir + "no such file.exe"), "");
    EXPECT_EQ(GetFileVersionText(kDataDir), "");
    EXPECT_EQ(GetFileVersionText(""), "");
}

// ---- hand-built images ------------------------------------------------------------------------------

void Put16(Bytes& out, std::size_t at, unsigned value) {
    out[at] = value & 0xFF;
    out[at + 1] = (value >> 8) & 0xFF;
}

void Put32(Bytes& out, std::size_t at, std::uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

void Pad4(Bytes& out) {
    out.resize((out.size() + 3) & ~std::size_t{3});
}

struct VersionBlock {
    std::string key;
    std::u16string text; // a text value (written with its NUL), or
    Bytes binary;        // a binary value
    std::vector<VersionBlock> children;
};

Bytes Serialize(const VersionBlock& block) {
    Bytes out(6);
    for (char c : block.key)
        out.insert(out.end(), {static_cast<unsigned char>(c), 0});
    out.insert(out.end(), {0, 0});
    Pad4(out);
    const bool isText = !block.text.empty();
    for (char16_t unit : block.text)
        out.insert(out.end(),
                   {static_cast<unsigned char>(unit & 0xFF), static_cast<unsigned char>(unit >> 8)});
    if (isText)
        out.insert(out.end(), {0, 0});
    out.insert(out.end(), block.binary.begin(), block.binary.end());
    for (const VersionBlock& child : block.children) {
        Pad4(out);
        const Bytes bytes = Serialize(child);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    Put16(out, 0, out.size());
    Put16(out, 2, isText ? block.text.size() + 1 : block.binary.size());
    Put16(out, 4, isText);
    return out;
}

VersionBlock Table(std::string name, std::u16string fileVersion) {
    return {
        std::move(name), {}, {}, {{"CompanyName", u"Maker", {}, {}}, {"FileVersion", fileVersion, {}, {}}}};
}

VersionBlock VersionInfo(std::vector<VersionBlock> tables, Bytes translation = {0x09, 0x04, 0xB0, 0x04}) {
    VersionBlock root{"VS_VERSION_INFO", {}, Bytes(52, 0), {}};
    root.children.push_back({"StringFileInfo", {}, {}, std::move(tables)});
    if (!translation.empty())
        root.children.push_back({"VarFileInfo", {}, {}, {{"Translation", {}, translation, {}}}});
    return root;
}

// Layout of the built image: headers, one section ".rsrc" at file offset 0x200 (RVA 0x1000) holding the
// resource tree (type 16 -> name 1 -> language 0x409 -> data entry) followed by the version data.
constexpr std::size_t kPe = 0x40;
constexpr std::size_t kOptional = kPe + 24;
constexpr std::size_t kRsrc = 0x200;
constexpr std::uint32_t kRsrcRva = 0x1000;
constexpr std::size_t kTypeEntry = kRsrc + 0x10, kNameDir = kRsrc + 0x18, kNameEntry = kRsrc + 0x28;
constexpr std::size_t kLangEntry = kRsrc + 0x40, kDataEntry = kRsrc + 0x48, kVersion = kRsrc + 0x58;

std::size_t SectionTable(bool pe32) {
    return kOptional + (pe32 ? 224 : 240);
}

Bytes BuildImage(const VersionBlock& info, bool pe32 = false) {
    const Bytes version = Serialize(info);
    Bytes image(kVersion);
    image.insert(image.end(), version.begin(), version.end());
    const std::uint32_t rsrcSize = image.size() - kRsrc;
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, kPe);
    image[kPe] = 'P';
    image[kPe + 1] = 'E';
    Put16(image, kPe + 6, 1);                 // one section
    Put16(image, kPe + 20, pe32 ? 224 : 240); // optional header size
    Put16(image, kOptional, pe32 ? 0x10B : 0x20B);
    const std::size_t dirs = kOptional + (pe32 ? 92 : 108);
    Put32(image, dirs, 16);                // data directories
    Put32(image, dirs + 4 + 16, kRsrcRva); // the resource directory
    Put32(image, dirs + 4 + 20, rsrcSize);
    const std::size_t section = SectionTable(pe32);
    Put32(image, section + 8, rsrcSize);
    Put32(image, section + 12, kRsrcRva);
    Put32(image, section + 16, rsrcSize);
    Put32(image, section + 20, kRsrc);
    // Three directories of one ID entry each, then the data entry.
    Put16(image, kRsrc + 14, 1);
    Put32(image, kTypeEntry, 16);
    Put32(image, kTypeEntry + 4, 0x80000000u | 0x18);
    Put16(image, kNameDir + 14, 1);
    Put32(image, kNameEntry, 1);
    Put32(image, kNameEntry + 4, 0x80000000u | 0x30);
    Put16(image, kRsrc + 0x30 + 14, 1);
    Put32(image, kLangEntry, 0x409);
    Put32(image, kLangEntry + 4, 0x48);
    Put32(image, kDataEntry, kRsrcRva + 0x58);
    Put32(image, kDataEntry + 4, version.size());
    return image;
}

TEST(PeVersionTest, HandBuiltVersionResources) {
    const struct {
        const char* what;
        VersionBlock info;
        const char* expected;
    } rows[] = {
        {"basic", VersionInfo({Table("040904B0", u"7.8.9")}), "7.8.9"},
        {"translation picks the table", VersionInfo({Table("040704b0", u"de"), Table("040904b0", u"en")}),
         "en"},
        {"no translation: first table with the string",
         VersionInfo({{"040904B0", {}, {}, {}}, Table("040704B0", u"second")}, {}), "second"},
        {"named table lacks the string", VersionInfo({{"040904B0", {}, {}, {}}, Table("0C0A04B0", u"es")}),
         "es"},
        {"short translation is ignored", VersionInfo({Table("040704B0", u"1")}, {0x09, 0x04}), "1"},
        {"keys ignore case",
         {"VS_VERSION_INFO",
          {},
          Bytes(52, 0),
          {{"stringfileinfo", {}, {}, {{"040904b0", {}, {}, {{"FILEVERSION", u"6", {}, {}}}}}},
           {"VARFILEINFO", {}, {}, {{"translation", {}, {0x09, 0x04, 0xB0, 0x04}, {}}}}}},
         "6"},
        {"stops at the first NUL", VersionInfo({Table("040904B0", std::u16string(u"1.0\0junk", 8))}), "1.0"},
        {"spaces kept", VersionInfo({Table("040904B0", u" 1.0 ")}), " 1.0 "},
        {"UTF-16 to UTF-8", VersionInfo({Table("040904B0", u"\u00fc \u20ac \U0001F600")}),
         "\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"unpaired surrogate", VersionInfo({Table("040904B0", std::u16string(1, char16_t(0xD800)) + u"x")}),
         "\xEF\xBF\xBDx"},
        {"no string tables", VersionInfo({}), ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadFileVersionFromImage(BuildImage(row.info)), row.expected) << row.what;
        EXPECT_EQ(ReadFileVersionFromImage(BuildImage(row.info, true)), row.expected)
            << row.what << " (PE32)";
    }
}

TEST(PeVersionTest, EveryTruncationGivesEmptyText) {
    const Bytes image = BuildImage(VersionInfo({Table("040904B0", u"1.2.3.4")}));
    ASSERT_EQ(ReadFileVersionFromImage(image), "1.2.3.4");
    // The version data ends the image, so every shorter prefix cuts something the reader needs; the
    // prefix is copied so that AddressSanitizer sees any read past its end.
    for (std::size_t size = 0; size < image.size(); ++size) {
        const Bytes prefix(image.begin(), image.begin() + size);
        EXPECT_EQ(ReadFileVersionFromImage(prefix), "") << size;
    }
}

TEST(PeVersionTest, DamagedImagesGiveEmptyText) {
    const VersionBlock info = VersionInfo({Table("040904B0", u"1.2.3.4")});
    const std::size_t section = SectionTable(false);
    const std::size_t root = kVersion, stringFileInfo = kVersion + 0x5C;
    const struct {
        const char* what;
        std::function<void(Bytes&)> damage;
    } rows[] = {
        {"no MZ", [](Bytes& b) { b[1] = 'X'; }},
        {"e_lfanew past the end", [](Bytes& b) { Put32(b, 0x3C, b.size()); }},
        {"e_lfanew near 4 GiB", [](Bytes& b) { Put32(b, 0x3C, 0xFFFFFFF0u); }},
        {"no PE signature", [](Bytes& b) { b[kPe + 1] = 'X'; }},
        {"unknown optional header", [](Bytes& b) { Put16(b, kOptional, 0x107); }},
        {"optional header past the end", [](Bytes& b) { Put16(b, kPe + 20, 0xFFFF); }},
        {"only two data directories", [](Bytes& b) { Put32(b, kOptional + 108, 2); }},
        {"section table past the end", [](Bytes& b) { Put16(b, kPe + 6, 0xFFFF); }},
        {"section data past the end", [=](Bytes& b) { Put32(b, section + 20, b.size()); }},
        {"section data offset near 4 GiB", [=](Bytes& b) { Put32(b, section + 20, 0xFFFFFF00u); }},
        {"section end wraps 32 bits",
         [=](Bytes& b) {
             Put32(b, section + 12, 0xFFFFF000u);
             Put32(b, section + 16, 0x2000);
         }},
        {"resource RVA near 4 GiB", [](Bytes& b) { Put32(b, kOptional + 108 + 20, 0xFFFFFFF0u); }},
        {"root claims 65535 entries", [](Bytes& b) { Put16(b, kRsrc + 14, 0xFFFF); }},
        {"no RT_VERSION entry", [](Bytes& b) { Put32(b, kTypeEntry, 3); }},
        {"type entry is data", [](Bytes& b) { Put32(b, kTypeEntry + 4, 0x48); }},
        {"directory loops to the root", [](Bytes& b) { Put32(b, kNameEntry + 4, 0x80000000u); }},
        {"directory offset near 2 GiB", [](Bytes& b) { Put32(b, kNameEntry + 4, 0xFFFFFFFFu); }},
        {"language entry is a directory", [](Bytes& b) { Put32(b, kLangEntry + 4, 0x80000030u); }},
        {"data RVA + size wraps 32 bits", [](Bytes& b) { Put32(b, kDataEntry, 0xFFFFFFF0u); }},
        {"data size too small for the root", [](Bytes& b) { Put32(b, kDataEntry + 4, 8); }},
        {"root block length 0", [=](Bytes& b) { Put16(b, root, 0); }},
        {"root block longer than the data", [=](Bytes& b) { Put16(b, root, 0xFFFF); }},
        {"child block length 0", [=](Bytes& b) { Put16(b, stringFileInfo, 0); }},
        {"key without NUL",
         [=](Bytes& b) {
             for (std::size_t i = root + 6; i < b.size(); i += 2)
                 Put16(b, i, 'A');
         }},
    };
    ASSERT_EQ(ReadFileVersionFromImage(BuildImage(info)), "1.2.3.4");
    for (const auto& row : rows) {
        Bytes image = BuildImage(info);
        row.damage(image);
        EXPECT_EQ(ReadFileVersionFromImage(image), "") << row.what;
    }
}

TEST(PeVersionTest, OversizedLengthsAreClippedToTheData) {
    // Sizes larger than what is present are limited to the bytes present, which still hold the version.
    const VersionBlock info = VersionInfo({Table("040904B0", u"1.2.3.4")});
    Bytes image = BuildImage(info);
    Put32(image, kDataEntry + 4, 0xFFFFFFFFu);
    Put32(image, SectionTable(false) + 16, 0xFFFFFFFFu);
    EXPECT_EQ(ReadFileVersionFromImage(image), "1.2.3.4");
}

} // namespace
} // namespace quillary
