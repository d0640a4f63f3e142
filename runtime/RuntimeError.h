#pragma once

#include <cmath>
#include <stdexcept>
#include <string>

namespace namoro::runtime {

// Numbers follow the classic desktop runtime's numbering so a report reads familiar.
enum class ErrorNumber : int {
    Overflow = 6,
    InternalError = 51,
    InvalidFileFormat = 321,
};

// Something that should never happen in play: reported to the player, then the program ends.
// Handlers let it propagate; RAII releases whatever they held.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorNumber number, const std::string& message)
        : std::runtime_error(message), number_(number) {}

    ErrorNumber number() const { return number_; }
    int code() const { return static_cast<int>(number_); }

    static RuntimeError overflow() { return {ErrorNumber::Overflow, "Overflow"}; }
    // A fault of the program itself, such as memory or the random seed running out.
    static RuntimeError internalError(const std::string& cause)
    {
        return {ErrorNumber::InternalError, cause.empty() ? "Internal error" : "Internal error (" + cause + ")"};
    }

private:
    ErrorNumber number_;
};

// The floating-point check after an addition, subtraction or multiplication.
inline double checkedArithmetic(double result)
{
    if (!std::isfinite(result))
        throw RuntimeError::overflow();
    return result;
}

} // namespace namoro::runtime
