// Language files: the shipped English and German files, captions, lists, hints, menus and messages.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "model/form_state.h"
#include "persistence/language_file.h"

namespace quillary {
namespace {

const std::string kLanguageDir = std::string(QUILLARY_TEST_DATA_DIR) + "/../../res/lang/";

ProfileFile Parsed(std::string_view text) {
    ProfileFile profile;
    profile.Parse(text);
    return profile;
}

// Everything a language file can change on a control.
using ControlTexts = std::tuple<std::string, std::vector<std::string>, int, std::string>;

std::map<int, ControlTexts> Texts(const ControlSurface& surface) {
    std::map<int, ControlTexts> texts;
    for (const ControlRef& ref : surface.Controls())
        texts[ref.id] = {surface.Text(ref.id), surface.Items(ref.id), surface.Selection(ref.id),
                         surface.Hint(ref.id)};
    return texts;
}

std::vector<std::string> Messages(const MessageTable& table) {
    std::vector<std::string> texts;
    for (int id = 0; id < kMessageCount; ++id)
        texts.push_back(table.Get(id));
    return texts;
}

TEST(LanguageFileTest, EnglishFileChangesNothing) {
    FormState form;
    form.SetSelection(kIdSortFilesBy, 3);
    const std::map<int, ControlTexts> before = Texts(form);
    MessageTable messages;
    ASSERT_TRUE(ApplyLanguageFile(kLanguageDir + "English.lng", form, messages));
    EXPECT_EQ(Texts(form), before);
    EXPECT_EQ(Messages(messages), Messages(MessageTable()));

    ProfileFile english;
    ASSERT_TRUE(english.Load(kLanguageDir + "English.lng"));
    EXPECT_EQ(ReadMenuCaptions(english), BuiltInMenuCaptions());
}

TEST(LanguageFileTest, ShippedTranslationsAreComplete) {
    for (const char* name : {"English.lng", "Deutsch.lng"}) {
        FormState form;
        MessageTable messages;
        ASSERT_TRUE(ApplyLanguageFile(kLanguageDir + name, form, messages)) << name;
        const FormState builtIn;
        for (const ControlRef& ref : form.Controls()) {
            EXPECT_EQ(form.Text(ref.id).empty(), builtIn.Text(ref.id).empty()) << name << " " << ref.id;
            EXPECT_EQ(form.Hint(ref.id).empty(), builtIn.Hint(ref.id).empty()) << name << " " << ref.id;
            const std::vector<std::string> items = form.Items(ref.id);
            for (std::size_t i = 0; i < items.size(); ++i)
                EXPECT_FALSE(items[i].empty()) << name << " " << ref.id << " item " << i;
        }
        for (int id = 0; id < kMessageCount; ++id) {
            const std::string& text = messages.Get(id);
            EXPECT_TRUE(!text.empty() && text != std::string(kProductName) + " ")
                << name << " message " << id;
        }

        ProfileFile language;
        ASSERT_TRUE(language.Load(kLanguageDir + name));
        const MenuCaptions menus = ReadMenuCaptions(language);
        EXPECT_FALSE(menus.quickConfigTitle.empty()) << name;
        for (const std::string& title : menus.titles)
            EXPECT_FALSE(title.empty()) << name;
        for (const auto& [id, text] : menus.items)
            EXPECT_FALSE(text.empty()) << name << " menu item " << id;
    }
}

TEST(LanguageFileTest, CaptionsListsAndHints) {
    FormState form;
    form.SetSelection(kIdSortDirsBy, 2);
    form.SetSelection(kIdSizeDisplay, 4);
    form.SetText(kIdMask, "*.cpp");
    MessageTable messages;
    ApplyLanguage(Parsed("[1023]\nCaption=A|B|C\n"
                         "[1029]\nCaption=Only|Two\n"
                         "[1000]\nCaption=Tab\n"
                         "[1018]\nCaption=&Listing...\nHint=Make it\n"
                         "[1064]\nCaption=ignored\nHint=Mask hint\n"
                         "[1030]\nCaption=x|y\nHint=h\n"
                         "[1089]\nCaption=Other product\n"
                         "[Messages]\n1=Dateien\n3=Selections (*.qls)|*.qls\n"),
                  form, messages);

    EXPECT_EQ(form.Items(kIdSortDirsBy), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(form.Selection(kIdSortDirsBy), 2);
    // Fewer items than the list has: the rest become empty and the selection stays.
    EXPECT_EQ(form.Items(kIdSizeDisplay), (std::vector<std::string>{"Only", "Two", "", "", ""}));
    EXPECT_EQ(form.Selection(kIdSizeDisplay), 4);
    EXPECT_EQ(form.Items(kIdTabs), (std::vector<std::string>{"Tab", "", "", "", ""}));
    EXPECT_EQ(form.Text(kIdSaveListing), "&Listing...");
    EXPECT_EQ(form.Hint(kIdSaveListing), "Make it");
    EXPECT_EQ(form.Text(kIdMask), "*.cpp"); // edits keep the user's text
    EXPECT_EQ(form.Hint(kIdMask), "Mask hint");

    // Texts the file lacks are emptied; language-neutral controls keep theirs.
    EXPECT_EQ(form.Text(kIdExit), "");
    EXPECT_EQ(form.Hint(kIdExit), "");
    EXPECT_EQ(form.Items(kIdDirDateFormat), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(form.Items(kIdSizePrecision), (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(form.Hint(kIdSizePrecision), "Number of decimal digits");
    EXPECT_EQ(form.Text(kIdProductName), "Quillary");

    EXPECT_EQ(messages.Get(MSG_FILES), "Dateien");
    EXPECT_EQ(messages.Get(MSG_DIRS), "");
    EXPECT_EQ(messages.Get(MSG_SELECTION_FILTER), "Quillary Selections (*.qls)|*.qls");
    EXPECT_EQ(messages.Get(MSG_CONFIGURATION_FILTER), "Quillary ");
}

TEST(LanguageFileTest, TabLabelsAreCutAt255Bytes) {
    FormState form;
    MessageTable messages;
    ApplyLanguage(Parsed("[1000]\nCaption=" + std::string(254, 'a') + "\xC3\xA4|B\n"), form, messages);
    EXPECT_EQ(form.Items(kIdTabs)[0], std::string(254, 'a'));
    EXPECT_EQ(form.Items(kIdTabs)[1], "B");
}

TEST(LanguageFileTest, MissingOrUnreadableFileChangesNothing) {
    FormState form;
    MessageTable messages;
    messages.Set(MSG_FILES, "kept");
    EXPECT_FALSE(ApplyLanguageFile(kLanguageDir + "Klingon.lng", form, messages));
    EXPECT_FALSE(ApplyLanguageFile(kLanguageDir, form, messages)); // a directory
    EXPECT_EQ(Texts(form), Texts(FormState()));
    EXPECT_EQ(messages.Get(MSG_FILES), "kept");
}

TEST(LanguageFileTest, SplitsCaptionLists) {
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"", {""}},           {"A", {"A"}},      {"A|B|C", {"A", "B", "C"}},
        {"A|B|", {"A", "B"}}, {"|A", {"", "A"}}, {"A||B", {"A", "", "B"}},
        {"|", {""}},
    };
    for (const auto& [caption, items] : rows)
        EXPECT_EQ(SplitCaptionList(caption), items) << caption;
}

TEST(LanguageFileTest, MenuCaptions) {
    const MenuCaptions menus = ReadMenuCaptions(Parsed("[600]\nCaption=&Datei\n[601]\nCaption=&Sprache\n"
                                                       "[699]\nCaption=&Schnell\n[32776]\nCaption=&Beenden\n"
                                                       "[400]\nCaption=not a menu item\n"));
    EXPECT_EQ(menus.titles[0], "&Datei");
    EXPECT_EQ(menus.titles[1], "&Sprache");
    EXPECT_EQ(menus.titles[2], "");
    EXPECT_EQ(menus.quickConfigTitle, "&Schnell");
    EXPECT_EQ(menus.items.at(kCmdExit), "&Beenden");
    EXPECT_EQ(menus.items.at(kCmdReadMe), "");
    EXPECT_EQ(menus.items.count(kCmdFirstLanguage), 0u);
    EXPECT_EQ(BuiltInMenuCaptions().titles,
              (std::array<std::string, 4>{"&File", "&Language", "&View", "&Help"}));
}

} // namespace
} // namespace quillary
