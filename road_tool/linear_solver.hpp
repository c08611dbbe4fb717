#pragma once

#include <cstdint>

/// Solves `rows` linear equations in `rows` unknowns by Gauss-Jordan elimination in place,
/// without row exchanges. `matrix` is the augmented matrix, `rows` x `cols` doubles stored
/// row after row (element (i, j) at i * cols + j), the right-hand side in the last column.
/// On success the matrix holds the reduced system, `solution[i]` the value of unknown i, and
/// the result is 1. A pivot that is exactly zero (either sign; there is no tolerance) prints
/// "Singular: Error in the Solve_array() function" and gives 0, with the matrix partly
/// reduced and `solution` untouched. The order of the equations decides the pivots.
std::int32_t Solve_array(double* matrix, double* solution, std::int32_t cols, std::int32_t rows);
