#include "calc/FloatingPoint.h"

#include "surface/PlanixError.h"

#include <cfenv>
#include <cmath>

namespace {

constexpr int faultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Keeps the compiler from moving arithmetic on x across the flag calls: x is
// treated as read and rewritten here, in memory, in program order.
template <class T>
void pinned(T& x)
{
    asm volatile("" : "+m"(x) : : "memory");
}

void clearFaults() { std::feclearexcept(faultFlags); }

void throwOnFault()
{
    const int raised = std::fetestexcept(faultFlags);
    if (raised & FE_INVALID)
        throw PlanixError(QStringLiteral("不正な浮動小数点数演算命令"));
    if (raised & FE_DIVBYZERO)
        throw PlanixError(QStringLiteral("浮動小数点数の 0 による除算"));
    if (raised & FE_OVERFLOW)
        throw PlanixError(QStringLiteral("浮動小数点数のオーバーフロー"));
}

} // namespace

long double checkedProduct(long double a, long double b)
{
    clearFaults();
    pinned(a);
    long double product = a * b;
    pinned(product);
    throwOnFault();
    return product;
}

long double checkedQuotient(long double a, long double b)
{
    clearFaults();
    pinned(a);
    long double quotient = a / b;
    pinned(quotient);
    throwOnFault();
    return quotient;
}

std::int64_t checkedRoundToInt64(long double value)
{
    clearFaults();
    pinned(value);
    // Rounds in the current mode, which the program leaves at nearest-even;
    // out of range it raises the invalid-operation flag.
    long long rounded = std::llrint(value);
    pinned(rounded);
    throwOnFault();
    return rounded;
}
