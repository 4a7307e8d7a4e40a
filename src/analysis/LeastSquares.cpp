#include "analysis/LeastSquares.h"

#include <cmath>
#include <cstddef>

std::vector<double> SolveHeldLeastSquares(const std::vector<double>& normal,
                                          const std::vector<double>& rhs,
                                          const std::vector<double>& ridge,
                                          const std::vector<double>& start,
                                          const std::vector<char>& free,
                                          std::vector<double>* spread) {
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
  const auto solve = [&a, m](std::vector<double>& x) {
    for (size_t i = 0; i < m; ++i) {  // L y = x
      double s = x[i];
      for (size_t k = 0; k < i; ++k) s -= a[i * m + k] * x[k];
      x[i] = s / a[i * m + i];
    }
    for (size_t i = m; i-- > 0;) {  // L^T z = y
      double s = x[i];
      for (size_t k = i + 1; k < m; ++k) s -= a[k * m + i] * x[k];
      x[i] = s / a[i * m + i];
    }
  };
  solve(b);
  std::vector<double> out = start;
  for (size_t p = 0; p < m; ++p) out[index[p]] = b[p];
  if (spread) {
    // The diagonal of the inverse: (A^-1)_pp = |L^-1 e_p|^2, one forward solve a column.
    spread->assign(n, 0);
    std::vector<double> e(m);
    for (size_t p = 0; p < m; ++p) {
      double sum = 0;
      for (size_t i = p; i < m; ++i) {
        double s = i == p ? 1 : 0;
        for (size_t k = p; k < i; ++k) s -= a[i * m + k] * e[k];
        e[i] = s / a[i * m + i];
        sum += e[i] * e[i];
      }
      (*spread)[index[p]] = sum;
    }
  }
  return out;
}
