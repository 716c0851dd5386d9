#pragma once
// Opens a document or an address the way the desktop would on a double
// click: a file with the application the desktop associates with its type,
// a web or "mailto:" address with the user's browser or mail program.

#include <string>

namespace pw {

// Results below or at this value are failures; success is above it.
inline constexpr int kShellOpenFailureLimit = 32;
// The failures that can occur here: the file does not exist (or the opener
// says so), no program to open the target with could be started (or the
// opener found none), and any other failure of the opener.
inline constexpr int kShellOpenFileNotFound = 2;
inline constexpr int kShellOpenNoAssociation = 31;
inline constexpr int kShellOpenUnknownFailure = 1;
inline constexpr int kShellOpenSuccess = 42;

// True when the text starts with a URI scheme ("https:", "mailto:", ...).
bool IsAddress(const std::string& target);

// Starts the desktop's opener (xdg-open) with the target; when it cannot be
// started or fails, the default web browser ($BROWSER, x-www-browser,
// sensible-browser) given the target. The target always travels as one
// argument of its own: a file path is made absolute first, so that no target
// can be taken for an option, and no shell ever reads it. A launcher that
// fails says so within moments; one still running by then counts as started,
// and is not waited for.
// Returns kShellOpenSuccess once a program was started; kShellOpenFileNotFound
// for an empty target or a file path that names nothing; else the opener's
// failure (kShellOpenFileNotFound, kShellOpenNoAssociation or
// kShellOpenUnknownFailure), or kShellOpenNoAssociation when neither it nor a
// browser could be started.
int ShellOpen(const std::string& target);

// What each system's ShellOpen hands its opener: an address as it is, the
// path of an existing file made absolute; "" for an empty target or a path
// that names nothing.
std::string ShellOpenArgument(const std::string& target);

}  // namespace pw
