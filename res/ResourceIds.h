#pragma once
// Numbers of the program's dialog templates, their controls and its icon.

namespace pw {

inline constexpr int IDI_PROGRAM = 128;

// About box.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDC_ABOUT_HOMEPAGE = 1017;
inline constexpr int IDC_ABOUT_MAIL = 1018;
inline constexpr int IDC_ABOUT_NAME = 1032;
inline constexpr int IDC_ABOUT_RIGHTS = 1033;
inline constexpr int IDC_ABOUT_WEB = 1074;
// The OK button of a template, the dialog's affirmative button.
inline constexpr int IDC_DIALOG_OK = 1;

// Main dialog.
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDC_PREVIEW = 1000;
inline constexpr int IDC_FILELIST = 1002;
inline constexpr int IDC_ADDFILES = 1003;
inline constexpr int IDC_REMOVE = 1004;
inline constexpr int IDC_REMOVEALL = 1005;
inline constexpr int IDC_PROGRESS = 1014;
inline constexpr int IDC_ABOUT = 1015;
inline constexpr int IDC_MERGEALL = 1016;
inline constexpr int IDC_INFORMATION = 1025;
inline constexpr int IDC_OPTIONS = 1036;
inline constexpr int IDC_SPLITALL = 1082;
inline constexpr int IDC_EXTRACT = 1083;
inline constexpr int IDC_COMPRESS = 1086;
inline constexpr int IDC_SPLITTER = 1088;

}  // namespace pw
