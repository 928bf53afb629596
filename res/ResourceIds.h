// Resource, command and control ids of the program.
#pragma once

#include "framework/base/Constants.h"

constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDR_LIST_MENU = 130;
constexpr UINT IDD_SIDE_PANEL = 132;

constexpr UINT ID_OPEN_URL = 32779;
constexpr UINT ID_VIEW_SIDEBAR = 32785;
constexpr UINT ID_RECHECK_ROWS = 32786;
constexpr UINT ID_COPY_URLS = 32787;
constexpr UINT ID_RECHECK_FAILED = 32788;
constexpr UINT ID_FILE_CHECK_REPORT = 32800;
constexpr UINT ID_FILE_OPEN_REPORT = 32801;

// Side panel controls.
constexpr int IDC_START_STOP = 1003;
constexpr int IDC_BROWSE = 1004;
constexpr int IDC_EXPORT_ALL = 1005;
constexpr int IDC_EXPORT_VALID = 1006;
constexpr int IDC_IMPORT_PATH = 1009;
constexpr int IDC_IMPORT = 1010;
constexpr int IDC_EXPORT_INVALID = 1011;
constexpr int IDC_PURGE_INVALID = 1012;
constexpr int IDC_PURGE_DUPLICATES = 1013;
constexpr int IDC_THREAD_COUNT = 1015;
constexpr int IDC_IMPORT_LABEL = 1016;
constexpr int IDC_IGNORE_LIST = 1018;
constexpr int IDC_STATIC = -1;

// Registers the menus, dialog templates and strings above with the framework.
void RegisterResources();
