#pragma once

#include <QString>

// A number as C's "%.0f" shows it, with an exact half rounded away from zero (10.5 gives 11,
// -0.5 gives -1, 337.5 gives 338). glibc's printf would round halves to even.
QString formatWhole(double value);
