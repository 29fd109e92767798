// Resource and control identifiers, shared by the resource script, the code
// and the tests that read the built module back. Only #defines: windres
// reads this file too.
#pragma once

#define IDD_UPDATE 102
#define IDI_APP 112

#define IDC_CANCEL_UPDATE 1006
#define IDC_PROGRESS 1008
#define IDC_PERCENT 1009
#define IDC_STATUS 1010

#define UM_START_UPDATE 0x0500

#define LANG_ID_JAPANESE 0x0411
#define LANG_ID_ENGLISH_US 0x0409
