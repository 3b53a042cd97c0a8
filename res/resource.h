// Resource ids of the program's own module (quorvane.rc). Numbers are fixed:
// the code and the pictures' generator refer to them.
#pragma once

// Dialog templates; the wait box's template is the named one "WAITBOX".
#define IDD_QUORVANE_DIALOG      102

// Icon: 32 x 32 and 16 x 16.
#define IDR_MAINFRAME            128

// Bitmaps.
#define IDB_PICTURE              136    // 150 x 120, 256 colours
#define IDB_BACKGROUND           1000   // 550 x 400, magenta cut out of the window
#define IDB_GOODBYE              3000   // 300 x 100, the splash at exit
#define IDB_BUTTONS_WIDE         10000  // 700 x 30, frames 106 wide (Exit, Install)
#define IDB_BUTTONS_SMALL        11000  // 180 x 23, frames 25 wide (browse buttons)

// Controls of the wait box.
#define IDC_WAITBOX_TEXT         100

// Controls of the main dialog.
#define IDC_AIRLINE_LIST         3000
#define IDC_FS_FOLDER            4000
#define IDC_SQUAWKBOX_FOLDER     5000
#define IDC_PROGRESS_AIRLINE     8000
#define IDC_PROGRESS_OVERALL     8001

// The report window (the preview and the check of the user's files).
#define IDD_REPORT               110
#define IDC_REPORT_TEXT          1100
#define IDC_REPORT_COPY          1101
