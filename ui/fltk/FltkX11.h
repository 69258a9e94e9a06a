#pragma once
// FLTK's X11 header, for every file here that reaches Xlib, directly or through <FL/fl_draw.H>.
// Xlib names its cursor handle type Cursor, as the form names its cursor kinds; the handle is
// renamed XlibCursor while Xlib's headers are read, so both can live in one file. Include this
// before any FLTK header that includes <FL/x.H>.

// clang-format off
#define Cursor XlibCursor
#include <FL/x.H>
#undef Cursor
// clang-format on
