#pragma once
// The texts by which the program names itself in its windows.

namespace pw {

// The application's reverse-DNS id: the stem of each window's session-bus
// name, and the name of the desktop entry and metadata.
inline constexpr const char* kApplicationId = "io.github.pagewright.Pagewright";

struct ProductIdentity {
    // Captions of the main window, the About box and the -copyright notice.
    const char* displayName;
    // Caption of the Open dialog.
    const char* shortName;
    // The About box's second line; one "%d" receives the four-digit year.
    const char* rightsNoticeFormat;
    // The About box's first link; also what Help opens.
    const char* homePage;
    // What the About box's web button opens.
    const char* webPage;
    // Shown and opened as "mailto:" followed by it.
    const char* supportEmail;
    // The one-line ownership notice of the -copyright switch.
    const char* copyrightNotice;
};

const ProductIdentity& GetProductIdentity();

}  // namespace pw
