// The main window's menus: the menu bar from the menu table with the generated "Language" and "Quick
// configuration" lists, the accelerators, the captions of a language, and the commands the menu items,
// accelerators and buttons invoke.
#include <wx/accel.h>
#include <wx/menu.h>
#include <wx/notebook.h>

#include "app/gui/menu_items.h"
#include "app/gui/quillary_dlg.h"
#include "res/menus.h"
#include "ui/select_dirs_page.h"
#include "ui/wx_string.h"

namespace quillary {

namespace {

// wx menu item ids stay below 0x7FFF; the command ids above that (32771, 57670, ...) are shifted down
// into a free range. The language files keep naming items by their command ids.
constexpr int kMenuIdShift = 30000;

int WxKeyCode(int virtualKey) {
    switch (virtualKey) {
    case kVkTab:
        return WXK_TAB;
    case kVkF5:
        return WXK_F5;
    case kVkF12:
        return WXK_F12;
    default:
        return virtualKey;
    }
}

int CommandOfMenuItem(int itemId) {
    const int shifted = itemId + kMenuIdShift;
    if (shifted < 0x7FFF)
        return itemId;
    for (const MenuDef& menu : MainMenu()) {
        for (const MenuItemDef& item : menu.items) {
            if (item.id == shifted)
                return shifted;
        }
    }
    for (const AcceleratorDef& accel : Accelerators()) {
        if (accel.command == shifted)
            return shifted;
    }
    return itemId;
}

// A menu item's text with the key of its accelerator, as menus show it.
wxString MenuLabel(int commandId, const std::string& text) {
    wxString label = ToWx(text);
    for (const AcceleratorDef& accel : Accelerators()) {
        if (accel.command == commandId && !accel.control && !accel.shift)
            label += wxString::Format("\tF%d", WxKeyCode(accel.key) - WXK_F1 + 1);
    }
    return label;
}

} // namespace

int MenuItemId(int commandId) {
    return commandId >= 0x7FFF ? commandId - kMenuIdShift : commandId;
}

void CQuillaryDlg::CreateMenuBar() {
    auto* bar = new wxMenuBar;
    for (const MenuDef& menuDef : MainMenu()) {
        auto* menu = new wxMenu;
        for (const MenuItemDef& item : menuDef.items) {
            if (item.id == kMenuSeparator)
                menu->AppendSeparator();
            else
                menu->Append(MenuItemId(item.id), MenuLabel(item.id, item.text));
        }
        bar->Append(menu, ToWx(menuDef.title));
    }
    m_languages = m_session.Locations().TitlesWithExtension("lng");
    m_quickConfigs = m_session.Locations().TitlesWithExtension("qlc");
    bar->Insert(kLanguageMenuPosition, CreateFileListMenu(m_languages, kCmdFirstLanguage, wxITEM_CHECK),
                ToWx(kLanguageMenuTitle));
    bar->GetMenu(0)->Insert(kQuickConfigMenuPosition, wxID_ANY, ToWx(kQuickConfigMenuTitle),
                            CreateFileListMenu(m_quickConfigs, kCmdFirstQuickConfig, wxITEM_NORMAL));
    SetMenuBar(bar);
}

wxMenu* CQuillaryDlg::CreateFileListMenu(const std::vector<std::string>& titles, int firstId,
                                         wxItemKind kind) {
    auto* menu = new wxMenu;
    for (std::size_t i = 0; i < titles.size(); ++i)
        menu->Append(firstId + static_cast<int>(i), ToWx(titles[i]), wxString(), kind);
    return menu;
}

void CQuillaryDlg::CreateAccelerators() {
    std::vector<wxAcceleratorEntry> entries;
    for (const AcceleratorDef& accel : Accelerators()) {
        const int flags = (accel.control ? wxACCEL_CTRL : 0) | (accel.shift ? wxACCEL_SHIFT : 0);
        entries.emplace_back(flags == 0 ? wxACCEL_NORMAL : flags, WxKeyCode(accel.key),
                             MenuItemId(accel.command));
    }
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
}

void CQuillaryDlg::ApplyMenuCaptions(const MenuCaptions& captions) {
    wxMenuBar* bar = GetMenuBar();
    for (int position = 0; position < kMenuBarPositions; ++position) {
        bar->SetMenuLabel(position, ToWx(captions.titles[position]));
        if (position == kLanguageMenuPosition)
            continue;
        for (wxMenuItem* item : bar->GetMenu(position)->GetMenuItems()) {
            if (item->IsSeparator())
                continue;
            if (item->IsSubMenu()) {
                item->SetItemLabel(ToWx(captions.quickConfigTitle));
                continue;
            }
            const int command = CommandOfMenuItem(item->GetId());
            const auto text = captions.items.find(command);
            item->SetItemLabel(MenuLabel(command, text != captions.items.end() ? text->second : ""));
        }
    }
}

void CQuillaryDlg::OnMenuCommand(wxCommandEvent& event) {
    const int id = CommandOfMenuItem(event.GetId());
    const int tabCount = static_cast<int>(m_tabs->GetPageCount());
    switch (id) {
    case kCmdSaveListing:
        OnSaveListing();
        return;
    case kCmdCompareListing:
        OnCompareListing();
        return;
    case kCmdLoadConfiguration:
        OnLoadConfiguration();
        return;
    case kCmdSaveConfiguration:
        OnSaveConfiguration();
        return;
    case kCmdLoadSelection:
        OnLoadSelection();
        return;
    case kCmdSaveSelection:
        OnSaveSelection();
        return;
    case kCmdClearChecksumCache:
        OnClearChecksumCache();
        return;
    case kCmdExit:
        OnOK();
        return;
    case kCmdRefreshTree:
        // Refused with the tab change while busy: the run reads the tree.
        if (m_bIdle && !m_bRunActive)
            m_selectPage->RefreshTree();
        SelectTab(0);
        return;
    case kCmdPreview:
        SelectTab(kPreviewTab);
        return;
    case kCmdAbout:
        SelectTab(kAboutTab);
        return;
    case kCmdReadMe:
        OpenReadMe();
        return;
    case kCmdHelpOnline:
        OpenHomePage();
        return;
    case kCmdNextTab:
        SelectTab(m_tabs->GetSelection() + 1 < tabCount ? m_tabs->GetSelection() + 1 : 0);
        m_tabs->SetFocus();
        return;
    case kCmdPreviousTab:
        SelectTab(m_tabs->GetSelection() > 0 ? m_tabs->GetSelection() - 1 : tabCount - 1);
        m_tabs->SetFocus();
        return;
    default:
        break;
    }
    if (id >= kCmdFirstLanguage && id < kCmdFirstLanguage + static_cast<int>(m_languages.size())) {
        ApplyLanguage(m_languages[static_cast<std::size_t>(id - kCmdFirstLanguage)]);
    } else if (id >= kCmdFirstQuickConfig &&
               id < kCmdFirstQuickConfig + static_cast<int>(m_quickConfigs.size())) {
        LoadSettingsFrom(m_session.Locations().FindFile(
            m_quickConfigs[static_cast<std::size_t>(id - kCmdFirstQuickConfig)] + ".qlc"));
        if (m_tabs->GetSelection() == kPreviewTab)
            StartPreview();
    } else {
        event.Skip();
    }
}

} // namespace quillary
