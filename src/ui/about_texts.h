#pragma once
// The maker's web site and notice line: the about screen's second and third lines, and what
// the link, the menu entry and the options dialog's button open.
inline constexpr const char* kAboutTitle = "Vevirur 2.5";
inline constexpr const char* kMakerWebSite = "https://vevirur.example.org/";
inline constexpr const char* kMakerNotice = "(c) 2026 the Vevirur 2 developers";
inline constexpr const char* kAboutLines[3] = {kAboutTitle, kMakerWebSite, kMakerNotice};
