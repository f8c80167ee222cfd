// The product's own web address: shown by the main window's link label and
// the About window, and opened when they are clicked.
#pragma once

namespace app {

constexpr const char kWebSiteAddress[] = "https://tamsel.example.org/";
constexpr const char kWebSiteText[] = "tamsel.example.org";

}  // namespace app
