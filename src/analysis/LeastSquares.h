#pragma once
// A small weighted least-squares solve with some unknowns held: the normal equations of the
// free unknowns, the held ones moved to the right-hand side, each free unknown drawn towards
// its start by its ridge term, solved by a Cholesky factorisation.

#include <vector>

// `normal` is the n x n matrix (row-major) and `rhs` the n right-hand sides of the normal
// equations over all unknowns; `start` the unknowns' values to hold (where `free` is 0) and to
// draw towards with `ridge`. Returns all n values: the held ones as they start, the free ones
// solved. The matrix of the free unknowns plus the ridge must be positive definite (any
// normal matrix is semi-definite; a positive ridge makes it definite). With `spread`, each
// free unknown's diagonal element of the inverse matrix is stored there (0 for held ones):
// its variance per unit of the data's variance, which grows where neighbours share its data.
std::vector<double> SolveHeldLeastSquares(const std::vector<double>& normal,
                                          const std::vector<double>& rhs,
                                          const std::vector<double>& ridge,
                                          const std::vector<double>& start,
                                          const std::vector<char>& free,
                                          std::vector<double>* spread = nullptr);
