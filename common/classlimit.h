#ifndef CLASSLIMIT_H
#define CLASSLIMIT_H

#include <QString>

// How a class limit is written, wherever classes are named (legend, table, page): with at
// least the data's decimals (precision) and with as many more as the limit needs to be exact,
// up to maxDecimals, so that the class (11.5, 12.5] of whole-number data does not read
// "(12 - 13]", nor 12 read "12.000000".
namespace ClassLimit {

constexpr int maxDecimals = 6;

// The decimals limit is written with: precision (at least 0), or the fewest up to maxDecimals
// that write it without loss when it needs more.
int decimals(double limit, int precision);

// The limit written with those decimals.
QString text(double limit, int precision);

} // namespace ClassLimit

#endif // CLASSLIMIT_H
