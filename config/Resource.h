// Resource and control ids of the configuration dialog and its pages. Plain numbers, so the
// portable tables that bind controls to record fields can use them too.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Templates
#define IDD_CONFIG_DIALOG 140
#define IDD_COOP_OPTIONS 141
#define IDD_DM_OPTIONS 142
#define IDD_VOTE_OPTIONS 143
#define IDD_WEAPONS_PAGE 144
#define IDD_ITEMS_PAGE 145
#define IDD_POWERUPS_PAGE 146

// Configuration dialog (the cancel button is IDCANCEL)
#define IDC_SAVE_CONFIG 1200
#define IDC_CONFIG_NAME 1201
#define IDC_CONFIG_EXTENSION 1202
#define IDC_SESSION_NAME 1203
#define IDC_GAME_TYPE 1204
#define IDC_STARTING_LEVEL 1205
#define IDC_ADMIN_PASSWORD 1206
#define IDC_CONNECT_PASSWORD 1207
#define IDC_VIP_PASSWORD 1208
#define IDC_MAX_PLAYERS 1209
#define IDC_VIP_SLOTS 1210
#define IDC_MAX_DEBRIS 1211
#define IDC_PORT 1212
#define IDC_PROBLEMS_TIMEOUT 1213
#define IDC_SERVER_FPS 1214
#define IDC_LAN 1215
#define IDC_CLIENTS_MAY_PAUSE 1216
#define IDC_DEBRIS_ENABLED 1217
#define IDC_OPTIONS_TABS 1218

// Cooperative page
#define IDC_DIFFICULTY 1230
#define IDC_MAX_LIVES 1231
#define IDC_EXTRA_ENEMY_STRENGTH 1232
#define IDC_ENEMY_STRENGTH_PER_PLAYER 1233
#define IDC_INFINITE_AMMO 1234
#define IDC_FRIENDLY_FIRE 1235
#define IDC_WEAPONS_STAY 1236
#define IDC_AMMO_STAYS 1237
#define IDC_HEALTH_ARMOR_STAYS 1238

// Deathmatch page
#define IDC_TIME_LIMIT 1240
#define IDC_FRAGS_LIMIT 1241
#define IDC_END_OF_ROUND_DELAY 1242
#define IDC_MAP_LIST_CHOICE 1243
#define IDC_MODIFY_MAP_LIST 1244
#define IDC_AVAILABILITY_TABS 1245

// Voting page: the vote type boxes in encoding order (nextmap, restart, kick, timeban)
#define IDC_VOTE_TYPE_FIRST 1250
#define IDC_BAN_TIME 1254
#define IDC_VOTE_DURATION 1255
#define IDC_VOTE_PERCENTAGE 1256
#define IDC_VOTE_END_DELAY 1257

// Availability pages: one check box per item, IDC_ITEM_FIRST + its place in encoding order
#define IDC_ITEM_FIRST 1260
