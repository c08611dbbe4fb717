#include "linear_solver.hpp"

#include <cstdio>

std::int32_t Solve_array(double* matrix, double* solution, std::int32_t cols, std::int32_t rows) {
    auto at = [matrix, cols](std::int32_t i, std::int32_t j) -> double& { return matrix[i * cols + j]; };

    // Forward elimination; each row is scaled by its own pivot only.
    for (std::int32_t i = 0; i < rows; ++i) {
        const double pivot = at(i, i);
        if (pivot == 0.0) {
            std::printf("Singular: Error in the Solve_array() function\n");
            return 0;
        }
        for (std::int32_t j = i; j < cols; ++j) at(i, j) = at(i, j) / pivot;
        for (std::int32_t k = i + 1; k < rows; ++k) {
            const double factor = at(k, i);
            for (std::int32_t j = 0; j < cols; ++j) at(k, j) = at(k, j) - factor * at(i, j);
        }
    }
    // Back substitution, over whole rows.
    for (std::int32_t b = rows - 1; b >= 1; --b) {
        for (std::int32_t i = b - 1; i >= 0; --i) {
            const double factor = at(i, b);
            for (std::int32_t j = 0; j < cols; ++j) at(i, j) = at(i, j) - factor * at(b, j);
        }
    }
    for (std::int32_t i = 0; i < rows; ++i) solution[i] = at(i, cols - 1);
    return 1;
}
