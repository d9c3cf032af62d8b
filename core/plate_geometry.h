// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A 96-well plate: 8 rows lettered A to H (index 0 to 7) and up to 12
// strips numbered 1 to 12 (index 0 to 11), one column of 8 wells each.
constexpr int plateRows = 8;
constexpr int plateStrips = 12;
