/* Resource numbers of Tenrek.mfx. Included by Tenrek.rc (windres) and by
   the module's C++ sources, so it holds only #define lines. */
#ifndef TENREK_RESOURCE_H
#define TENREK_RESOURCE_H

/* Event-editor popup menus. */
#define IDM_ACTIONS 20000
#define IDM_CONDITIONS 20001
#define IDM_EXPRESSIONS 20002

/* Action menu items (code = id - 25000). */
#define IDMN_ACT_LOAD_FROM 25000
#define IDMN_ACT_RUN 25001
#define IDMN_ACT_RUN_FROM 25002
#define IDMN_ACT_SET_INT 25003
#define IDMN_ACT_SET_STR 25004
#define IDMN_ACT_CLEAR_VARS 25005
#define IDMN_ACT_CLEAR_PROGRAM 25006
#define IDMN_ACT_EXECUTE 25007
#define IDMN_ACT_LOAD_FILE 25008
#define IDMN_ACT_LOAD_BLOCK 25009
#define IDMN_ACT_SET_FLOAT 25010
#define IDMN_ACT_RERUN 25011
#define IDMN_ACT_RERUN_FROM 25012

/* Condition menu items. */
#define IDMN_CND_RUNNING 26000
#define IDMN_CND_ERROR 26001
#define IDMN_CND_OK 26002
#define IDMN_CND_TAG 26003

/* Expression menu items. */
#define IDMN_EXP_GET_INT 27000
#define IDMN_EXP_GET_FLOAT 27001
#define IDMN_EXP_GET_STR 27002
#define IDMN_EXP_ERROR_NUM 27003
#define IDMN_EXP_ERROR_STR 27004
#define IDMN_EXP_GOSUB_INT 27005
#define IDMN_EXP_GOSUB_FLOAT 27006
#define IDMN_EXP_GOSUB_STR 27007

/* Display strings of the event lines. */
#define IDS_ACT_FIRST 5000
#define IDS_CND_FIRST 6000
#define IDS_EXP_FIRST 7000

/* Parameter titles. */
#define IDS_TITLE_PROGRAM_TEXT 5501
#define IDS_TITLE_FROM_LINE 5502
#define IDS_TITLE_INT_NAME 5503
#define IDS_TITLE_INT_VALUE 5504
#define IDS_TITLE_STR_NAME 5505
#define IDS_TITLE_STR_VALUE 5506
#define IDS_TITLE_COMMAND 5507
#define IDS_TITLE_FLOAT_NAME 5510
#define IDS_TITLE_FLOAT_VALUE 5511
#define IDS_TITLE_VARIABLE 7501
#define IDS_TITLE_EXP_FROM_LINE 7502

/* Object identification (GetObjInfos). */
#define IDS_OBJ_NAME 128
#define IDS_OBJ_AUTHOR 129
#define IDS_OBJ_COPYRIGHT 130
#define IDS_OBJ_COMMENT 131
#define IDS_OBJ_WEB 132

#define IDS_PRODUCT_FAMILY 1
#define IDS_PRODUCT_NAME 2

/* Dialogs and their controls. */
#define IDD_INPUT 104
#define IDC_INPUT_ANSWER 1017
#define IDC_INPUT_OK 1005
#define IDC_INPUT_PROMPT 1018

#define IDD_SETUP 20003
#define IDC_SETUP_PROGRAM 1002
#define IDC_SETUP_RENUM 1001
#define IDC_SETUP_ENCRYPT 1019

/* Pictures and data. */
#define IDB_SETUP_LOGO 102
#define IDB_OBJECT_ICON 400
#define IDB_OBJECT_PICTURE 401
#define IDR_OBJECT_DATA 200

#endif
