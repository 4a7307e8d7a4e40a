#include "analysis/LeastSquares.h"

#include <cmath>
#include <cstddef>

std::vector<double> SolveHeldLeastSquares(const std::vector<double>& normal,
                                          const std::vector<double>& rhs,
                                          const std::vector<double>& ridge,
                                          const std::vector<double>& start,
                                          const std::vector<char>& free) {
  const size_t n = start.size();
  std::vector<size_t> index;  // the free unknowns
  for (size_t i = 0; i < n; ++i)
    if (free[i]) index.push_back(i);
  const size_t m = index.size();
  std::vector<double> a(m * m), b(m);
  for (size_t p = 0; p < m; ++p) {
    const size_t i = index[p];
    double r = rhs[i] + ridge[i] * start[i];
    for (size_t j = 0; j < n; ++j)
      if (!free[j]) r -= normal[i * n + j] * start[j];
    b[p] = r;
    for (size_t q = 0; q < m; ++q) a[p * m + q] = normal[i * n + index[q]];
    a[p * m + p] += ridge[i];
  }
  // Cholesky: a = L L^T, L kept in the lower triangle of a.
  for (size_t j = 0; j < m; ++j) {
    double d = a[j * m + j];
    for (size_t k = 0; k < j; ++k) d -= a[j * m + k] * a[j * m + k];
    d = std::sqrt(d > 0 ? d : 1e-300);
    a[j * m + j] = d;
    for (size_t i = j + 1; i < m; ++i) {
      double s = a[i * m + j];
      for (size_t k = 0; k < j; ++k) s -= a[i * m + k] * a[j * m + k];
      a[i * m + j] = s / d;
    }
  }
  for (size_t i = 0; i < m; ++i) {  // L y = b
    double s = b[i];
    for (size_t k = 0; k < i; ++k) s -= a[i * m + k] * b[k];
    b[i] = s / a[i * m + i];
  }
  for (size_t i = m; i-- > 0;) {  // L^T x = y
    double s = b[i];
    for (size_t k = i + 1; k < m; ++k) s -= a[k * m + i] * b[k];
    b[i] = s / a[i * m + i];
  }
  std::vector<double> out = start;
  for (size_t p = 0; p < m; ++p) out[index[p]] = b[p];
  return out;
}
