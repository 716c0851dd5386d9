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

// The OK and Cancel buttons of a template: the dialog's affirmative and
// escape buttons.
inline constexpr int IDC_DIALOG_OK = 1;
inline constexpr int IDC_DIALOG_CANCEL = 2;

// Options dialog.
inline constexpr int IDD_OPTIONS = 138;
inline constexpr int IDC_OPTIONS_NAME = 1083;
inline constexpr int IDC_OPTIONS_COMPRESSION = 1084;
inline constexpr int IDC_OPTIONS_USECOMPRESSION = 1087;
inline constexpr int IDC_OPTIONS_RESET = 1060;
inline constexpr int IDC_OPTIONS_ENGINE = 1089;

// TIFF Information dialog.
inline constexpr int IDD_TIFFINFO = 220;
inline constexpr int IDC_TIFFINFO_TEXT = 1095;

// Extract dialog.
inline constexpr int IDD_PAGERANGE = 221;
inline constexpr int IDC_PAGERANGE_FROMLABEL = 1020;
inline constexpr int IDC_PAGERANGE_TOLABEL = 1021;
inline constexpr int IDC_PAGERANGE_LIST = 1095;
inline constexpr int IDC_PAGERANGE_MODERANGE = 1096;
inline constexpr int IDC_PAGERANGE_MODELIST = 1097;
inline constexpr int IDC_PAGERANGE_FROM = 1098;
inline constexpr int IDC_PAGERANGE_TO = 1099;
inline constexpr int IDC_PAGERANGE_FOLDER = 1100;
inline constexpr int IDC_PAGERANGE_BROWSE = 1101;
inline constexpr int IDC_PAGERANGE_INFO = 1102;
inline constexpr int IDC_PAGERANGE_GROUP = 1103;
inline constexpr int IDC_PAGERANGE_FILENAME = 1104;
inline constexpr int IDC_PAGERANGE_PAGECOUNT = 1105;

}  // namespace pw
