#pragma once
#define IDR_SKINZIP 201
#define IDR_LAYOUT 202
#define IDR_RES 203
#define IDR_DOT 204
