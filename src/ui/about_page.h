// "About": the product name, the version line, the rights line and the home page link.
#pragma once

#include <functional>

#include "ui/tab_page.h"

namespace quillary {

class CAboutPage : public CTabPage {
public:
    // `openHomePage` runs when the link is clicked.
    CAboutPage(wxWindow* parent, WindowSurface& surface, std::function<void()> openHomePage);
};

} // namespace quillary
