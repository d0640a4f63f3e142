#pragma once

// The model's C interface for the web page: one run of the game, the player's input, the clock,
// and two views in JSON: the layout once, and after each step what changed. Every call refuses
// a null game and an index out of range; a null text reads as empty.

#include <cstddef>
#include <cstdint>

struct NamoroGame;

extern "C" {

NamoroGame* namoro_create();
void namoro_destroy(NamoroGame* game);

// The window as stored, "null" when it could not be read (the view tells why). Its pictures'
// pixels come apart: 0xAARRGGBB each, row after row; null for a picture that is not there.
const char* namoro_layout(NamoroGame* game);
const std::uint32_t* namoro_picture_pixels(NamoroGame* game, int picture);

// Raises Load.
void namoro_start(NamoroGame* game);
// What changed since the last view (the first holds everything); the text lives until the next call.
const char* namoro_view(NamoroGame* game);

// The timers' next due instant on performance.now()'s scale in milliseconds; -1 for none.
double namoro_next_due(NamoroGame* game);
void namoro_run_due(NamoroGame* game);

// A press at the logical pixel (x, y) of the inner area; a menu command by its place among the
// menu entries; a box's whole new text, `length` bytes of UTF-8 (a NUL among them is text),
// by the box's place in element order.
void namoro_click(NamoroGame* game, int x, int y);
void namoro_choose(NamoroGame* game, int entry);
void namoro_type(NamoroGame* game, int box, const char* utf8, std::size_t length);

} // extern "C"
