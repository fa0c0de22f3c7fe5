// The sine and cosine sweep: every argument the program gives sin and cos, up
// to the rolls a user reaches, with what the program keeps of each result. The
// trace appends its lines, so every platform's trace also compares its C
// library's sin and cos with the build machine's wherever the program uses them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How far a user rolls from the start-up roll by holding one button for an
// hour at 1,000 frames a second (the per-frame CPU work alone allows about
// 1,800 on the build machine), or for 17 hours at 60. Reaching the 32-bit wrap
// would take 25 days at 1,000.
constexpr int32_t ROLL_REACH = 3600 * 1000;

// One line per set of arguments: its name, its range and count, and the
// FNV-1a digest of what the program keeps of sin and cos for them (the up
// vector of each roll, rotateView's cosine and sine for each pointer offset,
// the wave tables' entries, the palette's bytes). It rebuilds the tables and
// sets the shell's start-up state, so a session runs it after its frames.
std::vector<std::string> sinCosSweep();
