// The bingo window's control and command ids, apart from the window's own header so that
// the end-to-end driver, which finds the controls by them, needs nothing else.
#pragma once

constexpr int IDC_BOARD = 2001;
constexpr int IDC_DRAW = 2002;
constexpr int IDC_NUMBER = 2003;
constexpr int IDC_UNDO = 2004;
constexpr int IDC_VOICE = 2005;
constexpr int IDC_VOICE_WHY_NOT = 2006;
constexpr int IDC_STATUS = 2007;
constexpr int IDC_PRIZE = 2008;
constexpr int IDC_WINNERS = 2009;
constexpr int IDC_CONFIRM = 2010;
constexpr int IDC_CLAIM = 2011;
constexpr int IDC_CLAIM_CARD = 2012;
constexpr int IDC_VERDICT = 2013;
constexpr int IDC_PROGRESS = 2014;
constexpr int IDC_RUN_CANCEL = 2015;
constexpr int IDC_NUMBER_LABEL = 2016;
constexpr int IDC_CLAIM_LABEL = 2017;
constexpr int IDC_CLAIM_HINT = 2018;
constexpr int IDC_FORECAST = 2019;
constexpr int IDC_CLAIM_HEADING = 2020;
constexpr int IDC_HALL_STATUS = 2021;
constexpr int IDC_MONEY = 2022;
constexpr int IDC_PAGE = 2023;       // the "Página para móviles" switch
constexpr int IDC_PAGE_VIEW = 2024;  // its address (the view's text) and QR code
constexpr int IDM_NEW_GAME = 2101;
constexpr int IDM_PREPARE_CARDS = 2102;
constexpr int IDM_SAVE_RECORD = 2103;
constexpr int IDM_FULL_SCREEN = 2104;
constexpr int IDM_QUIT = 2105;
constexpr int IDM_HALL_SCREEN = 2106;
constexpr int IDM_NEXT_GAME = 2107;
constexpr int IDM_SELL_CARDS = 2108;
constexpr int IDM_START_SOLD_GAME = 2109;
constexpr int IDM_SAVE_NIGHT_RECORD = 2112;
// Sent by an edit field to its window when Enter is pressed in it.
constexpr int IDM_ENTER_NUMBER = 2110;
constexpr int IDM_ENTER_CLAIM = 2111;
